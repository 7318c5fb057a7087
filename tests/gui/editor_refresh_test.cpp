// Open editors follow the program: after a program arrives from the device, a file is loaded or
// a channel is copied onto theirs, every kind of editor shows the new values, marks nothing to
// be sent, and one spin click then sends the new value plus one step.

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/ConnectedPanel.h"
#include "gui/GuiTest.h"
#include "gui/editors/DelayGroup.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/InDataDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"

#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kWaitMs = 30000;
constexpr int kDeviceType = 1;

// Band 0 of the EQ editors: the input's frequency field and the output's gain field.
constexpr int kInputEqFrequencyEdit = 2180;
constexpr int kInputEqFrequencySpin = 2230;
constexpr int kOutputEqGainEdit = 1252;
constexpr int kOutputEqGainSpin = 1258;

// One watched value in each kind of editor, of one input and one output.
struct Values {
    int inputDelay;
    int inputFrequency; // EQ band 1
    int outputDelay;
    int outputGain; // EQ band 1, gain index (not 300, which switches the band off)

    Values Stepped() const {
        return {inputDelay + 1, inputFrequency + 1, outputDelay + 1, outputGain + 1};
    }
    bool operator==(const Values& o) const {
        return inputDelay == o.inputDelay && inputFrequency == o.inputFrequency &&
               outputDelay == o.outputDelay && outputGain == o.outputGain;
    }
};

char* toString(const Values& v) {
    return QTest::toString(QStringLiteral("in delay %1, in freq %2, out delay %3, out gain %4")
                               .arg(v.inputDelay)
                               .arg(v.inputFrequency)
                               .arg(v.outputDelay)
                               .arg(v.outputGain));
}

void Put(CAudio_Data& program, int input, int output, const Values& v) {
    program.GetInput(input)->SetDelay(v.inputDelay);
    program.GetInput(input)->GetFilter(0)->SetFrequency(v.inputFrequency);
    program.GetOutput(output)->SetDelay(v.outputDelay);
    program.GetOutput(output)->GetFilter(0)->SetGainIndex(v.outputGain);
}

Values Read(CAudio_Data& program, int input, int output) {
    return {program.GetInput(input)->GetDelay(),
            program.GetInput(input)->GetFilter(0)->GetFrequency(),
            program.GetOutput(output)->GetDelay(),
            program.GetOutput(output)->GetFilter(0)->GetGainIndex()};
}

// What the four watched fields show for v.
QStringList TextsOf(const Values& v) {
    return {QString::fromStdString(DelayEditText(v.inputDelay, kDeviceType)),
            QString::fromStdString(FrequencyText(v.inputFrequency)),
            QString::fromStdString(DelayEditText(v.outputDelay, kDeviceType)),
            QString::fromStdString(EqGainText(EqGainIndexToDb(v.outputGain), false))};
}

// The four editors of one input and one output, opened from the panel as its buttons do.
struct OpenEditors {
    InDataDlg* input = nullptr;
    EqDlg* inputEq = nullptr;
    OutDataDlg* output = nullptr;
    EqDlg* outputEq = nullptr;

    OpenEditors(PanelView& panel, int in, int out) {
        PanelEditors& open = panel.Editors();
        open.OpenInputChannel(in);
        open.OpenInputEq(in);
        open.OpenOutputChannel(out);
        open.OpenOutputEq(out);
        input = qobject_cast<InDataDlg*>(open.At(EditorSlots::InputChannel, in));
        inputEq = qobject_cast<EqDlg*>(open.At(EditorSlots::InputEq, in));
        output = qobject_cast<OutDataDlg*>(open.At(EditorSlots::OutputChannel, out));
        outputEq = qobject_cast<EqDlg*>(open.At(EditorSlots::OutputEq, out));
    }
    bool Complete() const { return input && inputEq && output && outputEq; }

    QStringList Texts() const {
        return {Control<NumEdit>(input, InDataDlg::kDelayMsId)->text(),
                Control<NumEdit>(inputEq, kInputEqFrequencyEdit)->text(),
                Control<NumEdit>(output, OutDataDlg::kDelayMsId)->text(),
                Control<NumEdit>(outputEq, kOutputEqGainEdit)->text()};
    }

