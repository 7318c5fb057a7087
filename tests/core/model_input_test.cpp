#include "core/model/InData.h"
#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const CRect kGraph(0, 0, 700, 300);

TEST(InputChannel, NewChannelDefaults) {
    CAudio_InData in;
    EXPECT_EQ(in.GetGain(), 400);
    EXPECT_EQ(in.GetGainText(), "0.0");
    EXPECT_EQ(in.GetDelay(), 0);
    EXPECT_EQ(in.GetGateThreshold(), 60);
    EXPECT_EQ(in.GetGateText(), "-60.0");
    EXPECT_EQ(in.GetGateOff(), 0);
    EXPECT_EQ(in.GetPolarityText(), "+Normal");
    EXPECT_EQ(in.GetOnText(), "On");
    EXPECT_EQ(in.IsEnabled(), 1);
    EXPECT_EQ(in.GetDeviceType(), 1);
    EXPECT_EQ(in.GetNameCode(), 11);
    EXPECT_EQ(in.GetLevelCode(), 8);
    EXPECT_EQ(in.GetGateCode(), 10);
    EXPECT_EQ(in.IsParamsChanged(), 0);
    EXPECT_EQ(in.IsGateChanged(), 0);
}

TEST(InputChannel, FilterSetHasEightBandsAndAnOpenCrossoverPair) {
    CAudio_InData in;
    ASSERT_EQ(in.GetFilterCount(), 10);
    for (int i = 0; i < 8; ++i) {
        const CFilter* band = in.GetFilter(i);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->GetType(), 0) << i;
        EXPECT_EQ(band->GetCode(), i);
        EXPECT_EQ(band->IsFlat(), 1);
    }
    EXPECT_EQ(in.GetHighPass(), in.GetFilter(8));
    EXPECT_EQ(in.GetLowPass(), in.GetFilter(9));
    EXPECT_EQ(in.GetHighPass()->GetType(), 3);
    EXPECT_EQ(in.GetHighPass()->GetFrequency(), 10);
    EXPECT_EQ(in.GetLowPass()->GetType(), 4);
    EXPECT_EQ(in.GetLowPass()->GetFrequency(), 30000);
    EXPECT_EQ(in.GetHighPass()->GetCode(), 9);
    EXPECT_EQ(in.GetLowPass()->GetCode(), 9);
    EXPECT_EQ(in.GetHighPass()->IsChanged(), 1);
    EXPECT_EQ(in.GetLowPass()->IsChanged(), 1);
    EXPECT_EQ(in.GetFilter(-1), nullptr);
    EXPECT_EQ(in.GetFilter(10), nullptr);
}

TEST(InputChannel, NameKeepsAtMostEightCharacters) {
    struct Case {
        std::string set;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"A", "A"},
        {"Kick", "Kick"},
        {"ABCDEFGH", "ABCDEFGH"},
        {"ABCDEFGHIJ", "ABCDEFGH"},
        {std::string(300, 'x'), std::string(8, 'x')},
    };
    for (const Case& c : cases) {
        CAudio_InData in;
        in.SetName(c.set);
        EXPECT_EQ(in.GetNameText(), c.expected) << c.set;
        EXPECT_EQ(in.GetName(), c.expected) << c.set;
        EXPECT_EQ(in.IsNameChanged(), 1);
    }
}

TEST(InputChannel, ShorterNameDoesNotKeepTheTailOfTheLongerOne) {
    CAudio_InData in;
    in.SetName("ABCDEFGH");
    in.SetName("XY");
    EXPECT_EQ(in.GetNameText(), "XY");
}

TEST(InputChannel, AuxValueKeepsTheLowByteWithoutFlag) {
    const std::vector<std::pair<int, int>> cases = {
        {0x1234, 0x34}, {0xFF, 0xFF}, {0x100, 0}, {-1, 0xFF}, {7, 7}};
    for (const auto& [set, expected] : cases) {
        CAudio_InData in;
        in.SetAuxValue(set);
        EXPECT_EQ(in.GetAuxValue(), expected) << set;
        EXPECT_EQ(in.IsParamsChanged(), 0);
    }
}

