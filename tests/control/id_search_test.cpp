// The ID search of the Connect dialog against the simulated line: in the test process, and
// once on a pseudo-terminal through sonvex-sim for the real port.

#include "control/ControlTest.h"
#include "control/InProcessSim.h"
#include "control/ManualClock.h"

#include "control/IdSearch.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProtocolCodes.h"

#include <QTest>

#include <gtest/gtest.h>

using controltest::InProcessSim;
using controltest::ManualClock;
using simtest::SimProcess;

namespace {

constexpr int kSearchTickMs = 2;
constexpr int kWaitMs = 60000;

class ControlIdSearchTest : public controltest::ControlTest {};

struct SearchCase {
    const char* name;
    std::vector<InProcessSim::Device> devices;
    SimFaults faults;
    QVector<int> expected;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlIdSearchOnLine : public ControlIdSearchTest,
                              public ::testing::WithParamInterface<SearchCase> {};

TEST_P(ControlIdSearchOnLine, FindsExactlyTheDevicesOfThePanelsType) {
    SimLinkLine::Options options = InProcessSim::Fast();
    options.faults = GetParam().faults;
    InProcessSim sim(GetParam().devices, options);
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    IdSearch search(link);
    search.SetTickInterval(kSearchTickMs);
    QVector<QVector<int>> finished;
    QObject::connect(&search, &IdSearch::finished,
                     [&](const QVector<int>& ids) { finished.append(ids); });
    EXPECT_EQ(link.FoundIds().size(), 250); // every ID counts as present before a search

    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    EXPECT_TRUE(search.IsRunning());
    ASSERT_TRUE(search.WaitForEnd(kWaitMs));

    EXPECT_EQ(link.FoundIds(), GetParam().expected);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0], GetParam().expected);
    EXPECT_EQ(search.GetPosition(), 250);
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.GetEngine().IsOpen());
    EXPECT_EQ(link.GetEngine().GetSearchWindow(), nullptr);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_FALSE(link.IsTickRunning());
    EXPECT_EQ(sim.Received().size(), 250U);
}

SimFaults Silent() {
    SimFaults faults;
    faults.silent = true;
    return faults;
}

SimFaults Late(int ms) {
    SimFaults faults;
    faults.lateMs = ms;
    return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ControlIdSearchOnLine,
    ::testing::Values(SearchCase{"DevicesThreeAndSeven", {{3, 1}, {7, 1}, {9, 2}}, {}, {3, 7}},
                      SearchCase{"NothingAnswers", {{1, 1}}, Silent(), {}},
                      // Every answer comes after its probe was given up: each still lists its
                      // device and takes no other probe with it, so every ID is asked once.
                      SearchCase{"LateAnswers",
                                 {{3, 1}, {4, 1}, {5, 1}, {6, 1}, {8, 1}, {9, 1}, {11, 1}},
                                 Late(25),
                                 {3, 4, 5, 6, 8, 9, 11}}),
    [](const auto& info) { return std::string(info.param.name); });

