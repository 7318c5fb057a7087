// sonvex-cli end to end against the simulated processor: every device command, the values
// that reach the device, refused values that send nothing, and the failures a user meets.

#include "common/FileBytes.h"
#include "tools/CliRunner.h"

#include "core/files/ProgramFiles.h"
#include "core/protocol/ProtocolCodes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <set>
#include <utility>
#include <vector>

using clitest::CliResult;
using clitest::RunCli;
using simtest::LoggedFrame;
using simtest::SimProcess;

using testfiles::ReadFile;

namespace {

// The simulator answers at once, so the service tick may run much faster than on a real line.
const QStringList kFast{"--tick", "5"};

std::vector<LoggedFrame> Writes(const SimProcess& sim) {
    std::vector<LoggedFrame> writes;
    for (const LoggedFrame& frame : sim.Received()) {
        if (frame.Code() == Protocol::WriteRequest) {
            writes.push_back(frame);
        }
    }
    return writes;
}

class CliDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // sonvex-cli command on the simulator's line, fast ticks, plus more arguments.
    static CliResult Run(const SimProcess& sim, const QString& command,
                         const QStringList& more = {}) {
        return RunCli(QStringList{command, "--port", sim.Link()} + kFast + more);
    }

    // The table of the device's live program as CSV rows split at commas (no quoted cells in
    // the programs these tests write).
    static std::vector<QStringList> LiveTable(const SimProcess& sim, const QStringList& more = {}) {
        const CliResult result = Run(sim, "table", QStringList{"--csv"} + more);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        std::vector<QStringList> rows;
        for (const QString& line : result.out.split("\r\n", Qt::SkipEmptyParts)) {
            rows.push_back(line.split(','));
        }
        return rows;
    }

    static QString Cell(const std::vector<QStringList>& rows, const QString& label,
                        const QString& header) {
        if (rows.empty()) {
            return "<no table>";
        }
        const int column = static_cast<int>(rows.front().indexOf(header));
        for (const QStringList& row : rows) {
            if (row.front() == label && column > 0 && column < row.size()) {
                return row[column];
            }
        }
        return "<missing>";
    }

    QTemporaryDir m_dir;
};

TEST_F(CliDeviceTest, SearchPrintsEachDeviceOnTheLine) {
    SimProcess sim({"--fast", "--device", "3:1", "--device", "7:1", "--device", "9:2"});
    ASSERT_TRUE(sim.Started());
    const CliResult result = Run(sim, "search");
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "3\n7\n"); // 9 is a 3x6 and not what was asked for

    const CliResult small = Run(sim, "search", {"--model", "3x6"});
    EXPECT_EQ(small.exitCode, 0);
    EXPECT_EQ(small.out, "9\n");
    EXPECT_EQ(Run(sim, "search", {"--fast"}).out, "3\n7\n");
}

