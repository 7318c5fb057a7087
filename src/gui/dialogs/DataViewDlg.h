#pragma once

#include "core/files/DataTable.h"
#include "gui/dialogs/DataViewPrompts.h"
#include "gui/dialogs/ListCtrlPrint.h"

#include <QDialog>

class CAudio_Data;
class QLabel;
class QTableWidget;
struct Variant;

// "DataView": every parameter of a program as one table, a row per parameter and a column per
// channel of the variant, the cells as the model words them (the table the command-line tool
// prints). "Print" prints it through the print dialog; it can also be saved as a PDF file with
// the same pages, or as CSV byte for byte as the command-line tool writes it. "Compare with
// File..." reads a one-program file of the model and marks every cell whose text differs from
// the file's (tool tip: the file's text); the line under the table counts the differing
// parameters as the command-line diff names them (ParameterDiff), listed in its tool tip.
class DataViewDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kListId = 1097;
    static constexpr int kPrintId = 1086;
    static constexpr int kLabelColumnWidth = 160;
    static constexpr int kChannelColumnWidth = 90;
    // Shown when there is nothing to print or the print dialog was cancelled.
    static constexpr const char* kErrorText = "Error";
    static constexpr const char* kWriteErrorText = "File Write Error";
    // The background of a cell that differs from the file compared with.
    static constexpr QRgb kDifferentCell = qRgb(255, 214, 102);

    DataViewDlg(const CAudio_Data& program, const Variant& variant, QWidget* parent = nullptr);
    ~DataViewDlg() override;

    QTableWidget* List() const { return m_list; }
    // "Driver Type：Fosk", a line break, "Program Name:" and the program name.
    QString PrintTitle() const;
    // The printout of the list as it is now.
    ListCtrlPrint PrintLayout() const;
    // The questions asked before printing and saving; prompts stays the caller's. nullptr
    // puts back the standard dialogs.
    void SetPrompts(DataViewPrompts* prompts);

    // "Print", "Save as PDF", "Save as CSV".
    void OnPrint();
    void OnSavePdf();
    void OnSaveCsv();
    // "Compare with File...": the file dialog, then CompareWithFile.
    void OnCompare();
    // Marks the cells that differ from the program in the file at path (the marks of an
    // earlier comparison go). False, with a message and no marks, when the file is of another
    // model or cannot be read.
    bool CompareWithFile(const QString& path);
    // Whether cell row, column is marked as differing.
    bool IsMarked(int row, int column) const;
    // The text under the table after a comparison.
    QString CompareSummary() const;

private:
    void Fill();

    void ClearMarks();

    const CAudio_Data& m_program;
    int m_deviceType = 1;
    DataTable m_table;
    QTableWidget* m_list = nullptr;
    QLabel* m_compareSummary = nullptr;
    DataViewPrompts m_standardPrompts;
    DataViewPrompts* m_prompts = &m_standardPrompts;
};
