#pragma once

#include <QDialog>

#include <vector>

class CAudio_Data;
class CharEdit;
class QLabel;
struct Variant;

// "Ch Setup": names the channels of the program, at most 8 single-byte characters each. There
// is no OK: a name edit whose text the operator changed gives the channel its name when it
// loses the focus, and nameApplied tells the panel to show it. Enter and Esc only take the
// focus to the dialog (which commits the edit being typed in); the close box closes it. The
// edits of channels the variant does not have are hidden.
class CHSetupDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kFirstInputEditId = 1151;  // inputs A..D: 1151..1154
    static constexpr int kFirstOutputEditId = 1155; // outputs 1..8: 1155..1162
    static constexpr int kInputSlots = 4;
    static constexpr int kOutputSlots = 8;

    CHSetupDlg(CAudio_Data& program, const Variant& variant, QWidget* parent = nullptr);

    // The name edit of input or output channel (0-based); nullptr outside the program.
    CharEdit* NameEdit(int channel, bool output) const;

    // Every change is applied before the dialog goes.
    void done(int result) override;

signals:
    // Channel (0-based) of the inputs or the outputs took the name in its edit.
    void nameApplied(int channel, bool output);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct NameSlot {
        CharEdit* edit;
        QLabel* label;
        int channel;
        bool output;
        // The text the edit was filled with or last applied.
        QString applied;
    };

    void AddSlot(int channel, bool output, bool shown);
    // Gives the channel of slot its edited name when the text differs from the one it was
    // filled with or last applied.
    void Apply(NameSlot& slot);

    CAudio_Data& m_program;
    std::vector<NameSlot> m_slots;
};
