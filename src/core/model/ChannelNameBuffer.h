#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

// The 8-byte name buffer of a channel. It is not necessarily terminated: a full name uses all
// eight bytes, a shorter one is followed by zero bytes. Nothing reads or writes past its end.
class ChannelNameBuffer {
public:
    static constexpr std::size_t kLength = 8;

    // Keeps at most eight characters and zero-fills the rest, so no tail of an older,
    // longer name survives.
    void Assign(const std::string& name) {
        m_bytes.fill('\0');
        std::copy_n(name.begin(), std::min(name.size(), kLength), m_bytes.begin());
    }

    // The characters up to the first zero byte, at most eight.
    std::string Text() const {
        return std::string(m_bytes.begin(), std::find(m_bytes.begin(), m_bytes.end(), '\0'));
    }

private:
    std::array<char, kLength> m_bytes{};
};
