// Opening an editor only shows its channel: the program stays as it is and nothing but meter
// requests goes to the device, also when the program holds what a file or a device may hold but
// no editor makes.

#include "control/PanelLink.h"
#include "core/files/Archive.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "gui/ConnectedPanel.h"
#include "gui/GuiTest.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QStandardPaths>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;
// Service ticks the test lets pass after opening the editors: a change would go out at the first.
constexpr int kTicksWatched = 5;

std::vector<std::uint8_t> Archived(CAudio_Data& program) {
    CArchive ar;
    program.Serialize(ar);
    return ar.GetBuffer();
}

bool IsMeterRequest(const simtest::LoggedFrame& frame) {
    return frame.Code() == Protocol::ReadRequest && frame.Group() == Protocol::GroupSystem &&
           frame.Channel() == Protocol::ItemMeters;
}

int MeterRequests(const simtest::SimProcess& sim, std::size_t from) {
    int count = 0;
    for (const simtest::LoggedFrame& frame : sim.Received(from)) {
        count += IsMeterRequest(frame) ? 1 : 0;
    }
    return count;
}

// The first EQ band of a channel as a low shelf above 20000 Hz, switched on at 0.0 dB.
void BreakFirstBand(CFilter& band) {
    band.SetType(CFilter::LowShelf);
    band.SetFrequency(25000);
    band.SetGainIndex(EqGainZeroIndex);
    band.SetFlat(0);
}

} // namespace

class OpeningEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void openingEveryEditorSendsNothing_data() {
        QTest::addColumn<const Variant*>("variant");
        for (const Variant* variant : Variant::All()) {
            QTest::newRow(variant->name) << variant;
        }
    }

    void openingEveryEditorSendsNothing() {
        QFETCH(const Variant*, variant);
        simtest::ConnectedPanel connected(*variant);
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        CAudio_Data& program = panel.Session().Link().GetProgram();

        // A limiter with automatic timing, a high-pass above the low-pass, a low shelf above
        // 20000 Hz, a band on at 0.0 dB, and on the smaller models outputs without source and
        // gates switched off: the device gets them as any change.
        for (int i = 0; i < variant->inputCount; ++i) {
            BreakFirstBand(*program.GetInput(i)->GetFilter(0));
            program.GetInput(i)->SetGateOff(1);
        }
        for (int o = 0; o < variant->outputCount; ++o) {
            CAudio_OutData& output = *program.GetOutput(o);
            BreakFirstBand(*output.GetFilter(0));
            output.SetCompressorMode(0);
            output.SetAutoTiming(1);
            output.GetLowPass()->SetFrequency(1000);
            output.GetHighPass()->SetFrequency(5000);
            output.SetSourceMask(0);
        }
        QVERIFY(panel.Session().Link().WaitUntilSettled(kWaitMs));
        const std::vector<std::uint8_t> before = Archived(program);

        const std::size_t mark = connected.sim.Frames().size();
        for (int i = 0; i < variant->inputCount; ++i) {
            panel.Editors().OpenInputChannel(i);
            panel.Editors().OpenInputEq(i);
        }
        for (int o = 0; o < variant->outputCount; ++o) {
            panel.Editors().OpenOutputChannel(o);
            panel.Editors().OpenOutputEq(o);
        }
        QTRY_VERIFY_WITH_TIMEOUT(MeterRequests(connected.sim, mark) >= kTicksWatched, kWaitMs);

        for (const simtest::LoggedFrame& frame : connected.sim.Received(mark)) {
            QVERIFY2(
                IsMeterRequest(frame),
                qPrintable(QStringLiteral("sent after opening: %1").arg(frame.bytes.toHex(' '))));
        }
        QVERIFY2(Archived(program) == before, "opening an editor changed the program");
    }
};

QTEST_MAIN(OpeningEditorsTest)
#include "opening_editors_test.moc"
