// An operator at the panel for a while, doing random things, over a line that loses, spoils and
// delays answers; afterwards the link settles and the device must hold exactly what the panel
// shows: the live program parameter for parameter, and every slot the program was stored to.
// Nothing may crash, no link may be given up, and the memory of the process must stay flat.
//
//   SONVEX_MONKEY_SECONDS  how long the operator acts (default 45)
//   SONVEX_MONKEY_SEED     the seed of every random choice (default a fixed one)
//   SONVEX_MONKEY_TRACE    set: every action is printed as it is done
// The seed is printed first and again with a failure, with the last actions; the same seed
// replays the same session (./sonvex.sh soak MINUTES runs a long one with a new seed).

#include "common/DeviceMemory.h"
#include "common/ProcessMemory.h"
#include "gui/GuiTest.h"
#include "gui/PanelMonkey.h"

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "core/model/Variant.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmapCache>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kDeviceId = 3;
constexpr int kTickMs = 5;
// Long enough that a loaded machine seldom makes the panel send a record twice (its second
// answer would be taken for the next record's) or give a late answer up; a lost answer costs
// this much.
constexpr int kAnswerWaitMs = 500;
constexpr int kDefaultSeconds = 45;
constexpr unsigned kDefaultSeed = 20261210;
constexpr int kWaitMs = 30000;
// The heap the panel may gain between the end of the warm-up and the end of the run. Both are
// measured with the panel alone, every editor closed and the undo history emptied (its length is
// checked against its limit first), so what is compared is what the panel keeps for good. What
// fills slowly as the session goes on (font and glyph caches, the style's) stays well inside it;
// a leak in an action does not: some 300 actions are measured in the run of a normal test, so a
// leak of 10 KiB an action exceeds it there, and some 5000 in a 10-minute soak, where 1 KiB an
// action does.
constexpr long kHeapSlackBytes = 3L * 1024 * 1024;
// Where the C library does not tell the heap in use, the resident memory is checked instead; it
// also holds what the allocator keeps of freed blocks, and needs a wider margin.
constexpr long kResidentSlackBytes = 12L * 1024 * 1024;
// The share of the run that is warm-up: every editor has been opened and every kind of action
// done a few times before the memory is measured.
constexpr double kWarmUpShare = 0.2;
constexpr int kPixmapCacheKiB = 512;

int EnvInt(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

unsigned Seed() {
    bool ok = false;
    const uint value = qEnvironmentVariable("SONVEX_MONKEY_SEED").toUInt(&ok);
    return ok ? value : kDefaultSeed;
}

// The faults of the line, chosen by the seed. Every period is a multiple of three, so two
// spoilt answers are always at least three answers apart: the retransmission of a record whose
// answer was lost always gets its answer, and the panel never has reason to give the link up.
QStringList LineFaults(std::mt19937& random) {
    const auto pick = [&random](std::vector<int> choices) {
        return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
    };
    QStringList faults{"--drop-every",
                       QString::number(pick({9, 12, 15, 18})),
                       "--corrupt-checksum-every",
                       QString::number(pick({21, 24, 27})),
                       "--corrupt-end-every",
                       QString::number(pick({30, 33, 39})),
                       "--late",
                       QString::number(pick({0, 10, 25, 40}))};
    // Data replies repeated, or noise after the answers. Not repeated Acks: an Ack answers
    // whatever record is in flight, so a device that acknowledges twice takes the panel one
    // record ahead of itself at every write, and the link falls apart by design.
    const int extra = pick({0, 1, 2});
    if (extra == 1) {
        faults << "--double-reply";
    } else if (extra == 2) {
        faults << "--noise"
               << "3";
    }
    return faults;
}

// While a session runs: a fatal message (a failed assertion) reports the seed and the last
// actions before the process ends.
struct FatalReport {
    unsigned seed = 0;
    const simtest::PanelMonkey* monkey = nullptr;
    QtMessageHandler previous = nullptr;
};
FatalReport g_fatalReport;

void ReportFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && g_fatalReport.monkey != nullptr) {
        std::fprintf(stderr, "monkey: seed %u; the last actions:\n%s", g_fatalReport.seed,
                     qPrintable(g_fatalReport.monkey->RecentActions()));
    }
    g_fatalReport.previous(type, context, message);
}

