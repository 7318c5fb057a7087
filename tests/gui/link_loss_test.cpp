// The line lost under a connected panel: the simulated device killed, its terminal closed (the
// simulator ends and its terminal and link go away, as a pulled USB adapter's device node does)
// or the device gone silent (a pulled cable), while the panel is idle, while an editor drags a
// value, and while the progress window of each transfer the panel runs is up.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/CommandListener.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/ProgramBytes.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/DisplayDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/KbutsliderCtrl.h"
#include "gui/widgets/LevelMeter.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/StatusLamp.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

constexpr int kWaitMs = 20000;
constexpr int kDeviceId = 3;
// The simulator answers at once, so the panel may tick faster than on a real line; every answer
// comes a little late, so that a transfer is still running when the line goes.
constexpr int kFastTickMs = 5;
constexpr int kHourMs = 3600 * 1000;
// A line that went away is noticed well within this.
constexpr int kNoticeMs = 1000;
const QStringList kSimArguments{"--fast", "--late", "15", "--device", "3:1", "--device", "8:1"};

// How the line goes.
enum class Fault {
    Killed,         // SIGKILL: the terminal hangs up under the open port
    TerminalClosed, // the simulator ends: terminal and link are gone
    Silent,         // SIGSTOP: the port stays, nothing answers any more
};

// What the panel is doing when it goes.
enum class Moment {
    Idle,
    EqKnobDrag,        // the gain knob of an output EQ band is being dragged
    OutputFaderDrag,   // the limiter threshold fader of an output dialog is being dragged
    Connecting,        // the live program is read after "Connection"
    DeviceSwitch,      // "Device": "Re_Connect To Device" reads the other device's program
    ProgramRecall,     // Program dialog: "Recall program from Device "
    ProgramStore,      // Program dialog: "Store program to Device"
    ProgramFileToLive, // Program dialog: "Recall Program From PC", then stored to the device
    BankFromDevice,    // Program dialog: "Store all Program to PC "
    BankToDevice,      // Program dialog: "Recall  all Program From PC"
};

QString ExpectedMessage(Fault fault) {
    return fault == Fault::Silent ? QString::fromLatin1(PanelLink::kNoReplyText)
                                  : QString::fromLatin1(PanelLink::kPortFailedText);
}

void Inflict(simtest::SimProcess& sim, Fault fault) {
    switch (fault) {
    case Fault::Killed:
        sim.Kill();
        break;
    case Fault::TerminalClosed:
        sim.Stop();
        break;
    case Fault::Silent:
        sim.Pause();
        break;
    }
}

bool AnyMeterLit(PanelView& panel) {
    bool lit = false;
    for (int i = 0; i < panel.InputStripCount(); ++i) {
        lit = lit || panel.InputStrip(i)->Meter()->litSegments() != 0;
    }
    for (int n = 0; n < panel.OutputStripCount(); ++n) {
        lit = lit || panel.OutputStrip(n)->Meter()->litSegments() != 0;
    }
    return lit;
}

// Runs action once, from the event loop, as soon as ready holds (checked every millisecond).
class Trigger : public QObject {
public:
    Trigger(std::function<bool()> ready, std::function<void()> action)
        : m_ready(std::move(ready)), m_action(std::move(action)) {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            if (m_ready()) {
                m_poll.stop();
                m_fired = true;
                m_action();
            }
        });
        m_poll.start(1);
    }
    bool Fired() const { return m_fired; }

private:
    std::function<bool()> m_ready;
    std::function<void()> m_action;
    QTimer m_poll;
    bool m_fired = false;
};

// A mouse drag on a control that goes on by itself: pressed at the first point, the pointer
// then moves to the next point of the list every few milliseconds, round and round, until Hold.
class Drag : public QObject {
public:
    Drag(QWidget* control, QList<QPoint> points) : m_control(control), m_points(std::move(points)) {
        QTest::mouseMove(m_control, m_points.first());
        QTest::mousePress(m_control, Qt::LeftButton, {}, m_points.first());
        connect(&m_step, &QTimer::timeout, this, [this] { Step(); });
        m_step.start(3);
    }
    // The pointer stays where it is, the button still down.
    void Hold() { m_step.stop(); }
    // One more step with the button down.
    void Step() {
        m_index = (m_index + 1) % static_cast<int>(m_points.size());
        QTest::mouseMove(m_control, m_points.at(m_index));
    }
    void Release() {
        m_step.stop();
        QTest::mouseRelease(m_control, Qt::LeftButton, {}, m_points.at(m_index));
    }

private:
    QWidget* m_control;
    QList<QPoint> m_points;
    QTimer m_step;
    int m_index = 0;
};

