#include "core/model/Filter.h"

#include "core/model/ParameterValues.h"
#include "core/plot/PlotGrid.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 300;

bool AllZero(const CFilter& f) {
    const auto& r = f.GetResponses();
    return std::all_of(r.begin(), r.end(), [](double v) { return v == 0.0; });
}

struct ModelFilterBand : ::testing::Test {
    CFilter band;
    void SetUp() override {
        band.SetCurveRect(CRect(0, 0, kWidth, kHeight));
        band.SetFrequency(1000);
        band.SetGainIndex(420);     // +12 dB
        band.SetBandwidthIndex(95); // 1.00 octave
    }
    // Drags the band handle from its centre to graph point (x, y) of the plot area.
    bool DragBandTo(int x, int y) {
        const CPoint grab = band.BeginDrag(band.GetBandHandle().CenterPoint());
        return band.DragTo(CPoint(x + GraphLeftMargin, y + GraphTopMargin), grab);
    }
};

TEST(ModelFilter, DefaultsAreAFlatBandThatIsNotPending) {
    CFilter f;
    EXPECT_EQ(f.GetType(), CFilter::Peaking);
    EXPECT_EQ(f.GetFrequency(), 10);
    EXPECT_EQ(f.GetSentFrequency(), 10);
    EXPECT_EQ(f.GetGain(), 0.0);
    EXPECT_EQ(f.IsFlat(), 1);
    EXPECT_DOUBLE_EQ(f.GetBandwidth(), 0.05);
    EXPECT_EQ(f.GetCrossoverType(), CFilter::Butterworth);
    EXPECT_EQ(f.GetSlope(), 0);
    EXPECT_EQ(f.GetCode(), 0);
    EXPECT_EQ(f.GetBandMode(), 1);
    EXPECT_EQ(f.IsChanged(), 0);
    EXPECT_EQ(f.GetDeviceType(), 1);
    EXPECT_EQ(f.GetGainIndex(), 300);
    EXPECT_EQ(f.GetBandwidthIndex(), 0);
    EXPECT_EQ(f.GetQText(), "28.852");
    EXPECT_TRUE(AllZero(f));
}

TEST(ModelFilter, GainIndexDecidesFlat) {
    CFilter f;
    f.SetGainIndex(301);
    EXPECT_NEAR(f.GetGain(), 0.1, 1e-9); // the exact bits are pinned by the archive tests
    EXPECT_EQ(f.IsFlat(), 0);
    EXPECT_EQ(f.GetGainText(), "0.1");
    f.SetGainIndex(300);
    EXPECT_EQ(f.GetGain(), 0.0);
    EXPECT_EQ(f.IsFlat(), 1);
    EXPECT_EQ(f.GetGainText(), "0.0");
    f.SetGainIndex(0);
    EXPECT_EQ(f.GetGainText(), "-30.0");
    EXPECT_EQ(f.GetGainIndex(), 0);
    f.SetFlat(1);
    EXPECT_EQ(f.GetGainText(), "0.0");
    EXPECT_DOUBLE_EQ(f.GetGain(), -30.0);
}

TEST(ModelFilter, ZeroGainOnABandThatIsNotFlatKeepsTheFlagButDrawsZero) {
    CFilter f;
    f.SetFrequency(1000);
    f.SetGainIndex(360);
    EXPECT_FALSE(AllZero(f));
    f.SetGain(0.0);
    EXPECT_EQ(f.IsFlat(), 0);
    for (double v : f.GetResponses()) {
        EXPECT_NEAR(v, 0.0, 1e-12);
    }
}

TEST(ModelFilter, FlatBandsOfEveryEqTypeDrawZero) {
    for (int type : {CFilter::Peaking, CFilter::LowShelf, CFilter::HighShelf}) {
        CFilter f;
        f.SetType(type);
        f.SetFrequency(1000);
        f.SetGainIndex(400);
        EXPECT_FALSE(AllZero(f)) << "type " << type;
        f.SetFlat(1);
        EXPECT_TRUE(AllZero(f)) << "type " << type;
    }
}

