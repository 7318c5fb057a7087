// The link doctor's checks over facts of a made-up system: a device file, a /proc and a sysfs
// in a temporary folder, an installed-program lookup and the device's permission facts.

#include "line/LinkDoctor.h"
#include "line/PortList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void Write(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// What can be wrong on the made-up system.
struct Trouble {
    bool noPermission = false;
    bool heldByAnother = false;
    bool brltty = false;
    bool modemManager = false; // runs (and holds the port when heldByModemManager)
    bool heldByModemManager = false;
    int latencyMs = 1;
};

class LinkDoctorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // The facts of a system with a USB serial adapter at dev/ttyUSB0 and the trouble given.
    LinkDoctor::Facts Make(const Trouble& t) {
        const QString device = Path("dev/ttyUSB0");
        Write(device, "");
        LinkDoctor::Facts facts;
        facts.sysRoot = Path("sys");
        facts.procRoot = Path("proc");
        facts.udevRuleDirs = {Path("rules")};
        QDir().mkpath(Path("sys/class/tty/ttyUSB0/device"));
        Write(Path("sys/bus/usb-serial/devices/ttyUSB0/latency_timer"),
              QByteArray::number(t.latencyMs) + "\n");
        QDir().mkpath(Path("proc/1/fd"));
        Write(Path("proc/1/comm"), "systemd\n");
        const auto process = [&](const char* pid, const char* name, bool holds) {
            Write(Path(QStringLiteral("proc/%1/comm").arg(pid)), QByteArray(name) + "\n");
            QDir().mkpath(Path(QStringLiteral("proc/%1/fd").arg(pid)));
            if (holds) {
                QFile::link(device, Path(QStringLiteral("proc/%1/fd/5").arg(pid)));
            }
        };
        if (t.heldByAnother) {
            process("4242", "minicom", true);
        }
        if (t.modemManager) {
            process("77", "ModemManager", t.heldByModemManager);
        }
        if (t.brltty) {
            Write(Path("rules/85-brltty.rules"), "# claims USB serial adapters\n");
        }
        facts.which = [t](const QString& program) {
            return t.brltty && program == "brltty" ? QStringLiteral("/usr/bin/brltty") : QString();
        };
        facts.permissions = [t](const QString& path) {
            PortAccess::PermissionFacts p;
            p.path = path;
            p.userName = "ana";
            p.ownerName = "root";
            p.groupName = "dialout";
            p.groupId = 20;
            p.mode = S_IFCHR | 0660;
            p.inGroupNow = !t.noPermission;
            p.inGroupDatabase = false;
            return p;
        };
        const bool held = t.heldByAnother || t.heldByModemManager;
        facts.opens = [held](const QString&) { return !held; };
        facts.selfPid = 1;
        return facts;
    }

    static QStringList Checks(const std::vector<LinkDoctor::Finding>& findings) {
        QStringList checks;
        for (const LinkDoctor::Finding& finding : findings) {
            checks << finding.check;
            EXPECT_FALSE(finding.text.contains('\n')) << finding.text.toStdString();
        }
        return checks;
    }

    QTemporaryDir m_dir;
};

