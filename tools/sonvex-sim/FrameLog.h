#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Record of the frames on the simulated line: local time, direction, the bytes in hex and the
// decoded header, to a file (--log) and/or stderr (-v).
class FrameLog {
public:
    bool OpenFile(const std::string& path, std::string& error);
    void SetVerbose(bool verbose) { m_verbose = verbose; }
    bool Enabled() const { return m_verbose || m_file.is_open(); }

    // direction is "in" (PC to device) or "out"; note is added after the decoded header.
    void Frame(const char* direction, const std::vector<std::uint8_t>& frame,
               const std::string& note);
    void Note(const std::string& text);

private:
    void Write(const std::string& line);

    std::ofstream m_file;
    bool m_verbose = false;
};
