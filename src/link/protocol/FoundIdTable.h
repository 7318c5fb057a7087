#pragma once

#include <array>
#include <cstdint>

// Device IDs 1..250 found on the line by the last search, shared by every panel and dialog.
// Entry n is n while device n counts as present and 0 when it does not; entry 0 is unused.
// At start every device counts as present.
constexpr int FoundIdTableSize = 251;
extern std::array<std::uint16_t, FoundIdTableSize> FoundIdTable;

// Puts every entry n back to n, as at start.
void ResetFoundIdTable();
