// The complex response of channels and the sum of outputs: the levels are the drawn curves plus
// the gain, and the sums behave as loudspeakers do in the air.

#include "core/model/AudioData.h"
#include "core/model/ChannelResponse.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/MeasuredDrivers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

enum { LR = 0, BES = 1, BTW = 2 };
constexpr int kOnGrid = 539; // PlotFrequencies[120]
constexpr std::size_t kOnGridPoint = 120;

std::size_t PointNear(double hz) {
    std::size_t best = 0;
    for (std::size_t i = 0; i < PlotFrequencies.size(); ++i) {
        if (std::abs(std::log(PlotFrequencies[i] / hz)) <
            std::abs(std::log(PlotFrequencies[best] / hz))) {
            best = i;
        }
    }
    return best;
}

void Crossover(CFilter* section, int hz, int type, int slope) {
    section->SetFrequency(hz);
    section->SetCrossoverType(type);
    section->SetSlope(slope);
}

// Output 1 low-pass, output 2 high-pass at hz.
void TwoWay(CAudio_Data& program, int hz, int type, int slope) {
    Crossover(program.GetOutput(0)->GetLowPass(), hz, type, slope);
    Crossover(program.GetOutput(1)->GetHighPass(), hz, type, slope);
}

TEST(LoudspeakerSum, SectionResponsesFollowTheDrawnRulesForEverySetting) {
    struct Case {
        std::string what;
        int type;
        int hz;
        int gainIndex; // EQ bands; 300 is 0.0 dB and flat
        int slope;
        int crossoverType;
    };
    std::vector<Case> cases{
        {"flat PEQ", CFilter::Peaking, 1000, 300, 0, 0},
        {"PEQ", CFilter::Peaking, 1000, 420, 0, 0},
        {"low shelf", CFilter::LowShelf, 150, 240, 1, 0},
        {"high shelf", CFilter::HighShelf, 6000, 360, 0, 0},
        {"flat shelf", CFilter::HighShelf, 6000, 300, 0, 0},
        {"open high-pass", CFilter::HighPass, 10, 0, 2, LR},
        {"open low-pass", CFilter::LowPass, 30000, 0, 2, LR},
    };
    for (int type = LR; type <= BTW; ++type) {
        for (int slope = 0; slope <= 3; ++slope) {
            cases.push_back({"high-pass", CFilter::HighPass, 11, 0, slope, type});
            cases.push_back({"high-pass", CFilter::HighPass, 90, 0, slope, type});
            cases.push_back({"low-pass", CFilter::LowPass, 29999, 0, slope, type});
            cases.push_back({"low-pass", CFilter::LowPass, 4000, 0, slope, type});
        }
    }
    for (const Case& c : cases) {
        CFilter section;
        section.SetType(c.type);
        section.SetBandMode(c.type < CFilter::HighPass ? 1 : 0);
        section.SetFrequency(c.hz);
        section.SetSlope(c.slope);
        section.SetCrossoverType(c.crossoverType);
        section.SetBandwidthIndex(70);
        section.SetGainIndex(c.gainIndex);
        ComplexResponse response{};
        CascadeSection(response, section);
        for (std::size_t i = 0; i < response.size(); ++i) {
            ASSERT_NEAR(LevelDb(response[i]), section.GetResponses()[i], 0.01)
                << c.what << " " << c.hz << " Hz type " << c.crossoverType << " slope " << c.slope
                << " at point " << i;
        }
    }
}

