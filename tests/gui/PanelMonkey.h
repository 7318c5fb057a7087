#pragma once

// An operator who does whatever comes to mind at a connected panel: moves faders, types gains,
// mutes and inverts channels, opens editors and turns their controls, chooses the input source,
// changes the device's front-panel texts, backlight and temperature, copies channels, recalls and
// stores programs of the device's slots, undoes and redoes. Every choice comes from one seeded
// generator, so a seed replays the same session; the last actions are kept for the report of a
// failure. Only the real widgets are used, as a person would use them: clicks, keys and typed text.

#include "gui/GuiTest.h"
#include "gui/OperatorActions.h"

#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/scales/DisplayModes.h"
#include "gui/dialogs/CopyDlg.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/editors/EditorWindow.h"
#include "gui/editors/InDataDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/MuteButton.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/KbutsliderCtrl.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/XPStyleButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace simtest {

class PanelMonkey {
public:
    static constexpr std::size_t kLogLength = 40;
    // The program slots the operator recalls and stores.
    static constexpr int kSlotCount = 30;

    PanelMonkey(PanelView& panel, unsigned seed) : m_panel(panel), m_random(seed) {
        m_actions = {
            {"fader", 6, [this] { MoveFader(); }},
            {"typed gain", 4, [this] { TypeGain(); }},
            {"mute", 3, [this] { ClickStripButton(&ChannelStrip::Mute, "mute"); }},
            {"polarity", 2,
             [this] { ClickStripButton(&ChannelStrip::PolarityButton, "polarity"); }},
            {"select", 1, [this] { ClickStripButton(&ChannelStrip::SelectButton, "select"); }},
            {"open editor", 3, [this] { OpenEditor(); }},
            {"editor control", 10, [this] { UseEditorControl(); }},
            {"close editor", 1, [this] { CloseEditor(); }},
            {"input source", 1, [this] { ChooseInputSource(); }},
            {"interface", 1, [this] { ChangeInterface(); }},
            {"copy", 1, [this] { CopyChannel(); }},
            {"recall", 1, [this] { RecallOrStore(false); }},
            {"store", 1, [this] { RecallOrStore(true); }},
            // The Edit menu's Undo and Redo go to the session; the menu itself is the main
            // frame's, which this panel runs without.
            {"undo", 2, [this] { StepHistory(true); }},
            {"redo", 1, [this] { StepHistory(false); }},
        };
        int total = 0;
        for (const Action& action : m_actions) {
            total += action.weight;
        }
        m_totalWeight = total;
        // Made before the run, so that what the panel holds is all that grows while it goes on.
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            auto program = std::make_unique<CAudio_Data>();
            program->SetDeviceType(panel.Session().GetVariant().deviceType);
            m_slots[slot] = std::move(program);
        }
    }

    std::mt19937& Random() { return m_random; }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // One action, chosen by weight.
    void Act() {
        int roll = Pick(0, m_totalWeight - 1);
        for (const Action& action : m_actions) {
            if (roll < action.weight) {
                action.run();
                ++m_count;
                return;
            }
            roll -= action.weight;
        }
    }

    int Count() const { return m_count; }

    // The last actions, oldest first, one a line.
    QString RecentActions() const {
        QString text;
        for (const QString& line : m_log) {
            text += line + '\n';
        }
        return text;
    }
    // With trace, every action is also printed as it is done (a crash then shows the last).
    void SetTrace(bool trace) { m_trace = trace; }
    void Note(const QString& line) {
        m_log.push_back(QStringLiteral("#%1 %2").arg(m_count + 1).arg(line));
        if (m_trace) {
            std::fprintf(stderr, "monkey: %s\n", qPrintable(m_log.back()));
        }
        if (m_log.size() > kLogLength) {
            m_log.pop_front();
        }
    }

    // The panel's program as each slot was last stored from it, for the slots stored so far.
    std::map<int, const CAudio_Data*> Stored() const {
        std::map<int, const CAudio_Data*> stored;
        for (const int slot : m_storedSlots) {
            stored[slot] = m_slots.at(slot).get();
        }
        return stored;
    }

    // Opens every editor once, so that what they keep for the panel's lifetime is there before
    // memory is measured.
    void OpenEveryEditor() {
        for (ChannelStrip* strip : Strips()) {
            for (const bool eq : {true, false}) {
                ClickAt(EditorButton(strip, eq));
            }
        }
    }

    // Closes every editor window and waits until each is gone.
    bool CloseEveryEditor() {
        m_panel.Editors().CloseAll();
        return QTest::qWaitFor([this] {
            EditorSlots& editors = m_panel.Editors().Slots();
            for (int kind = 0; kind < EditorSlots::KindCount; ++kind) {
                const auto slotKind = static_cast<EditorSlots::Kind>(kind);
                for (int i = 0; i < editors.Count(slotKind); ++i) {
                    if (editors.At(slotKind, i) != nullptr) {
                        return false;
                    }
                }
            }
            return true;
        });
    }

    // Leaves every window for the panel and gives it the focus: a field or spin still holding a
    // change commits it, as when the operator turns to the panel.
    void Finish() {
        ShowActive(&m_panel);
        m_panel.setFocus(Qt::OtherFocusReason);
        if (!QTest::qWaitFor([this] { return m_panel.hasFocus(); })) {
            qWarning("the panel did not take the focus");
        }
    }

