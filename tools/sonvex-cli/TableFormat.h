#pragma once

#include <string>
#include <vector>

// Text forms of a table given as a header row and body rows of cell texts.
namespace TableFormat {

using Row = std::vector<std::string>;

// Columns padded to their widest cell (counted in characters, UTF-8 aware), two spaces apart,
// the header row underlined with dashes; trailing blanks are left out.
std::string Aligned(const Row& headers, const std::vector<Row>& rows);

// RFC 4180: fields separated by commas, lines ended by CRLF, a field quoted when it contains a
// comma, a double quote, CR or LF, with its double quotes doubled. The header row comes first.
std::string Csv(const Row& headers, const std::vector<Row>& rows);
std::string CsvField(const std::string& text);

} // namespace TableFormat
