// The panel's undo history: every kind of edit is one step named in the panel's words, undo
// puts the document back and redo forward again, the panel and the open editors show it at
// once, the Edit menu names the step and its keys work from an editor window, and on a panel
// connected to the simulator an undone edit reaches the device at the next ticks.

#include "gui/ConnectedPanel.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/OperatorActions.h"

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/dialogs/CHSetupDlg.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/EqImportDlg.h"
#include "gui/editors/InDataDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/MuteButton.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/XPStyleButton.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;

// A copy of a program's channels, to compare the document with later.
std::unique_ptr<CAudio_Data> CopyOf(const CAudio_Data& program) {
    auto copy = std::make_unique<CAudio_Data>();
    copy->SetDeviceType(program.GetDeviceType());
    copy->CopyFrom(program);
    return copy;
}

// The parameters in which two programs differ, one line each.
QString Differences(const CAudio_Data& first, const CAudio_Data& second) {
    QStringList lines;
    for (const ParameterDifference& d :
         ParameterDiff::Compare(first, second, first.GetDeviceType())) {
        lines << QString::fromStdString(ParameterDiff::Line(d));
    }
    return lines.join(QStringLiteral("; "));
}

QAction* MenuAction(CMainFrame& frame, const char* name) {
    return frame.findChild<QAction*>(QString::fromLatin1(name));
}

QString Sample(const QString& name) {
    return QStringLiteral(SONVEX_TEST_DATA_DIR "/eq/") + name;
}

