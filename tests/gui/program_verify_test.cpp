// "Verify after writing" in the Program dialog: a store to a slot and a bank sent to the
// device are read back and compared, against a simulated device that keeps every write and one
// that acknowledges some writes without keeping them.

#include "control/PanelLink.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/ConnectedPanel.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/ProgramBytes.h"
#include "gui/QuestionScript.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/dialogs/VerifyReportDlg.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/session/WriteVerifier.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/MessageBox.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int kWaitMs = 30000;

// A line of the live program carries no program number.
const QRegularExpression kLiveLine("^(in|out)[1-8]\\.([a-z]+[1-8]?\\.)?[a-z]+: .+ != .+$");
const QRegularExpression
    kLine("^P([1-9]|[12][0-9]|30) (in|out)[1-8]\\.([a-z]+[1-8]?\\.)?[a-z]+: .+ != .+$");

// Closes every "Verify" report as it opens and keeps what it said.
struct ReportCatcher {
    QTimer timer;
    QStringList summaries;
    QList<QStringList> lines;

    ReportCatcher() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* report = RunningDialog<VerifyReportDlg>()) {
                summaries << report->Summary();
                lines << report->Lines();
                report->accept();
            }
        });
        timer.start();
    }
};

// Every channel of program away from where a device starts, without sending it to the live
// program: a write the device does not keep then leaves a value that differs.
void ChangeEveryChannel(CAudio_Data& program) {
    for (int i = 0; i < 4; ++i) {
        program.GetInput(i)->SetGain(50 + 17 * i);
    }
    for (int n = 0; n < 8; ++n) {
        program.GetOutput(n)->SetGain(30 + 23 * n);
    }
    program.ClearChanged();
}

// A bank file whose thirty programs all differ from where a device starts.
QString MakeBankFile(const QString& path) {
    CZorvanDoc bank;
    for (ProgramImage& image : bank.GetStoredPrograms()) {
        for (InputImage& input : image.inputs) {
            input.gain = static_cast<std::uint16_t>(input.gain + 10);
        }
        for (OutputImage& output : image.outputs) {
            output.gain = static_cast<std::uint16_t>(output.gain + 10);
        }
    }
    return StoreAllToPC(bank, path.toStdString()) ? path : QString();
}

QString MakeProgramFile(const QString& path) {
    CZorvanDoc document;
    document.GetProgram().SetDeviceType(1);
    document.GetProgram().SetName("Checked");
    ChangeEveryChannel(document.GetProgram());
    return QString::fromStdString(StoreProgramToPC(document, 1, path.toStdString()).path);
}

// Requests to read a channel, as a read-back makes them (the idle link polls only the meters).
int ChannelReads(const simtest::SimProcess& sim, std::size_t from) {
    int reads = 0;
    for (const simtest::LoggedFrame& frame : sim.Received(from)) {
        reads += frame.Code() == Protocol::ReadRequest && frame.Group() != Protocol::GroupSystem;
    }
    return reads;
}

QStringList ForgetArguments(int forgetEvery) {
    return forgetEvery > 0 ? QStringList{"--forget-every", QString::number(forgetEvery)}
                           : QStringList{};
}

} // namespace

class ProgramVerifyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { WriteVerifier::SetOn(false); }

    void storeToASlot_data() {
        QTest::addColumn<int>("forgetEvery");
        QTest::newRow("keeping device") << 0;
        QTest::newRow("forgets every 3rd write") << 3;
    }

    // The report names program 12 and device 3, and lists exactly the lost parameters as
    // "P12 out3.gain: ..." lines; nothing when the device kept everything. The box is
    // remembered for the next dialog.
    void storeToASlot() {
        QFETCH(int, forgetEvery);
        simtest::ConnectedPanel connected(Variant::FourByEight(), ForgetArguments(forgetEvery));
        QVERIFY(connected.Connect(kWaitMs));
        PanelSession& session = connected.panel.Session();
        MessageRecorder messages;
        ChangeEveryChannel(session.GetDocument().GetProgram());
        {
            ProgramDlg dialog(session);
            auto* verify = dialog.findChild<QCheckBox*>("verifyAfterWriting");
            QVERIFY(verify != nullptr);
            QCOMPARE(verify->text(), QString("Verify after writing"));
            verify->setChecked(false);
            verify->click();
            QVERIFY(verify->isChecked());
            dialog.SelectProgram(12);
            Control<QRadioButton>(&dialog, ProgramDlg::kStoreRadioId)->click();
            Control<CharEdit>(&dialog, ProgramDlg::kNameEditId)->setText("Checked");
            ReportCatcher reports;
            Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
            QTRY_COMPARE_WITH_TIMEOUT(reports.summaries.size(), 1, kWaitMs);
            const QStringList& lines = reports.lines.first();
            if (forgetEvery == 0) {
                QCOMPARE(reports.summaries.first(),
                         QString("Program 12 of device 3 read back as written."));
                QVERIFY(lines.isEmpty());
            } else {
                QVERIFY(!lines.isEmpty());
                QCOMPARE(reports.summaries.first(),
                         QStringLiteral("Program 12 of device 3 read back differs from what was "
                                        "written in %1 parameter(s):")
                             .arg(lines.size()));
                for (const QString& line : lines) {
                    QVERIFY2(kLine.match(line).hasMatch() && line.startsWith("P12 "),
                             qPrintable(line));
                }
            }
        }
        ProgramDlg next(session);
        QVERIFY(next.findChild<QCheckBox*>("verifyAfterWriting")->isChecked());
        next.findChild<QCheckBox*>("verifyAfterWriting")->setChecked(false);
        QVERIFY(messages.texts().isEmpty());
    }

    void bankToTheDevice_data() {
        QTest::addColumn<int>("forgetEvery");
        QTest::newRow("keeping device") << 0;
        QTest::newRow("forgets every 25th write") << 25;
    }

    // "Recall  all Program From PC" with the box checked reads the thirty programs back.
    void bankToTheDevice() {
        QFETCH(int, forgetEvery);
        QTemporaryDir dir;
        CZorvanDoc bank;
        for (ProgramImage& image : bank.GetStoredPrograms()) {
            for (InputImage& input : image.inputs) {
                input.gain = static_cast<std::uint16_t>(input.gain + 10);
            }
            for (OutputImage& output : image.outputs) {
                output.gain = static_cast<std::uint16_t>(output.gain + 10);
            }
        }
        const QString path = dir.filePath("venue.dat48");
        QVERIFY(StoreAllToPC(bank, path.toStdString()));

        simtest::ConnectedPanel connected(Variant::FourByEight(), ForgetArguments(forgetEvery));
        QVERIFY(connected.Connect(kWaitMs));
        MessageRecorder messages;
        ProgramDlg dialog(connected.panel.Session());
        dialog.findChild<QCheckBox*>("verifyAfterWriting")->setChecked(true);
        Control<QRadioButton>(&dialog, ProgramDlg::kRecallAllFromPcRadioId)->click();
        FileChoiceScript files({path});
        ReportCatcher reports;
        Control<QPushButton>(&dialog, ProgramDlg::kPcOkId)->click();
        QTRY_COMPARE_WITH_TIMEOUT(reports.summaries.size(), 1, kWaitMs);
        const QStringList& lines = reports.lines.first();
        QVERIFY(
            reports.summaries.first().startsWith("The 30 stored programs of device 3 read back"));
        QCOMPARE(lines.isEmpty(), forgetEvery == 0);
        for (const QString& line : lines) {
            QVERIFY2(kLine.match(line).hasMatch(), qPrintable(line));
        }
        dialog.findChild<QCheckBox*>("verifyAfterWriting")->setChecked(false);
        QVERIFY(messages.texts().isEmpty());
    }

    void openedFile_data() {
        QTest::addColumn<bool>("bank");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<int>("forgetEvery");
        for (const bool bank : {false, true}) {
            const char* kind = bank ? "bank" : "program";
            QTest::addRow("%s, keeping device", kind) << bank << true << 0;
            QTest::addRow("%s, forgets every 3rd write", kind) << bank << true << 3;
            QTest::addRow("%s, not verified", kind) << bank << false << 3;
        }
    }

    // A file opened from the File menu while connected (after Yes) is read back as the Program
    // dialog's writes are when "Verify after writing" is on: a program file from the live
    // program, without replacing the panel's program; a bank file from the thirty stored
    // programs. Off, nothing is read back.
    void openedFile() {
        QFETCH(bool, bank);
        QFETCH(bool, verify);
        QFETCH(int, forgetEvery);
        QTemporaryDir dir;
        const QString path = bank ? MakeBankFile(dir.filePath("venue.dat48"))
                                  : MakeProgramFile(dir.filePath("show.dia48"));
        QVERIFY(!path.isEmpty());
        simtest::ConnectedPanel connected(Variant::FourByEight(), ForgetArguments(forgetEvery));
        QVERIFY(connected.Connect(kWaitMs));
        PanelSession& session = connected.panel.Session();
        WriteVerifier::SetOn(verify);
        MessageRecorder messages;
        QuestionScript questions({true});
        ReportCatcher reports;
        const std::size_t mark = connected.sim.Frames().size();
        QCOMPARE(session.Files().OpenFile(path), ProgramFileActions::OpenResult::Opened);
        QCOMPARE(questions.Asked().size(), 1);
        const QByteArray program = ProgramBytes(session.GetDocument());
        if (!verify) {
            QVERIFY(session.Link().WaitUntilSettled(kWaitMs));
            QTRY_VERIFY_WITH_TIMEOUT(connected.sim.Received(mark).size() >= 3, kWaitMs);
            QCOMPARE(ChannelReads(connected.sim, mark), 0);
            QVERIFY(reports.summaries.isEmpty());
            QVERIFY(messages.texts().isEmpty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(reports.summaries.size(), 1, kWaitMs);
        QVERIFY(ChannelReads(connected.sim, mark) > 0);
        const QStringList& lines = reports.lines.first();
        const QString what = bank ? QStringLiteral("The 30 stored programs of device 3")
                                  : QStringLiteral("The live program of device 3");
        if (forgetEvery == 0) {
            QCOMPARE(reports.summaries.first(), what + " read back as written.");
            QVERIFY(lines.isEmpty());
        } else {
            QVERIFY(!lines.isEmpty());
            QCOMPARE(reports.summaries.first(),
                     QStringLiteral("%1 read back differs from what was written in %2 "
                                    "parameter(s):")
                         .arg(what)
                         .arg(lines.size()));
        }
        for (const QString& line : lines) {
            QVERIFY2((bank ? kLine : kLiveLine).match(line).hasMatch(), qPrintable(line));
        }
        // What the device kept did not replace the file's program in the panel.
        QCOMPARE(ProgramBytes(session.GetDocument()), program);
        if (!bank) {
            QCOMPARE(session.GetDocument().GetProgram().GetOutput(2)->GetGain(), 30 + 23 * 2);
        }
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(ProgramVerifyTest)
#include "program_verify_test.moc"
