#include "FrameLog.h"

#include "core/protocol/FrameText.h"

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

} // namespace

bool FrameLog::OpenFile(const std::string& path, std::string& error) {
    m_file.open(path, std::ios::app);
    if (!m_file) {
        error = "cannot open log file " + path;
        return false;
    }
    return true;
}

void FrameLog::Frame(const char* direction, const std::vector<std::uint8_t>& frame,
                     const std::string& note) {
    if (!Enabled()) {
        return;
    }
    const std::string hex = frame.empty() ? "" : Protocol::HexText(frame) + " ";
    std::string line = Now() + " " + direction + (direction[2] == '\0' ? "  " : " ") + hex + "| " +
                       Protocol::HeaderText(frame, Protocol::HeaderStyle::Raw);
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
