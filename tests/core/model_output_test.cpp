#include "core/model/OutData.h"
#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const CRect kGraph(0, 0, 700, 300);

TEST(OutputChannel, NewChannelDefaults) {
    CAudio_OutData out;
    EXPECT_EQ(out.GetGain(), 400);
    EXPECT_EQ(out.GetGainText(), "0.0");
    EXPECT_EQ(out.GetDelay(), 0);
    EXPECT_EQ(out.GetSourceMask(), 1);
    EXPECT_EQ(out.GetThresholdText(), "10.0");
    EXPECT_EQ(out.GetModeText(), "Limit");
    EXPECT_EQ(out.GetClipLimitText(), "");
    EXPECT_EQ(out.GetClipLimit(), 20);
    EXPECT_EQ(out.GetAttackText(), "0.3");
    EXPECT_EQ(out.GetReleaseText(), "2X");
    EXPECT_EQ(out.GetReserved1(), 0);
    EXPECT_EQ(out.GetReserved2(), 0);
    EXPECT_EQ(out.GetNameCode(), 9);
    EXPECT_EQ(out.GetLevelCode(), 6);
    EXPECT_EQ(out.GetDynamicsCode(), 8);
    EXPECT_EQ(out.GetCrossoverCode(), 7);
    EXPECT_EQ(out.IsParamsChanged(), 0);
    EXPECT_EQ(out.IsDynamicsChanged(), 0);

    ASSERT_EQ(out.GetFilterCount(), 8);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(out.GetFilter(i)->GetCode(), i);
        EXPECT_EQ(out.GetFilter(i)->IsFlat(), 1);
    }
    EXPECT_EQ(out.GetHighPass(), out.GetFilter(6));
    EXPECT_EQ(out.GetLowPass(), out.GetFilter(7));
    EXPECT_EQ(out.GetHighPass()->GetFrequency(), 10);
    EXPECT_EQ(out.GetLowPass()->GetFrequency(), 30000);
    EXPECT_EQ(out.GetHighPass()->GetCrossoverTypeText(), "BTWorth");
    EXPECT_EQ(out.GetLowPass()->GetSlopeText(), "12dB");
    EXPECT_EQ(out.GetFilter(8), nullptr);
}

TEST(OutputChannel, SourceTextReadsOneBitPerInput) {
    CAudio_OutData out;
    EXPECT_EQ(out.GetSourceText(0), "On");
    EXPECT_EQ(out.GetSourceText(1), "Off");
    EXPECT_EQ(out.GetSourceText(2), "Off");
    EXPECT_EQ(out.GetSourceText(3), "Off");
    out.SetSourceMask(0x0A);
    EXPECT_EQ(out.GetSourceText(0), "Off");
    EXPECT_EQ(out.GetSourceText(1), "On");
    EXPECT_EQ(out.GetSourceText(3), "On");
    // Bits beyond the four inputs and nonsense input numbers never read as fed.
    out.SetSourceMask(0xFF);
    for (int input : {-1, 4, 7, 64, 1000}) {
        EXPECT_EQ(out.GetSourceText(input), "Off") << input;
    }
}

TEST(OutputChannel, DynamicsTextsDependOnModeAndTiming) {
    struct Case {
        int mode;
        int timing;
        bool attackShown;
        bool compressorFields;
        const char* modeText;
        const char* timingText;
    };
    const std::vector<Case> cases = {
        {0, 0, true, false, "Limit", ""},
        {0, 1, true, false, "Limit", ""},
        {1, 0, true, true, "Compressor", "Manual"},
        {1, 1, false, true, "Compressor", "Auto"},
    };
    for (const Case& c : cases) {
        CAudio_OutData out;
        out.SetAttack(7);
        out.SetRelease(4);
        out.SetClipLimit(100);
        out.SetRatio(7);
        out.SetCompressorMode(c.mode);
        out.SetAutoTiming(c.timing);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " timing " << c.timing);
        EXPECT_EQ(out.GetAttackText(), c.attackShown ? "1" : "");
        EXPECT_EQ(out.GetReleaseText(), c.attackShown ? "16X" : "");
        EXPECT_EQ(out.GetClipLimitText(), c.compressorFields ? "12.0" : "");
        EXPECT_EQ(out.GetRatioText(), c.compressorFields ? "1:maximum" : "");
        EXPECT_EQ(out.GetModeText(), c.modeText);
        EXPECT_EQ(out.GetTimingText(), c.timingText);
        EXPECT_EQ(out.GetThresholdText(), "10.0");
    }
}

