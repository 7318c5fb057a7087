#pragma once

#include "core/model/InData.h"
#include "core/model/OutData.h"
#include "gui/session/DeviceSettings.h"

#include <QUndoCommand>

#include <memory>
#include <string>
#include <vector>

class EditRecorder;

// One step of a panel's undo history: every channel an edit changed, as it was before and
// after, the device settings the program carries when the edit changed them (input source,
// interface text, backlight, temperature), and, when a whole program was replaced or the
// program was named, the program's name and the window title on both sides. Undoing or redoing
// hands the states to the recorder, which puts them into the document and marks what differs
// to be sent. The step is pushed after its edit was made, so the first redo does nothing. Steps
// of one wheel gesture on one control merge, and so do the keystrokes that type one channel's
// name.
class EditStep : public QUndoCommand {
public:
    // What makes a step merge with the one before it (the QUndoCommand id).
    enum class Gesture {
        None = -1,
        Wheel = 1,  // turns of the wheel
        Typing = 2, // keystrokes of a name
    };
    // Turns or keystrokes closer together than this belong to one gesture.
    static constexpr qint64 kGestureGapMs = 1500;

    template <class Channel> struct Change {
        int index = 0;
        std::unique_ptr<Channel> before;
        std::unique_ptr<Channel> after;
    };
    struct Texts {
        std::string name;
        std::string title;
    };

    EditStep(EditRecorder& recorder, const QString& text, Gesture gesture);

    void AddInput(int index, std::unique_ptr<CAudio_InData> before,
                  std::unique_ptr<CAudio_InData> after);
    void AddOutput(int index, std::unique_ptr<CAudio_OutData> before,
                   std::unique_ptr<CAudio_OutData> after);
    void SetTexts(Texts before, Texts after);
    void SetSettings(const DeviceSettings& before, const DeviceSettings& after);
    void SetGesture(Gesture gesture) { m_gesture = gesture; }

    const std::vector<Change<CAudio_InData>>& Inputs() const { return m_inputs; }
    const std::vector<Change<CAudio_OutData>>& Outputs() const { return m_outputs; }
    bool HasTexts() const { return m_hasTexts; }
    const Texts& TextsOf(bool after) const { return after ? m_textsAfter : m_textsBefore; }
    bool HasSettings() const { return m_hasSettings; }
    const DeviceSettings& SettingsOf(bool after) const {
        return after ? m_settingsAfter : m_settingsBefore;
    }

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    bool SameChannels(const EditStep& other) const;
    // True when every channel is after as it was before.
    bool ChangesNothing() const;

    EditRecorder& m_recorder;
    std::vector<Change<CAudio_InData>> m_inputs;
    std::vector<Change<CAudio_OutData>> m_outputs;
    Texts m_textsBefore;
    Texts m_textsAfter;
    bool m_hasTexts = false;
    DeviceSettings m_settingsBefore;
    DeviceSettings m_settingsAfter;
    bool m_hasSettings = false;
    Gesture m_gesture = Gesture::None;
    bool m_pushed = false; // the first redo has come
    qint64 m_lastMs = 0;
};
