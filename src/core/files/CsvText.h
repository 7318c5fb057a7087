#pragma once

#include <string>
#include <vector>

// RFC 4180 text of a table given as a header row and body rows of cell texts: fields separated
// by commas, lines ended by CRLF, a field quoted when it contains a comma, a double quote, CR or
// LF, with its double quotes doubled. Cell texts are written byte for byte. The data view's
// "Save as CSV" and the command-line tool's table write the same text through it.
namespace CsvText {

using Row = std::vector<std::string>;

// The header row first, then the rows.
std::string Table(const Row& headers, const std::vector<Row>& rows);
// One field, quoted when it has to be.
std::string Field(const std::string& text);

} // namespace CsvText
