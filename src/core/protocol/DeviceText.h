#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Texts as devices send them: 8-bit characters padded with spaces, never zero-terminated.

// Every byte outside 0x20..0x7F becomes a space.
std::string CleanText(const std::uint8_t* bytes, std::size_t count);
// Without the spaces at the right end, or at both ends.
std::string TrimRight(const std::string& text);
std::string TrimBoth(const std::string& text);
