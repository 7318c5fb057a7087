#include "gui/dialogs/VerifyReportDlg.h"

#include "gui/dialogs/DialogLook.h"
#include "gui/widgets/XPStyleButton.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

VerifyReportDlg::VerifyReportDlg(const QString& what, const QStringList& lines, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Verify"));
    DialogLook::ApplyBackground(this);
    m_summary = new QLabel(SummaryText(what, static_cast<int>(lines.size())), this);
    m_summary->setObjectName(QStringLiteral("verifySummary"));
    m_summary->setWordWrap(true);
    m_lines = new QPlainTextEdit(this);
    m_lines->setObjectName(QStringLiteral("verifyDifferences"));
    m_lines->setAccessibleName(QStringLiteral("Differences"));
    m_lines->setReadOnly(true);
    m_lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_lines->setPlainText(lines.join(QLatin1Char('\n')));
    m_lines->setVisible(!lines.isEmpty());
    m_lines->setMinimumSize(420, 220);

    auto* ok = DialogLook::FilledButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(m_summary, 0, 0);
    grid->addWidget(m_lines, 1, 0);
    DialogLook::Arrange(this, grid, ok);
}

QString VerifyReportDlg::SummaryText(const QString& what, int differences) {
    if (differences == 0) {
        return QStringLiteral("%1 read back as written.").arg(what);
    }
    return QStringLiteral("%1 read back differs from what was written in %2 parameter(s):")
        .arg(what)
        .arg(differences);
}

QString VerifyReportDlg::Summary() const {
    return m_summary->text();
}

QStringList VerifyReportDlg::Lines() const {
    const QString text = m_lines->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}
