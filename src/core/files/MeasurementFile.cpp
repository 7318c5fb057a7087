#include "core/files/MeasurementFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The fields of one line. With a semicolon in the line the semicolons (and blanks) separate
// and commas are decimal commas; otherwise blanks and commas separate.
std::vector<std::string> Fields(const std::string& line) {
    const bool semicolons = line.find(';') != std::string::npos;
    std::vector<std::string> fields;
    std::string field;
    const auto flush = [&] {
        if (!field.empty()) {
            fields.push_back(field);
            field.clear();
        }
    };
    for (const char c : line) {
        if (IsSpace(c) || c == ';' || (c == ',' && !semicolons)) {
            flush();
        } else {
            field += (c == ',' && semicolons) ? '.' : c;
        }
    }
    flush();
    return fields;
}

// A finite number in the C notation, whatever the locale.
bool ParseNumber(const std::string& field, double& value) {
    const char* begin = field.data();
    const char* end = begin + field.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [rest, error] = std::from_chars(begin, end, value);
    return error == std::errc() && rest == end && std::isfinite(value);
}

std::string Quoted(const std::string& field) {
    return "'" + field + "'";
}

} // namespace

MeasurementRead ReadMeasurement(const std::string& text, int firstLine) {
    MeasurementRead read;
    MeasuredDriver& driver = read.driver;
    std::istringstream lines(text);
    std::string line;
    int number = firstLine - 1;
    int firstDataLine = 0;
    const auto fail = [&](const std::string& why) {
        read.ok = false;
        read.error = "line " + std::to_string(number) + ": " + why;
        read.driver = MeasuredDriver{};
        return read;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (number == firstLine && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3); // a UTF-8 byte order mark
        }
        std::size_t start = 0;
        while (start < line.size() && IsSpace(line[start])) {
            ++start;
        }
        if (start == line.size() || line[start] == '*' || line[start] == '#') {
            continue;
        }
        const std::vector<std::string> fields = Fields(line);
        if (fields.empty()) {
            continue; // separators only
        }
        std::array<double, 3> values{};
        const std::size_t used = std::min<std::size_t>(fields.size(), 3);
        for (std::size_t k = 0; k < used; ++k) {
            if (!ParseNumber(fields[k], values[k])) {
                return fail(Quoted(fields[k]) + " is not a finite number (comment lines start with "
                                                "* or #)");
            }
        }
        if (used < 2) {
            return fail("a frequency and a level are needed, only " + Quoted(fields[0]) +
                        " is given");
        }
        const bool withPhase = used == 3;
        if (firstDataLine == 0) {
            firstDataLine = number;
        } else if (withPhase != !driver.phaseDegrees.empty()) {
            return fail(withPhase ? "has a phase, the lines before have none"
                                  : "has no phase, the lines before have one");
        }
        if (values[0] <= 0.0) {
            return fail("the frequency " + Quoted(fields[0]) + " is not above 0 Hz");
        }
        if (!driver.hz.empty() && values[0] <= driver.hz.back()) {
            return fail("the frequency " + Quoted(fields[0]) +
                        " does not rise above the one before it (frequencies must rise)");
        }
        driver.hz.push_back(values[0]);
        driver.levelDb.push_back(values[1]);
        if (withPhase) {
            driver.phaseDegrees.push_back(values[2]);
        }
    }
    if (driver.hz.size() < 2) {
        read.error = driver.hz.empty()
                         ? "holds no measurement: no line of frequency and level"
                         : "holds only one measured frequency (line " +
                               std::to_string(firstDataLine) + "); at least two are needed";
        read.driver = MeasuredDriver{};
        return read;
    }
    read.ok = true;
    return read;
}

bool ReadMeasurementText(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "is a folder, not a file";
        return false;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = std::string("cannot be opened (") + std::strerror(errno != 0 ? errno : EIO) + ")";
        return false;
    }
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (text.size() > kMaxMeasurementFileSize) {
            error = "is larger than " + std::to_string(kMaxMeasurementFileSize >> 20) +
                    " MiB: no measurement file";
            text.clear();
            return false;
        }
    }
    return true;
}

MeasurementRead ReadMeasurementFile(const std::string& path) {
    std::string text;
    MeasurementRead read;
    if (!ReadMeasurementText(path, text, read.error)) {
        return read;
    }
    return ReadMeasurement(text);
}