private:
    struct Action {
        const char* name;
        int weight;
        std::function<void()> run;
    };

    std::vector<ChannelStrip*> Strips() const {
        std::vector<ChannelStrip*> strips;
        for (int i = 0; i < m_panel.InputStripCount(); ++i) {
            strips.push_back(m_panel.InputStrip(i));
        }
        for (int n = 0; n < m_panel.OutputStripCount(); ++n) {
            strips.push_back(m_panel.OutputStrip(n));
        }
        return strips;
    }

    ChannelStrip* AnyStrip() {
        const std::vector<ChannelStrip*> strips = Strips();
        return strips[static_cast<std::size_t>(Pick(0, static_cast<int>(strips.size()) - 1))];
    }

    static QString StripName(const ChannelStrip* strip) {
        return strip->IsOutput() ? QStringLiteral("out%1").arg(strip->Index() + 1)
                                 : QStringLiteral("in%1").arg(QChar('A' + strip->Index()));
    }

    QAbstractButton* EditorButton(ChannelStrip* strip, bool eq) const {
        const StripIds& ids =
            strip->IsOutput() ? m_panel.GetLayout().ids.output : m_panel.GetLayout().ids.input;
        return Control<QAbstractButton>(strip, (eq ? ids.eq : ids.channel) + strip->Index());
    }

    static void ClickAt(QWidget* widget) {
        if (widget != nullptr) {
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        }
    }

    // The text an operator types for value in edit's display mode.
    static QString TextFor(NumEdit* edit, int value) {
        DisplayFormat format;
        format.mode = edit->mode();
        format.minimum = edit->minimum();
        format.maximum = edit->maximum();
        format.step = edit->step();
        format.offset = edit->offset();
        format.temperature = edit->temperature();
        return QString::fromStdString(FormatDisplayValue(format, value));
    }

    void MoveFader() {
        ChannelStrip* strip = AnyStrip();
        BitmapSlider* fader = strip->Fader();
        const int position = Pick(fader->minimum(), fader->maximum());
        Note(QStringLiteral("fader %1 to %2").arg(StripName(strip)).arg(position));
        PressFaderAt(fader, position);
    }

    void TypeGain() {
        ChannelStrip* strip = AnyStrip();
        NumEdit* edit = strip->GainEdit();
        const QString text = TextFor(edit, Pick(edit->minimum(), edit->maximum()));
        Note(QStringLiteral("gain %1 typed %2").arg(StripName(strip), text));
        ShowActive(&m_panel);
        TypeValue(edit, text);
    }

    template <class Button>
    void ClickStripButton(Button* (ChannelStrip::*button)() const, const char* what) {
        ChannelStrip* strip = AnyStrip();
        Note(QStringLiteral("%1 %2").arg(QLatin1String(what), StripName(strip)));
        ClickAt((strip->*button)());
    }

    void OpenEditor() {
        ChannelStrip* strip = AnyStrip();
        const bool eq = Pick(0, 1) == 0;
        Note(QStringLiteral("open %1 editor of %2")
                 .arg(eq ? QStringLiteral("EQ") : QStringLiteral("channel"), StripName(strip)));
        ClickAt(EditorButton(strip, eq));
    }

    std::vector<EditorWindow*> OpenEditors() {
        std::vector<EditorWindow*> open;
        EditorSlots& editors = m_panel.Editors().Slots();
        for (int kind = 0; kind < EditorSlots::KindCount; ++kind) {
            const auto slotKind = static_cast<EditorSlots::Kind>(kind);
            for (int i = 0; i < editors.Count(slotKind); ++i) {
                EditorWindow* editor = editors.At(slotKind, i);
                if (editor != nullptr && editor->isVisible()) {
                    open.push_back(editor);
                }
            }
        }
        return open;
    }

    EditorWindow* AnyOpenEditor() {
        const std::vector<EditorWindow*> open = OpenEditors();
        if (open.empty()) {
            return nullptr;
        }
        return open[static_cast<std::size_t>(Pick(0, static_cast<int>(open.size()) - 1))];
    }

    void CloseEditor() {
        EditorWindow* editor = AnyOpenEditor();
        if (editor == nullptr) {
            Note(QStringLiteral("close editor: none open"));
            return;
        }
        Note(QStringLiteral("close editor \"%1\"").arg(editor->windowTitle()));
        editor->close();
    }

    // The controls of an editor an operator may turn: fields, spins, knobs, sliders, lists,
    // switches and the channel buttons. Plain push buttons (import, export) open file dialogs
    // and stay out.
    static std::vector<QWidget*> EditorControls(EditorWindow* editor) {
        std::vector<QWidget*> controls;
        for (QWidget* widget : editor->findChildren<QWidget*>()) {
            if (!widget->isVisible() || !widget->isEnabled()) {
                continue;
            }
            if (auto* edit = qobject_cast<NumEdit*>(widget)) {
                if (edit->isReadOnly() || CommitRuleOf(edit->mode()) == CommitRule::None) {
                    continue;
                }
                controls.push_back(widget);
            } else if (qobject_cast<NumSpin*>(widget) || qobject_cast<KbutsliderCtrl*>(widget) ||
                       qobject_cast<BitmapSlider*>(widget) || qobject_cast<QComboBox*>(widget) ||
                       qobject_cast<StateButton*>(widget) || qobject_cast<XPStyleButton*>(widget) ||
                       qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget)) {
                controls.push_back(widget);
            }
        }
        return controls;
    }

    void UseEditorControl() {
        EditorWindow* editor = AnyOpenEditor();
        if (editor == nullptr) {
            OpenEditor();
            return;
        }
        const std::vector<QWidget*> controls = EditorControls(editor);
        if (controls.empty()) {
            Note(QStringLiteral("editor \"%1\": no control").arg(editor->windowTitle()));
            return;
        }
        QWidget* control =
            controls[static_cast<std::size_t>(Pick(0, static_cast<int>(controls.size()) - 1))];
        const QString where =
            QStringLiteral("editor \"%1\" %2").arg(editor->windowTitle(), control->objectName());
        ShowActive(editor);
        if (auto* edit = qobject_cast<NumEdit*>(control)) {
            const QString text = TextFor(edit, Pick(edit->minimum(), edit->maximum()));
            Note(where + QStringLiteral(" typed %1").arg(text));
            TypeValue(edit, text);
        } else if (qobject_cast<QAbstractButton*>(control) != nullptr) {
            Note(where + QStringLiteral(" clicked"));
            ClickAt(control);
        } else {
            // Spins, knobs, sliders and lists step with the arrow and page keys.
            static constexpr Qt::Key kKeys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp,
                                                Qt::Key_PageDown};
            const Qt::Key key = kKeys[Pick(0, 3)];
            const int presses = Pick(1, 4);
            Note(where + QStringLiteral(" key %1 x%2").arg(int(key), 0, 16).arg(presses));
            control->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < presses; ++i) {
                QTest::keyClick(control, key);
            }
        }
    }

    // Clicks opener and, once the modal dialog of type T it opens runs, hands it to act; act
    // closes it. False when no such dialog came up.
    template <class T> bool RunDialog(QAbstractButton* opener, const std::function<void(T*)>& act) {
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                poll.stop();
                ran = true;
                act(dialog);
            }
        });
        poll.start(1);
        ShowActive(&m_panel);
        opener->click();
        return ran;
    }

    void StepHistory(bool back) {
        PanelSession& session = m_panel.Session();
        const QString step = back ? session.History().undoText() : session.History().redoText();
        Note(QStringLiteral("%1 %2").arg(back ? QStringLiteral("undo") : QStringLiteral("redo"),
                                         step.isEmpty() ? QStringLiteral("(nothing)") : step));
        if (back) {
            session.Undo();
        } else {
            session.Redo();
        }
    }

    // The analog or digital source of the whole program, in the input editor of any input,
    // opened first when it is not.
    void ChooseInputSource() {
        ChannelStrip* strip = m_panel.InputStrip(Pick(0, m_panel.InputStripCount() - 1));
        const bool digital = Pick(0, 1) == 1;
        Note(QStringLiteral("input source %1 in the editor of %2")
                 .arg(digital ? QStringLiteral("digital") : QStringLiteral("analog"),
                      StripName(strip)));
        ShowActive(&m_panel);
        ClickAt(EditorButton(strip, false));
        EditorWindow* editor =
            m_panel.Editors().Slots().At(EditorSlots::InputChannel, strip->Index());
        if (editor == nullptr || !ShowActive(editor)) {
            Note(QStringLiteral("input source: the editor did not open"));
            return;
        }
        ClickAt(
            Control<QRadioButton>(editor, digital ? InDataDlg::kDigitalId : InDataDlg::kAnalogId));
    }

    // The Interface dialog: a front-panel text line typed and sent, or the backlight or the
    // temperature list stepped with the arrow keys.
    void ChangeInterface() {
        const int what = Pick(0, 2);
        const bool firstLine = Pick(0, 1) == 0;
        const QString text = QStringLiteral("Mk%1").arg(m_count + 1);
        const bool up = Pick(0, 1) == 0;
        const int presses = Pick(1, 3);
        if (what == 0) {
            Note(QStringLiteral("interface line %1 typed %2").arg(firstLine ? 1 : 2).arg(text));
        } else {
            Note(QStringLiteral("interface %1 key %2 x%3")
                     .arg(what == 1 ? QStringLiteral("backlight") : QStringLiteral("temperature"),
                          up ? QStringLiteral("up") : QStringLiteral("down"))
                     .arg(presses));
        }
        auto* opener = Control<QAbstractButton>(&m_panel, m_panel.GetLayout().ids.interface);
        if (opener == nullptr) {
            return;
        }
        RunDialog<InterfaceDlg>(opener, [&](InterfaceDlg* dialog) {
            if (what == 0) {
                auto* line = Control<CharEdit>(dialog, firstLine ? InterfaceDlg::kLine1EditId
                                                                 : InterfaceDlg::kLine2EditId);
                line->setFocus(Qt::TabFocusReason);
                line->selectAll();
                QTest::keyClicks(line, text);
                ClickAt(Control<QPushButton>(dialog, InterfaceDlg::kOkId));
            } else {
                auto* list =
                    Control<QComboBox>(dialog, what == 1 ? InterfaceDlg::kBacklightComboId
                                                         : InterfaceDlg::kTemperatureComboId);
                list->setFocus(Qt::TabFocusReason);
                for (int i = 0; i < presses; ++i) {
                    QTest::keyClick(list, up ? Qt::Key_Up : Qt::Key_Down);
                }
            }
            dialog->close();
        });
    }

    void CopyChannel() {
        const bool output = Pick(0, 1) == 1;
        const int count = output ? m_panel.OutputStripCount() : m_panel.InputStripCount();
        const int from = Pick(0, count - 1);
        const int to = Pick(0, count - 1);
        Note(QStringLiteral("copy %1 %2 onto %3")
                 .arg(output ? QStringLiteral("output") : QStringLiteral("input"))
                 .arg(from + 1)
                 .arg(to + 1));
        RunDialog<CopyDlg>(
            Control<QAbstractButton>(&m_panel, m_panel.GetLayout().ids.copy), [&](CopyDlg* dialog) {
                ClickAt(Control<QRadioButton>(dialog, output ? CopyDlg::kCopyOutRadioId
                                                             : CopyDlg::kCopyInRadioId));
                Control<QComboBox>(dialog,
                                   output ? CopyDlg::kOutputSourceId : CopyDlg::kInputSourceId)
                    ->setCurrentIndex(from);
                Control<QComboBox>(dialog,
                                   output ? CopyDlg::kOutputTargetId : CopyDlg::kInputTargetId)
                    ->setCurrentIndex(to);
                if (from == to) {
                    dialog->close(); // the same channel: nothing to copy
                } else {
                    ClickAt(Control<QPushButton>(dialog, CopyDlg::kOkId));
                }
            });
    }

    // The Program dialog's recall of a slot into the panel, or store of the panel's program
    // into a slot under a new name.
    void RecallOrStore(bool store) {
        const int slot = Pick(1, kSlotCount);
        const QString name = QStringLiteral("Mk%1").arg(m_count + 1);
        Note(store ? QStringLiteral("store slot %1 as %2").arg(slot).arg(name)
                   : QStringLiteral("recall slot %1").arg(slot));
        PanelSession& session = m_panel.Session();
        RunDialog<ProgramDlg>(
            Control<QAbstractButton>(&m_panel, m_panel.GetLayout().ids.program),
            [&](ProgramDlg* dialog) {
                ClickAt(Control<QRadioButton>(dialog, store ? ProgramDlg::kStoreRadioId
                                                            : ProgramDlg::kRecallRadioId));
                auto* list = Control<QTableWidget>(dialog, ProgramDlg::kListId);
                QTableWidgetItem* item = list->item(slot - 1, 1);
                list->scrollToItem(item);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(item).center());
                if (store) {
                    auto* edit = Control<CharEdit>(dialog, ProgramDlg::kNameEditId);
                    edit->selectAll();
                    QTest::keyClicks(edit, name);
                    // What the store writes: the panel's program as it is now.
                    m_slots.at(slot)->CopyFrom(session.GetDocument().GetProgram());
                    m_storedSlots.insert(slot);
                }
                // Returns once the progress window of the transfer has closed.
                ClickAt(Control<QPushButton>(dialog, ProgramDlg::kDeviceOkId));
                dialog->close();
            });
    }

    PanelView& m_panel;
    std::mt19937 m_random;
    std::vector<Action> m_actions;
    int m_totalWeight = 0;
    int m_count = 0;
    std::deque<QString> m_log;
    bool m_trace = false;
    std::map<int, std::unique_ptr<CAudio_Data>> m_slots;
    std::set<int> m_storedSlots;
};

} // namespace simtest
