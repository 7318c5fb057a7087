#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;

// "Verify": what reading back a write to the device found. Above, one sentence saying what was
// read back and whether it is as written; below, one line per parameter that differs
// ("P12 out3.gain: -3.0 != 0.0"), to read or copy.
class VerifyReportDlg : public QDialog {
    Q_OBJECT

public:
    // what: "Program 12 of device 3", "The 30 stored programs of device 3".
    VerifyReportDlg(const QString& what, const QStringList& lines, QWidget* parent = nullptr);

    QString Summary() const;
    QStringList Lines() const;

    static QString SummaryText(const QString& what, int differences);

private:
    QLabel* m_summary = nullptr;
    QPlainTextEdit* m_lines = nullptr;
};