// Runs act on the modal dialog of type T once it is running.
template <class T> void WhenRunning(const std::function<void(T*)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = RunningDialog<T>()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

// The payloads of the writes of system item the device received from frame from on, and how
// many writes of any kind came with them.
struct ItemWrites {
    QList<QByteArray> payloads;
    int allWrites = 0;
};
ItemWrites WritesOf(const simtest::SimProcess& sim, int item, std::size_t from) {
    ItemWrites writes;
    for (const simtest::LoggedFrame& frame : sim.Received(from)) {
        if (frame.Code() != Protocol::WriteRequest) {
            continue;
        }
        ++writes.allWrites;
        if (frame.Group() == Protocol::GroupSystem && frame.Channel() == item) {
            writes.payloads.append(frame.Payload());
        }
    }
    return writes;
}

// Clicks the row of program (1..30) in the Program dialog's list.
void ClickProgramRow(ProgramDlg& dialog, int program) {
    auto* list = Control<QTableWidget>(&dialog, ProgramDlg::kListId);
    QTableWidgetItem* item = list->item(program - 1, 1);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

QPoint Centre(const CRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A control that steps a channel's gain with the wheel, one index per notch.
class WheelGain : public QWidget {
public:
    explicit WheelGain(CAudio_Channel& channel) : m_channel(channel) { resize(40, 40); }

protected:
    void wheelEvent(QWheelEvent* event) override {
        m_channel.SetGain(m_channel.GetGain() + event->angleDelta().y() / 120);
    }

private:
    CAudio_Channel& m_channel;
};

// A 4-in/8-out panel in a shown main frame, its editors opened on demand.
struct Bench {
    Bench() {
        frame.OnCommand(ScreenCommand::kFourByEight);
        panel = frame.CurrentPanel();
    }
    PanelSession& Session() const { return panel->Session(); }
    CAudio_Data& Program() const { return Session().GetDocument().GetProgram(); }
    template <class T> T* Editor(EditorSlots::Kind kind, int index) {
        switch (kind) {
        case EditorSlots::InputEq:
            panel->Editors().OpenInputEq(index);
            break;
        case EditorSlots::InputChannel:
            panel->Editors().OpenInputChannel(index);
            break;
        case EditorSlots::OutputEq:
            panel->Editors().OpenOutputEq(index);
            break;
        default:
            panel->Editors().OpenOutputChannel(index);
            break;
        }
        auto* editor = qobject_cast<T*>(panel->Editors().At(kind, index));
        if (editor == nullptr || !ShowActive(editor)) {
            qWarning("editor %d/%d did not show", kind, index);
        }
        return editor;
    }

    MessageRecorder messages;
    CMainFrame frame;
    PanelView* panel = nullptr;
};

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyKindOfEditIsOneStep_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("step");
        QTest::newRow("strip gain typed") << "strip gain"
                                          << "Out 3 gain";
        QTest::newRow("fader drag") << "fader drag"
                                    << "In B gain";
        QTest::newRow("mute") << "mute"
                              << "Out 1 mute";
        QTest::newRow("polarity") << "polarity"
                                  << "In A polarity";
        QTest::newRow("select") << "select"
                                << "Out 2 select";
        QTest::newRow("EQ band typed") << "eq typed"
                                       << "In A EQ band 2";
        QTest::newRow("graph drag") << "graph drag"
                                    << "Out 1 EQ band 1";
        QTest::newRow("delay") << "delay"
                               << "In B delay";
        QTest::newRow("crossover") << "crossover"
                                   << "Out 5 crossover";
        QTest::newRow("dynamics") << "dynamics"
                                  << "Out 5 dynamics";
        QTest::newRow("sources") << "sources"
                                 << "Out 5 sources";
        QTest::newRow("input source") << "input source"
                                      << "Input source";
        QTest::newRow("copy") << "copy"
                              << "Copy Out 1 to Out 2";
        QTest::newRow("EQ import") << "import"
                                   << "Out 1 EQ import";
        QTest::newRow("loaded file") << "file"
                                     << "Open file "; // and the file's name
    }

    // Each kind of edit made as the operator makes it: exactly one step with its name, the Edit
    // menu naming it; undo gives the program before, redo the program after, and a value shown
    // in a field shows the undone value at once.
    void everyKindOfEditIsOneStep() {
        QFETCH(QString, kind);
        QFETCH(QString, step);
        Bench bench;
        QVERIFY(ShowActive(&bench.frame));
        PanelSession& session = bench.Session();
        CAudio_Data& program = bench.Program();
        QUndoStack& history = session.History();
        QTemporaryDir dir;
        FileChoiceScript files;

        // What the edit does; field: a field that shows the edited value (or none).
        std::function<void()> edit;
        NumEdit* field = nullptr;
        // With the input source: the open input editor's radio of the digital source.
        QRadioButton* digital = nullptr;
        if (kind == "strip gain") {
            field = bench.panel->OutputStrip(2)->GainEdit();
            edit = [field] { TypeValue(field, QStringLiteral("-6")); };
        } else if (kind == "fader drag") {
            BitmapSlider* fader = bench.panel->InputStrip(1)->Fader();
            field = bench.panel->InputStrip(1)->GainEdit();
            edit = [fader] {
                const QPoint from(fader->width() / 2, fader->height() / 2);
                QTest::mousePress(fader, Qt::LeftButton, {}, from);
                for (int dy = 4; dy <= 40; dy += 4) {
                    QTest::mouseMove(fader, from + QPoint(0, dy));
                }
                QTest::mouseRelease(fader, Qt::LeftButton, {}, from + QPoint(0, 40));
            };
        } else if (kind == "mute") {
            edit = [&bench] {
                QTest::mouseClick(bench.panel->OutputStrip(0)->Mute(), Qt::LeftButton);
            };
        } else if (kind == "polarity") {
            edit = [&bench] {
                QTest::mouseClick(bench.panel->InputStrip(0)->PolarityButton(), Qt::LeftButton);
            };
        } else if (kind == "select") {
            edit = [&bench] {
                QTest::mouseClick(bench.panel->OutputStrip(1)->SelectButton(), Qt::LeftButton);
            };
        } else if (kind == "eq typed") {
            auto* eq = bench.Editor<EqDlg>(EditorSlots::InputEq, 0);
            QVERIFY(eq != nullptr);
            field = Control<NumEdit>(eq, eq->Description().firstBandIds.OfBand(1).frequencyEdit);
            edit = [field] { TypeValue(field, QStringLiteral("2500")); };
        } else if (kind == "graph drag") {
            // A band switched on, so that its handle can be held.
            CFilter* band = program.GetOutput(0)->GetFilter(0);
            band->SetFrequency(1000);
            band->SetGainIndex(360);
            session.CommitEdits();
            auto* eq = bench.Editor<EqDlg>(EditorSlots::OutputEq, 0);
            QVERIFY(eq != nullptr);
            field = Control<NumEdit>(eq, eq->Description().firstBandIds.OfBand(0).frequencyEdit);
            CFStatic* graph = bench.panel->Graph();
            graph->Redraw();
            edit = [graph, band] {
                const QPoint from = Centre(band->GetBandHandle());
                QTest::mouseMove(graph, from);
                QTest::mousePress(graph, Qt::LeftButton, {}, from);
                for (int i = 1; i <= 8; ++i) {
                    QTest::mouseMove(graph, from + QPoint(10 * i, 3 * i));
                }
                QTest::mouseRelease(graph, Qt::LeftButton, {}, from + QPoint(80, 24));
            };
        } else if (kind == "delay") {
            auto* input = bench.Editor<InDataDlg>(EditorSlots::InputChannel, 1);
            QVERIFY(input != nullptr);
            field = Control<NumEdit>(input, InDataDlg::kDelayMsId);
            edit = [field] { TypeValue(field, QStringLiteral("10")); };
        } else if (kind == "crossover" || kind == "dynamics" || kind == "sources") {
            auto* output = bench.Editor<OutDataDlg>(EditorSlots::OutputChannel, 4);
            QVERIFY(output != nullptr);
            if (kind == "sources") {
                edit = [output] { QTest::mouseClick(output->SourceButton(2), Qt::LeftButton); };
            } else {
                field = Control<NumEdit>(output, kind == "crossover" ? OutDataDlg::kHighPassId
                                                                     : OutDataDlg::kThresholdId);
                const QString text = kind == "crossover" ? "40" : "-10";
                edit = [field, text] { TypeValue(field, text); };
            }
        } else if (kind == "input source") {
            auto* input = bench.Editor<InDataDlg>(EditorSlots::InputChannel, 2);
            QVERIFY(input != nullptr);
            digital = Control<QRadioButton>(input, InDataDlg::kDigitalId);
            QVERIFY(!digital->isChecked());
            edit = [digital] { QTest::mouseClick(digital, Qt::LeftButton); };
        } else if (kind == "name") {
            auto* button = Control<QPushButton>(bench.panel, bench.panel->GetLayout().ids.boxName);
            QVERIFY(button != nullptr);
            edit = [button] {
                WhenRunning<CHSetupDlg>([](CHSetupDlg* dialog) {
                    CharEdit* name = dialog->NameEdit(0, false);
                    name->setFocus(Qt::TabFocusReason);
                    name->selectAll();
                    QTest::keyClick(name, Qt::Key_Backspace);
                    QTest::keyClicks(name, QStringLiteral("Vox"));
                    dialog->close();
                });
                button->click();
            };
        } else if (kind == "copy") {
            program.GetOutput(0)->SetGain(300);
            program.GetOutput(0)->SetDelay(50);
            session.CommitEdits();
            edit = [&session] { QVERIFY(session.Link().CopyChannel(0, 1, true)); };
        } else if (kind == "import") {
            auto* eq = bench.Editor<EqDlg>(EditorSlots::OutputEq, 0);
            QVERIFY(eq != nullptr);
            files.Answer(Sample("apo_config.txt"));
            edit = [eq] {
                WhenRunning<EqImportDlg>([](EqImportDlg* preview) {
                    preview->PreampBox()->setChecked(true);
                    QTest::mouseClick(preview->ApplyButton(), Qt::LeftButton);
                });
                QTest::mouseClick(eq->ImportButton(), Qt::LeftButton);
            };
        } else if (kind == "file") {
            CZorvanDoc document;
            document.GetProgram().SetDeviceType(program.GetDeviceType());
            document.GetProgram().GetOutput(2)->SetGain(123);
            document.GetProgram().GetInput(0)->SetName("Loaded");
            const std::string path =
                StoreProgramToPC(document, program.GetDeviceType(),
                                 dir.filePath(QStringLiteral("undo")).toStdString())
                    .path;
            QVERIFY(!path.empty());
            step += QFileInfo(QString::fromStdString(path)).fileName();
            edit = [&session, path] {
                QVERIFY(session.Files().LoadProgram(QString::fromStdString(path)));
            };
        }
        QVERIFY(edit);

        const std::unique_ptr<CAudio_Data> before = CopyOf(program);
        const int enabledBefore = program.GetOutput(1)->IsEnabled();
        const int sourceBefore = program.GetInputSource();
        auto* sourceDisplay =
            Control<QLabel>(bench.panel, bench.panel->GetLayout().ids.inputSourceDisplay);
        QVERIFY(sourceDisplay != nullptr);
        const QString sourceShownBefore = sourceDisplay->text();
        const QString shownBefore = field != nullptr ? field->text() : QString();
        const int steps = history.count();
        edit();
        QTRY_COMPARE(history.count(), steps + 1);
        // Nothing more comes once the gesture is over.
        QTest::qWait(50);
        QCOMPARE(history.count(), steps + 1);
        QCOMPARE(history.undoText(), step);
        QCOMPARE(MenuAction(bench.frame, "editUndo")->text(), "Undo " + step);
        QVERIFY(MenuAction(bench.frame, "editUndo")->isEnabled());
        const std::unique_ptr<CAudio_Data> after = CopyOf(program);
        const int enabledAfter = program.GetOutput(1)->IsEnabled();
        const int sourceAfter = program.GetInputSource();
        const QString sourceShownAfter = sourceDisplay->text();
        if (field != nullptr) {
            // A drag on the graph reaches the editor's fields at the next notification.
            QTRY_VERIFY(field->text() != shownBefore);
        }
        const QString shownAfter = field != nullptr ? field->text() : QString();
        if (kind == "select") {
            QVERIFY(enabledAfter != enabledBefore);
        } else if (kind == "input source") {
            QCOMPARE(sourceAfter, 1);
            QCOMPARE(sourceShownAfter, QStringLiteral("Digital"));
            QCOMPARE(Differences(*before, *after), QString());
        } else {
            QVERIFY(!Differences(*before, *after).isEmpty());
        }

        session.Undo();
        QCOMPARE(Differences(*before, program), QString());
        QCOMPARE(program.GetOutput(1)->IsEnabled(), enabledBefore);
        QCOMPARE(program.GetInputSource(), sourceBefore);
        QCOMPARE(sourceDisplay->text(), sourceShownBefore);
        if (digital != nullptr) {
            QVERIFY(!digital->isChecked());
        }
        QCOMPARE(MenuAction(bench.frame, "editRedo")->text(), "Redo " + step);
        if (field != nullptr) {
            QCOMPARE(field->text(), shownBefore);
        }
        if (kind == "strip gain") {
            QCOMPARE(bench.panel->OutputStrip(2)->Gain(), before->GetOutput(2)->GetGain());
        }

        session.Redo();
        QCOMPARE(Differences(*after, program), QString());
        QCOMPARE(program.GetOutput(1)->IsEnabled(), enabledAfter);
        QCOMPARE(program.GetInputSource(), sourceAfter);
        QCOMPARE(sourceDisplay->text(), sourceShownAfter);
        if (digital != nullptr) {
            QVERIFY(digital->isChecked());
        }
        QCOMPARE(history.undoText(), step);
        if (field != nullptr) {
            QCOMPARE(field->text(), shownAfter);
        }
    }

    // An undone edit is marked to be sent like an edit: only the groups it changed, and a
    // crossover walks back an octave at a time. Mute twice is two steps, not one.
    void undoMarksWhatItChanged() {
        Bench bench;
        QVERIFY(ShowActive(&bench.frame));
        PanelSession& session = bench.Session();
        CAudio_Data& program = bench.Program();
        CAudio_OutData& out1 = *program.GetOutput(0);

        QTest::mouseClick(bench.panel->OutputStrip(0)->Mute(), Qt::LeftButton);
        QTest::mouseClick(bench.panel->OutputStrip(0)->Mute(), Qt::LeftButton);
        QCOMPARE(session.History().count(), 2);
        program.ClearChanged();
        session.Undo();
        QCOMPARE(out1.GetOn(), 0);
        QCOMPARE(out1.IsParamsChanged(), 1);
        QCOMPARE(out1.IsNameChanged(), 0);
        QCOMPARE(out1.IsDynamicsChanged(), 0);
        for (int i = 0; i < out1.GetFilterCount(); ++i) {
            QCOMPARE(out1.GetFilter(i)->IsChanged(), 0);
        }

        CFilter* highPass = out1.GetHighPass();
        const int frequencyBefore = highPass->GetFrequency();
        highPass->SetFrequency(frequencyBefore * 8);
        session.CommitEdits();
        QCOMPARE(session.History().undoText(), QStringLiteral("Out 1 crossover"));
        program.ClearChanged(); // sent step by step until the device has the new frequency
        while (highPass->IsChanged() != 0) {
            highPass->StepSentFrequency(0);
        }
        session.Undo();
        QCOMPARE(highPass->GetFrequency(), frequencyBefore);
        QCOMPARE(highPass->IsChanged(), 1);
        QCOMPARE(highPass->GetSentFrequency(), frequencyBefore * 8);
        highPass->StepSentFrequency(0);
        QCOMPARE(highPass->GetSentFrequency(), frequencyBefore * 4);
    }

    // Turns of the wheel on one thing, as a control that follows the wheel makes them, are one
    // step; turned back to where they began, the step goes again.
    void wheelTurnsMergeIntoOneStep() {
        Bench bench;
        QVERIFY(ShowActive(&bench.frame));
        PanelSession& session = bench.Session();
        CAudio_OutData& out1 = *bench.Program().GetOutput(0);
        const int gainBefore = out1.GetGain();
        WheelGain wheel(out1);
        const auto turn = [&wheel](int notches) {
            const QPoint at(wheel.width() / 2, wheel.height() / 2);
            QWheelEvent event(at, wheel.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&wheel, &event);
        };

        // Back and forth at once: nothing to undo.
        turn(1);
        turn(-1);
        QCoreApplication::processEvents();
        QCOMPARE(out1.GetGain(), gainBefore);
        QCOMPARE(session.History().count(), 0);

        turn(1);
        turn(1);
        QCoreApplication::processEvents();
        turn(1);
        QTRY_COMPARE(out1.GetGain(), gainBefore + 3);
        QTRY_COMPARE(session.History().count(), 1);
        QCOMPARE(session.History().undoText(), QStringLiteral("Out 1 gain"));
        session.Undo();
        QCOMPARE(out1.GetGain(), gainBefore);
        session.Redo();
        QCOMPARE(out1.GetGain(), gainBefore + 3);
    }

    // "Undo"/"Redo" follow the panel shown: disabled on the model selection and on a new
    // panel, whose history starts empty. Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y work while an editor
    // window is the active one.
    void editMenuAndKeys() {
        Bench bench;
        QAction* undo = MenuAction(bench.frame, "editUndo");
        QAction* redo = MenuAction(bench.frame, "editRedo");
        QVERIFY(undo != nullptr && redo != nullptr);
        QCOMPARE(undo->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
        QCOMPARE(redo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
        QVERIFY(ShowActive(&bench.frame));
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!undo->isEnabled());

        CAudio_InData& inB = *bench.Program().GetInput(1);
        auto* editor = bench.Editor<InDataDlg>(EditorSlots::InputChannel, 1);
        QVERIFY(editor != nullptr);
        const int delayBefore = inB.GetDelay();
        TypeValue(Control<NumEdit>(editor, InDataDlg::kDelayMsId), QStringLiteral("10"));
        QTRY_COMPARE(undo->text(), QStringLiteral("Undo In B delay"));
        const int delayAfter = inB.GetDelay();
        QVERIFY(delayAfter != delayBefore);
        QVERIFY(QApplication::activeWindow() == editor);

        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(inB.GetDelay(), delayBefore);
        QCOMPARE(redo->text(), QStringLiteral("Redo In B delay"));
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(inB.GetDelay(), delayAfter);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(inB.GetDelay(), delayBefore);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(inB.GetDelay(), delayAfter);

        // The menu item itself.
        undo->trigger();
        QCOMPARE(inB.GetDelay(), delayBefore);

        // Leaving the panel ends its history.
        bench.frame.OnCommand(ScreenCommand::kSelection);
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        bench.frame.OnCommand(ScreenCommand::kFourByEight);
        QCOMPARE(bench.frame.CurrentSession()->History().count(), 0);
        QVERIFY(!undo->isEnabled());
    }

    // Connected: the program read at connect starts a new history; an undone gain goes out at
    // the next ticks and not at the undo itself, and the device then holds the old gain.
    // A program recalled by the operator is one step that puts the previous program back.
    void undoneEditsReachTheDevice() {
        simtest::ConnectedPanel bench;
        MessageRecorder messages;
        PanelSession& session = bench.session;
        CAudio_Data& program = session.GetDocument().GetProgram();
        PanelLink& link = session.Link();
        program.GetOutput(3)->SetDelay(20);
        session.CommitEdits();
        QCOMPARE(session.History().count(), 1);
        QVERIFY(bench.Connect(kWaitMs));
        QCOMPARE(session.History().count(), 0);

        QVERIFY(ShowActive(&bench.panel));
        CAudio_OutData& out3 = *program.GetOutput(2);
        const int gainBefore = out3.GetGain();
        TypeValue(bench.panel.OutputStrip(2)->GainEdit(), QStringLiteral("-6"));
        QTRY_COMPARE(session.History().undoText(), QStringLiteral("Out 3 gain"));
        QVERIFY(out3.GetGain() != gainBefore);
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        const int queued = link.GetEngine().Count();
        const std::size_t mark = bench.sim.Frames().size();
        session.Undo();
        QCOMPARE(out3.GetGain(), gainBefore);
        QCOMPARE(link.GetEngine().Count(), queued);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        int levelWrites = 0;
        for (const simtest::LoggedFrame& frame : bench.sim.Received(mark)) {
            if (frame.Code() == Protocol::WriteRequest) {
                QCOMPARE(frame.Group(), static_cast<int>(Protocol::GroupOutput));
                QCOMPARE(frame.Channel(), static_cast<int>(out3.GetChannelIndex()));
                QCOMPARE(frame.Block(), static_cast<int>(Protocol::OutputBlockLevels));
                ++levelWrites;
            }
        }
        QCOMPARE(levelWrites, 1);

        // The device's live program, read back, holds the gain the undo put back; that read is
        // the operator's recall, one step which undoes to the program before it.
        out3.SetGain(gainBefore + 20);
        session.CommitEdits();
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(session.RecallProgram(0));
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, kWaitMs);
        QCOMPARE(out3.GetGain(), gainBefore);
        QCOMPARE(session.History().undoText(), QStringLiteral("Recall live program"));
        session.Undo();
        QCOMPARE(out3.GetGain(), gainBefore + 20);
        QCOMPARE(out3.IsParamsChanged(), 1);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(messages.texts().isEmpty());
    }

    void undoneSettingsReachTheDevice_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("item");
        QTest::newRow("input source") << "source"
                                      << "Input source" << int(Protocol::ItemInputSource);
        QTest::newRow("backlight") << "backlight"
                                   << "Backlight" << int(Protocol::ItemBacklight);
        QTest::newRow("temperature") << "temperature"
                                     << "Temperature" << int(Protocol::ItemTemperature);
        QTest::newRow("interface text") << "text"
                                        << "Interface text" << int(Protocol::ItemInterfaceText);
    }

    // The device settings a program carries have no change mark: an undone or redone choice
    // is written to the device at once, as the choice itself was, and nothing else goes out
    // with it. The input source shows in the panel's display and the open input editor.
    void undoneSettingsReachTheDevice() {
        QFETCH(QString, setting);
        QFETCH(QString, step);
        QFETCH(int, item);
        simtest::ConnectedPanel bench;
        MessageRecorder messages;
        PanelSession& session = bench.session;
        CAudio_Data& program = session.GetDocument().GetProgram();
        PanelLink& link = session.Link();
        QVERIFY(bench.Connect(kWaitMs));
        // The settings the device reported at connect are not an edit.
        session.CommitEdits();
        QCOMPARE(session.History().count(), 0);
        QVERIFY(ShowActive(&bench.panel));
        auto* display =
            Control<QLabel>(&bench.panel, bench.panel.GetLayout().ids.inputSourceDisplay);
        QRadioButton* digital = nullptr;
        InterfaceDlg settings(link, &bench.panel);

        // The choice as the operator makes it; value: the setting as it is in the program, and
        // the start of the payload that writes it.
        std::function<void()> choose;
        std::function<QByteArray()> value;
        if (setting == "source") {
            bench.panel.Editors().OpenInputChannel(0);
            auto* editor =
                qobject_cast<InDataDlg*>(bench.panel.Editors().At(EditorSlots::InputChannel, 0));
            QVERIFY(editor != nullptr && ShowActive(editor));
            digital = Control<QRadioButton>(editor, InDataDlg::kDigitalId);
            choose = [digital] { QTest::mouseClick(digital, Qt::LeftButton); };
            value = [&program] { return QByteArray(1, char(program.GetInputSource())); };
        } else if (setting == "text") {
            QVERIFY(ShowActive(&settings));
            auto* line = Control<CharEdit>(&settings, InterfaceDlg::kLine1EditId);
            auto* ok = Control<QPushButton>(&settings, InterfaceDlg::kOkId);
            // A text of its own first, so that the undo has one to write back.
            line->selectAll();
            QTest::keyClicks(line, QStringLiteral("Alpha"));
            QTest::mouseClick(ok, Qt::LeftButton);
            QTRY_COMPARE(session.History().undoText(), step);
            choose = [line, ok] {
                line->selectAll();
                QTest::keyClicks(line, QStringLiteral("Beta"));
                QTest::mouseClick(ok, Qt::LeftButton);
            };
            value = [&program] {
                return QByteArray::fromStdString(program.GetInfoText(InterfaceDlg::kLine1));
            };
        } else {
            QVERIFY(ShowActive(&settings));
            const bool backlight = setting == "backlight";
            auto* list =
                Control<QComboBox>(&settings, backlight ? InterfaceDlg::kBacklightComboId
                                                        : InterfaceDlg::kTemperatureComboId);
            choose = [list] {
                list->setFocus();
                QTest::keyClick(list, list->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
            };
            value = [&program, backlight] {
                return QByteArray(
                    1, char(backlight ? program.GetBacklight() : program.GetTemperature()));
            };
        }
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const QByteArray before = value();
        std::size_t mark = bench.sim.Frames().size();
        const int steps = session.History().count();
        choose();
        QTRY_COMPARE(session.History().count(), steps + 1);
        QCOMPARE(session.History().undoText(), step);
        const QByteArray after = value();
        QVERIFY(after != before);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(WritesOf(bench.sim, item, mark).payloads.size(), 1);

        // Undo and redo: each the one write of the value put back, and no other frame.
        for (const bool back : {true, false}) {
            const QByteArray restored = back ? before : after;
            const int queued = link.GetEngine().Count();
            mark = bench.sim.Frames().size();
            if (back) {
                session.Undo();
            } else {
                session.Redo();
            }
            QCOMPARE(value(), restored);
            QCOMPARE(link.GetEngine().Count(), queued + 1);
            if (digital != nullptr) {
                QCOMPARE(display->text(), back ? QStringLiteral("Analog") : "Digital");
                QCOMPARE(digital->isChecked(), !back);
            }
            QVERIFY(link.WaitUntilSettled(kWaitMs));
            const ItemWrites writes = WritesOf(bench.sim, item, mark);
            QCOMPARE(writes.allWrites, 1);
            QCOMPARE(writes.payloads.size(), 1);
            // A text has its place among the lines; the other settings are the first byte.
            const QByteArray& payload = writes.payloads.front();
            QVERIFY2(setting == "text"
                         ? payload.contains(restored) && !payload.contains(back ? after : before)
                         : payload.startsWith(restored),
                     payload.toHex(' ').constData());
        }
        QVERIFY(messages.texts().isEmpty());
    }

    // Channels and device settings changed in one go are one step named after all of them,
    // and undo puts every one back.
    void channelsAndSettingsInOneStep() {
        Bench bench;
        PanelSession& session = bench.Session();
        CAudio_Data& program = bench.Program();
        const int gain = program.GetOutput(0)->GetGain();
        const int backlight = program.GetBacklight();
        const int temperature = program.GetTemperature();
        program.GetOutput(0)->SetGain(gain + 10);
        program.SetBacklight(backlight == 0 ? 1 : 0);
        program.SetTemperature(temperature + 5);
        session.CommitEdits();
        QCOMPARE(session.History().count(), 1);
        QCOMPARE(session.History().undoText(),
                 QStringLiteral("Out 1 gain, backlight, temperature"));
        session.Undo();
        QCOMPARE(program.GetOutput(0)->GetGain(), gain);
        QCOMPARE(program.GetBacklight(), backlight);
        QCOMPARE(program.GetTemperature(), temperature);
        session.Redo();
        QCOMPARE(program.GetBacklight(), backlight == 0 ? 1 : 0);
        QCOMPARE(program.GetTemperature(), temperature + 5);
    }

    // The name the Program dialog gives the program ahead of a store is one step of its own;
    // ahead of a recall it is the recalled slot's name and belongs to the recall's step. Undo
    // gives the program its name back.
    void programNameIsOneStep() {
        simtest::ConnectedPanel bench;
        MessageRecorder messages;
        PanelSession& session = bench.session;
        CAudio_Data& program = session.GetDocument().GetProgram();
        QVERIFY(bench.Connect(kWaitMs));
        const std::string nameBefore = program.GetName();
        QVERIFY(nameBefore != "Stage");
        ProgramDlg dialog(session);
        QVERIFY(ShowActive(&dialog));

        Control<QRadioButton>(&dialog, ProgramDlg::kStoreRadioId)->click();
        ClickProgramRow(dialog, 4);
        auto* name = Control<CharEdit>(&dialog, ProgramDlg::kNameEditId);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Stage"));
        int steps = session.History().count();
        Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        QVERIFY(session.Link().WaitUntilSettled(kWaitMs));
        QCOMPARE(program.GetName(), std::string("Stage"));
        QCOMPARE(session.History().count(), steps + 1);
        QCOMPARE(session.History().undoText(), QStringLiteral("Program name"));
        session.Undo();
        QCOMPARE(program.GetName(), nameBefore);
        session.Redo();
        QCOMPARE(program.GetName(), std::string("Stage"));

        // A recall under the slot's own name: one step, which undoes the name as well.
        session.Link().SetProgramName(7, QStringLiteral("Seven"));
        Control<QRadioButton>(&dialog, ProgramDlg::kRecallRadioId)->click();
        ClickProgramRow(dialog, 7);
        QCOMPARE(name->text(), QStringLiteral("Seven"));
        steps = session.History().count();
        QSignalSpy arrived(&session.Link(), &PanelLink::programReceived);
        Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, kWaitMs);
        QCOMPARE(program.GetName(), std::string("Seven"));
        QCOMPARE(session.History().count(), steps + 1);
        QCOMPARE(session.History().undoText(), QStringLiteral("Recall program 7"));
        session.Undo();
        QCOMPARE(program.GetName(), std::string("Stage"));
        QVERIFY(session.Link().WaitUntilSettled(kWaitMs));
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
