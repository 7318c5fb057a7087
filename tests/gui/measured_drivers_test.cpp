// Measured drivers through the panel: a measurement attached to an output from the graph's
// context menu and detached again, the sum drawn with it, and the drivers kept beside the
// program file when it is saved and opened.

#include "common/FileBytes.h"
#include "core/curves/ResponseTrace.h"
#include "core/files/DriverSideFile.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/MeasuredDrivers.h"
#include "core/model/Variant.h"
#include "gui/FileChoiceScript.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/widgets/MessageBox.h"

#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using testfiles::WriteFile;

namespace {

// A tweeter measured 6 dB down and with its polarity turned.
constexpr char kTweeter[] = "* tweeter\n10 -6 180\n1000 -6 180\n30000 -6 180\n";

void TwoWay(CAudio_Data& program) {
    program.GetOutput(0)->GetLowPass()->SetFrequency(2000);
    program.GetOutput(0)->GetLowPass()->SetSlope(2);
    program.GetOutput(1)->GetHighPass()->SetFrequency(2000);
    program.GetOutput(1)->GetHighPass()->SetSlope(2);
}

// The sum the graph drew last, in plot pixels.
Trace DrawnSum(const CFStatic& graph) {
    const GraphRenderer::DrawnTrace* sum = graph.Renderer().GetSumTrace();
    if (sum == nullptr) {
        return {};
    }
    Trace trace = sum->trace;
    for (TracePoint& p : trace) {
        p.point = CPoint(p.point.x - graph.GetPlotRect().left, p.point.y - graph.GetPlotRect().top);
    }
    return trace;
}

bool SamePoints(const Trace& a, const Trace& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].valid != b[i].valid || a[i].point != b[i].point) {
            return false;
        }
    }
    return true;
}

Trace SumOf(const CFStatic& graph, const CAudio_Data& program, const MeasuredDrivers* drivers) {
    return TraceOf(SumOfOutputs(program, {0, 1}, drivers), ResponseView::Magnitude,
                   graph.GetPlotRect().Width(), graph.GetPlotRect().Height());
}

void TriggerMenuAction(CFStatic& graph, const char* name) {
    std::unique_ptr<QMenu> menu(graph.MakeContextMenu());
    QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    action->trigger();
}

} // namespace

class MeasuredDriversTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Attached from the graph's menu, the measurement enters the sum; a file that is no
    // measurement is told and attaches nothing; detached, the sum is the filters' again.
    void attachFromTheGraphChangesTheSum() {
        QTemporaryDir dir;
        const QString tweeter = dir.filePath(QStringLiteral("tweeter.txt"));
        const QString broken = dir.filePath(QStringLiteral("broken.frd"));
        QVERIFY(WriteFile(tweeter, kTweeter));
        QVERIFY(WriteFile(broken, "100 -3 0\n50 -3 0\n"));
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        CFStatic& graph = *panel.Graph();
        CAudio_Data& program = session.GetDocument().GetProgram();
        TwoWay(program);
        graph.SetSummed(0, true);
        graph.SetSummed(1, true);
        const Trace filtersOnly = DrawnSum(graph);
        QVERIFY(SamePoints(filtersOnly, SumOf(graph, program, nullptr)));

        MessageRecorder messages;
        FileChoiceScript files({broken, tweeter});
        TriggerMenuAction(graph, "attachOut2");
        QCOMPARE(files.Requests().size(), 1);
        QCOMPARE(files.Requests().front().patterns, (QStringList{"*.txt", "*.frd"}));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().front().startsWith("The measurement ") &&
                     messages.texts().front().contains("line 2"),
                 qPrintable(messages.texts().front()));
        QVERIFY(session.Drivers().Measurement(1) == nullptr);
        QVERIFY(SamePoints(DrawnSum(graph), filtersOnly));

        TriggerMenuAction(graph, "attachOut2");
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(session.Drivers().Measurement(1) != nullptr);
        QVERIFY(SamePoints(DrawnSum(graph), SumOf(graph, program, &session.Drivers())));
        // Out of phase around the crossover, the sum falls far below the filters' flat sum.
        QVERIFY(DrawnSum(graph)[165].point.y > filtersOnly[165].point.y + 20);

        TriggerMenuAction(graph, "detachOut2");
        QVERIFY(session.Drivers().Measurement(1) == nullptr);
        QVERIFY(SamePoints(DrawnSum(graph), filtersOnly));
        // A cancelled file dialog attaches nothing.
        TriggerMenuAction(graph, "attachOut1");
        QVERIFY(session.Drivers().Measurement(0) == nullptr);
    }

    // Saved with the program, the drivers come back when the program file is opened; a
    // program file without a side file brings none, and a broken side file is told while the
    // program still opens. Saved without drivers, the side file goes.
    void driversTravelWithTheProgramFile() {
        QTemporaryDir dir;
        const QString tweeter = dir.filePath(QStringLiteral("tweeter.txt"));
        QVERIFY(WriteFile(tweeter, kTweeter));
        MessageRecorder messages;

        PanelSession saving(Variant::FourByEight());
        saving.GetDocument().GetProgram().GetOutput(2)->SetGain(321);
        QVERIFY(saving.AttachMeasurement(1, tweeter));
        const QString show = saving.WriteProgramFile(dir.filePath(QStringLiteral("show")));
        QVERIFY(!show.isEmpty());
        const QString side = QString::fromStdString(DriverSideFilePath(show.toStdString()));
        QVERIFY(QFile::exists(side));
        const QString plain = saving.WriteProgramFile(dir.filePath(QStringLiteral("plain")));
        QFile::remove(QString::fromStdString(DriverSideFilePath(plain.toStdString())));

        PanelSession opening(Variant::FourByEight());
        PanelView panel(opening);
        QVERIFY(opening.Files().LoadProgram(show));
        const MeasuredDriver* back = opening.Drivers().Measurement(1);
        QVERIFY(back != nullptr);
        QCOMPARE(back->levelDb, (std::vector<double>{-6, -6, -6}));
        QCOMPARE(back->phaseDegrees, (std::vector<double>{180, 180, 180}));
        QVERIFY(messages.texts().isEmpty());

        QVERIFY(opening.Files().LoadProgram(plain));
        QVERIFY(opening.Drivers().Measurement(1) == nullptr);
        QVERIFY(messages.texts().isEmpty());

        QVERIFY(WriteFile(side, "[out2]\n100 -3\n[speaker]\n"));
        QVERIFY(opening.Files().LoadProgram(show));
        QCOMPARE(opening.GetDocument().GetProgram().GetOutput(2)->GetGain(), 321);
        QVERIFY(opening.Drivers().Measurement(1) == nullptr);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().front().startsWith("The measured drivers of this program") &&
                     messages.texts().front().contains(".drivers"),
                 qPrintable(messages.texts().front()));

        saving.DetachMeasurement(1);
        QVERIFY(!saving.WriteProgramFile(show).isEmpty());
        QVERIFY(!QFile::exists(side));
    }
};

QTEST_MAIN(MeasuredDriversTest)
#include "measured_drivers_test.moc"
