#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Writes bytes to a new file in the target's folder and moves it over the target only once every
// byte is written, so that a failed save leaves the previous file as it was. Returns false when
// the file could not be created, written or moved into place (nothing is left behind then).
bool ReplaceFileContents(const std::filesystem::path& target,
                         const std::vector<std::uint8_t>& bytes);
