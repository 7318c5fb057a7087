#pragma once

#include "core/model/InData.h"
#include "core/model/OutData.h"

#include <QUndoCommand>

#include <memory>
#include <string>
#include <vector>

class EditRecorder;

// One step of a panel's undo history: every channel an edit changed, as it was before and
// after, and, when a whole program was replaced, the program's name and the window title on
// both sides. Undoing or redoing hands the states to the recorder, which puts them into the
// document and marks what differs to be sent. The step is pushed after its edit was made, so
// the first redo does nothing. Steps of one wheel gesture on one control merge.
class EditStep : public QUndoCommand {
public:
    static constexpr int kWheelId = 1;
    // Wheel turns closer together than this belong to one gesture.
    static constexpr qint64 kWheelGestureMs = 1000;

    template <class Channel> struct Change {
        int index = 0;
        std::unique_ptr<Channel> before;
        std::unique_ptr<Channel> after;
    };
    struct Texts {
        std::string name;
        std::string title;
    };

    EditStep(EditRecorder& recorder, const QString& text, bool wheel);

    void AddInput(int index, std::unique_ptr<CAudio_InData> before,
                  std::unique_ptr<CAudio_InData> after);
    void AddOutput(int index, std::unique_ptr<CAudio_OutData> before,
                   std::unique_ptr<CAudio_OutData> after);
    void SetTexts(Texts before, Texts after);

    const std::vector<Change<CAudio_InData>>& Inputs() const { return m_inputs; }
    const std::vector<Change<CAudio_OutData>>& Outputs() const { return m_outputs; }
    bool HasTexts() const { return m_hasTexts; }
    const Texts& TextsOf(bool after) const { return after ? m_textsAfter : m_textsBefore; }

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
    bool m_wheel = false;
    bool m_pushed = false; // the first redo has come
    qint64 m_lastMs = 0;
};
