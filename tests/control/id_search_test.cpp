// The ID search of the Connect dialog against the simulated line.

#include "control/ControlTest.h"

#include "core/files/ZorvanDoc.h"
#include "control/IdSearch.h"
#include "control/PanelLink.h"

#include <QTest>

#include <gtest/gtest.h>

using simtest::SimProcess;

namespace {

constexpr int kSearchTickMs = 2;
constexpr int kWaitMs = 60000;

class ControlIdSearchTest : public controltest::ControlTest {};

struct SearchCase {
    const char* name;
    QStringList simArguments;
    QVector<int> expected;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlIdSearchOnLine : public ControlIdSearchTest,
                              public ::testing::WithParamInterface<SearchCase> {};

TEST_P(ControlIdSearchOnLine, FindsExactlyTheDevicesOfThePanelsType) {
    SimProcess sim(GetParam().simArguments);
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    IdSearch search(link);
    search.SetTickInterval(kSearchTickMs);
    QVector<QVector<int>> finished;
    QObject::connect(&search, &IdSearch::finished,
                     [&](const QVector<int>& ids) { finished.append(ids); });
    EXPECT_EQ(link.FoundIds().size(), 250); // every ID counts as present before a search

    ASSERT_TRUE(search.Start(sim.Link()));
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
    // The last probe may still be on its way into the simulator's log when the search ends.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.Received().size() >= 250U; }, 2000));
    EXPECT_EQ(sim.Received().size(), 250U);
}

INSTANTIATE_TEST_SUITE_P(Lines, ControlIdSearchOnLine,
                         ::testing::Values(SearchCase{"DevicesThreeAndSeven",
                                                      {"--fast", "--device", "3:1", "--device",
                                                       "7:1", "--device", "9:2"},
                                                      {3, 7}},
                                           SearchCase{"NothingAnswers", {"--fast", "--silent"}, {}},
                                           // Every answer comes after its probe was given up:
                                           // each still lists its device and takes no other
                                           // probe with it, so every ID is asked once.
                                           SearchCase{"LateAnswers",
                                                      {"--fast", "--late", "25", "--device", "3:1",
                                                       "--device", "4:1", "--device", "5:1",
                                                       "--device", "6:1", "--device", "8:1",
                                                       "--device", "9:1", "--device", "11:1"},
                                                      {3, 4, 5, 6, 8, 9, 11}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The IDs a search finds belong to the session that ran it, and to those it shares its table
// with; another session keeps its own.
TEST_F(ControlIdSearchTest, FoundIdsStayWithTheSessionsThatShareThem) {
    SimProcess sim({"--fast", "--device", "3:1", "--device", "7:1"});
    ASSERT_TRUE(sim.Started());
    FoundIdTable shared;
    CZorvanDoc docs[3];
    PanelLink searching(docs[0], Variant::FourByEight(), &shared);
    PanelLink sharing(docs[1], Variant::TwoByFour(), &shared);
    PanelLink apart(docs[2], Variant::FourByEight());
    IdSearch search(searching);
    search.SetTickInterval(kSearchTickMs);
    ASSERT_TRUE(search.Start(sim.Link()));
    ASSERT_TRUE(search.WaitForEnd(kWaitMs));

    EXPECT_EQ(searching.FoundIds(), QVector<int>({3, 7}));
    EXPECT_EQ(sharing.FoundIds(), QVector<int>({3, 7}));
    EXPECT_EQ(apart.FoundIds().size(), 250);
}

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
