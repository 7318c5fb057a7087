#include "gui/editors/ChannelDlg.h"

#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "gui/editors/EditorParts.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/XPStyleButton.h"

ChannelDlg::ChannelDlg(CAudio_Data& program, const QString& objectName, QWidget* parent)
    : EditorWindow(parent), m_variant(Variant::OfDeviceType(program.GetDeviceType())),
      m_temperature(program.GetTemperature()) {
    setObjectName(objectName);
    setFont(EditorParts::DialogFont());
    SetProgram(&program);
}

DelayGroup* ChannelDlg::BuildDelay(const DelayGroup::Ids& ids, const QString& msCaption) {
    m_delay = new DelayGroup(ids, msCaption, m_variant.deviceType, m_temperature, this);
    connect(m_delay, &DelayGroup::delayChanged, this, [this](int steps) {
        if (CAudio_Channel* channel = ShownChannel()) {
            channel->SetDelay(steps);
            // The sum of a loudspeaker follows its outputs' delays.
            if (Graph() != nullptr) {
                Graph()->Redraw();
            }
        }
    });
    return m_delay;
}

void ChannelDlg::AddChannelButton(int id, const QString& objectName) {
    const int k = static_cast<int>(m_channelButtons.size());
    auto* button = WithControlId(new XPStyleButton(ChannelTitle(k), this), id, objectName);
    button->setSelected(false);
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, k] { SelectChannel(k); });
    m_channelButtons.push_back(button);
}

XPStyleButton* ChannelDlg::ChannelButton(int index) const {
    return m_channelButtons[static_cast<std::size_t>(index)];
}

void ChannelDlg::SelectChannel(int index) {
    if (index < 0 || index >= static_cast<int>(m_channelButtons.size())) {
        return;
    }
    ChannelButton(m_index)->setSelected(false);
    ChannelButton(index)->setSelected(true);
    m_index = index;
    setWindowTitle(ChannelTitle(index));
    SpokenNames::NameFor(this, index, EditsOutput());
    if (ShownChannel() == nullptr) {
        return;
    }
    ShowOnGraph();
    ShowProgram();
}
