#include "gui/editors/EqImportDlg.h"

#include "core/model/Channel.h"
#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

EqImportDlg::EqImportDlg(const EqText& text, const CAudio_Channel& channel, bool input,
                         int deviceType, int bandCount, const QString& title, QWidget* parent)
    : QDialog(parent), m_text(text), m_channel(channel), m_input(input), m_deviceType(deviceType),
      m_bandCount(bandCount) {
    setObjectName(QStringLiteral("eqImportDlg"));
    setWindowTitle(title);
    setModal(true);

    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("eqImportBands"));
    m_table->setHorizontalHeaderLabels({tr("Before"), tr("After")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    m_report = new QListWidget(this);
    m_report->setObjectName(QStringLiteral("eqImportReport"));

    m_preamp = new QCheckBox(this);
    m_preamp->setObjectName(QStringLiteral("eqImportPreamp"));
    m_preamp->setText(tr("Apply the preamp of %1 dB to the channel gain")
                          .arg(QString::fromStdString(FixedText(text.preamp, 1))));
    m_preamp->setVisible(text.hasPreamp);
    connect(m_preamp, &QCheckBox::toggled, this, &EqImportDlg::Replan);

    m_apply = new QPushButton(tr("Apply"), this);
    m_apply->setObjectName(QStringLiteral("eqImportApply"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("eqImportCancel"));
    m_apply->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    connect(m_apply, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Bands"), this));
    layout->addWidget(m_table, 3);
    layout->addWidget(new QLabel(tr("What the import changes or cannot take"), this));
    layout->addWidget(m_report, 2);
    layout->addWidget(m_preamp);
    layout->addLayout(buttons);
    resize(640, 520);
    Replan();
}

void EqImportDlg::Replan() {
    m_plan =
        PlanEqImport(m_text, m_channel, m_input, m_deviceType, m_bandCount, m_preamp->isChecked());
    const int bands = static_cast<int>(m_plan.after.size());
    m_table->setRowCount(bands + 1);
    QStringList rows;
    for (int b = 0; b < bands; ++b) {
        const auto at = static_cast<std::size_t>(b);
        m_table->setItem(b, 0,
                         new QTableWidgetItem(QString::fromStdString(
                             BandSettingText(m_plan.before[at], m_deviceType))));
        m_table->setItem(b, 1,
                         new QTableWidgetItem(QString::fromStdString(
                             BandSettingText(m_plan.after[at], m_deviceType))));
        rows.append(tr("EQ%1").arg(b + 1));
    }
    const auto gainText = [this](int index) {
        return tr("%1 dB").arg(
            QString::fromStdString(FixedText(ChannelGainToDb(index, m_deviceType), 1)));
    };
    m_table->setItem(bands, 0, new QTableWidgetItem(gainText(m_plan.gainBefore)));
    m_table->setItem(bands, 1, new QTableWidgetItem(gainText(m_plan.gainAfter)));
    rows.append(tr("Gain"));
    m_table->setVerticalHeaderLabels(rows);

    m_report->clear();
    for (const std::string& line : m_plan.report) {
        m_report->addItem(QString::fromStdString(line));
    }
    if (m_plan.report.empty()) {
        m_report->addItem(tr("No approximation to report."));
    }
    if (m_plan.taken == 0) {
        m_report->addItem(tr("Nothing in the file can be imported."));
    }
    m_apply->setEnabled(m_plan.taken > 0);
}
