#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/scales/FaderTrack.h"
#include "gui/GuiTest.h"
#include "gui/WheelTurn.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/app/SelectionView.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/DisplayDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/MuteButton.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/LevelMeter.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/StatusLamp.h"
#include "gui/widgets/XPStyleButton.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>

Q_DECLARE_METATYPE(const Variant*)

namespace {

// Generous: a wait that fails inside a running dialog leaves the dialog open until the test's
// time-out, and a loaded machine can take many seconds for a search or a transfer.
constexpr int kWaitMs = 60000;
// The simulator answers at once: the panel may tick faster than on a real line.
constexpr int kFastTickMs = 5;

// Types text into a gain edit box and presses Enter, as the operator does.
void TypeGain(NumEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Pixels of colour in a column band of an image.
int CountColour(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// An editor window that records the filters the graph tells it to reload.
class RecordingEditor : public EditorWindow {
public:
    using EditorWindow::EditorWindow;
    void SelectChannel(int index) override { selected.append(index); }
    void ReloadFilter(int filterIndex) override { reloaded.append(filterIndex); }
    void ShowProgram() override {}
    QList<int> selected;
    QList<int> reloaded;
};

// Notes every progress window that runs while it lives.
class ProgressWatch : public QObject {
public:
    ProgressWatch() {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            if (auto* window = RunningDialog<DisplayDlg>(); window != nullptr && window != m_last) {
                m_last = window;
                ++shown;
            }
        });
        m_poll.start(1);
    }
    int shown = 0;

private:
    QTimer m_poll;
    DisplayDlg* m_last = nullptr;
};

} // namespace

class PanelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void variantBuildsItsPanel_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<QString>("title");
        QTest::newRow("4x8") << &Variant::FourByEight() << "Sonvex1.1 Fosk";
        QTest::newRow("3x6") << &Variant::ThreeBySix() << "Sonvex1.1 Wupa";
        QTest::newRow("2x4") << &Variant::TwoByFour() << "Sonvex1.1 Jexo";
    }

    // Every control of the form with its id, kind and range, from the variant's table.
    void variantBuildsItsPanel() {
        QFETCH(const Variant*, variant);
        QFETCH(QString, title);
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::PanelOf(*variant));
        QCOMPARE(frame.windowTitle(), title);
        PanelView* panel = frame.CurrentPanel();
        QVERIFY(panel != nullptr);
        QCOMPARE(frame.CurrentVariant(), variant);
        const PanelIds& ids = panel->GetLayout().ids;
        QCOMPARE(panel->InputStripCount(), variant->inputCount);
        QCOMPARE(panel->OutputStripCount(), variant->outputCount);
        QCOMPARE(panel->Editors().TotalCount(), 2 * variant->inputCount + 2 * variant->outputCount);

        const struct {
            int id;
            const char* caption;
        } buttons[] = {{ids.connection, "Connection"},
                       {ids.dataView, "DataView"},
                       {ids.device, "Device"},
                       {ids.program, "Program"},
                       {ids.copy, "Copy"},
                       {ids.interface, "Interface"},
                       {ids.boxName, "BoxName"},
                       {ids.esc, "ESC"}};
        for (const auto& button : buttons) {
            auto* widget = Control<QPushButton>(panel, button.id);
            QVERIFY(widget != nullptr);
            QCOMPARE(widget->text(), QString(button.caption));
        }
        QCOMPARE(Control<QLabel>(panel, ids.deviceIdDisplay)->text(), QString("********"));
        QCOMPARE(Control<QLabel>(panel, ids.portDisplay)->text(), QString("******"));
        QCOMPARE(Control<QLabel>(panel, ids.linkDisplay)->text(), QString("Link/Unlink"));
        QCOMPARE(Control<QLabel>(panel, ids.deviceIdLabel)->text(), QString("DeviceID:"));
        QCOMPARE(Control<QLabel>(panel, ids.portLabel)->text(), QString("Com Port:"));
        QCOMPARE(Control<QGroupBox>(panel, ids.inputFrame)->title(), QString("INPUT"));
        QCOMPARE(Control<QGroupBox>(panel, ids.outputFrame)->title(), QString("OUTPUT"));
        QVERIFY(Control<CFStatic>(panel, ids.graph) == panel->Graph());
        QCOMPARE(panel->Graph()->GetMode(), int(CFStatic::Overview));
        auto* lamp = Control<StatusLamp>(panel, ids.lamp);
        QVERIFY(lamp != nullptr);
        QCOMPARE(lamp->color(), QColor(Qt::red));
        QVERIFY(!lamp->isBlinking());
        QCOMPARE(FindControl(panel, 1583) != nullptr, variant->hasInputSourceDisplay);

        for (const bool output : {false, true}) {
            const StripIds& strip = output ? ids.output : ids.input;
            const int count = output ? variant->outputCount : variant->inputCount;
            const int maximum = output ? variant->outputGainRange.max : variant->inputGainRange.max;
            for (int k = 0; k < count; ++k) {
                auto* select = Control<XPStyleButton>(panel, strip.select + k);
                QVERIFY(select != nullptr);
                QCOMPARE(select->text(), ChannelLabel(k, output));
                QVERIFY(select->isSelected());
                QCOMPARE(Control<XPStyleButton>(panel, strip.polarity + k)->text(),
                         QString("+Normal"));
                QVERIFY(Control<QAbstractButton>(panel, strip.eq + k) != nullptr);
                QVERIFY(Control<QAbstractButton>(panel, strip.channel + k) != nullptr);
                QVERIFY(Control<LevelMeter>(panel, strip.meter + k) != nullptr);
                QVERIFY(Control<MuteButton>(panel, strip.mute + k) != nullptr);
                QCOMPARE(Control<QLabel>(panel, strip.dbLabel + k)->text(), QString("dB"));
                QVERIFY(Control<QLabel>(panel, strip.nameLabel + k) != nullptr);
                auto* fader = Control<BitmapSlider>(panel, strip.fader + k);
                auto* edit = Control<NumEdit>(panel, strip.gainEdit + k);
                QVERIFY(fader != nullptr && edit != nullptr);
                QCOMPARE(fader->maximum(), maximum);
                QCOMPARE(edit->maximum(), maximum);
                // Every panel starts at 0 dB.
                QCOMPARE(edit->value(), variant->zeroDbGainIndex);
                QCOMPARE(edit->text(), QString("0.0"));
                QCOMPARE(fader->position(), maximum - variant->zeroDbGainIndex);
            }
            // The next id of each kind is not a strip of this panel.
            QVERIFY(qobject_cast<ChannelStrip*>(FindControl(panel, strip.select + count)) ==
                    nullptr);
            const auto& labels = output ? variant->outputScaleLabels : variant->inputScaleLabels;
            const int firstScale = output ? ids.firstOutputScaleLabel : ids.firstInputScaleLabel;
            for (int k = 0; k < static_cast<int>(labels.size()); ++k) {
                QCOMPARE(Control<QLabel>(panel, firstScale + k)->text(),
                         QString::fromStdString(labels[static_cast<std::size_t>(k)]));
            }
        }

        // "ESC" goes back to the model selection.
        Control<QPushButton>(panel, ids.esc)->click();
        QTRY_VERIFY(qobject_cast<KeltraCaptionView*>(frame.CurrentScreen()) != nullptr);
        QCOMPARE(frame.windowTitle(), QString("Sonvex1.1"));
    }

    void panelsDoNotOverlapTheirControls_data() { variantBuildsItsPanel_data(); }

    // Every control lies inside the panel and no two controls of the panel overlap.
    void panelsDoNotOverlapTheirControls() {
        QFETCH(const Variant*, variant);
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::PanelOf(*variant));
        PanelView* panel = frame.CurrentPanel();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QList<QPair<QRect, QString>> placed;
        for (QWidget* child : panel->findChildren<QWidget*>()) {
            if (GetControlId(child) == 0 || qobject_cast<QGroupBox*>(child) != nullptr) {
                continue;
            }
            const QRect rect(child->mapTo(panel, QPoint(0, 0)), child->size());
            QVERIFY2(panel->rect().contains(rect), qPrintable(child->objectName()));
            for (const auto& other : placed) {
                QVERIFY2(!other.first.intersects(rect),
                         qPrintable(child->objectName() + " / " + other.second));
            }
            placed.append({rect, child->objectName()});
        }
    }

    void scaleLabelsStayApartBesideTheirMarks_data() { variantBuildsItsPanel_data(); }

    // Each scale label has room above and below it, also the ones only 6 dB from their
    // neighbour, and stays beside the place of its value on the first strip's fader.
    void scaleLabelsStayApartBesideTheirMarks() {
        QFETCH(const Variant*, variant);
        PanelSession session(*variant);
        PanelView panel(session);
        const PanelIds& ids = panel.GetLayout().ids;
        for (const bool output : {false, true}) {
            const auto& texts = output ? variant->outputScaleLabels : variant->inputScaleLabels;
            const int first = output ? ids.firstOutputScaleLabel : ids.firstInputScaleLabel;
            BitmapSlider* fader =
                output ? panel.OutputStrip(0)->Fader() : panel.InputStrip(0)->Fader();
            const FaderTrack track{fader->minimum(),          fader->maximum(),
                                   fader->height(),           fader->margins().top(),
                                   fader->margins().bottom(), fader->thumbSize().height()};
            const int faderTop = fader->mapTo(&panel, QPoint(0, 0)).y();
            int previousBottom = -1;
            for (int k = 0; k < static_cast<int>(texts.size()); ++k) {
                auto* label = Control<QLabel>(&panel, first + k);
                QVERIFY(label != nullptr);
                const QRect box = label->geometry();
                const int gain =
                    variant->zeroDbGainIndex + std::stoi(texts[static_cast<std::size_t>(k)]) * 10;
                const int mark = faderTop + track.CentreOf(fader->maximum() - gain);
                QVERIFY2(std::abs(box.center().y() - mark) <= 3, qPrintable(label->text()));
                if (previousBottom >= 0) {
                    QVERIFY2(box.top() - previousBottom >= 4, qPrintable(label->text()));
                }
                previousBottom = box.bottom();
            }
        }
    }

    void typedGainMovesTheFader_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("output");
        QTest::addColumn<int>("faderAtMinus20");
        QTest::addColumn<int>("faderAtZero");
        QTest::newRow("4x8 input") << &Variant::FourByEight() << false << 260 << 60;
        QTest::newRow("4x8 output") << &Variant::FourByEight() << true << 350 << 150;
        QTest::newRow("2x4 output") << &Variant::TwoByFour() << true << 400 << 200;
    }

    // Typing a gain and pressing Enter sets the channel's gain and moves the fader; nothing is
    // sent while disconnected.
    void typedGainMovesTheFader() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, output);
        QFETCH(int, faderAtMinus20);
        QFETCH(int, faderAtZero);
        PanelSession session(*variant);
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        ChannelStrip* strip = output ? panel.OutputStrip(1) : panel.InputStrip(1);
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        auto gain = [&] {
            return output ? program.GetOutput(1)->GetGain() : program.GetInput(1)->GetGain();
        };
        QSignalSpy faderReports(strip->Fader(), &BitmapSlider::faderChanged);

        TypeGain(strip->GainEdit(), "-20.0");
        QTRY_COMPARE(strip->Fader()->position(), faderAtMinus20);
        QCOMPARE(gain(), variant->zeroDbGainIndex - 200);
        // Enter took the focus to the panel: the box committed and nothing else happened.
        QVERIFY(panel.hasFocus());

        TypeGain(strip->GainEdit(), "0.0");
        QTRY_COMPARE(strip->Fader()->position(), faderAtZero);
        QCOMPARE(gain(), variant->zeroDbGainIndex);
        QCOMPARE(strip->GainEdit()->text(), QString("0.0"));
        // The fader was moved, not dragged: it reported nothing back.
        QCOMPARE(faderReports.count(), 0);
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);
    }

    // Dragging an output fader to the top gives the top gain, shown in the edit box.
    void faderDragSetsTheGainAndTheEditBox() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        ChannelStrip* strip = panel.OutputStrip(2);
        BitmapSlider* fader = strip->Fader();
        QSignalSpy gains(strip, &ChannelStrip::gainChanged);
        const QPoint grab = fader->thumbRect().center();
        QTest::mousePress(fader, Qt::LeftButton, {}, grab);
        QTest::mouseMove(fader, QPoint(grab.x(), 0));
        QTest::mouseRelease(fader, Qt::LeftButton, {}, QPoint(grab.x(), 0));
        QCOMPARE(fader->position(), 0);
        QCOMPARE(panel.Session().GetDocument().GetProgram().GetOutput(2)->GetGain(), 550);
        QCOMPARE(strip->GainEdit()->text(), QString("15.0"));
        // Drag and release of the same position make one change of the channel.
        QCOMPARE(gains.count(), 1);
    }

    // The first click hides the channel ("Hide", no curve), the second brings both back.
    void selectTwiceRestoresCaptionAndCurve() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        QVERIFY(ShowActive(&panel));
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        // Input A alone above the others, so its curve is not drawn over.
        TypeGain(panel.InputStrip(0)->GainEdit(), "6.0");
        QTRY_COMPARE(program.GetInput(0)->GetGain(), 460);
        const QColor colour(static_cast<int>(GetRValue(program.GetInput(0)->GetColor())),
                            static_cast<int>(GetGValue(program.GetInput(0)->GetColor())),
                            static_cast<int>(GetBValue(program.GetInput(0)->GetColor())));
        auto curvePixels = [&] { return CountColour(panel.Graph()->grab().toImage(), colour); };
        const int shown = curvePixels();
        QVERIFY(shown > 100);

        XPStyleButton* select = panel.InputStrip(0)->SelectButton();
        select->click();
        QCOMPARE(select->text(), QString("Hide"));
        QVERIFY(!select->isSelected());
        QCOMPARE(program.GetInput(0)->IsEnabled(), 0);
        QCOMPARE(curvePixels(), 0);

        select->click();
        QCOMPARE(select->text(), QString("Input A"));
        QVERIFY(select->isSelected());
        QCOMPARE(curvePixels(), shown);
    }

    // Polarity and mute change the model and the button only.
    void polarityAndMuteToggle() {
        PanelSession session(Variant::ThreeBySix());
        PanelView panel(session);
        ChannelStrip* strip = panel.OutputStrip(5);
        CAudio_OutData& output = *panel.Session().GetDocument().GetProgram().GetOutput(5);
        strip->PolarityButton()->click();
        QCOMPARE(output.GetPolarity(), 1);
        QCOMPARE(strip->PolarityButton()->text(), QString("-Invert"));
        strip->PolarityButton()->click();
        QCOMPARE(strip->PolarityButton()->text(), QString("+Normal"));

        const QImage playing = strip->Mute()->grab().toImage();
        strip->Mute()->click();
        QCOMPARE(output.GetOn(), 0);
        QCOMPARE(strip->Mute()->isOn(), 0);
        QVERIFY(strip->Mute()->grab().toImage() != playing);
        strip->Mute()->click();
        QCOMPARE(output.GetOn(), 1);
        QCOMPARE(strip->Mute()->grab().toImage(), playing);
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);
    }

    // Editors live in slots: made on first use, reused, shown without activation, the slot
    // emptied when the window goes; closing the editors closes them all.
    void editorSlotsKeepTheirEditors() {
        PanelSession session(Variant::TwoByFour());
        PanelView panel(session);
        EditorSlots& editors = panel.Editors().Slots();
        QCOMPARE(editors.Count(EditorSlots::InputEq), 2);
        QCOMPARE(editors.Count(EditorSlots::OutputChannel), 4);
        int made = 0;
        auto make = [&]() -> EditorWindow* {
            ++made;
            return new RecordingEditor(&panel);
        };
        EditorWindow* first = editors.Open(EditorSlots::OutputEq, 3, make);
        QVERIFY(first != nullptr);
        QVERIFY(first->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(editors.Open(EditorSlots::OutputEq, 3, make), first);
        QCOMPARE(made, 1);
        QVERIFY(editors.Open(EditorSlots::OutputEq, 4, make) == nullptr);
        QVERIFY(editors.Open(EditorSlots::InputEq, 0, [] { return nullptr; }) == nullptr);
        QVERIFY(editors.At(EditorSlots::InputEq, 0) == nullptr);

        // The graph's drags reach the editor of the graph's mode and channel.
        panel.Graph()->SelectOutput(3);
        emit panel.Graph()->graphEdit(2, CFStatic::OutputEq);
        emit panel.Graph()->graphEdit(5, CFStatic::OutputCrossover); // no such editor open
        QCOMPARE(static_cast<RecordingEditor*>(first)->reloaded, QList<int>{2});

        editors.Open(EditorSlots::InputChannel, 1, make);
        panel.Editors().CloseAll();
        QTRY_VERIFY(editors.At(EditorSlots::OutputEq, 3) == nullptr);
        QTRY_VERIFY(editors.At(EditorSlots::InputChannel, 1) == nullptr);
        QVERIFY(editors.Open(EditorSlots::OutputEq, 3, make) != nullptr);
        QCOMPARE(made, 3);
    }

    // Against the simulator: connect, the live program fills the strips, a fader drag goes out
    // as the channel's levels record, the meters move, the link goes down with "UnConnect".
    void connectedPanelFollowsTheDevice() {
        simtest::SimProcess sim({"--fast", "--device", "3:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        CAudio_Data& program = panel->Session().GetDocument().GetProgram();
        // An edit made before the connection is not sent and is replaced by the device's.
        panel->OutputStrip(0)->ShowGain(0);
        program.GetOutput(0)->SetGain(0);
        QSignalSpy arrived(&link, &PanelLink::programReceived);

        QVERIFY(panel->ConnectTo(sim.Link(), 3));
        const PanelIds& ids = panel->GetLayout().ids;
        auto* connection = Control<QPushButton>(panel, ids.connection);
        QCOMPARE(connection->text(), QString("UnConnect"));
        QVERIFY(panel->Lamp()->isBlinking());
        QCOMPARE(panel->Lamp()->color(), QColor(Qt::green));
        QCOMPARE(Control<QLabel>(panel, ids.deviceIdDisplay)->text(), QString("3"));
        QCOMPARE(Control<QLabel>(panel, ids.linkDisplay)->text(), QString("Link"));
        QCOMPARE(Control<QLabel>(panel, ids.portDisplay)->toolTip(), sim.Link());
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const QString name = QString::fromStdString(program.GetName());
        QCOMPARE(frame.windowTitle(), "Sonvex1.1 Fosk  " + name);
        QCOMPARE(Control<QLabel>(panel, 1583)->text(), QString("Analog"));
        for (int n = 0; n < 8; ++n) {
            const int gain = program.GetOutput(n)->GetGain();
            QCOMPARE(panel->OutputStrip(n)->GainEdit()->value(), gain);
            QCOMPARE(panel->OutputStrip(n)->Fader()->position(), 550 - gain);
            QCOMPARE(panel->OutputStrip(n)->SelectButton()->text(), ChannelLabel(n, true));
        }
        QCOMPARE(program.GetOutput(0)->GetGain(),
                 link.GetEngine().GetDeviceImage().GetOutput(0)->GetGain());

        // The meters move with the level replies of the idle link, each from its own byte.
        QTRY_VERIFY_WITH_TIMEOUT(panel->InputStrip(0)->Meter()->level() > 0 ||
                                     panel->OutputStrip(0)->Meter()->level() > 0,
                                 kWaitMs);
        // Checked as each reply is reported, after the panel has shown it.
        QList<bool> shownAsReported;
        const QMetaObject::Connection check = connect(&link, &PanelLink::levelsReceived, this, [&] {
            const Command& engine = link.GetEngine();
            bool same = true;
            for (int i = 0; i < 4; ++i) {
                same = same && panel->InputStrip(i)->Meter()->level() == engine.GetMeterValue(i);
            }
            for (int n = 0; n < 8; ++n) {
                same =
                    same && panel->OutputStrip(n)->Meter()->level() == engine.GetMeterValue(4 + n);
            }
            shownAsReported.append(same);
        });
        QTRY_VERIFY_WITH_TIMEOUT(shownAsReported.size() >= 3, kWaitMs);
        disconnect(check);
        QVERIFY(!shownAsReported.contains(false));

        // A drag of output 3's fader goes out as its levels record with the new gain.
        const std::size_t mark = sim.Frames().size();
        BitmapSlider* fader = panel->OutputStrip(2)->Fader();
        const QPoint grab = fader->thumbRect().center();
        QTest::mousePress(fader, Qt::LeftButton, {}, grab);
        QTest::mouseMove(fader, grab + QPoint(0, 30));
        QTest::mouseRelease(fader, Qt::LeftButton, {}, grab + QPoint(0, 30));
        const int gain = program.GetOutput(2)->GetGain();
        QCOMPARE(gain, 550 - fader->position());
        const int code = ProgramEncoder(program).GainCode(gain);
        // The gain codes of output 3's levels records the device received from frame from on.
        auto levelsRecords = [&](std::size_t from) {
            QList<int> codes;
            for (const simtest::LoggedFrame& frame : sim.Received(from)) {
                if (frame.Code() == Protocol::WriteRequest &&
                    frame.Group() == Protocol::GroupOutput &&
                    frame.Channel() == program.GetOutput(2)->GetChannelIndex() &&
                    frame.Block() == Protocol::OutputBlockLevels) {
                    codes.append(frame.PayloadByte(2) | (frame.PayloadByte(3) << 8));
                }
            }
            return codes;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!levelsRecords(mark).isEmpty(), kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(levelsRecords(mark), QList<int>{code});

        // A wheel notch on the fader is one change like a key: one step up, one record.
        const std::size_t wheelMark = sim.Frames().size();
        QVERIFY(TurnWheel(fader, 120));
        QCOMPARE(program.GetOutput(2)->GetGain(), gain + 1);
        QCOMPARE(panel->OutputStrip(2)->GainEdit()->value(), gain + 1);
        const int wheelCode = ProgramEncoder(program).GainCode(gain + 1);
        QTRY_VERIFY_WITH_TIMEOUT(!levelsRecords(wheelMark).isEmpty(), kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(levelsRecords(wheelMark), QList<int>{wheelCode});

        connection->click();
        QVERIFY(!link.IsConnected());
        QCOMPARE(connection->text(), QString("Connection"));
        QVERIFY(!panel->Lamp()->isBlinking());
        QCOMPARE(panel->Lamp()->color(), QColor(Qt::red));
        QCOMPARE(Control<QLabel>(panel, ids.linkDisplay)->text(), QString("Unlink"));
        // The meters drop with the link instead of holding their last reading.
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(panel->InputStrip(i)->Meter()->litSegments(), 0u);
        }
        for (int n = 0; n < 8; ++n) {
            QCOMPARE(panel->OutputStrip(n)->Meter()->litSegments(), 0u);
        }
        QVERIFY(messages.texts().isEmpty());
    }

    // The operator's way: "Connection" opens the Connect dialog, a search on the typed path
    // finds the devices, OK connects to the chosen one behind the progress window, which closes
    // once the live program has been asked for. "Device" then switches to the other device.
    void connectsThroughTheConnectAndDeviceDialogs() {
        simtest::SimProcess sim({"--fast", "--device", "3:1", "--device", "8:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        simtest::UseFastTick(panel->Session().Link(), kFastTickMs);
        auto* connection = Control<QPushButton>(panel, 1087);
        QSignalSpy arrived(&panel->Session().Link(), &PanelLink::programReceived);

        bool buttonInactive = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = RunningDialog<ConnectDlg>();
            QVERIFY(dialog != nullptr);
            buttonInactive = !connection->isEnabled();
            dialog->Search().SetTickInterval(2);
            auto* ports = Control<QComboBox>(dialog, ConnectDlg::kPortComboId);
            ports->lineEdit()->selectAll();
            QTest::keyClicks(ports->lineEdit(), sim.Link());
            Control<QPushButton>(dialog, ConnectDlg::kSearchButtonId)->click();
            auto* ids = Control<QComboBox>(dialog, ConnectDlg::kIdComboId);
            QTRY_COMPARE_WITH_TIMEOUT(ids->count(), 2, kWaitMs);
            ids->setCurrentIndex(ids->findData(3));
            Control<QPushButton>(dialog, ConnectDlg::kOkId)->click();
        });
        ProgressWatch progress;
        connection->click();
        // The click returns once the progress window has closed.
        QVERIFY(buttonInactive);
        QVERIFY(connection->isEnabled());
        QCOMPARE(progress.shown, 1);
        QVERIFY(RunningDialog<QDialog>() == nullptr);
        QVERIFY(panel->Session().Link().IsConnected());
        QCOMPARE(panel->Session().Link().GetDeviceId(), 3);
        QCOMPARE(Control<QLabel>(panel, 1585)->text(), QString("3"));
        QCOMPARE(connection->text(), QString("UnConnect"));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QVERIFY(frame.windowTitle().startsWith("Sonvex1.1 Fosk  "));

        // "Device": talk to device 8 instead; its live program is recalled.
        QVERIFY(panel->Session().Link().WaitUntilSettled(kWaitMs));
        QTimer::singleShot(0, this, [&] {
            auto* dialog = RunningDialog<DeviceDlg>();
            QVERIFY(dialog != nullptr);
            Control<QRadioButton>(dialog, DeviceDlg::kReconnectRadioId)->click();
            auto* targets = Control<QComboBox>(dialog, DeviceDlg::kTargetComboId);
            targets->setCurrentIndex(targets->findData(8));
            Control<QPushButton>(dialog, DeviceDlg::kOkId)->click();
        });
        const std::size_t mark = sim.Frames().size();
        Control<QPushButton>(panel, 1803)->click();
        QCOMPARE(progress.shown, 2);
        QCOMPARE(panel->Session().Link().GetDeviceId(), 8);
        QCOMPARE(Control<QLabel>(panel, 1585)->text(), QString("8"));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 2, kWaitMs);
        bool toDevice8 = false;
        for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
            toDevice8 = toDevice8 || frame.DeviceId() == 8;
        }
        QVERIFY(toDevice8);

        connection->click();
        QVERIFY(!panel->Session().Link().IsConnected());
        QVERIFY(messages.texts().isEmpty());
    }

    // A device that never answers: the link gives up with one message.
    void silentDeviceEndsWithOneMessage() {
        simtest::SimProcess sim({"--fast", "--silent"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(Variant::TwoByFour());
        PanelView panel(session);
        panel.Session().Link().SetTickInterval(kFastTickMs);
        QVERIFY(panel.ConnectTo(sim.Link(), 1));
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Session().Link().IsConnected(), kWaitMs);
        QTRY_COMPARE(messages.texts(), QStringList{"Unable to Open COM-Port"});
        QCOMPARE(Control<QPushButton>(&panel, 1712)->text(), QString("Connection"));
        QCOMPARE(panel.Lamp()->color(), QColor(Qt::red));
    }
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"