TEST(LoudspeakerSum, ChannelLevelIsItsCurvePlusGainAndPolarityAndDelayMoveOnlyThePhase) {
    CAudio_Data program;
    CAudio_InData& in = *program.GetInput(0);
    in.GetFilter(0)->SetType(CFilter::LowShelf);
    in.GetFilter(0)->SetFrequency(120);
    in.GetFilter(0)->SetGainIndex(360);
    in.GetHighPass()->SetFrequency(1000); // not part of an input's curve
    in.SetGain(370);                      // -3.0 dB
    CAudio_OutData& out = *program.GetOutput(2);
    out.GetFilter(1)->SetFrequency(2500);
    out.GetFilter(1)->SetGainIndex(250);
    out.GetFilter(1)->SetBandwidthIndex(45);
    Crossover(out.GetHighPass(), 80, LR, 2);
    Crossover(out.GetLowPass(), 9000, BES, 1);
    out.SetGain(425); // +2.5 dB

    for (const CAudio_Channel* channel :
         {static_cast<const CAudio_Channel*>(&in), static_cast<const CAudio_Channel*>(&out)}) {
        const double gain = ChannelGainToDb(channel->GetGain(), channel->GetDeviceType());
        const ComplexResponse response = ChannelResponse(*channel);
        for (int i = 0; i < PlotPointCount; ++i) {
            ASSERT_NEAR(LevelDb(response[static_cast<std::size_t>(i)]),
                        channel->GetCurveResponse(i) + gain, 0.01)
                << i;
        }
    }

    const ResponseTraces before = TracesOf(ChannelResponse(out));
    out.SetPolarity(1);
    out.SetDelay(480); // 4.992 ms on the 4-in/8-out model
    const ResponseTraces after = TracesOf(ChannelResponse(out));
    for (std::size_t i = 0; i < PlotFrequencies.size(); ++i) {
        ASSERT_NEAR(after.levelDb[i], before.levelDb[i], 1e-9) << i;
        ASSERT_NEAR(after.groupDelayMs[i], before.groupDelayMs[i] + 4.992, 1e-9) << i;
        const double turn = 180.0 - 360.0 * PlotFrequencies[i] * 0.004992;
        ASSERT_LT(
            std::abs(std::remainder(after.phaseDegrees[i] - before.phaseDegrees[i] - turn, 360.0)),
            1e-6)
            << i;
    }
}

TEST(LoudspeakerSum, LinkwitzRiley24PairSumsFlat) {
    for (const int hz : {80, 1000, 3150}) {
        CAudio_Data program;
        TwoWay(program, hz, LR, 2);
        const ResponseTraces sum = TracesOf(SumOfOutputs(program, {0, 1}));
        for (std::size_t i = 0; i < PlotFrequencies.size(); ++i) {
            if (PlotFrequencies[i] >= 20.0 && PlotFrequencies[i] <= 20000.0) {
                ASSERT_NEAR(sum.levelDb[i], 0.0, 0.1) << hz << " Hz pair at " << PlotFrequencies[i];
            }
        }
    }
}

TEST(LoudspeakerSum, Butterworth12PairNotchesAtTheCornerAndGainsThreeDbInverted) {
    CAudio_Data program;
    TwoWay(program, kOnGrid, BTW, 0);
    const ResponseTraces inPhase = TracesOf(SumOfOutputs(program, {0, 1}));
    EXPECT_LT(inPhase.levelDb[kOnGridPoint], -60.0);
    EXPECT_NEAR(inPhase.levelDb[PointNear(50)], 0.0, 0.1);
    EXPECT_NEAR(inPhase.levelDb[PointNear(8000)], 0.0, 0.1);

    program.GetOutput(1)->SetPolarity(1);
    const ResponseTraces inverted = TracesOf(SumOfOutputs(program, {0, 1}));
    EXPECT_NEAR(inverted.levelDb[kOnGridPoint], 3.0, 0.1);
    EXPECT_EQ(*std::max_element(inverted.levelDb.begin(), inverted.levelDb.end()),
              inverted.levelDb[kOnGridPoint]);
}

