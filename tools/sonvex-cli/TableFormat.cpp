#include "TableFormat.h"

#include <QString>

#include <algorithm>

namespace {

int Width(const std::string& text) {
    return static_cast<int>(QString::fromStdString(text).size());
}

std::string Padded(const std::string& text, int width) {
    return text + std::string(static_cast<std::size_t>(std::max(0, width - Width(text))), ' ');
}

std::string RightTrimmed(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

std::string AlignedLine(const TableFormat::Row& cells, const std::vector<int>& widths) {
    std::string line;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        if (c > 0) {
            line += "  ";
        }
        line += Padded(c < cells.size() ? cells[c] : std::string(), widths[c]);
    }
    return RightTrimmed(line) + "\n";
}

} // namespace

namespace TableFormat {

std::string Aligned(const Row& headers, const std::vector<Row>& rows) {
    std::vector<int> widths(headers.size(), 0);
    for (std::size_t c = 0; c < headers.size(); ++c) {
        widths[c] = Width(headers[c]);
    }
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], Width(row[c]));
        }
    }
    std::string text = AlignedLine(headers, widths);
    Row rule;
    for (const int width : widths) {
        rule.push_back(std::string(static_cast<std::size_t>(width), '-'));
    }
    text += AlignedLine(rule, widths);
    for (const Row& row : rows) {
        text += AlignedLine(row, widths);
    }
    return text;
}

} // namespace TableFormat
