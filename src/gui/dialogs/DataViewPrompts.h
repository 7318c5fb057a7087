#pragma once

#include <QString>

class QPrinter;
class QWidget;

// What the data view asks the operator before it prints or writes a file: the print dialog
// and the names of the PDF and CSV files. The default asks with the standard dialogs; tests
// answer in their place.
class DataViewPrompts {
public:
    virtual ~DataViewPrompts() = default;

    // Runs the print dialog for printer, offering pages 1..pageCount; false when the operator
    // cancels.
    virtual bool SetUpPrinter(QPrinter& printer, int pageCount, QWidget* parent);
    // The file to write; empty when the operator cancels.
    virtual QString PdfFileName(QWidget* parent);
    virtual QString CsvFileName(QWidget* parent);
};
