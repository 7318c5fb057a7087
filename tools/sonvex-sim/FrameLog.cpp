#include "FrameLog.h"

#include "link/protocol/ProtocolCodes.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>

namespace {

std::string Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%06ld", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<long>(micros));
    return text;
}

std::string CodeName(std::uint8_t code) {
    switch (code) {
    case Protocol::WriteRequest:
        return "WriteRequest";
    case Protocol::ReadRequest:
        return "ReadRequest";
    case Protocol::Ack:
    case Protocol::AckAlt:
        return "Ack";
    case Protocol::DataReply:
        return "DataReply";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "code=0x%02X", code);
        return text;
    }
    }
}

} // namespace

bool FrameLog::OpenFile(const std::string& path, std::string& error) {
    m_file.open(path, std::ios::app);
    if (!m_file) {
        error = "cannot open log file " + path;
        return false;
    }
    return true;
}

std::string FrameLog::Describe(const std::vector<std::uint8_t>& frame) {
    if (frame.size() < Protocol::HeaderSize) {
        return "short frame";
    }
    const bool system = frame[Protocol::OffsetGroup] == Protocol::GroupSystem;
    const unsigned block = frame[Protocol::OffsetBlock];
    char text[128];
    std::snprintf(
        text, sizeof text,
        block == Protocol::ArchiveFlag ? "%s id=%u prog=%u group=%u %s=%s%X block=0x%X L=%u"
                                       : "%s id=%u prog=%u group=%u %s=%s%X block=%u L=%u",
        CodeName(frame[Protocol::OffsetCode]).c_str(), frame[Protocol::OffsetDeviceId],
        frame[Protocol::OffsetProgram], frame[Protocol::OffsetGroup], system ? "item" : "channel",
        system ? "0x" : "", frame[Protocol::OffsetChannel], block, frame[Protocol::OffsetLength]);
    return text;
}

void FrameLog::Frame(const char* direction, const std::vector<std::uint8_t>& frame,
                     const std::string& note) {
    if (!Enabled()) {
        return;
    }
    std::string hex;
    char pair[4];
    for (const std::uint8_t byte : frame) {
        std::snprintf(pair, sizeof pair, "%02X ", byte);
        hex += pair;
    }
    std::string line = Now() + " " + direction + (direction[2] == '\0' ? "  " : " ") + hex + "| " +
                       Describe(frame);
    if (!note.empty()) {
        line += " (" + note + ")";
    }
    Write(line);
}

void FrameLog::Note(const std::string& text) {
    if (Enabled()) {
        Write(Now() + " -- " + text);
    }
}

void FrameLog::Write(const std::string& line) {
    if (m_file.is_open()) {
        m_file << line << '\n';
        m_file.flush();
    }
    if (m_verbose) {
        std::cerr << line << '\n';
    }
}