TEST(InputChannel, EverySetterMarksOnlyItsGroup) {
    struct Case {
        const char* what;
        std::function<void(CAudio_InData&)> edit;
        int levels;
        int name;
        int gate;
    };
    const std::vector<Case> cases = {
        {"on", [](CAudio_InData& c) { c.SetOn(0); }, 1, 0, 0},
        {"polarity", [](CAudio_InData& c) { c.SetPolarity(1); }, 1, 0, 0},
        {"delay", [](CAudio_InData& c) { c.SetDelay(100); }, 1, 0, 0},
        {"gain", [](CAudio_InData& c) { c.SetGain(300); }, 1, 0, 0},
        {"aux flag", [](CAudio_InData& c) { c.SetAuxFlag(1); }, 1, 0, 0},
        {"name", [](CAudio_InData& c) { c.SetName("Vox"); }, 0, 1, 0},
        {"gate threshold", [](CAudio_InData& c) { c.SetGateThreshold(10); }, 0, 0, 1},
        {"gate off", [](CAudio_InData& c) { c.SetGateOff(1); }, 0, 0, 1},
        {"colour", [](CAudio_InData& c) { c.SetColor(RGB(1, 2, 3)); }, 0, 0, 0},
        {"index", [](CAudio_InData& c) { c.SetChannelIndex(2); }, 0, 0, 0},
        {"enabled", [](CAudio_InData& c) { c.SetEnabled(0); }, 0, 0, 0},
        {"device type", [](CAudio_InData& c) { c.SetDeviceType(2); }, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CAudio_InData in;
        c.edit(in);
        EXPECT_EQ(in.IsParamsChanged(), c.levels) << c.what;
        EXPECT_EQ(in.IsNameChanged(), c.name) << c.what;
        EXPECT_EQ(in.IsGateChanged(), c.gate) << c.what;
    }
}

TEST(InputChannel, DeviceTypeResetsTheGainToZeroDb) {
    CAudio_InData in;
    in.SetGain(123);
    in.SetDeviceType(2);
    EXPECT_EQ(in.GetGain(), 360);
    EXPECT_EQ(in.GetGainText(), "0.0");
    in.SetDeviceType(1);
    EXPECT_EQ(in.GetGain(), 400);
    EXPECT_EQ(in.GetGainText(), "0.0");
}

TEST(InputChannel, TextsFollowTheDeviceType) {
    CAudio_InData in;
    in.SetGain(460);
    EXPECT_EQ(in.GetGainText(), "6.0");
    in.SetDelay(52473);
    EXPECT_EQ(in.GetDelayText(), "1000ms");
    in.SetDeviceType(2);
    in.SetGain(560);
    EXPECT_EQ(in.GetGainText(), "20.0");
    in.SetDelay(476);
    EXPECT_EQ(in.GetDelayText(), "10.0ms");
    in.SetOn(0);
    in.SetPolarity(1);
    in.SetGateOff(1);
    EXPECT_EQ(in.GetOnText(), "Mute");
    EXPECT_EQ(in.GetPolarityText(), "-Invert");
    EXPECT_EQ(in.GetGateText(), "Disable");
}

TEST(InputChannel, CurveLiesOnTheGainLineWhenTheBandsAreFlat) {
    CAudio_InData in;
    in.SetCurveRect(kGraph);
    // The crossover pair of an input is not drawn, whatever its setting.
    in.GetHighPass()->SetFrequency(1000);
    in.GetLowPass()->SetFrequency(2000);
    in.SetGain(300); // -10 dB
    const int gainLine = DbToY(-10.0, kGraph.Height()) + 10;
    EXPECT_EQ(in.GetGainOffset(), gainLine);
    for (int i = 0; i < 241; ++i) {
        ASSERT_EQ(in.GetCurvePoint(i).y, gainLine) << i;
        ASSERT_EQ(in.GetCurvePoint(i).x, FreqToX(PlotFrequencies[i], kGraph.Width()) + 35) << i;
    }
    EXPECT_EQ(in.GetCurvePoint(-1), CPoint());
    EXPECT_EQ(in.GetCurvePoint(241), CPoint());
}

TEST(InputChannel, CurveRisesWithABoostedBand) {
    CAudio_InData in;
    in.SetCurveRect(kGraph);
    CFilter* band = in.GetFilter(3);
    band->SetFrequency(1196); // grid point 144
    band->SetBandwidthIndex(95);
    band->SetGainIndex(360); // +6 dB
    in.UpdateCurve();
    const int gainLine = in.GetGainOffset();
    int peak = gainLine;
    for (int i = 0; i < 241; ++i) {
        peak = std::min(peak, in.GetCurvePoint(i).y);
    }
    EXPECT_NEAR(peak, DbToY(6.0, kGraph.Height()) + 10, 1);
    EXPECT_LT(peak, gainLine - 20);
    EXPECT_EQ(in.GetCurvePoint(0).y, gainLine);
}

TEST(InputChannel, CopyFromTakesValuesAndKeepsIdentity) {
    CAudio_InData from;
    from.SetName("Guitar");
    from.SetOn(0);
    from.SetPolarity(1);
    from.SetDelay(1234);
    from.SetGain(420);
    from.SetAuxFlag(1);
    from.SetAuxValue(0x55);
    from.SetGateThreshold(100);
    from.SetGateOff(1);
    from.GetFilter(2)->SetFrequency(500);
    from.GetFilter(2)->SetGainIndex(350);
    from.GetHighPass()->SetFrequency(80);
    from.SetColor(RGB(1, 2, 3));
    from.SetChannelIndex(3);
    from.SetDeviceType(2);
    from.SetGain(420);

    CAudio_InData to;
    to.SetColor(RGB(9, 9, 9));
    to.SetChannelIndex(1);
    to.SetEnabled(0);
    to.ClearChanged();
    to.ClearChanged();
    to.CopyFrom(from);

    EXPECT_EQ(to.GetNameText(), "Guitar");
    EXPECT_EQ(to.GetOn(), 0);
    EXPECT_EQ(to.GetPolarity(), 1);
    EXPECT_EQ(to.GetDelay(), 1234);
    EXPECT_EQ(to.GetGain(), 420);
    EXPECT_EQ(to.GetAuxFlag(), 1);
    EXPECT_EQ(to.GetAuxValue(), 0x55);
    EXPECT_EQ(to.GetGateThreshold(), 100);
    EXPECT_EQ(to.GetGateOff(), 1);
    EXPECT_EQ(to.GetFilter(2)->GetFrequency(), 500);
    EXPECT_EQ(to.GetFilter(2)->GetGainIndex(), 350);
    EXPECT_EQ(to.GetHighPass()->GetFrequency(), 80);

    EXPECT_EQ(to.GetColor(), RGB(9, 9, 9));
    EXPECT_EQ(to.GetChannelIndex(), 1);
    EXPECT_EQ(to.IsEnabled(), 0);
    EXPECT_EQ(to.GetDeviceType(), 1);
    EXPECT_EQ(to.GetLevelCode(), 8);
    EXPECT_EQ(to.IsParamsChanged(), 0);
    EXPECT_EQ(to.IsNameChanged(), 0);
    EXPECT_EQ(to.IsGateChanged(), 0);
}

} // namespace