    // One click on the up arrow of each watched field's spin, in its active window.
    bool StepUp() const {
        const std::pair<QWidget*, NumSpin*> spins[] = {
            {input, Control<NumSpin>(input, InDataDlg::kDelayMsSpinId)},
            {inputEq, Control<NumSpin>(inputEq, kInputEqFrequencySpin)},
            {output, Control<NumSpin>(output, OutDataDlg::kDelayMsSpinId)},
            {outputEq, Control<NumSpin>(outputEq, kOutputEqGainSpin)},
        };
        for (const auto& [window, spin] : spins) {
            if (spin == nullptr || !ShowActive(window)) {
                return false;
            }
            QTest::mouseClick(spin, Qt::LeftButton, {},
                              QPoint(spin->width() / 2, spin->height() / 4));
        }
        return true;
    }
};

std::size_t WritesSince(const simtest::SimProcess& sim, std::size_t mark) {
    std::size_t writes = 0;
    for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
        writes += frame.Code() == Protocol::WriteRequest ? 1 : 0;
    }
    return writes;
}

} // namespace

class EditorRefreshTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Stored program 1 differs from the live one in every watched value, and its output 1 is a
    // limiter left with the automatic timing (which the editor shows as "Manual" and keeps).
    void editorsShowTheProgramRecalledFromTheDevice() {
        simtest::ConnectedPanel connected;
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        MessageRecorder messages;
        const Values stored{481, 250, 961, 360};
        Put(program, 0, 0, stored);
        program.GetOutput(0)->SetCompressorMode(0);
        program.GetOutput(0)->SetAutoTiming(1);
        program.ClearChanged();
        QVERIFY(panel.Session().StoreProgram(1));
        QVERIFY(panel.Session().RecallProgram(0));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const Values live = Read(program, 0, 0);
        QVERIFY(!(live == stored));

        const OpenEditors editors(panel, 0, 0);
        QVERIFY(editors.Complete());
        QCOMPARE(editors.Texts(), TextsOf(live));

        const std::size_t mark = connected.sim.Frames().size();
        QVERIFY(panel.Session().RecallProgram(1));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Read(program, 0, 0), stored);
        QCOMPARE(editors.Texts(), TextsOf(stored));
        QVERIFY(Control<QRadioButton>(editors.output, OutDataDlg::kLimitId)->isChecked());
        // A limiter shows "Manual" whatever it holds; the program keeps its timing.
        QVERIFY(Control<QRadioButton>(editors.output, OutDataDlg::kManualId)->isChecked());
        QCOMPARE(program.GetOutput(0)->GetAutoTiming(), 1);
        // Showing the program sent nothing: the link only read.
        QCOMPARE(WritesSince(connected.sim, mark), std::size_t(0));

        QVERIFY(editors.StepUp());
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Read(program, 0, 0), stored.Stepped());
        QCOMPARE(editors.Texts(), TextsOf(stored.Stepped()));
        // Read back: the device has them.
        QVERIFY(panel.Session().RecallProgram(0));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Read(program, 0, 0), stored.Stepped());
        QVERIFY(messages.texts().isEmpty());
    }

    // A loaded file, then channels copied onto the editors' channels.
    void editorsShowALoadedFileAndACopiedChannel() {
        QTemporaryDir dir;
        simtest::ConnectedPanel connected;
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        MessageRecorder messages;
        const OpenEditors editors(panel, 1, 2);
        QVERIFY(editors.Complete());

        const Values fromFile{100, 2000, 200, 250};
        CZorvanDoc file;
        file.GetProgram().SetDeviceType(kDeviceType);
        Put(file.GetProgram(), 1, 2, fromFile);
        const FileResult written =
            StoreProgramToPC(file, kDeviceType, dir.filePath("loaded").toStdString());
        QVERIFY2(written.ok, written.error.c_str());
        QVERIFY(panel.Session().Files().LoadProgram(QString::fromStdString(written.path)));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(editors.Texts(), TextsOf(fromFile));
        QVERIFY(editors.StepUp());
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(panel.Session().RecallProgram(0));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Read(program, 1, 2), fromFile.Stepped());

        const Values source{300, 5000, 400, 320};
        Put(program, 0, 0, source);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const std::size_t mark = connected.sim.Frames().size();
        QVERIFY(link.CopyChannel(0, 1, false));
        QVERIFY(link.CopyChannel(0, 2, true));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(editors.Texts(), TextsOf(source));
        // Only the two copied channels went out, each as one record.
        QCOMPARE(WritesSince(connected.sim, mark), std::size_t(2));
        QVERIFY(editors.StepUp());
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(panel.Session().RecallProgram(0));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Read(program, 1, 2), source.Stepped());
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(EditorRefreshTest)
#include "editor_refresh_test.moc"