// The search runs on the session's own tick at its own interval: an ID nobody answers takes
// the tick that sends its probe and four that wait, and afterwards the link's tick is as it was.
TEST_F(ControlIdSearchTest, SearchRunsOnTheSessionsTickAndGivesItBack) {
    SimLinkLine::Options silent = InProcessSim::Fast();
    silent.faults = Silent();
    InProcessSim sim({{1, 1}}, silent);
    auto owned = std::make_unique<ManualClock>();
    ManualClock& clock = *owned;
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup(std::move(owned)));
    IdSearch search(link);
    qint64 endedAt = -1;
    QObject::connect(&search, &IdSearch::finished, [&] { endedAt = clock.NowMs(); });

    EXPECT_FALSE(link.GetFoundIds().Searched()) << "a new table counts nothing as found";
    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    EXPECT_TRUE(link.GetFoundIds().Searched());
    EXPECT_TRUE(link.IsTickRunning());
    clock.Advance(IdSearch::kTickIntervalMs);
    EXPECT_EQ(search.GetPosition(), 1);
    EXPECT_EQ(sim.Received().size(), 1U);
    clock.Advance(4 * IdSearch::kTickIntervalMs);
    EXPECT_EQ(search.GetPosition(), 1) << "the probe was given up too early";
    clock.Advance(IdSearch::kTickIntervalMs);
    EXPECT_EQ(search.GetPosition(), 2);
    clock.Advance(3600 * 1000);

    EXPECT_FALSE(search.IsRunning());
    EXPECT_EQ(endedAt, 250 * 5 * IdSearch::kTickIntervalMs);
    EXPECT_EQ(sim.Received().size(), 250U);
    EXPECT_TRUE(link.FoundIds().isEmpty());
    EXPECT_FALSE(link.IsTickRunning());
    EXPECT_EQ(link.GetTickInterval(), PanelLink::kTickIntervalMs);
    EXPECT_EQ(link.GetTickCount(), 0) << "search ticks were counted as the link's";
    // The session connects afterwards on its own tick.
    ASSERT_TRUE(link.Connect(InProcessSim::Port(), 1));
    clock.Advance(PanelLink::kTickIntervalMs);
    EXPECT_EQ(link.GetTickCount(), 1);
}

// The IDs a search finds belong to the session that ran it, and to those it shares its table
// with; another session keeps its own.
TEST_F(ControlIdSearchTest, FoundIdsStayWithTheSessionsThatShareThem) {
    InProcessSim sim({{3, 1}, {7, 1}});
    FoundIdTable shared;
    CZorvanDoc docs[3];
    PanelLink searching(docs[0], Variant::FourByEight(), sim.Setup(), &shared);
    PanelLink sharing(docs[1], Variant::TwoByFour(), &shared);
    PanelLink apart(docs[2], Variant::FourByEight());
    IdSearch search(searching);
    search.SetTickInterval(kSearchTickMs);
    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    ASSERT_TRUE(search.WaitForEnd(kWaitMs));

    EXPECT_EQ(searching.FoundIds(), QVector<int>({3, 7}));
    EXPECT_EQ(sharing.FoundIds(), QVector<int>({3, 7}));
    EXPECT_EQ(apart.FoundIds().size(), 250);
}

// On a real port through sonvex-sim: a cancel stops the probes at once and frees the port.
TEST_F(ControlIdSearchTest, CancelLeavesNothingQueuedAndThePortClosed) {
    SimProcess sim({"--fast", "--silent"});
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    IdSearch search(link);
    search.SetTickInterval(kSearchTickMs);
    ASSERT_TRUE(search.Start(sim.Link()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return search.GetPosition() >= 5; }, kWaitMs));

    search.Cancel();
    EXPECT_FALSE(search.IsRunning());
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.GetEngine().IsOpen());
    EXPECT_EQ(link.GetEngine().GetSearchWindow(), nullptr);
    const int position = search.GetPosition();
    QTest::qWait(50); // long enough for many more probes at a 2 ms tick
    EXPECT_EQ(search.GetPosition(), position) << "the search went on after the cancel";

    // The port is free again: the panel can connect through it.
    link.SetPortName(sim.Link());
    EXPECT_TRUE(link.OpenLink());
}