TEST(OutputChannel, HighPassClassFollowsTheHighPassFrequency) {
    const std::vector<std::pair<int, int>> cases = {
        {10, 51}, {30, 51}, {31, 22}, {62, 22},  {63, 14},  {124, 14}, {125, 8},
        {499, 8}, {500, 7}, {999, 7}, {1000, 2}, {1999, 2}, {2000, 0}, {30000, 0},
    };
    for (const auto& [hz, code] : cases) {
        CAudio_OutData out;
        out.GetHighPass()->SetFrequency(hz);
        EXPECT_EQ(out.GetHighPassClass(), code) << hz;
    }
}

TEST(OutputChannel, EverySetterMarksOnlyItsGroup) {
    struct Case {
        const char* what;
        std::function<void(CAudio_OutData&)> edit;
        int name;
        int levels;
        int dynamics;
    };
    const std::vector<Case> cases = {
        {"name", [](CAudio_OutData& c) { c.SetName("Sub"); }, 1, 0, 0},
        {"on", [](CAudio_OutData& c) { c.SetOn(0); }, 0, 1, 0},
        {"gain", [](CAudio_OutData& c) { c.SetGain(10); }, 0, 1, 0},
        {"polarity", [](CAudio_OutData& c) { c.SetPolarity(1); }, 0, 1, 0},
        {"source", [](CAudio_OutData& c) { c.SetSourceMask(3); }, 0, 1, 0},
        {"delay", [](CAudio_OutData& c) { c.SetDelay(5); }, 0, 1, 0},
        {"threshold", [](CAudio_OutData& c) { c.SetLimitThreshold(10); }, 0, 0, 1},
        {"attack", [](CAudio_OutData& c) { c.SetAttack(10); }, 0, 0, 1},
        {"release", [](CAudio_OutData& c) { c.SetRelease(1); }, 0, 0, 1},
        {"clip", [](CAudio_OutData& c) { c.SetClipLimit(1); }, 0, 0, 1},
        {"ratio", [](CAudio_OutData& c) { c.SetRatio(1); }, 0, 0, 1},
        {"mode", [](CAudio_OutData& c) { c.SetCompressorMode(1); }, 0, 0, 1},
        {"timing", [](CAudio_OutData& c) { c.SetAutoTiming(1); }, 0, 0, 1},
        {"device type", [](CAudio_OutData& c) { c.SetDeviceType(3); }, 0, 0, 0},
        {"colour", [](CAudio_OutData& c) { c.SetColor(RGB(1, 1, 1)); }, 0, 0, 0},
    };
    for (const Case& c : cases) {
        CAudio_OutData out;
        c.edit(out);
        EXPECT_EQ(out.IsNameChanged(), c.name) << c.what;
        EXPECT_EQ(out.IsParamsChanged(), c.levels) << c.what;
        EXPECT_EQ(out.IsDynamicsChanged(), c.dynamics) << c.what;
    }
}

TEST(OutputChannel, NameNeverOverrunsItsBuffer) {
    CAudio_OutData out;
    out.SetName("LongerThanEight");
    EXPECT_EQ(out.GetNameText(), "LongerTh");
    out.SetName("Top");
    EXPECT_EQ(out.GetNameText(), "Top");
}

TEST(OutputChannel, DeviceTypeResetsTheGainToZeroDb) {
    CAudio_OutData out;
    out.SetGain(550);
    EXPECT_EQ(out.GetGainText(), "15.0");
    out.SetDeviceType(3);
    EXPECT_EQ(out.GetGain(), 360);
    EXPECT_EQ(out.GetGainText(), "0.0");
}

