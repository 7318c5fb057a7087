// Keeping a simulated processor's memory in a text file between runs.
#include "sim/SimDevice.h"

#include <cstdio>
#include <sstream>

namespace {

constexpr const char* kMagic = "sonvex-sim-state";
constexpr int kVersion = 1;

template <typename Bytes> std::string ToHex(const Bytes& bytes) {
    std::string text;
    char pair[3];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

template <std::size_t N> bool FromHex(const std::string& text, std::array<std::uint8_t, N>& out) {
    if (text.size() != 2 * N) {
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return true;
}

} // namespace

std::string SimDevice::SaveState() const {
    std::ostringstream out;
    out << kMagic << ' ' << kVersion << '\n';
    out << "id " << m_id << '\n';
    out << "type " << m_type << '\n';
    out << "source " << m_inputSource << '\n';
    out << "backlight " << m_backlight << '\n';
    out << "temperature " << m_temperature << '\n';
    out << "interface " << ToHex(m_interfaceText) << '\n';
    for (int p = 0; p < kPrograms; ++p) {
        const SimProgram& program = m_programs[static_cast<std::size_t>(p)];
        out << "name " << p << ' ' << ToHex(program.name) << '\n';
        for (std::size_t i = 0; i < SimProgram::kInputs; ++i) {
            out << "in " << p << ' ' << i << ' ' << ToHex(program.inputs[i]) << '\n';
        }
        for (std::size_t o = 0; o < SimProgram::kOutputs; ++o) {
            out << "out " << p << ' ' << o << ' ' << ToHex(program.outputs[o]) << '\n';
        }
    }
    return out.str();
}

bool SimDevice::LoadState(const std::string& text) {
    std::istringstream in(text);
    std::string magic;
    int version = 0;
    if (!(in >> magic >> version) || magic != kMagic || version != kVersion) {
        return false;
    }
    int id = m_id;
    int type = m_type;
    int source = m_inputSource;
    int backlight = m_backlight;
    int temperature = m_temperature;
    auto interfaceText = m_interfaceText;
    auto programs = m_programs;
    std::string key;
    while (in >> key) {
        bool ok = true;
        if (key == "id") {
            ok = static_cast<bool>(in >> id) && id >= 1 && id <= 250;
        } else if (key == "type") {
            ok = static_cast<bool>(in >> type) && type == m_type;
        } else if (key == "source") {
            ok = static_cast<bool>(in >> source) && (source == 0 || source == 1);
        } else if (key == "backlight") {
            ok = static_cast<bool>(in >> backlight) && (backlight == 0 || backlight == 1);
        } else if (key == "temperature") {
            ok = static_cast<bool>(in >> temperature) && temperature >= 0 && temperature <= 50;
        } else if (key == "interface") {
            std::string hex;
            ok = (in >> hex) && FromHex(hex, interfaceText);
        } else if (key == "name" || key == "in" || key == "out") {
            int p = -1;
            std::size_t channel = 0;
            std::string hex;
            ok = static_cast<bool>(in >> p) && p >= 0 && p < kPrograms;
            if (ok && key != "name") {
                ok = static_cast<bool>(in >> channel) &&
                     channel < (key == "in" ? SimProgram::kInputs : SimProgram::kOutputs);
            }
            ok = ok && (in >> hex);
            if (ok) {
                SimProgram& program = programs[static_cast<std::size_t>(p)];
                if (key == "name") {
                    ok = FromHex(hex, program.name);
                } else if (key == "in") {
                    ok = FromHex(hex, program.inputs[channel]);
                } else {
                    ok = FromHex(hex, program.outputs[channel]);
                }
            }
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    m_id = id;
    m_inputSource = source;
    m_backlight = backlight;
    m_temperature = temperature;
    m_interfaceText = interfaceText;
    m_programs = programs;
    return true;
}
