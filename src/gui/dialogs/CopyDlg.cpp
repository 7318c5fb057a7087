#include "gui/dialogs/CopyDlg.h"

#include "gui/widgets/ControlId.h"
#include "gui/widgets/XPStyleButton.h"
#include "gui/editors/ChannelLabels.h"
#include "gui/dialogs/DialogLook.h"
#include "core/model/Variant.h"
#include "control/PanelLink.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

// A list of count channels, on entry selected.
QComboBox* ChannelList(int id, const QString& name, int count, bool output, int selected,
                       QWidget* parent) {
    auto* list = WithControlId(new QComboBox(parent), id, name);
    for (int k = 0; k < count; ++k) {
        list->addItem(output ? OutputChannelLabel(k) : InputChannelLabel(k));
    }
    list->setCurrentIndex(count > selected ? selected : 0);
    return list;
}

// A frame with its "Source:" and "Target:" lists.
QGroupBox* RouteFrame(const QString& title, QComboBox* source, QComboBox* target, QWidget* parent) {
    auto* frame = new QGroupBox(title, parent);
    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(new QLabel(QStringLiteral("Source:"), frame), 0, 0);
    grid->addWidget(source, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Target:"), frame), 1, 0);
    grid->addWidget(target, 1, 1);
    grid->setColumnStretch(1, 1);
    frame->setLayout(grid);
    return frame;
}

} // namespace

CopyDlg::CopyDlg(PanelLink& link, const Variant& variant, QWidget* parent)
    : QDialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("Copy"));
    DialogLook::ApplyBackground(this);

    m_copyIn = WithControlId(new QRadioButton(QStringLiteral("Copy In  Route"), this),
                             kCopyInRadioId, "copyIn");
    m_copyOut = WithControlId(new QRadioButton(QStringLiteral("Copy Out  Route"), this),
                              kCopyOutRadioId, "copyOut");
    m_copyIn->setChecked(true);
    m_inputSource = ChannelList(kInputSourceId, "inputSource", variant.inputCount, false, 0, this);
    m_inputTarget = ChannelList(kInputTargetId, "inputTarget", variant.inputCount, false, 1, this);
    m_outputSource =
        ChannelList(kOutputSourceId, "outputSource", variant.outputCount, true, 0, this);
    m_outputTarget =
        ChannelList(kOutputTargetId, "outputTarget", variant.outputCount, true, 1, this);
    m_inputSource->setAccessibleName(QStringLiteral("Input source"));
    m_inputTarget->setAccessibleName(QStringLiteral("Input target"));
    m_outputSource->setAccessibleName(QStringLiteral("Output source"));
    m_outputTarget->setAccessibleName(QStringLiteral("Output target"));

    auto* ok = WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this), kOkId, "ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CopyDlg::OnOk);

    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(m_copyIn, 0, 0);
    grid->addWidget(m_copyOut, 0, 1);
    grid->addWidget(RouteFrame(QStringLiteral("Route In"), m_inputSource, m_inputTarget, this), 1,
                    0);
    grid->addWidget(RouteFrame(QStringLiteral("Route Out"), m_outputSource, m_outputTarget, this),
                    1, 1);
    DialogLook::Arrange(this, grid, ok);
}

void CopyDlg::OnOk() {
    const bool output = m_copyOut->isChecked();
    const int from = (output ? m_outputSource : m_inputSource)->currentIndex();
    const int to = (output ? m_outputTarget : m_inputTarget)->currentIndex();
    if (from != to) {
        m_link.CopyChannel(from, to, output);
    }
    accept();
}