TEST(OutputChannel, CurveIsFlatAtTheGainLineWithOpenCrossover) {
    CAudio_OutData out;
    out.SetCurveRect(kGraph);
    out.SetGain(500); // +10 dB
    const int gainLine = DbToY(10.0, kGraph.Height()) + 10;
    EXPECT_EQ(out.GetGainOffset(), gainLine);
    for (int i = 0; i < 241; ++i) {
        ASSERT_EQ(out.GetCurvePoint(i).y, gainLine) << i;
    }
}

TEST(OutputChannel, CurveIncludesTheCrossoverSlopes) {
    CAudio_OutData out;
    out.SetCurveRect(kGraph);
    out.GetHighPass()->SetFrequency(100);
    out.GetLowPass()->SetFrequency(10000);
    out.UpdateCurve();
    const int gainLine = out.GetGainOffset();
    EXPECT_GT(out.GetCurvePoint(0).y, gainLine + 30);   // 10 Hz, far below the high-pass
    EXPECT_GT(out.GetCurvePoint(240).y, gainLine + 30); // 30 kHz, far above the low-pass
    int highest = out.GetCurvePoint(0).y;
    for (int i = 0; i < 241; ++i) {
        highest = std::min(highest, out.GetCurvePoint(i).y);
    }
    EXPECT_NEAR(highest, gainLine, 1); // the pass band between them is at the gain line
}

TEST(OutputChannel, CopyFromTakesValuesAndKeepsIdentity) {
    CAudio_OutData from;
    from.SetName("Sub L");
    from.SetReserved1(3);
    from.SetOn(0);
    from.SetPolarity(1);
    from.SetDelay(777);
    from.SetGain(111);
    from.SetSourceMask(0x0C);
    from.SetLimitThreshold(250);
    from.SetAttack(50);
    from.SetRelease(5);
    from.SetClipLimit(60);
    from.SetRatio(4);
    from.SetCompressorMode(1);
    from.SetAutoTiming(1);
    from.GetLowPass()->SetFrequency(120);
    from.GetFilter(5)->SetGainIndex(330);
    from.SetNameCode(1);
    from.SetLevelCode(2);
    from.SetDynamicsCode(3);
    from.SetChannelIndex(6);
    from.SetDeviceType(2);
    from.SetGain(111);

    CAudio_OutData to;
    to.SetChannelIndex(2);
    to.SetColor(RGB(4, 5, 6));
    to.ClearChanged();
    to.CopyFrom(from);

    EXPECT_EQ(to.GetNameText(), "Sub L");
    EXPECT_EQ(to.GetReserved1(), 3);
    EXPECT_EQ(to.GetOn(), 0);
    EXPECT_EQ(to.GetPolarity(), 1);
    EXPECT_EQ(to.GetDelay(), 777);
    EXPECT_EQ(to.GetGain(), 111);
    EXPECT_EQ(to.GetSourceMask(), 0x0C);
    EXPECT_EQ(to.GetLimitThreshold(), 250);
    EXPECT_EQ(to.GetAttack(), 50);
    EXPECT_EQ(to.GetRelease(), 5);
    EXPECT_EQ(to.GetClipLimit(), 60);
    EXPECT_EQ(to.GetRatio(), 4);
    EXPECT_EQ(to.GetCompressorMode(), 1);
    EXPECT_EQ(to.GetAutoTiming(), 1);
    EXPECT_EQ(to.GetLowPass()->GetFrequency(), 120);
    EXPECT_EQ(to.GetFilter(5)->GetGainIndex(), 330);

    EXPECT_EQ(to.GetNameCode(), 9);
    EXPECT_EQ(to.GetLevelCode(), 6);
    EXPECT_EQ(to.GetDynamicsCode(), 8);
    EXPECT_EQ(to.GetChannelIndex(), 2);
    EXPECT_EQ(to.GetColor(), RGB(4, 5, 6));
    EXPECT_EQ(to.GetDeviceType(), 1);
    EXPECT_EQ(to.IsNameChanged(), 0);
    EXPECT_EQ(to.IsParamsChanged(), 0);
    EXPECT_EQ(to.IsDynamicsChanged(), 0);
}

} // namespace