TEST_F(LinkDoctorTest, EachConditionIsFoundAndOnlyThat) {
    struct Case {
        const char* name;
        Trouble trouble;
        QStringList checks;
    };
    const std::vector<Case> cases{
        {"nothing wrong", {}, {}},
        {"not in the group", {true}, {"permission"}},
        {"held by another program", {false, true}, {"busy"}},
        {"brltty", {false, false, true}, {"brltty"}},
        {"ModemManager running", {false, false, false, true}, {"modemmanager"}},
        {"ModemManager holding the port",
         {false, false, false, true, true},
         {"busy", "modemmanager"}},
        {"latency timer at 16 ms", {false, false, false, false, false, 16}, {"latency"}},
        {"all at once",
         {true, true, true, true, false, 16},
         {"permission", "modemmanager", "latency", "brltty"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(Path("")).removeRecursively() && QDir().mkpath(Path("")));
        const LinkDoctor::Facts facts = Make(c.trouble);
        EXPECT_EQ(Checks(LinkDoctor::Examine(Path("dev/ttyUSB0"), facts)), c.checks);
    }
}

TEST_F(LinkDoctorTest, FindingsSayWhatToDo) {
    const LinkDoctor::Facts facts = Make({true, true, true, true, true, 16});
    const QString device = Path("dev/ttyUSB0");
    const auto text = [](const std::vector<LinkDoctor::Finding>& findings) {
        return findings.empty() ? QString() : findings.front().text;
    };
    EXPECT_TRUE(text(LinkDoctor::CheckPermission(facts.permissions(device)))
                    .contains("sudo usermod -aG dialout $USER"));
    const QString busy = text(LinkDoctor::CheckHolders(device, facts));
    EXPECT_TRUE(busy.contains("minicom, process 4242")) << busy.toStdString();
    EXPECT_TRUE(busy.contains("ModemManager, process 77")) << busy.toStdString();
    EXPECT_TRUE(text(LinkDoctor::CheckBrltty(facts)).contains("sudo apt remove brltty"));
    const QString modem = text(LinkDoctor::CheckModemManager(device, facts));
    EXPECT_TRUE(modem.contains("holds ttyUSB0")) << modem.toStdString();
    EXPECT_TRUE(modem.contains("sudo systemctl stop ModemManager"));
    const QString latency = text(LinkDoctor::CheckLatency(device, facts));
    EXPECT_TRUE(latency.contains("latency timer is 16 ms")) << latency.toStdString();
    EXPECT_TRUE(
        latency.contains("echo 1 | sudo tee /sys/bus/usb-serial/devices/ttyUSB0/latency_timer"));
    // The message shown when the port does not open carries the system's part.
    EXPECT_EQ(LinkDoctor::SystemHints(device, facts).size(), 3);

    // brltty's rules alone, without the program, claim nothing; nor does a pseudo-terminal
    // interest ModemManager.
    LinkDoctor::Facts bare = facts;
    bare.which = [](const QString&) { return QString(); };
    EXPECT_TRUE(LinkDoctor::CheckBrltty(bare).empty());
    Write(Path("dev/pts/3"), "");
    EXPECT_TRUE(LinkDoctor::CheckModemManager(Path("dev/pts/3"), facts).empty());
}

TEST_F(LinkDoctorTest, MissingPortAndGateways) {
    const LinkDoctor::Facts facts = Make({});
    EXPECT_EQ(Checks(LinkDoctor::Examine(Path("dev/ttyUSB9"), facts)), QStringList{"port"});

    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString answering = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    EXPECT_TRUE(LinkDoctor::IsGateway(answering));
    EXPECT_TRUE(LinkDoctor::Examine(answering, facts).empty());
    const quint16 freed = server.serverPort();
    server.close();
    const auto silent =
        LinkDoctor::Examine(QStringLiteral("rfc2217://127.0.0.1:%1").arg(freed), facts);
    ASSERT_EQ(Checks(silent), QStringList{"gateway"});
    EXPECT_TRUE(silent.front().text.contains("does not answer"))
        << silent.front().text.toStdString();
    EXPECT_EQ(Checks(LinkDoctor::Examine("tcp://nohost", facts)), QStringList{"gateway"});
}

TEST_F(LinkDoctorTest, StableNameIsTheByIdLinkToThePort) {
    Write(Path("dev/ttyUSB0"), "");
    Write(Path("dev/ttyUSB1"), "");
    QDir().mkpath(Path("by-id"));
    ASSERT_TRUE(QFile::link(Path("dev/ttyUSB1"), Path("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0")));
    EXPECT_EQ(PortList::StableName(Path("dev/ttyUSB1"), Path("by-id")),
              Path("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0"));
    EXPECT_EQ(PortList::StableName(Path("dev/ttyUSB0"), Path("by-id")), QString());
    // Given by its stable name, the port is the adapter it leads to.
    const LinkDoctor::Facts facts = Make({false, false, false, false, false, 8});
    Write(Path("sys/bus/usb-serial/devices/ttyUSB1/latency_timer"), "8\n");
    EXPECT_EQ(Checks(LinkDoctor::Examine(Path("by-id/usb-FTDI_FT232R_A1B2C3-if00-port0"), facts)),
              QStringList{"latency"});
}

} // namespace
