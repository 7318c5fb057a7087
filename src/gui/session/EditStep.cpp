#include "gui/session/EditStep.h"

#include "core/model/ChannelState.h"
#include "gui/session/EditRecorder.h"

#include <QDateTime>

EditStep::EditStep(EditRecorder& recorder, const QString& text, Gesture gesture)
    : QUndoCommand(text), m_recorder(recorder), m_gesture(gesture),
      m_lastMs(QDateTime::currentMSecsSinceEpoch()) {}

void EditStep::AddInput(int index, std::unique_ptr<CAudio_InData> before,
                        std::unique_ptr<CAudio_InData> after) {
    m_inputs.push_back({index, std::move(before), std::move(after)});
}

void EditStep::AddOutput(int index, std::unique_ptr<CAudio_OutData> before,
                         std::unique_ptr<CAudio_OutData> after) {
    m_outputs.push_back({index, std::move(before), std::move(after)});
}

void EditStep::SetTexts(Texts before, Texts after) {
    m_textsBefore = std::move(before);
    m_textsAfter = std::move(after);
    m_hasTexts = true;
}

void EditStep::SetSettings(const DeviceSettings& before, const DeviceSettings& after) {
    m_settingsBefore = before;
    m_settingsAfter = after;
    m_hasSettings = true;
}

void EditStep::undo() {
    m_recorder.Apply(*this, false);
}

void EditStep::redo() {
    // Pushed once the edit was made: the document already holds what the step leads to.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_recorder.Apply(*this, true);
}

int EditStep::id() const {
    return static_cast<int>(m_gesture);
}

bool EditStep::SameChannels(const EditStep& other) const {
    const auto sameIndices = [](const auto& a, const auto& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].index != b[i].index) {
                return false;
            }
        }
        return true;
    };
    return sameIndices(m_inputs, other.m_inputs) && sameIndices(m_outputs, other.m_outputs);
}

bool EditStep::ChangesNothing() const {
    for (const auto& change : m_inputs) {
        if (ChannelState::Compare(*change.before, *change.after).Any()) {
            return false;
        }
    }
    for (const auto& change : m_outputs) {
        if (ChannelState::Compare(*change.before, *change.after).Any()) {
            return false;
        }
    }
    return true;
}

bool EditStep::mergeWith(const QUndoCommand* command) {
    const auto* other = dynamic_cast<const EditStep*>(command);
    if (other == nullptr || m_gesture == Gesture::None || other->m_gesture != m_gesture ||
        other->text() != text() || other->m_lastMs - m_lastMs > kGestureGapMs || m_hasTexts ||
        other->m_hasTexts || m_hasSettings || other->m_hasSettings || !SameChannels(*other)) {
        return false;
    }
    for (std::size_t i = 0; i < m_inputs.size(); ++i) {
        m_inputs[i].after = ChannelState::Copy(*other->m_inputs[i].after);
    }
    for (std::size_t i = 0; i < m_outputs.size(); ++i) {
        m_outputs[i].after = ChannelState::Copy(*other->m_outputs[i].after);
    }
    m_lastMs = other->m_lastMs;
    // Turned back to where the gesture began: the step goes from the history.
    setObsolete(ChangesNothing());
    return true;
}