TEST(ModelFilter, SettersMarkChangedBookkeepingDoesNot) {
    CFilter f;
    f.SetCode(5);
    f.SetBandMode(0);
    f.SetDeviceType(2);
    f.SetCurveRect(CRect(0, 0, kWidth, kHeight));
    EXPECT_EQ(f.IsChanged(), 0);
    EXPECT_EQ(f.GetCode(), 5);
    EXPECT_EQ(f.GetDeviceType(), 2);

    using Setter = void (*)(CFilter&);
    const Setter setters[] = {
        [](CFilter& x) { x.SetType(1); },           [](CFilter& x) { x.SetFrequency(100); },
        [](CFilter& x) { x.SetGain(1.0); },         [](CFilter& x) { x.SetGainIndex(310); },
        [](CFilter& x) { x.SetFlat(0); },           [](CFilter& x) { x.SetBandwidth(1.0); },
        [](CFilter& x) { x.SetBandwidthIndex(3); }, [](CFilter& x) { x.SetCrossoverType(0); },
        [](CFilter& x) { x.SetSlope(1); },
    };
    for (std::size_t i = 0; i < std::size(setters); ++i) {
        CFilter g;
        setters[i](g);
        EXPECT_EQ(g.IsChanged(), 1) << "setter " << i;
    }
}

TEST(ModelFilter, LowPassTypeStartsSentFrequencyAt30kHz) {
    CFilter f;
    f.SetType(CFilter::LowPass);
    EXPECT_EQ(f.GetSentFrequency(), 30000);
    f.SetFrequency(30000);
    EXPECT_TRUE(AllZero(f));
    f.SetFrequency(29999);
    EXPECT_FALSE(AllZero(f));
    EXPECT_EQ(f.GetSentFrequency(), 30000); // setting the frequency does not send it
}

TEST(ModelFilter, HighPassIsOpenAtTenHertz) {
    CFilter f;
    f.SetBandMode(0);
    f.SetType(CFilter::HighPass);
    f.SetFrequency(10);
    EXPECT_TRUE(AllZero(f));
    f.SetFrequency(11);
    EXPECT_FALSE(AllZero(f));
    EXPECT_LT(f.GetResponse(0), -0.5);
    EXPECT_NEAR(f.GetResponse(240), 0.0, 0.01);
    EXPECT_EQ(f.GetResponse(-1), 0.0);
    EXPECT_EQ(f.GetResponse(241), 0.0);
}

TEST(ModelFilter, StepSentFrequencyMovesOneOctavePerCall) {
    struct Case {
        int frequency;
        int sent;
        std::vector<int> steps;
    };
    const Case cases[] = {
        {1000, 100, {200, 400, 800, 1000}},
        {100, 1000, {500, 250, 125, 100}},
        {150, 100, {150}},
        {10, 30000, {15000, 7500, 3750, 1875, 937, 468, 234, 117, 58, 29, 14, 10}},
    };
    for (const Case& c : cases) {
        CFilter f;
        f.SetBandMode(0);
        f.SetType(CFilter::LowPass);
        CFilter source;
        source.SetFrequency(c.sent);
        f.CopyFrom(source); // sent frequency := c.sent
        f.StepSentFrequency(0);
        ASSERT_EQ(f.GetSentFrequency(), c.sent);
        ASSERT_EQ(f.IsChanged(), 0);
        f.SetFrequency(c.frequency);
        for (int expected : c.steps) {
            f.StepSentFrequency(0);
            EXPECT_EQ(f.GetSentFrequency(), expected) << c.sent << " -> " << c.frequency;
            EXPECT_EQ(f.IsChanged(), 1) << c.sent << " -> " << c.frequency;
        }
        f.StepSentFrequency(0);
        EXPECT_EQ(f.IsChanged(), 0) << c.sent << " -> " << c.frequency;
        EXPECT_EQ(f.GetSentFrequency(), c.frequency);
    }
}

TEST(ModelFilter, StepSentFrequencyOnABandOnlySetsTheFlag) {
    CFilter f;
    f.SetFrequency(1000);
    f.StepSentFrequency(0);
    EXPECT_EQ(f.IsChanged(), 0);
    EXPECT_EQ(f.GetSentFrequency(), 10);
    f.StepSentFrequency(1);
    EXPECT_EQ(f.IsChanged(), 1);
}

TEST(ModelFilter, StepSentFrequencyRecoversFromAZeroSentFrequency) {
    // A sent frequency of 0 can only come from damaged data; it must not divide by zero.
    CFilter source;
    source.SetFrequency(0);
    CFilter f;
    f.SetBandMode(0);
    f.SetType(CFilter::HighPass);
    f.CopyFrom(source); // sent frequency := 0
    f.SetFrequency(1000);
    ASSERT_EQ(f.GetSentFrequency(), 0);
    f.StepSentFrequency(0);
    EXPECT_EQ(f.GetSentFrequency(), 1000);
    EXPECT_EQ(f.IsChanged(), 1);
    f.StepSentFrequency(0);
    EXPECT_EQ(f.IsChanged(), 0);
}

