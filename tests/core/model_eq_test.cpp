#include "core/model/EQ.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 300;

TEST(ModelEQ, InputSetHasEightBandsAndAnOpenCrossover) {
    CEQ eq;
    eq.Create(true, 10);
    ASSERT_EQ(eq.GetFilterCount(), 10);
    for (int i = 0; i < 8; ++i) {
        const CFilter* band = eq.GetFilter(i);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->GetCode(), i);
        EXPECT_EQ(band->GetType(), CFilter::Peaking);
        EXPECT_EQ(band->GetBandMode(), 1);
        EXPECT_EQ(band->IsFlat(), 1);
        EXPECT_EQ(band->IsChanged(), 0);
    }
    CFilter* hp = eq.GetHighPass();
    CFilter* lp = eq.GetLowPass();
    EXPECT_EQ(hp, eq.GetFilter(8));
    EXPECT_EQ(lp, eq.GetFilter(9));
    EXPECT_EQ(hp->GetType(), CFilter::HighPass);
    EXPECT_EQ(lp->GetType(), CFilter::LowPass);
    EXPECT_EQ(hp->GetFrequency(), 10);
    EXPECT_EQ(lp->GetFrequency(), 30000);
    EXPECT_EQ(lp->GetSentFrequency(), 30000);
    for (const CFilter* f : {hp, lp}) {
        EXPECT_EQ(f->GetBandMode(), 0);
        EXPECT_EQ(f->GetCode(), 9);
        EXPECT_EQ(f->IsChanged(), 1);
        EXPECT_EQ(f->GetCrossoverTypeText(), "BTWorth");
        EXPECT_EQ(f->GetSlopeText(), "12dB");
        for (double v : f->GetResponses()) {
            EXPECT_EQ(v, 0.0);
        }
    }
    EXPECT_EQ(eq.GetFilter(10), nullptr);
    EXPECT_EQ(eq.GetFilter(-1), nullptr);
}

TEST(ModelEQ, OutputSetUsesCrossoverCodeSeven) {
    CEQ eq;
    eq.Create(false, 8);
    ASSERT_EQ(eq.GetFilterCount(), 8);
    EXPECT_EQ(eq.GetFilter(5)->GetCode(), 5);
    EXPECT_EQ(eq.GetHighPass(), eq.GetFilter(6));
    EXPECT_EQ(eq.GetLowPass(), eq.GetFilter(7));
    EXPECT_EQ(eq.GetHighPass()->GetCode(), 7);
    EXPECT_EQ(eq.GetLowPass()->GetCode(), 7);
    // Creating again replaces the sections.
    eq.Create(true, 10);
    EXPECT_EQ(eq.GetFilterCount(), 10);
    EXPECT_EQ(eq.GetLowPass()->GetCode(), 9);
}

struct ModelEQSet : ::testing::Test {
    CEQ eq;
    void SetUp() override {
        eq.Create(false, 8);
        eq.SetCurveRect(CRect(0, 0, kWidth, kHeight));
    }
};

TEST_F(ModelEQSet, CurveRectPlacesPointsAndSections) {
    for (int i = 0; i < PlotPointCount; ++i) {
        EXPECT_EQ(eq.GetCurvePoint(i),
                  CPoint(FreqToX(PlotFrequencies[i], kWidth) + GraphLeftMargin, kHeight / 2));
    }
    EXPECT_EQ(eq.GetCurvePoint(241), CPoint());
    for (int i = 0; i < eq.GetFilterCount(); ++i) {
        EXPECT_EQ(eq.GetFilter(i)->GetGraphWidth(), kWidth);
        EXPECT_EQ(eq.GetFilter(i)->GetGraphHeight(), kHeight);
    }
}

TEST_F(ModelEQSet, FlatSectionsSumToTheZeroLine) {
    eq.SumAll();
    for (int i = 0; i < PlotPointCount; ++i) {
        EXPECT_EQ(eq.GetCurvePoint(i).y, DbToY(0.0, kHeight) + GraphTopMargin);
    }
}

TEST_F(ModelEQSet, OppositeBandsCancel) {
    for (int index : {0, 3}) {
        CFilter* band = eq.GetFilter(index);
        band->SetFrequency(1000);
        band->SetBandwidthIndex(95);
        band->SetGainIndex(index == 0 ? 360 : 240); // +6 dB and -6 dB
    }
    eq.SumBands();
    for (int i = 0; i < PlotPointCount; ++i) {
        const double sum = eq.GetFilter(0)->GetResponse(i) + eq.GetFilter(3)->GetResponse(i);
        EXPECT_NEAR(sum, 0.0, 1e-9) << "point " << i;
        EXPECT_EQ(eq.GetCurvePoint(i).y, DbToY(0.0, kHeight) + GraphTopMargin);
    }
}

TEST_F(ModelEQSet, SumBandsLeavesOutTheCrossover) {
    eq.GetHighPass()->SetFrequency(1000);
    eq.GetFilter(1)->SetFrequency(5000);
    eq.GetFilter(1)->SetGainIndex(420);
    eq.SumBands();
    const int zero = DbToY(0.0, kHeight) + GraphTopMargin;
    EXPECT_EQ(eq.GetCurvePoint(0).y, zero); // the high-pass is ignored
    for (int i = 0; i < PlotPointCount; ++i) {
        EXPECT_EQ(eq.GetCurvePoint(i).y,
                  DbToY(eq.GetFilter(1)->GetResponse(i), kHeight) + GraphTopMargin);
    }
    eq.SumAll();
    EXPECT_GT(eq.GetCurvePoint(0).y, zero + 50); // far down on the high-pass slope
    for (int i = 0; i < PlotPointCount; ++i) {
        const double sum = eq.GetFilter(1)->GetResponse(i) + eq.GetHighPass()->GetResponse(i);
        EXPECT_EQ(eq.GetCurvePoint(i).y, DbToY(sum, kHeight) + GraphTopMargin);
    }
}

TEST_F(ModelEQSet, CopyFromCopiesEverySection) {
    CEQ other;
    other.Create(false, 8);
    other.GetFilter(2)->SetFrequency(800);
    other.GetFilter(2)->SetGainIndex(200);
    other.GetLowPass()->SetFrequency(4000);
    other.GetLowPass()->SetSlope(3);
    for (int i = 0; i < eq.GetFilterCount(); ++i) {
        eq.GetFilter(i)->StepSentFrequency(0);
    }
    eq.CopyFrom(other);
    EXPECT_EQ(eq.GetFilter(2)->GetFrequency(), 800);
    EXPECT_EQ(eq.GetFilter(2)->GetGainIndex(), 200);
    EXPECT_EQ(eq.GetLowPass()->GetFrequency(), 4000);
    EXPECT_EQ(eq.GetLowPass()->GetSentFrequency(), 4000);
    EXPECT_EQ(eq.GetLowPass()->GetSlope(), 3);
    EXPECT_EQ(eq.GetLowPass()->GetCode(), 7);
    EXPECT_EQ(eq.GetLowPass()->GetResponses(), other.GetLowPass()->GetResponses());
    // Copying the set does not make anything pending.
    for (int i = 0; i < eq.GetFilterCount(); ++i) {
        EXPECT_EQ(eq.GetFilter(i)->IsChanged(), 0) << "section " << i;
    }
}

} // namespace
