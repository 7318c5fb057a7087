#pragma once

#include "gui/dialogs/DataViewPrompts.h"
#include "gui/dialogs/ListCtrlPrint.h"
#include "core/files/DataTable.h"

#include <QDialog>

class CAudio_Data;
class QTableWidget;
struct Variant;

// "DataView": every parameter of a program as one table, a row per parameter and a column per
// channel of the variant, the cells as the model words them (the table the command-line tool
// prints). "Print" prints it through the print dialog; it can also be saved as a PDF file with
// the same pages, or as CSV byte for byte as the command-line tool writes it.
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

private:
    void Fill();

    DataTable m_table;
    QTableWidget* m_list = nullptr;
    DataViewPrompts m_standardPrompts;
    DataViewPrompts* m_prompts = &m_standardPrompts;
};
