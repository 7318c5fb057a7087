#include "core/files/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace {

// Creates a file that did not exist before, with a name no other writer is using.
std::FILE* CreateTemporaryBeside(const std::filesystem::path& target,
                                 std::filesystem::path& temporary) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." +
                              std::to_string(random() % 1000000u) + ".tmp");
        errno = 0;
        if (std::FILE* file = std::fopen(temporary.string().c_str(), "wbx"))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

} // namespace

bool ReplaceFileContents(const std::filesystem::path& target,
                         const std::vector<std::uint8_t>& bytes) {
    if (target.filename().empty())
        return false;
    std::filesystem::path temporary;
    std::FILE* file = CreateTemporaryBeside(target, temporary);
    if (file == nullptr)
        return false;
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    std::error_code error;
    if (written)
        std::filesystem::rename(temporary, target, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}