// Points along the sweep of a knob, from lower left over the top to lower right.
QList<QPoint> KnobSweep(const KbutsliderCtrl* knob) {
    QList<QPoint> points;
    const qreal distance = knob->width() / 3.0;
    for (int angle = -100; angle <= 100; angle += 10) {
        points << knob->pointAt(angle, distance).toPoint();
    }
    return points;
}

// Points along a fader's track, starting on its thumb.
QList<QPoint> FaderSweep(const BitmapSlider* fader) {
    const QPoint thumb = fader->thumbRect().center();
    const QPoint step = fader->isVertical() ? QPoint(0, 4) : QPoint(4, 0);
    QList<QPoint> points;
    for (int k = 0; k < 20; ++k) {
        points << thumb + step * k;
    }
    return points;
}

// True when frame is a write to the output with the given channel index.
bool WritesOutput(const QByteArray& frame, int channelIndex) {
    return frame.size() > static_cast<int>(Protocol::OffsetChannel) &&
           static_cast<quint8>(frame[Protocol::OffsetCode]) == Protocol::WriteRequest &&
           static_cast<quint8>(frame[Protocol::OffsetGroup]) == Protocol::GroupOutput &&
           static_cast<quint8>(frame[Protocol::OffsetChannel]) == channelIndex;
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Moment)

class LinkLossTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void lineLost_data() {
        QTest::addColumn<Moment>("moment");
        QTest::addColumn<Fault>("fault");
        const struct {
            const char* name;
            Moment moment;
        } moments[] = {{"idle", Moment::Idle},
                       {"EQ knob drag", Moment::EqKnobDrag},
                       {"output fader drag", Moment::OutputFaderDrag},
                       {"connecting", Moment::Connecting},
                       {"device switch", Moment::DeviceSwitch},
                       {"program recall", Moment::ProgramRecall},
                       {"program store", Moment::ProgramStore},
                       {"program file to live", Moment::ProgramFileToLive},
                       {"bank from device", Moment::BankFromDevice},
                       {"bank to device", Moment::BankToDevice}};
        const struct {
            const char* name;
            Fault fault;
        } faults[] = {{"killed", Fault::Killed},
                      {"terminal closed", Fault::TerminalClosed},
                      {"silent", Fault::Silent}};
        for (const auto& moment : moments) {
            for (const auto& fault : faults) {
                QTest::addRow("%s, %s", moment.name, fault.name) << moment.moment << fault.fault;
            }
        }
    }

    // Whatever the panel was doing: it ends disconnected (caption, lamp, display, tick), with
    // one message, no progress window or other dialog left, the program in the panel as it was
    // when the line went, and a fresh device connects again.
    void lineLost() {
        QFETCH(Moment, moment);
        QFETCH(Fault, fault);
        QTemporaryDir dir;
        auto sim = std::make_unique<simtest::SimProcess>(kSimArguments);
        QVERIFY2(sim->Started(), qPrintable(sim->Error()));
        MessageRecorder messages;
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QVERIFY(ShowActive(&panel));
        CZorvanDoc& document = panel.Session().GetDocument();
        if (moment != Moment::Connecting) {
            QVERIFY(panel.ConnectTo(sim->Link(), kDeviceId));
            QVERIFY(link.WaitUntilSettled(kWaitMs));
        }

        QByteArray atLoss;
        const auto lose = [&] {
            atLoss = ProgramBytes(document);
            Inflict(*sim, fault);
        };
        // During a transfer: the window is up, the transfer has begun and has a way to go.
        const auto midTransfer = [&link] {
            const int remaining = link.GetTransferRemaining();
            return RunningDialog<DisplayDlg>() != nullptr && remaining >= 3 &&
                   remaining < link.GetTransferTotal();
        };
        std::unique_ptr<Trigger> trigger;
        std::unique_ptr<Drag> drag;
        EditorWindow* editor = nullptr;
        int dragWrites = 0;
        FileChoiceScript files;
        int fileChoices = 0; // the file dialogs the moment itself answers
        ProgramDlg programs(panel.Session());
        const auto runPcAction = [&programs](int radioId) {
            Control<QRadioButton>(&programs, radioId)->click();
            Control<QPushButton>(&programs, ProgramDlg::kPcOkId)->click();
        };

        switch (moment) {
        case Moment::Idle:
            // The meters have a reading to lose.
            QTRY_VERIFY_WITH_TIMEOUT(AnyMeterLit(panel), kWaitMs);
            lose();
            break;
        case Moment::EqKnobDrag:
        case Moment::OutputFaderDrag: {
            const bool eq = moment == Moment::EqKnobDrag;
            const int output = 2;
            if (eq) {
                panel.Editors().OpenOutputEq(output);
                editor = panel.Editors().At(EditorSlots::OutputEq, output);
            } else {
                panel.Editors().OpenOutputChannel(output);
                editor = panel.Editors().At(EditorSlots::OutputChannel, output);
            }
            QVERIFY(editor != nullptr);
            QVERIFY(ShowActive(editor));
            if (eq) {
                auto* knob = Control<KbutsliderCtrl>(
                    editor, EqDlgDescription::Output().firstBandIds.gainKnob);
                QVERIFY(knob != nullptr);
                drag = std::make_unique<Drag>(knob, KnobSweep(knob));
            } else {
                auto* fader = Control<BitmapSlider>(editor, OutDataDlg::kThresholdFaderId);
                QVERIFY(fader != nullptr);
                drag = std::make_unique<Drag>(fader, FaderSweep(fader));
            }
            // The drag goes out while the line is there.
            const int channelIndex = document.GetProgram().GetOutput(output)->GetChannelIndex();
            const auto counting = connect(&link, &PanelLink::recordTransmitted, this,
                                          [&dragWrites, channelIndex](const QByteArray& frame) {
                                              dragWrites += WritesOutput(frame, channelIndex);
                                          });
            QTRY_VERIFY_WITH_TIMEOUT(dragWrites >= 3, kWaitMs);
            disconnect(counting);
            drag->Hold();
            lose();
            break;
        }
        case Moment::Connecting:
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            QVERIFY(panel.ConnectTo(sim->Link(), kDeviceId));
            break;
        case Moment::DeviceSwitch:
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            QTimer::singleShot(0, this, [] {
                auto* dialog = RunningDialog<DeviceDlg>();
                QVERIFY(dialog != nullptr);
                Control<QRadioButton>(dialog, DeviceDlg::kReconnectRadioId)->click();
                auto* targets = Control<QComboBox>(dialog, DeviceDlg::kTargetComboId);
                targets->setCurrentIndex(targets->findData(8));
                Control<QPushButton>(dialog, DeviceDlg::kOkId)->click();
            });
            Control<QPushButton>(&panel, panel.GetLayout().ids.device)->click();
            QCOMPARE(link.GetDeviceId(), 8);
            break;
        case Moment::ProgramRecall:
        case Moment::ProgramStore:
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            programs.SelectProgram(7);
            Control<QRadioButton>(&programs, moment == Moment::ProgramRecall
                                                 ? ProgramDlg::kRecallRadioId
                                                 : ProgramDlg::kStoreRadioId)
                ->click();
            Control<QPushButton>(&programs, ProgramDlg::kDeviceOkId)->click();
            break;
        case Moment::ProgramFileToLive: {
            CZorvanDoc file;
            file.GetProgram().SetName("Stage");
            file.GetProgram().GetOutput(1)->SetGain(123);
            const QString path = dir.filePath("stage.dia48");
            QVERIFY(StoreProgramToPC(file, 1, path.toStdString()));
            files.Answer(path);
            fileChoices = 1;
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            runPcAction(ProgramDlg::kRecallFromPcRadioId);
            break;
        }
        case Moment::BankFromDevice:
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            runPcAction(ProgramDlg::kStoreAllToPcRadioId);
            break;
        case Moment::BankToDevice: {
            CZorvanDoc bank;
            const QString path = dir.filePath("tour.dat48");
            QVERIFY(StoreAllToPC(bank, path.toStdString()));
            files.Answer(path);
            fileChoices = 1;
            trigger = std::make_unique<Trigger>(midTransfer, lose);
            runPcAction(ProgramDlg::kRecallAllFromPcRadioId);
            break;
        }
        }
        if (trigger) {
            // The transfer's window has closed: the operation that ran it has returned.
            QVERIFY2(trigger->Fired(), "the transfer ended before the line was lost");
        }

        QTRY_VERIFY_WITH_TIMEOUT(!link.IsConnected(), kWaitMs);
        const PanelIds& ids = panel.GetLayout().ids;
        QCOMPARE(Control<QPushButton>(&panel, ids.connection)->text(), QString("Connection"));
        QCOMPARE(panel.Lamp()->color(), QColor(Qt::red));
        QVERIFY(!panel.Lamp()->isBlinking());
        QCOMPARE(Control<QLabel>(&panel, ids.linkDisplay)->text(), QString("Unlink"));
        QVERIFY(!AnyMeterLit(panel));
        QVERIFY(!link.IsTickRunning());
        QVERIFY(!link.IsBusy());
        QCOMPARE(link.GetEngine().Count(), 0);
        QTRY_COMPARE(messages.texts(), QStringList{ExpectedMessage(fault)});
        QVERIFY(RunningDialog<QDialog>() == nullptr);
        QCOMPARE(ProgramBytes(document), atLoss);
        // No other file dialog: half a bank from the device is not offered for saving.
        QCOMPARE(files.Requests().size(), fileChoices);

        if (drag) {
            // The editor stays open and keeps editing the program; nothing is queued.
            drag->Step();
            drag->Release();
            QVERIFY(editor->isVisible());
            QVERIFY(ProgramBytes(document) != atLoss);
            QCOMPARE(link.GetEngine().Count(), 0);
        }

        // A fresh device on a fresh line: connecting works as before, and reads its program.
        sim->Resume();
        simtest::SimProcess fresh({"--fast", "--device", "3:1"});
        QVERIFY2(fresh.Started(), qPrintable(fresh.Error()));
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(panel.ConnectTo(fresh.Link(), kDeviceId));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Control<QPushButton>(&panel, ids.connection)->text(), QString("UnConnect"));
        QVERIFY(link.IsTickRunning());
        QCOMPARE(messages.texts().size(), 1);
    }

    void realBoxDoesNotPileUp_data() {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("killed") << Fault::Killed;
        QTest::newRow("silent") << Fault::Silent;
    }

    // Without a recorder, as the operator sees it: the line goes while the progress window of
    // the connect is up; one message box comes, never a second on top of it, the progress window
    // goes while the box is up, and once the box is answered no window is left.
    void realBoxDoesNotPileUp() {
        QFETCH(Fault, fault);
        simtest::SimProcess sim(kSimArguments);
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QVERIFY(ShowActive(&panel));

        QList<QPointer<QMessageBox>> seen;
        QStringList texts;
        int mostAtOnce = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            QList<QMessageBox*> shown;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    shown << box;
                    if (!seen.contains(box)) {
                        seen << box;
                        texts << box->text();
                    }
                }
            }
            mostAtOnce = std::max(mostAtOnce, static_cast<int>(shown.size()));
            // Answered once the progress window has gone from under it.
            bool progress = false;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                progress = progress || (qobject_cast<DisplayDlg*>(widget) && widget->isVisible());
            }
            if (!shown.isEmpty() && !progress) {
                shown.first()->button(QMessageBox::Ok)->click();
            }
        });
        watch.start(5);
        const Trigger trigger(
            [&link] {
                return RunningDialog<DisplayDlg>() != nullptr &&
                       link.GetTransferRemaining() < link.GetTransferTotal();
            },
            [&] { Inflict(sim, fault); });
        QVERIFY(panel.ConnectTo(sim.Link(), kDeviceId));
        QVERIFY(trigger.Fired());
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsConnected(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!texts.isEmpty(), kWaitMs);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(texts, QStringList{ExpectedMessage(fault)});
        QCOMPARE(mostAtOnce, 1);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY2(widget == &panel || !widget->isVisible(), widget->metaObject()->className());
        }
    }

    // The port itself tells that its device went away: with no tick due for an hour (so
    // nothing is written that could fail), the link still closes at once. The line's path went
    // with it, so connecting to it again fails with the engine's own message.
    void vanishedLineIsNoticedWithoutAWrite() {
        simtest::SimProcess sim({"--fast", "--device", "3:2"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(Variant::ThreeBySix());
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QVERIFY(panel.ConnectTo(sim.Link(), kDeviceId));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        link.SetTickInterval(kHourMs);
        const int ticks = link.GetTickCount();

        sim.Kill();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsConnected(), kNoticeMs);
        // The terminal's device node went with the simulator; only the dangling link is left.
        QVERIFY(QFileInfo(sim.Link()).isSymLink());
        QVERIFY(!QFileInfo::exists(sim.Link()));
        QCOMPARE(link.GetTickCount(), ticks);
        QTRY_COMPARE(messages.texts(), QStringList{PanelLink::kPortFailedText});

        QVERIFY(!panel.ConnectTo(sim.Link(), kDeviceId));
        QTRY_COMPARE(messages.texts(),
                     QStringList({PanelLink::kPortFailedText, EngineText::PortOpenFailed}));
        QVERIFY(!link.IsConnected());
        QVERIFY(!link.IsTickRunning());
    }
};

QTEST_MAIN(LinkLossTest)
#include "link_loss_test.moc"