TEST(ModelFilter, TextsAndBandwidthPerDeviceType) {
    CFilter f;
    f.SetType(CFilter::LowShelf);
    f.SetSlope(1);
    EXPECT_EQ(f.GetTypeText(), "Lo_Shf 12dB");
    EXPECT_EQ(f.GetShelfSlopeText(), "12dB");
    EXPECT_EQ(f.GetSlopeText(), "18dB");
    f.SetType(CFilter::HighPass);
    EXPECT_EQ(f.GetTypeText(), "");
    f.SetCrossoverType(0);
    EXPECT_EQ(f.GetCrossoverTypeText(), "L_R");
    f.SetFrequency(1234);
    EXPECT_EQ(f.GetFrequencyText(), "1234");

    CFilter coarse;
    coarse.SetDeviceType(2);
    coarse.SetBandwidthIndex(59);
    EXPECT_EQ(coarse.GetBandwidthText(), "3.00");
    EXPECT_EQ(coarse.GetBandwidthIndex(), 59);
    EXPECT_EQ(coarse.GetQText(), "0.404");
    coarse.SetBandwidthIndex(19);
    EXPECT_EQ(coarse.GetQText(), "1.414");

    CFilter fine;
    fine.SetBandwidthIndex(24);
    EXPECT_EQ(fine.GetBandwidthText(), "0.29");
    EXPECT_EQ(fine.GetBandwidthIndex(), 24);
}

TEST(ModelFilter, CopyFromTakesUserParametersOnly) {
    CFilter source;
    source.SetType(CFilter::HighShelf);
    source.SetFrequency(2500);
    source.SetGainIndex(250);
    source.SetBandwidthIndex(40);
    source.SetCrossoverType(1);
    source.SetSlope(1);
    source.SetCode(3);

    CFilter f;
    f.SetCode(7);
    f.SetDeviceType(3);
    f.CopyFrom(source);
    EXPECT_EQ(f.GetType(), CFilter::HighShelf);
    EXPECT_EQ(f.GetFrequency(), 2500);
    EXPECT_EQ(f.GetSentFrequency(), 2500);
    EXPECT_DOUBLE_EQ(f.GetGain(), -5.0);
    EXPECT_EQ(f.IsFlat(), 0);
    EXPECT_DOUBLE_EQ(f.GetBandwidth(), source.GetBandwidth());
    EXPECT_EQ(f.GetCrossoverType(), 1);
    EXPECT_EQ(f.GetSlope(), 1);
    EXPECT_EQ(f.GetCode(), 7);
    EXPECT_EQ(f.GetDeviceType(), 3);
    EXPECT_EQ(f.IsChanged(), 0);
    EXPECT_EQ(f.GetResponses(), source.GetResponses());
}

TEST_F(ModelFilterBand, HandlesFollowFrequencyGainAndBandwidth) {
    const CRect handle = band.GetBandHandle();
    EXPECT_EQ(handle.Width(), 16);
    EXPECT_EQ(handle.Height(), 16);
    EXPECT_EQ(handle.CenterPoint(), CPoint(FreqToX(1000, kWidth) + GraphLeftMargin,
                                           DbToY(12.0, kHeight) + GraphTopMargin));
    CRect left, right;
    band.GetBandwidthHandles(left, right);
    EXPECT_EQ(left.Width(), 8);
    EXPECT_EQ(left.CenterPoint(),
              CPoint(FreqToX(500, kWidth) + GraphLeftMargin, handle.CenterPoint().y + 10));
    EXPECT_EQ(right.CenterPoint(),
              CPoint(FreqToX(2000, kWidth) + GraphLeftMargin, handle.CenterPoint().y + 10));

    band.SetGainIndex(240); // -6 dB: the bandwidth handles go above the band handle
    band.GetBandwidthHandles(left, right);
    EXPECT_EQ(left.CenterPoint().y, band.GetBandHandle().CenterPoint().y - 10);
    band.SetGainIndex(300); // 0 dB: below
    band.GetBandwidthHandles(left, right);
    EXPECT_EQ(right.CenterPoint().y, band.GetBandHandle().CenterPoint().y + 10);
    EXPECT_EQ(band.GetBandHandle().CenterPoint().y, DbToY(0.0, kHeight) + GraphTopMargin);
}

