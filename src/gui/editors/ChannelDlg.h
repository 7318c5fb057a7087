#pragma once

#include "gui/editors/DelayGroup.h"
#include "gui/editors/EditorWindow.h"

#include <vector>

class CAudio_Channel;
class XPStyleButton;
struct Variant;

// What the input and the output channel dialogs share: the device variant and the temperature
// (for metres and feet) taken from the program at construction (an open dialog keeps that
// temperature), the index of the channel shown, its delay group, and the row of channel buttons
// of the older dialog that switched channels itself. A dialog now shows only the channel of its
// slot, so those buttons stay hidden.
class ChannelDlg : public EditorWindow {
    Q_OBJECT

public:
    // Shows channel index: selects its button, titles the window after it and, when the
    // program has that channel, puts the graph on it and shows it.
    void SelectChannel(int index) override;
    int Channel() const { return m_index; }
    DelayGroup* Delay() const { return m_delay; }

protected:
    ChannelDlg(CAudio_Data& program, const QString& objectName, QWidget* parent);

    const Variant& DeviceVariant() const { return m_variant; }
    int Temperature() const { return m_temperature; }
    // The channel shown, or nullptr without a program.
    virtual CAudio_Channel* ShownChannel() const = 0;
    // The window title and the channel button caption of channel index.
    virtual QString ChannelTitle(int index) const = 0;
    // Whether the dialog edits an output (else an input), for the names its controls are
    // spoken by.
    virtual bool EditsOutput() const = 0;

    // The delay group on this window: what the operator enters changes the shown channel's
    // delay.
    DelayGroup* BuildDelay(const DelayGroup::Ids& ids, const QString& msCaption);
    // count hidden channel buttons with control ids from firstId, named by objectName(k).
    template <typename Name> void BuildChannelButtons(int firstId, int count, Name objectName) {
        for (int k = 0; k < count; ++k) {
            AddChannelButton(firstId + k, objectName(k));
        }
    }
    XPStyleButton* ChannelButton(int index) const;

private:
    void AddChannelButton(int id, const QString& objectName);

    const Variant& m_variant;
    int m_temperature = 0;
    int m_index = 0;
    DelayGroup* m_delay = nullptr;
    std::vector<XPStyleButton*> m_channelButtons;
};
