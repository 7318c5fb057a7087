#pragma once

#include "core/model/AudioData.h"
#include "gui/session/DeviceSettings.h"

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class CZorvanDoc;
class EditStep;
class QUndoStack;
struct Variant;

// Turns the edits of a panel's program into steps of its undo history. The recorder keeps the
// program as it was after the last step; whatever differs from it when a step is taken is that
// step, each changed channel with its state before and after. The editors and the graph change
// the program directly, so the recorder takes a step at the end of every gesture of the
// operator: before a mouse button or key goes down (what came before is closed), and once a
// button or key came up, a wheel turned or the focus left a field (the edit that caused it).
// A drag, a held spin button or a held key is thus one step; wheel turns on one thing merge,
// and so do the keystrokes of one name.
// Besides the channels, a step holds the device settings the program carries (DeviceSettings:
// input source, interface text, backlight, temperature) when the edit changed them, and the
// program's name when a whole program was replaced or the program was named. Programs the device
// sends are kept without a step (Keep) unless the operator asked for them.
//
// Undoing or redoing a step puts its channels into the document, marks what differs to be sent
// at the next ticks and reports restored, after which everything showing the program shows it
// anew. The device settings have no change mark: a step that changed some reports them
// (settingsRestored), for the device to get them as a choice of the operator would give them;
// nothing else is sent at once.
class EditRecorder : public QObject {
    Q_OBJECT

public:
    enum class Scope {
        Channels,     // an edit of channels
        WholeProgram, // a program replaced: its name and the title belong to the step
        ProgramName,  // the program named: its name belongs to the step (none when unchanged)
    };

    EditRecorder(CZorvanDoc& document, const Variant& variant, QUndoStack& history,
                 QObject* parent = nullptr);
    ~EditRecorder() override;

    // What changed since the last step becomes one step, named name or, when name is empty,
    // after what changed ("Out 3 gain"). Nothing happens when nothing changed.
    void Commit(const QString& name = QString(), Scope scope = Scope::Channels);
    // The program as it is now is where the next step starts, without a step.
    void Keep();
    // Puts the states of step into the document: those after it or before it.
    void Apply(const EditStep& step, bool after);

signals:
    void restored();
    // A step put the device items (Protocol::Item...) that write changed settings back into
    // the program, the input source first.
    void settingsRestored(const std::vector<int>& items);
    void titleRestored(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CommitNow(const QString& name, Scope scope, bool wheel);
    // A step once the event being handled is done.
    void CommitLater(bool wheel);
    void KeepTexts();

    CZorvanDoc& m_document;
    const Variant& m_variant;
    QUndoStack& m_history;
    CAudio_Data m_kept;
    DeviceSettings m_keptSettings;
    std::string m_keptName;
    std::string m_keptTitle;
    bool m_commitPosted = false;
    bool m_postedWheel = false;
};