TEST_F(ModelFilterBand, DragStopsAtTheGainLimits) {
    EXPECT_TRUE(DragBandTo(FreqToX(1000, kWidth), -200));
    EXPECT_DOUBLE_EQ(band.GetGain(), 15.0);
    EXPECT_EQ(band.GetGainIndex(), 450);
    EXPECT_TRUE(DragBandTo(FreqToX(1000, kWidth), kHeight + 200));
    EXPECT_DOUBLE_EQ(band.GetGain(), -30.0);
    EXPECT_EQ(band.IsFlat(), 0);
    // The frequency comes back from the pixel column.
    EXPECT_EQ(band.GetFrequency(), XToFreq(FreqToX(1000, kWidth), kWidth));
    EXPECT_EQ(band.IsChanged(), 1);
}

TEST_F(ModelFilterBand, DragToTheRightEnd) {
    EXPECT_TRUE(DragBandTo(kWidth + 50, DbToY(12.0, kHeight)));
    EXPECT_EQ(band.GetFrequency(), 30000);
    band.SetType(CFilter::LowShelf);
    band.SetFrequency(1000);
    EXPECT_TRUE(DragBandTo(kWidth + 50, DbToY(12.0, kHeight)));
    EXPECT_EQ(band.GetFrequency(), 20000);
}

TEST_F(ModelFilterBand, DragReportsOnlyRealChangesAndRoundsTheGain) {
    const int x = FreqToX(1000, kWidth);
    EXPECT_TRUE(DragBandTo(x, DbToY(6.0, kHeight)));
    band.StepSentFrequency(0);
    const int frequency = band.GetFrequency();
    const int gainIndex = band.GetGainIndex();
    // The gain is held in whole steps after a drag.
    EXPECT_DOUBLE_EQ(band.GetGain(), EqGainIndexToDb(gainIndex));
    EXPECT_NEAR(band.GetGain(), 6.0, 0.5);

    // Moving to a point that gives the same frequency and gain step is no change, and
    // nothing becomes pending.
    const CPoint target(x + GraphLeftMargin, DbToY(6.0, kHeight) + GraphTopMargin);
    const CPoint grab = band.BeginDrag(band.GetBandHandle().CenterPoint());
    band.DragTo(target, grab);
    band.StepSentFrequency(0);
    EXPECT_FALSE(band.DragTo(target, grab));
    EXPECT_EQ(band.IsChanged(), 0);
    EXPECT_EQ(band.GetFrequency(), frequency);
    EXPECT_EQ(band.GetGainIndex(), gainIndex);

    EXPECT_TRUE(band.DragTo(CPoint(target.x, target.y + 40), grab));
    EXPECT_EQ(band.IsChanged(), 1);
    EXPECT_LT(band.GetGainIndex(), gainIndex);
}

TEST_F(ModelFilterBand, DragKeepsTheOffsetAtWhichTheHandleWasGrabbed) {
    const CPoint centre = band.GetBandHandle().CenterPoint();
    const CPoint grab = band.BeginDrag(CPoint(centre.x + 5, centre.y - 3));
    EXPECT_EQ(grab, CPoint(5, -3));
    // The pointer goes to 2 kHz, -6 dB plus the grab offset: the handle centre lands there.
    const int x = FreqToX(2000, kWidth) + GraphLeftMargin;
    const int y = DbToY(-6.0, kHeight) + GraphTopMargin;
    EXPECT_TRUE(band.DragTo(CPoint(x + 5, y - 3), grab));
    EXPECT_EQ(band.GetFrequency(), XToFreq(x - GraphLeftMargin, kWidth));
    EXPECT_NEAR(band.GetGain(), -6.0, 0.5);
}

TEST_F(ModelFilterBand, BandwidthDragIsLimitedAndStoredInSteps) {
    EXPECT_EQ(band.BeginBandwidthDrag(band.GetRightBandwidthHandle().left + 2, CFilter::RightSide),
              2);
    // 30 kHz: far beyond 3 octaves
    EXPECT_TRUE(band.DragBandwidth(kWidth + GraphLeftMargin, CFilter::RightSide));
    EXPECT_DOUBLE_EQ(band.GetBandwidth(), 3.0);
    EXPECT_EQ(band.GetBandwidthText(), "3.00");
    EXPECT_TRUE(band.DragBandwidth(band.GetBandHandle().CenterPoint().x, CFilter::RightSide));
    EXPECT_DOUBLE_EQ(band.GetBandwidth(), 0.05);

    // two octaves down
    EXPECT_TRUE(band.DragBandwidth(FreqToX(250, kWidth) + GraphLeftMargin, CFilter::LeftSide));
    EXPECT_NEAR(band.GetBandwidth(), 2.0, 0.02);
    EXPECT_EQ(band.GetBandwidth(), BandwidthIndexToOctaves(band.GetBandwidthIndex(), 1));

    // With no handle held nothing changes, but a change is still reported.
    const double before = band.GetBandwidth();
    EXPECT_TRUE(band.DragBandwidth(GraphLeftMargin, CFilter::NoSide));
    EXPECT_EQ(band.GetBandwidth(), before);
}

