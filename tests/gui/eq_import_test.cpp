// The EQ editors' "Import…" and "Export…" on a panel connected to the simulator: the preview
// shows the bands before and after and every line of the report, Apply stores the import and the
// changed bands reach the device, Cancel changes nothing, Export writes the bands as a list.

#include "gui/ConnectedPanel.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"

#include "core/files/EqImport.h"
#include "core/files/EqText.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/EqImportDlg.h"
#include "gui/widgets/MessageBox.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

constexpr int kWaitMs = 20000;

QString Sample(const QString& name) {
    return QStringLiteral(SONVEX_TEST_DATA_DIR "/eq/") + name;
}

// The output EQ band records (block = band) the device received since mark for channel.
int BandWrites(const simtest::SimProcess& sim, std::size_t mark, int channel) {
    int count = 0;
    for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::WriteRequest && frame.Group() == Protocol::GroupOutput &&
            frame.Channel() == channel && frame.Block() < 6) {
            ++count;
        }
    }
    return count;
}

// Runs check on the preview once it is showing; the preview is then closed by check.
void WhenPreviewShows(const std::function<void(EqImportDlg*)>& check) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (auto* preview = RunningDialog<EqImportDlg>()) {
            timer->stop();
            timer->deleteLater();
            check(preview);
        }
    });
    timer->start();
}

} // namespace

class EqImportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void importPreviewsThenReachesTheDevice() {
        simtest::ConnectedPanel bench;
        QVERIFY(bench.Connect(kWaitMs));
        MessageRecorder messages;
        PanelView& panel = bench.panel;
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        panel.Editors().OpenOutputEq(0);
        auto* editor = qobject_cast<EqDlg*>(panel.Editors().At(EditorSlots::OutputEq, 0));
        QVERIFY(editor != nullptr);
        QVERIFY(ShowActive(editor));
        CAudio_OutData& out1 = *program.GetOutput(0);
        const std::vector<EqBandSetting> before = BandSettings(out1, 6);
        const int gainBefore = out1.GetGain();

        // Cancelled: nothing changes, nothing is sent.
        FileChoiceScript files({Sample("apo_config.txt"), Sample("apo_config.txt")});
        std::size_t mark = bench.sim.Frames().size();
        bool previewed = false;
        WhenPreviewShows([&previewed](EqImportDlg* preview) {
            previewed = true;
            QTest::mouseClick(preview->CancelButton(), Qt::LeftButton);
        });
        QTest::mouseClick(editor->ImportButton(), Qt::LeftButton);
        QVERIFY(previewed);
        QVERIFY(bench.panel.Session().Link().WaitUntilSettled(kWaitMs));
        QVERIFY(BandSettings(out1, 6) == before);
        QCOMPARE(BandWrites(bench.sim, mark, out1.GetChannelIndex()), 0);

        // Applied with the preamp: the preview shows before, after and the report.
        QStringList after;
        QStringList report;
        QString gainRow;
        bool preampOffered = false;
        WhenPreviewShows([&](EqImportDlg* preview) {
            preampOffered = preview->PreampBox()->isVisible();
            preview->PreampBox()->setChecked(true);
            QTableWidget* table = preview->BandTable();
            for (int row = 0; row < table->rowCount(); ++row) {
                after.append(table->item(row, 1)->text());
            }
            gainRow = table->item(table->rowCount() - 1, 0)->text() + " -> " +
                      table->item(table->rowCount() - 1, 1)->text();
            for (int i = 0; i < preview->Report()->count(); ++i) {
                report.append(preview->Report()->item(i)->text());
            }
            QTest::mouseClick(preview->ApplyButton(), Qt::LeftButton);
        });
        mark = bench.sim.Frames().size();
        QTest::mouseClick(editor->ImportButton(), Qt::LeftButton);
        QVERIFY(preampOffered);
        QCOMPARE(after.mid(0, 5),
                 (QStringList{"PEQ 50 Hz -3.0 dB 0.14 oct", "PEQ 100 Hz +1.0 dB 0.17 oct",
                              "LoShelf 300 Hz +5.0 dB 12 dB", "HiShelf 6000 Hz -2.0 dB 6 dB",
                              "PEQ 1000 Hz -6.0 dB 1.00 oct (off)"}));
        QCOMPARE(gainRow, QStringLiteral("0.0 dB -> -3.0 dB"));
        QCOMPARE(report,
                 (QStringList{"filter on line 9 (HP): an EQ band cannot be a high-pass; left out",
                              "preamp -3.0 dB: channel gain 0.0 dB becomes -3.0 dB",
                              "line 3: not read: Channel: L"}));

        // The model holds the bands, the editor shows them, the device receives them.
        QCOMPARE(out1.GetFilter(2)->GetType(), int(CFilter::LowShelf));
        QCOMPARE(out1.GetFilter(0)->GetFrequency(), 50);
        QCOMPARE(out1.GetGain(), gainBefore - 30);
        QVERIFY(bench.panel.Session().Link().WaitUntilSettled(kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(BandWrites(bench.sim, mark, out1.GetChannelIndex()) >= 5, kWaitMs);
        QVERIFY(messages.texts().isEmpty());

        // Export as Equalizer APO lines gives the bands back.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        files.Answer(dir.filePath("out1.cfg"));
        QTest::mouseClick(editor->ExportButton(), Qt::LeftButton);
        QFile exported(dir.filePath("out1.cfg"));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(exported.readAll()).split('\n');
        QVERIFY(lines.size() >= 7);
        QCOMPARE(lines.at(1), QStringLiteral("Filter 1: ON PK Fc 50 Hz Gain -3.0 dB Q 10.301"));
        QCOMPARE(lines.at(3), QStringLiteral("Filter 3: ON LSC 12 dB Fc 300 Hz Gain 5.0 dB"));
        const EqImportPlan again =
            PlanEqImport(ReadEqText(lines.join('\n').toStdString()), out1, false, 1, 6, false);
        QVERIFY(again.after == BandSettings(out1, 6));
        QVERIFY(again.report.empty());
    }
};

QTEST_MAIN(EqImportTest)
#include "eq_import_test.moc"
