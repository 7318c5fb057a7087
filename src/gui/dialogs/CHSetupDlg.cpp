#include "gui/dialogs/CHSetupDlg.h"

#include "gui/widgets/CharEdit.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DeviceText.h"
#include "gui/widgets/EnterEscape.h"
#include "gui/editors/ChannelLabels.h"
#include "gui/dialogs/DialogLook.h"
#include "core/model/AudioData.h"
#include "core/model/Channel.h"
#include "core/model/Variant.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

CAudio_Channel& ChannelOf(CAudio_Data& program, int channel, bool output) {
    if (output) {
        return *program.GetOutput(channel);
    }
    return *program.GetInput(channel);
}

} // namespace

CHSetupDlg::CHSetupDlg(CAudio_Data& program, const Variant& variant, QWidget* parent)
    : QDialog(parent), m_program(program) {
    setWindowTitle(QStringLiteral("Ch Setup"));
    DialogLook::ApplyBackground(this);
    for (int i = 0; i < kInputSlots; ++i) {
        AddSlot(i, false, i < variant.inputCount);
    }
    for (int n = 0; n < kOutputSlots; ++n) {
        AddSlot(n, true, n < variant.outputCount);
    }

    // Inputs on the left, outputs in two columns on the right.
    auto* grid = DialogLook::ControlGrid();
    grid->setHorizontalSpacing(8);
    for (const NameSlot& slot : m_slots) {
        const int row = slot.output ? slot.channel % kInputSlots : slot.channel;
        const int column = slot.output ? 2 + 2 * (slot.channel / kInputSlots) : 0;
        grid->addWidget(slot.label, row, column, Qt::AlignRight);
        grid->addWidget(slot.edit, row, column + 1);
    }
    grid->setColumnMinimumWidth(1, 90);
    grid->setColumnMinimumWidth(3, 90);
    grid->setColumnMinimumWidth(5, 90);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addLayout(grid);
    setFixedSize(sizeHint());
}

void CHSetupDlg::AddSlot(int channel, bool output, bool shown) {
    const QString label = output ? OutputChannelLabel(channel) : InputChannelLabel(channel);
    const int id = (output ? kFirstOutputEditId : kFirstInputEditId) + channel;
    auto* edit = WithControlId(new CharEdit(this), id, QStringLiteral("name%1").arg(label.mid(2)));
    edit->setMaxLength(CAudio_Channel::kNameLength);
    edit->setAccessibleName(label + QStringLiteral(" name"));
    const QString name = FromDeviceText(ChannelOf(m_program, channel, output).GetNameText());
    edit->setText(name);
    edit->installEventFilter(this);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    edit->setVisible(shown);
    caption->setVisible(shown);
    m_slots.push_back({edit, caption, channel, output, name});
}

CharEdit* CHSetupDlg::NameEdit(int channel, bool output) const {
    for (const NameSlot& slot : m_slots) {
        if (slot.channel == channel && slot.output == output) {
            return slot.edit;
        }
    }
    return nullptr;
}

void CHSetupDlg::Apply(NameSlot& slot) {
    // The text, not the edit's modified flag, tells: the edit clears that flag whenever it
    // drops a character it refuses.
    if (slot.edit->text() == slot.applied) {
        return;
    }
    slot.applied = slot.edit->text();
    ChannelOf(m_program, slot.channel, slot.output).SetName(ToDeviceText(slot.edit->text()));
    emit nameApplied(slot.channel, slot.output);
}

bool CHSetupDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (NameSlot& slot : m_slots) {
            if (slot.edit == watched) {
                Apply(slot);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CHSetupDlg::keyPressEvent(QKeyEvent* event) {
    if (!TakeFocusOnEnterOrEscape(this, event)) {
        QDialog::keyPressEvent(event);
    }
}

void CHSetupDlg::done(int result) {
    for (NameSlot& slot : m_slots) {
        Apply(slot);
    }
    QDialog::done(result);
}
