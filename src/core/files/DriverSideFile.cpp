#include "core/files/DriverSideFile.h"

#include "core/files/FileReplace.h"
#include "core/files/MeasurementFile.h"
#include "core/model/MeasuredDrivers.h"

#include <charconv>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

// The shortest text that reads back as the same double, whatever the locale.
std::string Exact(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Trimmed(const std::string& line) {
    const std::size_t begin = line.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    return line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1);
}

// "[out2]" -> 1; -1 for a line that is no block header, -2 for a header naming no output.
int BlockHeader(const std::string& line) {
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') {
        return -1;
    }
    const std::string name = line.substr(1, line.size() - 2);
    if (name.size() != 4 || name.compare(0, 3, "out") != 0) {
        return -2;
    }
    const int number = name[3] - '0';
    return number >= 1 && number <= MeasuredDrivers::kOutputCount ? number - 1 : -2;
}

} // namespace

std::string DriverSideFilePath(const std::string& programPath) {
    return programPath + ".drivers";
}

DriverSideResult StoreDriverSideFile(const std::string& programPath,
                                     const MeasuredDrivers& drivers) {
    DriverSideResult result;
    result.path = DriverSideFilePath(programPath);
    std::string text = "# Measured drivers of " +
                       std::filesystem::path(programPath).filename().string() +
                       ": frequency (Hz), level (dB), phase (degrees)\n";
    for (int output = 0; output < MeasuredDrivers::kOutputCount; ++output) {
        const MeasuredDriver* driver = drivers.Measurement(output);
        if (driver == nullptr) {
            continue;
        }
        ++result.attached;
        text += "[out" + std::to_string(output + 1) + "]\n";
        const bool phase = driver->phaseDegrees.size() == driver->hz.size();
        for (std::size_t k = 0; k < driver->hz.size(); ++k) {
            text += Exact(driver->hz[k]) + ' ' + Exact(driver->levelDb[k]);
            if (phase) {
                text += ' ' + Exact(driver->phaseDegrees[k]);
            }
            text += '\n';
        }
    }
    std::error_code error;
    if (result.attached == 0) {
        std::filesystem::remove(result.path, error);
        result.ok = !error;
        result.error = error ? "cannot be removed (" + error.message() + ")" : std::string();
        return result;
    }
    result.ok =
        ReplaceFileContents(result.path, std::vector<std::uint8_t>(text.begin(), text.end()));
    if (!result.ok) {
        result.error = "cannot be written";
    }
    return result;
}

DriverSideResult LoadDriverSideFile(const std::string& programPath, MeasuredDrivers& drivers) {
    DriverSideResult result;
    result.path = DriverSideFilePath(programPath);
    std::error_code error;
    if (!std::filesystem::exists(result.path, error)) {
        result.ok = true;
        return result;
    }
    std::string text;
    if (!ReadMeasurementText(result.path, text, result.error)) {
        return result;
    }
    std::istringstream lines(text);

    struct Block {
        int output = 0;
        int headerLine = 0;
        std::string text;
    };
    std::vector<Block> blocks;
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::string trimmed = Trimmed(line);
        const int output = BlockHeader(trimmed);
        if (output == -2) {
            result.error = "line " + std::to_string(number) + ": '" + trimmed +
                           "' names no output (out1..out8)";
            return result;
        }
        if (output >= 0) {
            for (const Block& before : blocks) {
                if (before.output == output) {
                    result.error =
                        "line " + std::to_string(number) + ": " + trimmed + " is given twice";
                    return result;
                }
            }
            blocks.push_back({output, number, {}});
            continue;
        }
        if (blocks.empty()) {
            if (!trimmed.empty() && trimmed[0] != '#' && trimmed[0] != '*') {
                result.error = "line " + std::to_string(number) +
                               ": measurement lines before the first [outN]";
                return result;
            }
            continue;
        }
        blocks.back().text += line + '\n';
    }
    MeasuredDrivers read;
    for (const Block& block : blocks) {
        const MeasurementRead measurement = ReadMeasurement(block.text, block.headerLine + 1);
        if (!measurement) {
            result.error = measurement.error.rfind("line ", 0) == 0
                               ? measurement.error
                               : "[out" + std::to_string(block.output + 1) + "] (line " +
                                     std::to_string(block.headerLine) + ") " + measurement.error;
            return result;
        }
        read.Attach(block.output, measurement.driver);
    }
    for (const Block& block : blocks) {
        drivers.Attach(block.output, *read.Measurement(block.output));
    }
    result.attached = static_cast<int>(blocks.size());
    result.ok = true;
    return result;
}