TEST_F(CliDeviceTest, InfoPrintsWhatTheDeviceReports) {
    SimProcess sim({"--fast", "--device", "4:3"});
    ASSERT_TRUE(sim.Started());
    const CliResult result = Run(sim, "info", {"--id", "4", "--model", "Jexo", "-v"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.OutLines();
    EXPECT_TRUE(lines.contains("id: 4"));
    EXPECT_TRUE(lines.contains("model: 2x4 (Jexo)"));
    for (const char* key : {"input source: ", "backlight: ", "temperature: ", "text 9: ",
                            "program 0: ", "program 30: "}) {
        EXPECT_EQ(lines
                      .filter(QRegularExpression(
                          "^" + QRegularExpression::escape(QString::fromLatin1(key))))
                      .size(),
                  1)
            << key;
    }
    EXPECT_EQ(lines.filter(QRegularExpression("^temperature: \\d+C\\(\\d+F\\)$")).size(), 1);
    // -v traces the frames both ways with their decoded header.
    EXPECT_TRUE(result.err.contains(QRegularExpression(
        "^> B1 A2 04 00 03 15 .*\\| ReadRequest id=4 prog=0 group=system item=0x15",
        QRegularExpression::MultilineOption)))
        << result.err.left(400).toStdString();
    EXPECT_TRUE(result.err.contains(QRegularExpression("^< B1 5[13] 04 .*\\| (Ack|DataReply) id=4",
                                                       QRegularExpression::MultilineOption)));
}

TEST_F(CliDeviceTest, SetReachesTheDeviceAndOutOfRangeSendsNothing) {
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started());

    // Refused before anything is written.
    const CliResult refused = Run(sim, "set", {"out1.gain=-3", "out2.gain=15.1", "in1.mute=on"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.trimmed(),
              "sonvex-cli: out2.gain=15.1: Out of Range (valid -40.0..15.0 dB)");
    const CliResult refusedDelay = Run(sim, "set", {"out3.delay=1001"});
    EXPECT_EQ(refusedDelay.exitCode, 1);
    EXPECT_TRUE(refusedDelay.err.contains("Out of Range (valid 0..1000 ms)"))
        << refusedDelay.err.toStdString();
    EXPECT_TRUE(Writes(sim).empty()) << "a refused set wrote to the device";

    const std::size_t before = sim.Frames().size();
    const CliResult set =
        Run(sim, "set",
            {"out1.gain=-3", "in2.mute=on", "out2.eq1.freq=250", "out2.eq1.gain=4.5",
             "out2.eq1.q=1.414", "out3.hpf.freq=800", "out3.hpf.slope=48", "out4.source=B+D",
             "in1.gate=off", "out1.limiter.release=8X", "out5.delay=3.43m", "out6.name=Sub"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();

    // The device acknowledged level, EQ, crossover, gate, dynamics and name records.
    std::set<std::pair<int, int>> written; // group, block of each write
    for (const LoggedFrame& frame : sim.Received(before)) {
        if (frame.Code() == Protocol::WriteRequest) {
            written.insert({frame.Group(), frame.Block()});
        }
    }
    for (const auto& expected :
         std::vector<std::pair<int, int>>{{Protocol::GroupOutput, Protocol::OutputBlockLevels},
                                          {Protocol::GroupInput, Protocol::InputBlockLevels},
                                          {Protocol::GroupOutput, 0}, // EQ band 1
                                          {Protocol::GroupOutput, Protocol::OutputBlockCrossover},
                                          {Protocol::GroupInput, Protocol::InputBlockGate},
                                          {Protocol::GroupOutput, Protocol::OutputBlockDynamics},
                                          {Protocol::GroupOutput, Protocol::OutputBlockName}}) {
        EXPECT_EQ(written.count(expected), 1u)
            << "group " << expected.first << " block " << expected.second << " not written";
    }

    // Read back from the device.
    const auto rows = LiveTable(sim);
    EXPECT_EQ(Cell(rows, "Gain", "Out1"), "-3.0");
    EXPECT_EQ(Cell(rows, "Mute", "Input B"), "Mute");
    EXPECT_EQ(Cell(rows, "Mute", "Input A"), "On");
    EXPECT_EQ(Cell(rows, "EQ1 Freq", "Out2"), "250");
    EXPECT_EQ(Cell(rows, "EQ1 Gain", "Out2"), "4.5");
    EXPECT_EQ(Cell(rows, "EQ1 Q", "Out2"), "1.414");
    EXPECT_EQ(Cell(rows, "XFreq_HPF", "Out3"), "800"); // reached in octave steps
    EXPECT_EQ(Cell(rows, "XSLope_HPF", "Out3"), "48dB");
    EXPECT_EQ(Cell(rows, "Src CHB", "Out4"), "On");
    EXPECT_EQ(Cell(rows, "Src CHD", "Out4"), "On");
    EXPECT_EQ(Cell(rows, "Src CHA", "Out4"), "Off");
    EXPECT_EQ(Cell(rows, "NoiseGate", "Input A"), "Disable");
    EXPECT_EQ(Cell(rows, "Release", "Out1"), "8X");
    EXPECT_TRUE(Cell(rows, "Delay", "Out5").startsWith("9.9")) << "3.43 m is about 10 ms";
    EXPECT_EQ(Cell(rows, "Name", "Out6"), "Sub");
}

// The editing rules: a set that would leave a state no editor can make is refused with one line
// naming the rule and writes nothing; a set is judged by the state it leaves as a whole, so the
// order of its assignments does not matter.
TEST_F(CliDeviceTest, SetKeepsTheEditingRules) {
    SimProcess sim({"--fast", "--device", "1:1", "--device", "2:2"});
    ASSERT_TRUE(sim.Started());
    const QStringList threeBySix{"--id", "2", "--model", "3x6"};
    struct RefusedCase {
        QStringList assignments; // behind "out2.gain=-6", which is not applied either
        QStringList more;
        const char* message; // after "sonvex-cli: "
    };
    const std::vector<RefusedCase> refused{
        {{"out1.eq1.type=LoShelf", "out1.eq1.freq=25000"},
         {},
         "out1.eq1.type=LoShelf: Low shelf above 20000 Hz"},
        {{"out1.eq1.freq=25000", "out1.eq1.type=LoShelf"},
         {},
         "out1.eq1.freq=25000: Low shelf above 20000 Hz"},
        {{"out1.hpf.freq=5000", "out1.lpf.freq=1000"},
         {},
         "out1.hpf.freq=5000: High-pass above low-pass"},
        {{"out1.limiter.mode=limit", "out1.limiter.timing=auto"},
         {},
         "out1.limiter.mode=limit: Limiter with automatic timing"},
        {{"out1.limiter.timing=auto"},
         {},
         "out1.limiter.timing=auto: Limiter with automatic timing"},
        {{"out1.eq1.gain=0", "out1.eq1.on=on"}, {}, "out1.eq1.gain=0: Band at 0.0 dB switched on"},
        {{"out1.eq2.on=on"}, {}, "out1.eq2.on=on: Band at 0.0 dB switched on"},
        {{"out1.source=none"}, threeBySix, "out1.source=none: Output without a source"},
        {{"in1.gate=off"}, threeBySix, "in1.gate=off: No noise gate switch on this model"},
    };
    for (const RefusedCase& c : refused) {
        SCOPED_TRACE(c.message);
        const CliResult result =
            Run(sim, "set", QStringList{"out2.gain=-6"} + c.assignments + c.more);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.toStdString(), std::string("sonvex-cli: ") + c.message + "\n");
    }
    EXPECT_TRUE(Writes(sim).empty()) << "a refused set wrote to the device";

    // The same rules on the 4x8 let an output lose its last source and switch its gates off.
    ASSERT_EQ(Run(sim, "set", {"out1.source=none", "in1.gate=off"}).exitCode, 0);
    // Passing through a state the rules refuse on the way is fine.
    ASSERT_EQ(Run(sim, "set", {"out3.lpf.freq=1000"}).exitCode, 0);
    const CliResult crossover = Run(sim, "set", {"out3.hpf.freq=5000", "out3.lpf.freq=8000"});
    ASSERT_EQ(crossover.exitCode, 0) << crossover.err.toStdString();
    const CliResult band = Run(sim, "set", {"out1.eq2.on=on", "out1.eq2.gain=3"});
    ASSERT_EQ(band.exitCode, 0) << band.err.toStdString();
    const CliResult timing =
        Run(sim, "set", {"out4.limiter.timing=auto", "out4.limiter.mode=compressor"});
    ASSERT_EQ(timing.exitCode, 0) << timing.err.toStdString();
    const auto rows = LiveTable(sim);
    EXPECT_EQ(Cell(rows, "Src CHA", "Out1"), "Off");
    EXPECT_EQ(Cell(rows, "NoiseGate", "Input A"), "Disable");
    EXPECT_EQ(Cell(rows, "XFreq_HPF", "Out3"), "5000");
    EXPECT_EQ(Cell(rows, "XFreq_LPF", "Out3"), "8000");
    EXPECT_EQ(Cell(rows, "EQ2 Gain", "Out1"), "3.0");
    EXPECT_EQ(Cell(rows, "Compression Type", "Out4"), "Auto");

    // With automatic timing the device's attack follows the high-pass: moving it sends the
    // dynamics record again, with the attack of 100 Hz (14) and release 16X (4).
    const std::size_t before = sim.Frames().size();
    ASSERT_EQ(Run(sim, "set", {"out4.hpf.freq=100"}).exitCode, 0);
    QByteArray dynamics;
    for (const LoggedFrame& frame : sim.Received(before)) {
        if (frame.Code() == Protocol::WriteRequest && frame.Group() == Protocol::GroupOutput &&
            frame.Channel() == 3 && frame.Block() == Protocol::OutputBlockDynamics) {
            dynamics = frame.bytes.mid(9, frame.Length());
        }
    }
    ASSERT_EQ(dynamics.size(), 8) << "no dynamics record after the high-pass moved";
    EXPECT_EQ(dynamics.at(2), 14);
    EXPECT_EQ(dynamics.at(3), 4);
}

TEST_F(CliDeviceTest, PullAndPushRoundTripAProgram) {
    SimProcess sim({"--fast", "--device", "2:2"});
    ASSERT_TRUE(sim.Started());
    const QStringList device{"--id", "2", "--model", "3x6"};
    QDir().mkpath(Path("in"));
    const QString known = clitest::WriteKnownProgram(Path("in"), 2);

    // To stored program 7, and back into a file whose extension is added; the device goes on
    // playing its live program meanwhile.
    const std::vector<QStringList> liveBefore = LiveTable(sim, device);
    const CliResult push = Run(sim, "push", QStringList{known, "--slot", "7"} + device);
    ASSERT_EQ(push.exitCode, 0) << push.err.toStdString();
    const CliResult pull =
        Run(sim, "pull", QStringList{"--slot", "7", "-o", Path("seven")} + device);
    ASSERT_EQ(pull.exitCode, 0) << pull.err.toStdString();
    EXPECT_EQ(pull.out.trimmed(), Path("seven.dia36"));
    EXPECT_EQ(LiveTable(sim, device), liveBefore);

    const CliResult expected = RunCli({"table", known, "--model", "3x6", "--csv"});
    const CliResult actual = RunCli({"table", Path("seven.dia36"), "--model", "3x6", "--csv"});
    ASSERT_EQ(actual.exitCode, 0) << actual.err.toStdString();
    EXPECT_EQ(actual.out, expected.out);

    // To the live program: inputs A and B are muted while the outputs are written.
    const std::size_t before = sim.Frames().size();
    ASSERT_EQ(Run(sim, "push", QStringList{known} + device).exitCode, 0);
    const std::vector<LoggedFrame> in = sim.Received(before);
    std::vector<LoggedFrame> writes;
    for (const LoggedFrame& frame : in) {
        if (frame.Code() == Protocol::WriteRequest && frame.Program() == 0) {
            writes.push_back(frame);
        }
    }
    ASSERT_GE(writes.size(), 15u);
    EXPECT_EQ(writes[1].Group(), Protocol::GroupInput);
    EXPECT_EQ(writes[1].Channel(), 0);
    EXPECT_EQ(writes[1].Block(), Protocol::InputBlockLevels);
    EXPECT_EQ(writes[2].Channel(), 1);
    EXPECT_EQ(writes[3].Group(), Protocol::GroupOutput);
    // Input B is muted in the file, input A is not: A's true state is sent again afterwards.
    EXPECT_EQ(writes.back().Group(), Protocol::GroupInput);
    EXPECT_EQ(writes.back().Block(), Protocol::InputBlockLevels);

    ASSERT_EQ(Run(sim, "pull", QStringList{"-o", Path("live.dia36")} + device).exitCode, 0);
    const CliResult live = RunCli({"table", Path("live.dia36"), "--model", "3x6", "--csv"});
    EXPECT_EQ(live.out.section("\r\n", 1), expected.out.section("\r\n", 1))
        << "every cell below the header (the live program keeps its own name)";
}

// A pull only reads: the device keeps playing what it played. Stored program 5 of the
// simulator has its inputs at -5.0 dB, the live program at 0.0 dB.
TEST_F(CliDeviceTest, PullingAStoredProgramLeavesTheLiveProgramAlone) {
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started());
    const std::vector<QStringList> liveBefore = LiveTable(sim);
    ASSERT_EQ(Cell(liveBefore, "Gain", "Input A"), "0.0");

    const std::size_t mark = sim.Frames().size();
    const CliResult pull = Run(sim, "pull", {"--slot", "5", "-o", Path("five")});
    ASSERT_EQ(pull.exitCode, 0) << pull.err.toStdString();
    for (const LoggedFrame& frame : sim.Received(mark)) {
        const bool channel =
            frame.Group() == Protocol::GroupInput || frame.Group() == Protocol::GroupOutput;
        if (channel && frame.Program() != 0) {
            EXPECT_EQ(frame.Block(), Protocol::ArchiveFlag)
                << "program " << frame.Program() << " read as a recall";
        }
    }
    EXPECT_EQ(LiveTable(sim), liveBefore);

    const CliResult five = RunCli({"table", Path("five.dia48"), "--csv"});
    ASSERT_EQ(five.exitCode, 0) << five.err.toStdString();
    std::vector<QStringList> rows;
    for (const QString& line : five.out.split("\r\n", Qt::SkipEmptyParts)) {
        rows.push_back(line.split(','));
    }
    EXPECT_EQ(Cell(rows, "Gain", "Input A"), "-5.0");
    EXPECT_EQ(Cell(rows, "Gain", "Input D"), "-5.0");
}

TEST_F(CliDeviceTest, BackupThenRestoreIsByteIdentical) {
    QDir().mkpath(Path("in"));
    const QString known = clitest::WriteKnownProgram(Path("in"), 1);
    {
        SimProcess source({"--fast"});
        ASSERT_TRUE(source.Started());
        ASSERT_EQ(Run(source, "push", {known, "--slot", "3"}).exitCode, 0);
        ASSERT_EQ(Run(source, "set", {"out2.gain=-12"}).exitCode, 0);
        ASSERT_EQ(Run(source, "push", {known, "--slot", "30"}).exitCode, 0);
        const CliResult backup = Run(source, "backup", {"-o", Path("venue")});
        ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        EXPECT_EQ(backup.out.trimmed(), Path("venue.dat"));
    }
    SimProcess target({"--fast"});
    ASSERT_TRUE(target.Started());
    ASSERT_EQ(Run(target, "backup", {"-o", Path("fresh.dat")}).exitCode, 0);
    const QByteArray original = ReadFile(Path("venue.dat"));
    ASSERT_FALSE(original.isEmpty());
    ASSERT_NE(ReadFile(Path("fresh.dat")), original) << "the pushed programs are in the bank";

    const CliResult restore = Run(target, "restore", {Path("venue.dat")});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    ASSERT_EQ(Run(target, "backup", {"-o", Path("again.dat")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("again.dat")), original);

    // The same through fast transfers, onto a device that holds other programs.
    SimProcess other({"--fast"});
    ASSERT_TRUE(other.Started());
    const CliResult fastRestore = Run(other, "restore", {Path("venue.dat"), "--fast"});
    ASSERT_EQ(fastRestore.exitCode, 0) << fastRestore.err.toStdString();
    const CliResult fastBackup = Run(other, "backup", {"-o", Path("fast.dat"), "--fast"});
    ASSERT_EQ(fastBackup.exitCode, 0) << fastBackup.err.toStdString();
    EXPECT_EQ(ReadFile(Path("fast.dat")), original);
}

TEST_F(CliDeviceTest, SetIdMovesTheDevice) {
    SimProcess sim({"--fast", "--device", "5:1"});
    ASSERT_TRUE(sim.Started());
    const CliResult result = Run(sim, "set-id", {"--id", "5", "--new-id", "12"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(Run(sim, "search").out, "12\n");
    EXPECT_EQ(Run(sim, "info", {"--id", "12"}).exitCode, 0);
}

TEST_F(CliDeviceTest, FailuresGiveOneClearLineAndAnError) {
    SimProcess silent({"--fast", "--silent"});
    SimProcess wrong({"--fast", "--wrong-type"});
    SimProcess small({"--fast", "--device", "1:3"});
    ASSERT_TRUE(silent.Started() && wrong.Started() && small.Started());
    struct Case {
        QStringList arguments;
        QString expected;
    };
    const std::vector<Case> cases{
        {QStringList{"info", "--port", Path("no-such-port")}, "Unable to open COM-port"},
        {QStringList{"backup", "-o", Path("x"), "--port", Path("no-such-port")},
         "Unable to open COM-port"},
        {QStringList{"search", "--port", Path("no-such-port")}, "Unable to open COM-port"},
        {QStringList{"info", "--port", silent.Link()} + kFast, "Unable to Open COM-Port"},
        {QStringList{"info", "--port", silent.Link(), "--fast"} + kFast, "Unable to Open COM-Port"},
        {QStringList{"set", "out1.gain=1", "--port", silent.Link()} + kFast,
         "Unable to Open COM-Port"},
        {QStringList{"info", "--port", wrong.Link()} + kFast, "Device Type Error!"},
        {QStringList{"info", "--port", small.Link()} + kFast, "Device Type Error!"}, // not a 4x8
        {QStringList{"search", "--port", silent.Link()} + kFast, "no 4x8 device answered"},
        {QStringList{"restore", Path("missing.dat"), "--port", silent.Link()}, "File read Error"},
        {QStringList{"push", Path("missing.dia48"), "--port", silent.Link()}, "File read Error"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.ErrLines().size(), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith("sonvex-cli: " + c.expected)) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("x.dat")));
}

// Files and values the command-line tool refuses: each gets one line that names it and says
// what is wrong, the exit status 1, and nothing reaches the device.
TEST_F(CliDeviceTest, BadFilesAndValuesGetOneMessageAndChangeNothing) {
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started());
    QDir().mkpath(Path("folder.dia48"));
    QDir().mkpath(Path("folder.dat"));
    const QString program = clitest::WriteKnownProgram(m_dir.path(), 1);
    const auto write = [this](const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    };
    const QByteArray programBytes = ReadFile(program);
    const QString empty = write("empty.dia48", {});
    const QString cut = write("cut.dia48", programBytes.left(programBytes.size() / 2));
    const QString huge = write("huge.dia48", QByteArray(int(kMaxProgramFileSize) + 1, '\0'));
    const QString text = write("notes.dia48", "Gain +3 dB on the left top\n");
    const QString hugeBank = write("huge.dat", QByteArray(int(kMaxBankFileSize) + 1, '\0'));
    CZorvanDoc doc;
    const QString bank = QString::fromStdString(StoreAllToPC(doc, Path("bank").toStdString()).path);
    QFile::link(Path("nowhere"), Path("broken.dia48"));

    struct FileCase {
        QString command; // "push" or "restore"; "push" cases also run through "table"
        QString path;
        QString reason;
    };
    std::vector<FileCase> files{
        {"push", empty, "is empty"},
        {"push", cut, "ends before the program is complete"},
        {"push", huge, "is too large for a program file"},
        {"push", Path("folder.dia48"), "is a folder, not a file"},
        {"push", Path("broken.dia48"), "cannot be opened (No such file or directory)"},
        {"push", text, "ends before the program is complete"},
        {"push", bank, "is not a program file"},
        {"push", write("show.dat48", ReadFile(bank)), "is a bank file, not a program file"},
        {"push", write("other.dia36", programBytes), "is a 3x6 program file; give --model 3x6"},
        {"restore", write("empty.dat", {}), "is empty"},
        {"restore", write("cut.dat", ReadFile(bank).left(10000)),
         "ends before the thirtieth program is complete"},
        {"restore", hugeBank, "is too large for a bank file"},
        {"restore", Path("folder.dat"), "is a folder, not a file"},
        {"restore", program, "is a program file, not a bank file"},
        {"restore", write("one.prg", programBytes),
         "ends before the thirtieth program is complete"},
        {"restore", write("other.dat24", ReadFile(bank)), "is a 2x4 bank file; give --model 2x4"},
    };
    // A file without read permission: only meaningful for a user the permissions bind.
    if (geteuid() != 0) {
        const QString locked = write("locked.dia48", programBytes);
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        files.push_back({"push", locked, "cannot be opened (Permission denied)"});
    }
    for (const FileCase& c : files) {
        QStringList commands{c.command};
        if (c.command == "push") {
            commands << "table";
        }
        for (const QString& command : commands) {
            SCOPED_TRACE((command + " " + c.path).toStdString());
            const CliResult result =
                command == "table" ? RunCli({command, c.path}) : Run(sim, command, {c.path});
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(
                result.err.toStdString(),
                ("sonvex-cli: File read Error: " + c.path + " (" + c.reason + ")\n").toStdString());
            EXPECT_TRUE(result.out.isEmpty());
        }
    }
    struct ValueCase {
        const char* assignment;
        const char* message; // after "sonvex-cli: ASSIGNMENT: "
    };
    const std::vector<ValueCase> values{
        {"out1.gain=loud", "'loud' is not a number"},
        {"out1.gain=", "'' is not a number"},
        {"out1.gain=nan", "'nan' is not a number"},
        {"out1.gain=1e999", "'1e999' is not a number"},
        {"out1.gain=15.1", "Out of Range (valid -40.0..15.0 dB)"},
        {"in1.gain=6.1", "Out of Range (valid -40.0..6.0 dB)"},
        {"in1.mute=maybe", "'maybe' is not one of off, on"},
        {"in1.polarity=x", "'x' is not one of normal, invert"},
        {"in1.delay=soon", "'soon' is not a delay (ms, or a distance with m or ft)"},
        {"in1.delay=-1", "Out of Range (valid 0..1000 ms)"},
        {"out1.delay=1e9ft", "Out of Range (valid 0..1185.6852 ft)"},
        {"in1.name=123456789", "a name has at most 8 characters"},
        {"in1.name=a\tb", "a name takes printable ASCII characters only"},
        {"in1.gate=loud", "'loud' is not a threshold in dBu, on or off"},
        {"in1.gate=-120.1", "Out of Range (valid -120.0..10.0 dBu)"},
        {"out1.source=E", "'E' is not a set of inputs such as A+C (A..D) or none"},
        {"out1.eq1.type=notch", "'notch' is not one of PEQ, LoShelf, HiShelf"},
        {"out1.eq1.freq=1.5", "'1.5' is not a whole number"},
        {"out1.eq1.freq=9", "Out of Range (valid 10..30000 Hz)"},
        {"out1.eq1.gain=15.5", "Out of Range (valid -30.0..15.0 dB)"},
        {"out1.eq1.q=0", "Out of Range (valid 0.404..28.852)"},
        {"out1.eq1.q=wide", "'wide' is not a number"},
        {"out1.eq1.bw=3.5", "Out of Range (valid 0.05..3.00 octaves)"},
        {"out1.eq1.on=x", "'x' is not one of off, on"},
        {"out1.eq1.slope=7", "'7' is not one of 6, 12"},
        {"out1.hpf.freq=30001", "Out of Range (valid 10..30000 Hz)"},
        {"out1.lpf.freq=high", "'high' is not a whole number"},
        {"out1.hpf.type=x", "'x' is not one of L_R, Bessel, BTWorth"},
        {"out1.lpf.slope=36", "'36' is not one of 12, 18, 24, 48"},
        {"out1.limiter.threshold=20.5", "Out of Range (valid -30.0..20.0 dBu)"},
        {"out1.limiter.threshold=max", "'max' is not a number"},
        {"out1.limiter.attack=0", "Out of Range (valid 0.3..100 ms)"},
        {"out1.limiter.release=1X", "'1X' is not one of 2X, 4X, 6X, 8X, 16X, 32X"},
        {"out1.limiter.clip=12.5", "Out of Range (valid 2.0..12.0)"},
        {"out1.limiter.ratio=1:3",
         "'1:3' is not one of 1:1, 1:2, 1:4, 1:8, 1:16, 1:32, 1:64, 1:maximum"},
        {"out1.limiter.mode=x", "'x' is not one of limit, compressor"},
        {"out1.limiter.timing=x", "'x' is not one of manual, auto"},
    };
    for (const ValueCase& c : values) {
        SCOPED_TRACE(c.assignment);
        // Behind a good assignment: nothing of the command is applied.
        const CliResult result = Run(sim, "set", {"out2.gain=-6", c.assignment});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.toStdString(),
                  std::string("sonvex-cli: ") + c.assignment + ": " + c.message + "\n");
    }
    EXPECT_TRUE(sim.Received().empty()) << "a refused file or value reached the device";
}

// Random bytes after every answer: the commands still read and write what they should.
TEST_F(CliDeviceTest, LineNoiseBetweenAnswersIsPassedOver) {
    SimProcess sim({"--fast", "--noise", "60"});
    ASSERT_TRUE(sim.Started());
    const CliResult set = Run(sim, "set", {"out1.gain=-3", "in2.name=Noisy"});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    const auto rows = LiveTable(sim);
    EXPECT_EQ(Cell(rows, "Gain", "Out1"), "-3.0");
    EXPECT_EQ(Cell(rows, "Name", "Input B"), "Noisy");
    EXPECT_TRUE(sim.Log().contains("noise")) << "the simulator sent its noise";
}

} // namespace
