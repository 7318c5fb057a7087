#include "core/files/CsvText.h"

namespace CsvText {

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string Table(const Row& headers, const std::vector<Row>& rows) {
    std::string text;
    const auto line = [&text](const Row& cells) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            text += (c > 0 ? "," : "") + Field(cells[c]);
        }
        text += "\r\n";
    };
    line(headers);
    for (const Row& row : rows) {
        line(row);
    }
    return text;
}

} // namespace CsvText