TEST(LoudspeakerSum, EqualOutputsHalfAMillisecondApartNullNearOneKilohertz) {
    CAudio_Data program;
    program.GetOutput(1)->SetDelay(48); // 0.4992 ms
    const double tau = 0.0004992;
    const ResponseTraces sum = TracesOf(SumOfOutputs(program, {0, 1}));
    const auto deepest = std::min_element(sum.levelDb.begin(), sum.levelDb.end());
    EXPECT_EQ(static_cast<std::size_t>(deepest - sum.levelDb.begin()), PointNear(1.0 / (2 * tau)));
    EXPECT_LT(*deepest, -20.0);
    EXPECT_NEAR(sum.levelDb[0], 20.0 * std::log10(2.0), 0.01);
    // Two equal paths delay by their mean, wherever they do not cancel exactly.
    for (std::size_t i = 0; i < PlotFrequencies.size(); ++i) {
        ASSERT_NEAR(sum.groupDelayMs[i], tau / 2.0 * 1000.0, 1e-9) << i;
    }
}

TEST(LoudspeakerSum, MutedOutputsAddNothingAndOppositeOutputsCancelExactly) {
    CAudio_Data program;
    TwoWay(program, 1000, LR, 2);
    program.GetOutput(0)->SetOn(0);
    const ResponseTraces alone = TracesOf(OutputResponse(program, 1));
    const ResponseTraces sum = TracesOf(SumOfOutputs(program, {0, 1}));
    EXPECT_EQ(sum.levelDb, alone.levelDb);
    EXPECT_EQ(sum.phaseDegrees, alone.phaseDegrees);

    CAudio_Data twins;
    twins.GetOutput(3)->SetPolarity(1);
    const ResponseTraces none = TracesOf(SumOfOutputs(twins, {2, 3}));
    for (const double level : none.levelDb) {
        ASSERT_TRUE(std::isinf(level) && level < 0.0);
    }
    for (const double level : TracesOf(SumOfOutputs(twins, {})).levelDb) {
        ASSERT_TRUE(std::isinf(level) && level < 0.0);
    }
}

TEST(LoudspeakerSum, AMeasuredDriverChangesTheSum) {
    CAudio_Data program;
    TwoWay(program, 1000, LR, 2);
    MeasuredDrivers drivers;
    // A tweeter 6 dB louder than the woofer, flat and without delay of its own.
    ASSERT_TRUE(drivers.Attach(1, MeasuredDriver{{10.0, 30000.0}, {6.0, 6.0}, {0.0, 0.0}}));
    const ResponseTraces louder = TracesOf(SumOfOutputs(program, {0, 1}, &drivers));
    EXPECT_NEAR(louder.levelDb[PointNear(50)], 0.0, 0.05);
    EXPECT_NEAR(louder.levelDb[PointNear(12000)], 6.0, 0.05);

    // The same tweeter 0.5 ms further away (its measured phase falls 180 degrees per kHz): the
    // pair no longer sums flat around the crossover.
    MeasuredDriver late{{}, {}, {}};
    for (double hz = 10.0; hz <= 30000.0; hz *= 1.02) {
        late.hz.push_back(hz);
        late.levelDb.push_back(0.0);
        late.phaseDegrees.push_back(std::remainder(-360.0 * hz * 0.0005, 360.0));
    }
    ASSERT_TRUE(drivers.Attach(1, late));
    const ResponseTraces delayed = TracesOf(SumOfOutputs(program, {0, 1}, &drivers));
    EXPECT_LT(delayed.levelDb[PointNear(1000)], -3.0);
    EXPECT_NEAR(delayed.groupDelayMs[PointNear(12000)],
                TracesOf(OutputResponse(program, 1)).groupDelayMs[PointNear(12000)] + 0.5, 0.01);

    drivers.Detach(1);
    const ResponseTraces plain = TracesOf(SumOfOutputs(program, {0, 1}, &drivers));
    EXPECT_NEAR(plain.levelDb[PointNear(1000)], 0.0, 0.1);
    EXPECT_FALSE(drivers.Attach(8, late));
    EXPECT_FALSE(drivers.Attach(0, MeasuredDriver{}));
}

} // namespace
