#include "gui/dialogs/DeviceDlg.h"

#include "control/IdSearch.h"
#include "gui/dialogs/DialogLook.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/XPStyleButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

DeviceDlg::DeviceDlg(int currentId, const QVector<int>& foundIds, QWidget* parent)
    : QDialog(parent), m_currentId(currentId) {
    setWindowTitle(QStringLiteral("Device"));
    DialogLook::ApplyBackground(this);

    m_change = WithControlId(new QRadioButton(QStringLiteral("Change Current Device ID"), this),
                             kChangeRadioId, "changeDeviceId");
    auto* current =
        WithControlId(new QLabel(QStringLiteral("Current device ID %1 To:").arg(currentId), this),
                      kCurrentTextId, "currentDeviceId");
    m_newIds = WithControlId(new QComboBox(this), kNewIdComboId, "newIdCombo");
    m_newIds->setMaxVisibleItems(16);
    m_newIds->setAccessibleName(QStringLiteral("New device ID"));
    for (int id = IdSearch::kFirstId; id <= IdSearch::kLastId; ++id) {
        m_newIds->addItem(QString::number(id), id);
    }
    // The current ID: OK alone gives the device no new ID.
    const int currentIndex = m_newIds->findData(currentId);
    m_newIds->setCurrentIndex(currentIndex >= 0 ? currentIndex : 0);

    m_reconnect = WithControlId(new QRadioButton(QStringLiteral("Re_Connect To Device"), this),
                                kReconnectRadioId, "reconnectToDevice");
    m_targets = WithControlId(new QComboBox(this), kTargetComboId, "targetCombo");
    m_targets->setMaxVisibleItems(16);
    m_targets->setAccessibleName(QStringLiteral("Device to connect to"));
    for (int id : foundIds) {
        m_targets->addItem(QString::number(id), id);
    }
    m_change->setChecked(true);

    auto* ok = WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this), kOkId, "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(m_change, 0, 0, 1, 2);
    grid->addWidget(current, 1, 0);
    grid->addWidget(m_newIds, 1, 1);
    grid->addWidget(m_reconnect, 2, 0, 1, 2);
    grid->addWidget(m_targets, 3, 1);
    grid->setColumnMinimumWidth(0, 170);
    grid->setColumnStretch(1, 1);
    DialogLook::Arrange(this, grid, ok);
}

int DeviceDlg::Mode() const {
    return m_reconnect->isChecked() ? kReconnectMode : kChangeIdMode;
}

int DeviceDlg::NewId() const {
    return m_newIds->currentData().toInt();
}

int DeviceDlg::TargetId() const {
    return m_targets->currentIndex() < 0 ? 0 : m_targets->currentData().toInt();
}

QString DeviceDlg::TakenIdQuestion(int currentId, int newId) {
    return QStringLiteral("The last search found a device with ID %2 on the line. Give device "
                          "%1 the ID %2 as well? Two devices with one ID cannot be told apart.")
        .arg(currentId)
        .arg(newId);
}

void DeviceDlg::done(int result) {
    if (result == QDialog::Accepted && Mode() == kChangeIdMode && NewId() != m_currentId &&
        m_idsOnLine.contains(NewId()) &&
        !AskQuestion(this, TakenIdQuestion(m_currentId, NewId()))) {
        return;
    }
    QDialog::done(result);
}
