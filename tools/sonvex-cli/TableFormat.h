#pragma once

#include <string>
#include <vector>

// Text forms of a table given as a header row and body rows of cell texts (its CSV form is
// the core's CsvText).
namespace TableFormat {

using Row = std::vector<std::string>;

// Columns padded to their widest cell (counted in characters, UTF-8 aware), two spaces apart,
// the header row underlined with dashes; trailing blanks are left out.
std::string Aligned(const Row& headers, const std::vector<Row>& rows);

} // namespace TableFormat
