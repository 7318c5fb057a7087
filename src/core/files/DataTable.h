#pragma once

#include <string>
#include <vector>

class CAudio_Data;

// The parameter table of the data view: one row per parameter, one column per channel, every
// cell the text the model gives for that parameter. Column 0 holds the row labels (its header is
// the program name), then the variant's inputs ("Input A"..), then its outputs ("Out1"..).
// The table is built once from a program and keeps only texts, so the data view, its printout
// and the command-line tool show the same cells.
class DataTable {
public:
    // variantCode: 1 = 4 in / 8 out, 2 = 3 in / 6 out, 3 = 2 in / 4 out (any other code is
    // taken as 1).
    DataTable(const CAudio_Data& program, int variantCode);

    int GetVariantCode() const { return m_variantCode; }
    int GetInputColumnCount() const { return m_inputs; }
    int GetOutputColumnCount() const { return m_outputs; }
    int GetColumnCount() const { return 1 + m_inputs + m_outputs; }
    int GetRowCount() const { return static_cast<int>(m_cells.size()); }

    // Header of a column; empty outside the table.
    std::string GetHeader(int column) const;
    // Text of a cell (column 0: the row label); empty outside the table.
    std::string GetCell(int row, int column) const;
    // Label of a row (empty for the separator rows).
    std::string GetRowLabel(int row) const { return GetCell(row, 0); }
    const std::vector<std::string>& GetHeaders() const { return m_headers; }
    const std::vector<std::vector<std::string>>& GetRows() const { return m_cells; }

    // "Driver Type：Fosk\r\nProgram Name:" followed by the program name.
    std::string GetPrintTitle() const;

    // "Fosk", "Wupa", "Jexo"
    static std::string ModelCode(int variantCode);
    // Row labels of a variant, in table order (73 for code 1, 55 for the others).
    static std::vector<std::string> RowLabels(int variantCode);

private:
    void Fill(const CAudio_Data& program);

    int m_variantCode = 1;
    int m_inputs = 4;
    int m_outputs = 8;
    std::string m_programName;
    std::vector<std::string> m_headers;
    std::vector<std::vector<std::string>> m_cells;
};