// Fast: a probe nobody answers is given up as soon as its answer would have been in (the bytes
// of probe and answer at 9600 baud and a margin), not after the search's ticks, and after the
// last probe the search listens a little longer for late answers.
TEST_F(ControlIdSearchTest, FastSearchGivesAProbeUpWhenItsAnswerWouldBeIn) {
    SimLinkLine::Options silent = InProcessSim::Fast();
    silent.faults = Silent();
    InProcessSim sim({{1, 1}}, silent);
    auto owned = std::make_unique<ManualClock>();
    ManualClock& clock = *owned;
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup(std::move(owned)));
    IdSearch search(link);
    search.SetFastTransfers(true);
    qint64 endedAt = -1;
    QObject::connect(&search, &IdSearch::finished, [&] { endedAt = clock.NowMs(); });

    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    clock.Advance(IdSearch::kTickIntervalMs);
    EXPECT_EQ(search.GetPosition(), 1);
    ASSERT_EQ(sim.Received().size(), 1U);
    const int wait = LinkSession::FastProbeWaitMs(static_cast<int>(sim.Received()[0].bytes.size()) +
                                                  Protocol::PreambleCount);
    // More than probe and answer need on the line (about 32 ms), little enough for 250 IDs in
    // under 13 s.
    EXPECT_GT(wait, 33);
    EXPECT_LT(wait, 13000 / 250);
    clock.Advance(wait - 1);
    EXPECT_EQ(search.GetPosition(), 1) << "the probe was given up before its answer was due";
    clock.Advance(1);
    EXPECT_EQ(search.GetPosition(), 2);
    clock.Advance(3600 * 1000);

    EXPECT_FALSE(search.IsRunning());
    EXPECT_EQ(endedAt, IdSearch::kTickIntervalMs + 250 * wait + LinkSession::kLateAnswerTailMs);
    EXPECT_EQ(sim.Received().size(), 250U);
    EXPECT_FALSE(link.GetEngine().IsOpen());
    EXPECT_EQ(link.GetTickInterval(), PanelLink::kTickIntervalMs);
}

// Fast, on a line paced like the real one with every answer 150 ms late (several probes later):
// each late answer still enters its device, devices of other models are listed among those that
// answered, and every ID is asked once.
TEST_F(ControlIdSearchTest, FastSearchOnAPacedLineKeepsLateAnswers) {
    SimLinkLine::Options paced;
    paced.fast = false;
    paced.faults = Late(150);
    InProcessSim sim({{2, 1}, {3, 2}, {120, 3}, {121, 1}, {249, 1}, {250, 2}}, paced);
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    IdSearch search(link);
    search.SetFastTransfers(true);

    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    ASSERT_TRUE(search.WaitForEnd(kWaitMs));

    EXPECT_EQ(link.FoundIds(), QVector<int>({2, 121, 249}));
    const QMap<int, int> answered{{2, 1}, {3, 2}, {120, 3}, {121, 1}, {249, 1}, {250, 2}};
    EXPECT_EQ(link.AnsweredDevices(), answered);
    EXPECT_TRUE(search.GetCollisions().isEmpty());
    EXPECT_EQ(sim.Received().size(), 250U);
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.GetEngine().IsOpen());
}

// The default search reports a collision as well, and goes on to the next ID after its ticks.
TEST_F(ControlIdSearchTest, DefaultSearchReportsTwoDevicesOnOneId) {
    InProcessSim sim({{4, 1}, {6, 1}, {6, 1}, {8, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    IdSearch search(link);
    search.SetTickInterval(kSearchTickMs);
    ASSERT_TRUE(search.Start(InProcessSim::Port()));
    ASSERT_TRUE(search.WaitForEnd(kWaitMs));
    EXPECT_EQ(link.FoundIds(), QVector<int>({4, 8}));
    EXPECT_EQ(search.GetCollisions(), QVector<int>({6}));
    EXPECT_EQ(IdSearch::CollisionText(6), QStringLiteral("ID 6: more than one device answers?"));
}

TEST_F(ControlIdSearchTest, PortThatDoesNotOpenStartsNothing) {
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    QStringList messages;
    QObject::connect(&link, &PanelLink::messageShown,
                     [&](const QString& text) { messages.append(text); });
    IdSearch search(link);
    EXPECT_FALSE(search.Start(QStringLiteral("/nonexistent/sonvex-line")));
    EXPECT_FALSE(search.IsRunning());
    EXPECT_EQ(messages, QStringList{"Unable to open COM-port"});
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_EQ(link.FoundIds().size(), 250) << "the table was cleared for nothing";
}

} // namespace