TEST_F(ModelFilterBand, CoarseDeviceBandwidthDragUsesCoarseSteps) {
    band.SetDeviceType(3);
    band.DragBandwidth(FreqToX(1700, kWidth) + GraphLeftMargin, CFilter::RightSide);
    const int index = band.GetBandwidthIndex();
    EXPECT_DOUBLE_EQ(band.GetBandwidth(), BandwidthIndexToOctaves(index, 3));
    EXPECT_NEAR(band.GetBandwidth(), 0.75, 0.05);
}

struct ModelFilterCrossover : ::testing::Test {
    CFilter highPass;
    CFilter lowPass;
    void SetUp() override {
        for (CFilter* f : {&highPass, &lowPass}) {
            f->SetBandMode(0);
            f->SetCurveRect(CRect(0, 0, kWidth, kHeight));
        }
        highPass.SetType(CFilter::HighPass);
        highPass.SetFrequency(100);
        lowPass.SetType(CFilter::LowPass);
        lowPass.SetFrequency(5000);
    }
    bool Drag(CFilter& f, int x, int limit) {
        const CPoint grab = f.BeginDrag(f.GetBandHandle().CenterPoint());
        return f.DragCrossoverTo(CPoint(x + GraphLeftMargin, 50), grab, limit);
    }
};

TEST_F(ModelFilterCrossover, HandlesSitOnTheirLines) {
    EXPECT_EQ(highPass.GetBandHandle().top, DbToY(5.0, kHeight) + GraphTopMargin);
    EXPECT_EQ(lowPass.GetBandHandle().top, DbToY(-1.0, kHeight) + GraphTopMargin);
    EXPECT_LT(highPass.GetBandHandle().top, lowPass.GetBandHandle().top);
    EXPECT_EQ(highPass.GetBandHandle().left, FreqToX(100, kWidth) - 8 + GraphLeftMargin);
    lowPass.SetFrequency(30000);
    EXPECT_EQ(lowPass.GetBandHandle().right, kWidth + 8 + GraphLeftMargin);
    highPass.SetFrequency(10);
    EXPECT_EQ(highPass.GetBandHandle().left, -8 + GraphLeftMargin);
}

TEST_F(ModelFilterCrossover, HighPassDragStopsAtTheLowPassAndOpensAtTheLeftEdge) {
    EXPECT_TRUE(Drag(highPass, kWidth, lowPass.GetFrequency()));
    EXPECT_EQ(highPass.GetFrequency(), 5000);
    EXPECT_TRUE(Drag(highPass, -30, lowPass.GetFrequency()));
    EXPECT_EQ(highPass.GetFrequency(), 10);
    for (double v : highPass.GetResponses()) {
        EXPECT_EQ(v, 0.0);
    }
    // At the left edge again: nothing moves.
    EXPECT_FALSE(Drag(highPass, -30, lowPass.GetFrequency()));
}

TEST_F(ModelFilterCrossover, LowPassDragStopsAtTheHighPass) {
    EXPECT_TRUE(Drag(lowPass, 0, highPass.GetFrequency()));
    EXPECT_EQ(lowPass.GetFrequency(), 100);
    EXPECT_TRUE(Drag(lowPass, kWidth + 40, highPass.GetFrequency()));
    EXPECT_EQ(lowPass.GetFrequency(), 30000);
    for (double v : lowPass.GetResponses()) {
        EXPECT_EQ(v, 0.0);
    }
    const int x = FreqToX(2000, kWidth);
    EXPECT_TRUE(Drag(lowPass, x, highPass.GetFrequency()));
    EXPECT_EQ(lowPass.GetFrequency(), XToFreq(x, kWidth));
    EXPECT_FALSE(Drag(lowPass, x, highPass.GetFrequency()));
}

} // namespace
