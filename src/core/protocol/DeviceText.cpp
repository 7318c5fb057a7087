#include "core/protocol/DeviceText.h"

std::string CleanText(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        text.push_back(byte >= 0x20 && byte <= 0x7F ? static_cast<char>(byte) : ' ');
    }
    return text;
}

std::string TrimRight(const std::string& text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string TrimBoth(const std::string& text) {
    const auto begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : TrimRight(text.substr(begin));
}
