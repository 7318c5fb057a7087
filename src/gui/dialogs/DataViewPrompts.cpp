#include "gui/dialogs/DataViewPrompts.h"

#include <QAbstractPrintDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& suffix) {
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

} // namespace

bool DataViewPrompts::SetUpPrinter(QPrinter& printer, int pageCount, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pageCount);
    return dialog.exec() == QDialog::Accepted;
}

QString DataViewPrompts::PdfFileName(QWidget* parent) {
    return SaveFileName(parent, QStringLiteral("Save as PDF"), QStringLiteral("PDF files (*.pdf)"),
                        QStringLiteral("pdf"));
}

QString DataViewPrompts::CsvFileName(QWidget* parent) {
    return SaveFileName(parent, QStringLiteral("Save as CSV"), QStringLiteral("CSV files (*.csv)"),
                        QStringLiteral("csv"));
}
