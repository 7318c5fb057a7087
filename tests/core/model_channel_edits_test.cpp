#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"
#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

namespace {

const CRect kGraph(0, 0, 700, 300);

TEST(ChannelEdits, ALowShelfStopsAt20000HzOnEveryPath) {
    CAudio_OutData out;
    CFilter& band = *out.GetFilter(0);
    band.SetFrequency(25000);
    // "Hi -- Shf" keeps the frequency, "Lo -- Shf" brings it down.
    EXPECT_EQ(ChannelEdits::SetBandType(band, CFilter::HighShelf), 25000);
    EXPECT_EQ(ChannelEdits::SetBandType(band, CFilter::LowShelf), 20000);
    EXPECT_EQ(band.GetFrequency(), 20000);
    EXPECT_EQ(band.GetType(), CFilter::LowShelf);
    EXPECT_EQ(ChannelEdits::SetBandFrequency(band, 30000), 20000);
    EXPECT_EQ(ChannelEdits::SetBandFrequency(band, 19999), 19999);
    ChannelEdits::SetBandType(band, CFilter::Peaking);
    EXPECT_EQ(ChannelEdits::SetBandFrequency(band, 30000), 30000);
    EXPECT_TRUE(EditRules::KeepsLowShelfFrequency(band));
    // A low shelf that a file left above the limit breaks the rule.
    band.SetType(CFilter::LowShelf);
    EXPECT_FALSE(EditRules::KeepsLowShelfFrequency(band));
}

TEST(ChannelEdits, ABandAt0dBStaysOff) {
    CAudio_OutData out;
    CFilter& band = *out.GetFilter(0);
    EXPECT_FALSE(ChannelEdits::SwitchBand(band, true));
    EXPECT_EQ(band.IsFlat(), 1);
    EXPECT_EQ(band.IsChanged(), 0) << "a refused switch changes nothing";

    ChannelEdits::SetBandGain(band, 345);
    EXPECT_EQ(band.IsFlat(), 0) << "a gain switches the band on";
    EXPECT_TRUE(ChannelEdits::SwitchBand(band, false));
    EXPECT_EQ(band.IsFlat(), 1);
    EXPECT_EQ(band.GetGainIndex(), 345) << "switched off, the band keeps its gain";
    EXPECT_TRUE(ChannelEdits::SwitchBand(band, true));
    EXPECT_EQ(band.IsFlat(), 0);
    ChannelEdits::SetBandGain(band, EqGainZeroIndex);
    EXPECT_EQ(band.IsFlat(), 1) << "0.0 dB switches it off";
    EXPECT_TRUE(EditRules::KeepsFlatBandOff(band));
    band.SetFlat(0);
    EXPECT_FALSE(EditRules::KeepsFlatBandOff(band));
}

TEST(ChannelEdits, TheCrossoverPairIsBoundedByEachOther) {
    CAudio_OutData out;
    EXPECT_EQ(ChannelEdits::SetLowPassFrequency(out, 12000), 12000);
    EXPECT_EQ(ChannelEdits::SetHighPassFrequency(out, 20000), 12000);
    EXPECT_EQ(out.GetHighPass()->GetFrequency(), 12000);
    EXPECT_EQ(ChannelEdits::SetHighPassFrequency(out, 500), 500);
    EXPECT_EQ(ChannelEdits::SetLowPassFrequency(out, 100), 500);
    EXPECT_EQ(out.GetLowPass()->GetFrequency(), 500);
    EXPECT_TRUE(EditRules::KeepsCrossoverOrder(*out.GetHighPass(), *out.GetLowPass()));
    out.GetHighPass()->SetFrequency(501);
    EXPECT_FALSE(EditRules::KeepsCrossoverOrder(*out.GetHighPass(), *out.GetLowPass()));
}

// With automatic timing the device's attack is the high-pass class: a high-pass edit or drag that
// changes the class sends the dynamics record again; one that keeps it, or manual timing, does
// not.
TEST(ChannelEdits, TheAutomaticAttackFollowsTheHighPass) {
    CAudio_OutData out;
    out.SetCurveRect(kGraph);
    ChannelEdits::SetCompressorMode(out, 1);
    ChannelEdits::SetAutoTiming(out, 1);
    out.SetDynamicsChanged(0);
    ChannelEdits::SetHighPassFrequency(out, 30); // class 51, as at 10 Hz
    EXPECT_EQ(out.IsDynamicsChanged(), 0);
    ChannelEdits::SetHighPassFrequency(out, 100); // class 14
    EXPECT_EQ(out.IsDynamicsChanged(), 1);

    out.SetDynamicsChanged(0);
    CFilter& highPass = *out.GetHighPass();
    const CPoint highGrab = highPass.BeginDrag(highPass.GetBandHandle().CenterPoint());
    EXPECT_TRUE(ChannelEdits::DragCrossover(
        out, highPass, CPoint(FreqToX(3000, kGraph.Width()) + 35, 50), highGrab));
    EXPECT_GE(highPass.GetFrequency(), 2000);
    EXPECT_EQ(out.IsDynamicsChanged(), 1);

    // The low-pass drag stops at the high-pass and leaves the attack alone.
    out.SetDynamicsChanged(0);
    CFilter& lowPass = *out.GetLowPass();
    const CPoint lowGrab = lowPass.BeginDrag(lowPass.GetBandHandle().CenterPoint());
    EXPECT_TRUE(ChannelEdits::DragCrossover(out, lowPass, CPoint(35, 50), lowGrab));
    EXPECT_EQ(lowPass.GetFrequency(), highPass.GetFrequency());
    EXPECT_EQ(out.IsDynamicsChanged(), 0);

    ChannelEdits::SetAutoTiming(out, 0);
    out.SetDynamicsChanged(0);
    ChannelEdits::SetHighPassFrequency(out, 40);
    EXPECT_EQ(out.IsDynamicsChanged(), 0);
}

TEST(ChannelEdits, OnlyThe4x8LeavesAnOutputWithoutSource) {
    for (const int type : {1, 2, 3}) {
        SCOPED_TRACE(type);
        CAudio_OutData out;
        out.SetDeviceType(type);
        EXPECT_TRUE(ChannelEdits::SetSourceMask(out, 0b10));
        out.SetParamsChanged(0);
        const bool allowed = ChannelEdits::SetSourceMask(out, 0);
        EXPECT_EQ(allowed, type == 1);
        EXPECT_EQ(out.GetSourceMask(), type == 1 ? 0 : 0b10);
        EXPECT_EQ(out.IsParamsChanged(), type == 1 ? 1 : 0);
        EXPECT_TRUE(EditRules::KeepsOutputSource(out));
    }
}

TEST(ChannelEdits, ALimiterHasNoAutomaticTiming) {
    CAudio_OutData out;
    EXPECT_FALSE(ChannelEdits::SetAutoTiming(out, 1));
    EXPECT_EQ(out.GetAutoTiming(), 0);
    EXPECT_EQ(out.IsDynamicsChanged(), 0);

    ChannelEdits::SetCompressorMode(out, 1);
    EXPECT_TRUE(ChannelEdits::SetAutoTiming(out, 1));
    ChannelEdits::SetAttack(out, 22); // kept for manual timing
    EXPECT_EQ(out.GetAutoTiming(), 1);
    ChannelEdits::SetCompressorMode(out, 0);
    EXPECT_EQ(out.GetAutoTiming(), 0) << "\"Limit\" turns the timing to \"Manual\"";
    EXPECT_EQ(out.GetAttack(), 22);
    EXPECT_TRUE(EditRules::KeepsLimiterTiming(out));

    // A limiter a file left with automatic timing is shown as manual: editing its attack, or
    // making it a compressor, makes it so.
    for (const bool toCompressor : {false, true}) {
        out.SetCompressorMode(0);
        out.SetAutoTiming(1);
        EXPECT_FALSE(EditRules::KeepsLimiterTiming(out));
        if (toCompressor) {
            ChannelEdits::SetCompressorMode(out, 1);
            EXPECT_EQ(out.GetCompressorMode(), 1);
        } else {
            ChannelEdits::SetRelease(out, 3);
            EXPECT_EQ(out.GetRelease(), 3);
        }
        EXPECT_EQ(out.GetAutoTiming(), 0) << toCompressor;
    }
}

TEST(ChannelEdits, OnlyThe4x8SwitchesItsGatesOff) {
    for (const int type : {1, 2, 3}) {
        SCOPED_TRACE(type);
        CAudio_InData in;
        in.SetDeviceType(type);
        EXPECT_EQ(ChannelEdits::SetGateOff(in, 1), type == 1);
        EXPECT_EQ(in.GetGateOff(), type == 1 ? 1 : 0);
        EXPECT_EQ(in.IsGateChanged(), type == 1 ? 1 : 0);
        EXPECT_TRUE(EditRules::KeepsGateSwitch(in));
        EXPECT_TRUE(ChannelEdits::SetGateOff(in, 0));
        in.SetGateOff(1); // as a device may report it
        EXPECT_EQ(EditRules::KeepsGateSwitch(in), type == 1);
    }
}

} // namespace