class FatalReportScope {
public:
    FatalReportScope(unsigned seed, const simtest::PanelMonkey& monkey) {
        g_fatalReport.seed = seed;
        g_fatalReport.monkey = &monkey;
        g_fatalReport.previous = qInstallMessageHandler(ReportFatal);
    }
    ~FatalReportScope() {
        qInstallMessageHandler(g_fatalReport.previous);
        g_fatalReport = {};
    }
    FatalReportScope(const FatalReportScope&) = delete;
    FatalReportScope& operator=(const FatalReportScope&) = delete;
};

bool IsLinkMessage(const QString& text) {
    for (const char* link :
         {PanelLink::kNoReplyText, PanelLink::kPortFailedText, PanelLink::kDeviceTypeErrorText,
          PanelLink::kDeviceErrorText, PanelLink::kTypeCodeErrorText}) {
        if (text == QLatin1String(link)) {
            return true;
        }
    }
    return false;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        // The style's pixmap cache may keep up to 10 MiB by default and fills slowly over a
        // long session; kept small, it cannot hide a leak in the memory check.
        QPixmapCache::setCacheLimit(kPixmapCacheKiB);
    }

    void operatorOnABadLine() {
        const unsigned seed = Seed();
        const int seconds = EnvInt("SONVEX_MONKEY_SECONDS", kDefaultSeconds);
        std::printf("monkey: seed %u, %d s (SONVEX_MONKEY_SEED=%u replays it)\n", seed, seconds,
                    seed);
        std::fflush(stdout);

        simtest::PanelMonkey monkey(m_panel, seed);
        monkey.SetTrace(qEnvironmentVariableIsSet("SONVEX_MONKEY_TRACE"));
        const FatalReportScope fatalReport(seed, monkey);
        const QStringList faults = LineFaults(monkey.Random());
        const bool fastTransfers = monkey.Pick(0, 1) == 1;
        std::printf("monkey: line faults %s%s\n", qPrintable(faults.join(' ')),
                    fastTransfers ? ", fast transfers" : "");
        std::fflush(stdout);
        QTemporaryDir state;
        QVERIFY(state.isValid());
        QVERIFY2(m_sim.Start(
                     QStringList{"--fast", "--state", state.path(), "--device",
                                 QStringLiteral("%1:%2").arg(kDeviceId).arg(m_variant.deviceType)} +
                     faults),
                 qPrintable(m_sim.Error()));
        PanelLink& link = m_session.Link();
        link.SetTickInterval(kTickMs);
        link.SetAnswerWait(kAnswerWaitMs);
        link.SetFastTransfers(fastTransfers);
        MessageRecorder messages;
        QVERIFY(ShowActive(&m_panel));
        QVERIFY(m_panel.ConnectTo(m_sim.Link(), kDeviceId));
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        // The report of a failure; with SONVEX_MONKEY_KEEP naming a folder, the simulator's
        // frame log is kept there as well.
        const auto fail = [&](const QString& what) {
            const QString keep = qEnvironmentVariable("SONVEX_MONKEY_KEEP");
            if (!keep.isEmpty()) {
                QFile::copy(m_sim.LogPath(),
                            QDir(keep).filePath(QStringLiteral("frames-%1.log").arg(seed)));
            }
            return QStringLiteral("%1\nseed %2; the last actions:\n%3")
                .arg(what)
                .arg(seed)
                .arg(monkey.RecentActions());
        };

        monkey.OpenEveryEditor();
        QElapsedTimer clock;
        clock.start();
        const qint64 runMs = qint64(seconds) * 1000;
        // The panel alone, the history emptied: what it holds for good.
        QUndoStack& history = m_session.History();
        const auto measure = [&](long& resident, std::optional<long>& heap) {
            monkey.Finish();
            if (!monkey.CloseEveryEditor()) {
                return QStringLiteral("an editor window stayed after it was closed");
            }
            if (history.undoLimit() <= 0 || history.count() > history.undoLimit()) {
                return QStringLiteral("the undo history holds %1 steps, its limit is %2")
                    .arg(history.count())
                    .arg(history.undoLimit());
            }
            history.clear();
            resident = simtest::ResidentBytes();
            heap = simtest::HeapInUseBytes();
            return QString();
        };
        long warmedUp = 0;
        std::optional<long> warmedUpHeap;
        int warmUpActions = 0;
        int seen = 0;
        while (clock.elapsed() < runMs) {
            monkey.Act();
            // The operator's pause before the next action.
            QTest::qWait(monkey.Pick(0, 20));
            for (; seen < messages.texts().size(); ++seen) {
                const QString text = messages.texts().at(seen);
                monkey.Note(QStringLiteral("message \"%1\"").arg(text));
                if (IsLinkMessage(text)) {
                    QFAIL(qPrintable(fail("the link reported: " + text)));
                }
            }
            if (!link.IsConnected()) {
                QFAIL(qPrintable(fail("the panel lost the link")));
            }
            if (warmedUp == 0 && clock.elapsed() >= qint64(runMs * kWarmUpShare)) {
                const QString fault = measure(warmedUp, warmedUpHeap);
                if (!fault.isEmpty()) {
                    QFAIL(qPrintable(fail(fault)));
                }
                warmUpActions = monkey.Count();
            }
        }

        long finalBytes = 0;
        std::optional<long> finalHeap;
        if (const QString fault = measure(finalBytes, finalHeap); !fault.isEmpty()) {
            QFAIL(qPrintable(fail(fault)));
        }
        if (!link.WaitUntilSettled(kWaitMs)) {
            QFAIL(qPrintable(fail("the link did not settle after the last action")));
        }
        std::printf("monkey: %d actions; resident memory %ld KiB after %d, %ld KiB at the end\n",
                    monkey.Count(), warmedUp / 1024, warmUpActions, finalBytes / 1024);
        if (warmedUpHeap && finalHeap) {
            std::printf("monkey: heap in use %ld KiB after %d actions, %ld KiB at the end\n",
                        *warmedUpHeap / 1024, warmUpActions, *finalHeap / 1024);
        }
        std::fflush(stdout);

        // What the device holds, as it leaves it when stopped.
        QVERIFY(link.Disconnect());
        QCOMPARE(m_sim.Stop(), 0);
        const std::optional<SimDevice> device =
            simtest::LoadDeviceMemory(state.path(), kDeviceId, m_variant.deviceType);
        QVERIFY2(device.has_value(), "sonvex-sim left no state of its device");
        QStringList differences;
        const auto compare = [&](const CAudio_Data& panel, int program) {
            for (const ParameterDifference& difference : ParameterDiff::Compare(
                     panel, *simtest::DeviceProgram(*device, program), m_variant.deviceType)) {
                differences << QString::fromStdString(ParameterDiff::Line(difference, program));
            }
        };
        compare(m_session.GetDocument().GetProgram(), 0);
        // The device's own settings, beside its programs.
        const CAudio_Data& live = m_session.GetDocument().GetProgram();
        const auto compareSetting = [&differences](const char* what, const QString& panel,
                                                   const QString& device) {
            if (panel != device) {
                differences << QStringLiteral("%1: panel \"%2\", device \"%3\"")
                                   .arg(QLatin1String(what), panel, device);
            }
        };
        compareSetting("input source", QString::number(live.GetInputSource()),
                       QString::number(device->GetInputSource()));
        compareSetting("backlight", QString::number(live.GetBacklight()),
                       QString::number(device->GetBacklight()));
        compareSetting("temperature", QString::number(live.GetTemperature()),
                       QString::number(device->GetTemperature()));
        for (const int line : {InterfaceDlg::kLine1, InterfaceDlg::kLine2}) {
            compareSetting(line == InterfaceDlg::kLine1 ? "interface line 1" : "interface line 2",
                           QString::fromStdString(live.GetInfoText(line)).trimmed(),
                           QString::fromStdString(device->GetInfoLine(line)));
        }
        for (const auto& [slot, program] : monkey.Stored()) {
            compare(*program, slot);
        }
        if (!differences.isEmpty()) {
            QFAIL(qPrintable(fail("panel != device in:\n" + differences.join('\n'))));
        }
        QVERIFY2(warmedUp > 0, "the run was too short to measure the memory");
        if (warmedUpHeap && finalHeap) {
            if (*finalHeap - *warmedUpHeap > kHeapSlackBytes) {
                QFAIL(qPrintable(
                    fail(QStringLiteral("the heap in use grew by %1 KiB after the warm-up")
                             .arg((*finalHeap - *warmedUpHeap) / 1024))));
            }
        } else if (finalBytes - warmedUp > kResidentSlackBytes) {
            QFAIL(qPrintable(fail(QStringLiteral("resident memory grew by %1 KiB after the warm-up")
                                      .arg((finalBytes - warmedUp) / 1024))));
        }
    }

private:
    const Variant& m_variant = Variant::FourByEight();
    simtest::SimProcess m_sim;
    PanelSession m_session{m_variant};
    PanelView m_panel{m_session};
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
