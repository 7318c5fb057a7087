#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(ModelQTables, HoldTheRoundedQOfEachBandwidth) {
    auto q = [](double bw) {
        const double k = std::pow(2.0, bw);
        return std::round(std::sqrt(k) / (k - 1.0) * 1000.0) / 1000.0;
    };
    for (int i = 0; i < QTableFineSize; ++i) {
        EXPECT_NEAR(QTableFine[i], q(0.05 + 0.01 * i), 1e-9) << "fine " << i;
    }
    for (int i = 0; i < QTableCoarseSize; ++i) {
        EXPECT_DOUBLE_EQ(QTableCoarse[i], QTableFine[5 * i]) << "coarse " << i;
    }
    EXPECT_DOUBLE_EQ(QTableFine[0], 28.852);
    EXPECT_DOUBLE_EQ(QTableFine[95], 1.414);
    EXPECT_DOUBLE_EQ(QTableFine[195], 0.667);
    EXPECT_DOUBLE_EQ(QTableFine[295], 0.404);
    EXPECT_DOUBLE_EQ(QTableCoarse[59], 0.404);
}

TEST(ModelQIndex, FindsTheFirstEntryNotAboveQ) {
    EXPECT_EQ(QToFineIndex(28.852), 0);
    EXPECT_EQ(QToFineIndex(100.0), 0);
    EXPECT_EQ(QToFineIndex(0.404), 295);
    EXPECT_EQ(QToFineIndex(0.1), 295);
    EXPECT_EQ(QToFineIndex(1.414), 95);
    EXPECT_EQ(QToCoarseIndex(1.414), 19);
    EXPECT_EQ(QToCoarseIndex(0.404), 59);
    EXPECT_EQ(QToCoarseIndex(0.1), 59);
    // 1.0 lies between two entries: the first one below it is chosen.
    const int i = QToFineIndex(1.0);
    EXPECT_LE(QTableFine[i], 1.0);
    EXPECT_GT(QTableFine[i - 1], 1.0);
}

TEST(ModelBandwidth, EveryIndexSurvivesTheRoundTrip) {
    for (int type : {1, 2, 3}) {
        const IndexRange range = BandwidthRange(type);
        for (int i = range.min; i <= range.max; ++i) {
            EXPECT_EQ(BandwidthOctavesToIndex(BandwidthIndexToOctaves(i, type), type), i)
                << "type " << type << " index " << i;
        }
    }
    EXPECT_EQ(BandwidthRange(1).max, 295);
    EXPECT_EQ(BandwidthRange(2).max, 59);
    EXPECT_EQ(BandwidthText(BandwidthIndexToOctaves(24, 1)), "0.29");
    EXPECT_EQ(BandwidthOctavesToIndex(0.29, 1), 24);
    EXPECT_EQ(BandwidthText(BandwidthIndexToOctaves(59, 3)), "3.00");
    EXPECT_EQ(QText(BandwidthIndexToQ(59, 3)), "0.404");
    EXPECT_EQ(QText(BandwidthIndexToQ(95, 1)), "1.414");
    // Out-of-range bandwidths (corrupt data) stay inside the tables.
    EXPECT_EQ(BandwidthOctavesToIndex(9.0, 1), 295);
    EXPECT_EQ(BandwidthOctavesToIndex(-1.0, 2), 0);
    EXPECT_EQ(BandwidthOctavesToIndex(std::nan(""), 1), 0);
    EXPECT_DOUBLE_EQ(BandwidthIndexToQ(1000, 2), 0.404);
}

TEST(ModelBandwidth, TypedOctavesAndQ) {
    struct Case {
        double typed;
        int type;
        int index;
        bool inRange;
    };
    const Case octaves[] = {{1.0, 1, 95, true},  {0.29, 1, 24, true}, {3.5, 1, 295, false},
                            {0.01, 1, 0, false}, {1.0, 2, 19, true},  {3.0, 3, 59, true},
                            {0.02, 3, 0, false}, {0.07, 2, 0, true}};
    for (const Case& c : octaves) {
        const TypedIndex r = BandwidthFromTyped(c.typed, c.type);
        EXPECT_EQ(r.index, c.index) << c.typed << " oct, type " << c.type;
        EXPECT_EQ(r.inRange, c.inRange) << c.typed << " oct, type " << c.type;
    }
    const Case qs[] = {{28.852, 1, 0, true}, {40.0, 1, 0, false},  {0.404, 1, 295, true},
                       {0.3, 1, 295, false}, {1.414, 2, 19, true}, {0.3, 3, 59, false}};
    for (const Case& c : qs) {
        const TypedIndex r = QFromTyped(c.typed, c.type);
        EXPECT_EQ(r.index, c.index) << "Q " << c.typed << ", type " << c.type;
        EXPECT_EQ(r.inRange, c.inRange) << "Q " << c.typed << ", type " << c.type;
    }
}

TEST(ModelChannelGain, RangesZeroPointsAndTexts) {
    EXPECT_EQ(InputGainRange(1).max, 460);
    EXPECT_EQ(InputGainRange(2).max, 560);
    EXPECT_EQ(OutputGainRange(1).max, 550);
    EXPECT_EQ(OutputGainRange(3).max, 560);
    EXPECT_EQ(ZeroDbGainIndex(1), 400);
    EXPECT_EQ(ZeroDbGainIndex(2), 360);
    EXPECT_EQ(ZeroDbGainIndex(3), 360);

    struct Case {
        int index;
        int type;
        const char* text;
    };
    const Case cases[] = {{460, 1, "6.0"},  {0, 1, "-40.0"}, {400, 1, "0.0"}, {550, 1, "15.0"},
                          {560, 2, "20.0"}, {0, 3, "-36.0"}, {360, 2, "0.0"}, {401, 1, "0.1"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ChannelGainText(c.index, c.type), c.text) << c.index << " type " << c.type;
    }
}

TEST(ModelLinearFields, TypedValuesAreClampedAndReported) {
    struct Case {
        TypedIndex got;
        int index;
        bool inRange;
    };
    const Case cases[] = {
        {EqGainFromTyped(15.1), 450, false},        {EqGainFromTyped(-30.0), 0, true},
        {EqGainFromTyped(0.0), 300, true},          {EqGainFromTyped(-31.0), 0, false},
        {InputGainFromDb(6.0, 1), 460, true},       {InputGainFromDb(7.0, 1), 460, false},
        {InputGainFromDb(20.0, 2), 560, true},      {OutputGainFromDb(-50.0, 1), 0, false},
        {OutputGainFromDb(15.0, 1), 550, true},     {GateThresholdFromDbu(-60.0, 1), 60, true},
        {GateThresholdFromDbu(10.0, 1), 130, true}, {GateThresholdFromDbu(-50.0, 2), 60, false},
        {LimitThresholdFromDbu(10.0), 400, true},   {LimitThresholdFromDbu(25.0), 500, false},
        {ClipLimitFromTyped(4.0), 20, true},        {ClipLimitFromTyped(1.0), 0, false},
        {ClipLimitFromTyped(12.0), 100, true},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].got.index, cases[i].index) << "case " << i;
        EXPECT_EQ(cases[i].got.inRange, cases[i].inRange) << "case " << i;
    }
}

TEST(ModelEqGain, IndexAndText) {
    EXPECT_DOUBLE_EQ(EqGainIndexToDb(300), 0.0);
    EXPECT_DOUBLE_EQ(EqGainIndexToDb(0), -30.0);
    EXPECT_DOUBLE_EQ(EqGainIndexToDb(450), 15.0);
    EXPECT_EQ(EqGainDbToIndex(0.1), 301);
    EXPECT_EQ(EqGainDbToIndex(-0.1), 299);
    EXPECT_EQ(EqGainDbToIndex(12.0), 420);
    EXPECT_EQ(EqGainText(-6.0, false), "-6.0");
    EXPECT_EQ(EqGainText(-6.0, true), "0.0");
}

TEST(ModelDelay, IndexToMillisecondsAndTexts) {
    struct Case {
        int type;
        int index;
        const char* text;
        const char* edit;
    };
    const Case cases[] = {
        {1, 0, "0.0000ms", "0.0000"},        {1, 9616, "100.0064ms", "100.0064"},
        {1, 9617, "100.0274ms", "100.0274"}, {1, 52472, "999.9824ms", "999.9824"},
        {1, 52473, "1000ms", "1000"},        {1, 961, "9.9944ms", "9.9944"},
        {2, 475, "9.975ms", "9.975"},        {2, 476, "10.0ms", "10.0"},
        {3, 1465, "999.0ms", "999.0"},       {2, 1, "0.021ms", "0.021"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DelayText(c.index, c.type), c.text) << "type " << c.type << " " << c.index;
        EXPECT_EQ(DelayEditText(c.index, c.type), c.edit) << "type " << c.type << " " << c.index;
    }
    EXPECT_NEAR(DelayIndexToMs(52473, 1), 1000.0034, 1e-9);
    EXPECT_NEAR(DelayIndexToMs(9616, 1), 100.0064, 1e-9);
    EXPECT_DOUBLE_EQ(DelayIndexToMs(1465, 2), 999.0);
    EXPECT_EQ(DelayRange(1).max, 52473);
    EXPECT_EQ(DelayRange(3).max, 1465);
}

TEST(ModelDelay, TypedMilliseconds) {
    struct Case {
        int type;
        double ms;
        int index;
        bool inRange;
    };
    const Case cases[] = {
        {1, 10.0, 961, true},     {1, 100.0064, 9616, true},   {1, 100.0274, 9617, true},
        {1, 1000.0, 52473, true}, {1, 1000.0034, 52473, true}, {1, 1000.01, 52473, false},
        {1, -1.0, 0, false},      {1, 0.0, 0, true},           {2, 10.0, 476, true},
        {2, 9.996, 476, true},    {2, 9.975, 475, true},       {2, 999.0, 1465, true},
        {3, 999.5, 1465, false},  {3, -0.5, 0, false},         {2, 1000.0, 1465, false},
    };
    for (const Case& c : cases) {
        const TypedIndex r = DelayFromMs(c.ms, c.type);
        EXPECT_EQ(r.index, c.index) << "type " << c.type << " " << c.ms << " ms";
        EXPECT_EQ(r.inRange, c.inRange) << "type " << c.type << " " << c.ms << " ms";
    }
}

TEST(ModelDelay, DistanceDisplayUsesTemperature) {
    EXPECT_EQ(DelayMetersText(961, 1, 25), "3.4581");
    EXPECT_EQ(DelayFeetText(961, 1, 25), "11.3424");
    // Types 2 and 3 switch to one decimal above the 0.021 ms steps.
    EXPECT_EQ(DelayMetersText(475, 2, 25), "3.451"); // 346 m/s * 9.975 ms
    EXPECT_EQ(DelayMetersText(476, 2, 25), "3.5");
    EXPECT_EQ(DelayMetersText(476, 2, 0), "3.3"); // 331 m/s
    EXPECT_DOUBLE_EQ(SpeedOfSoundDisplay(25), 346.0);
    EXPECT_DOUBLE_EQ(SpeedOfSoundInput(25, 1), 346.4);
    EXPECT_DOUBLE_EQ(SpeedOfSoundInput(25, 3), 346.0);
}

TEST(ModelDelay, TypedDistance) {
    EXPECT_NEAR(MaxDelayMeters(1, 25), 346.4012, 1e-4);
    EXPECT_NEAR(MaxDelayFeet(1, 25), 346.4012 * 3.2808, 1e-3);
    EXPECT_NEAR(MaxDelayMeters(2, 25), 345.654, 1e-9);
    EXPECT_NEAR(MaxDelayFeet(2, 25), 345.654 * 3.28, 1e-9);

    struct Case {
        TypedIndex got;
        int index;
        bool inRange;
    };
    const Case cases[] = {
        {DelayFromMeters(400.0, 1, 25), 52473, false},
        {DelayFromMeters(MaxDelayMeters(1, 25), 1, 25), 52473, true},
        {DelayFromMeters(346.402, 1, 25), 52473, false},
        {DelayFromMeters(-1.0, 1, 25), 0, false},
        {DelayFromMeters(3.464, 1, 25), 961, true}, // 10 ms at 346.4 m/s
        {DelayFromFeet(3.464 * 3.2808, 1, 25), 961, true},
        {DelayFromMeters(3.46, 2, 25), 476, true}, // 10 ms at 346 m/s
        {DelayFromMeters(500.0, 3, 25), 1465, false},
        // The feet limit of types 2 and 3 uses 3.28 but the conversion 3.2808, so the
        // clamped value lands just below the last step.
        {DelayFromFeet(2000.0, 2, 25), 1464, false},
        {DelayFromFeet(-3.0, 2, 25), 0, false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].got.index, cases[i].index) << "case " << i;
        EXPECT_EQ(cases[i].got.inRange, cases[i].inRange) << "case " << i;
    }
}

// A value that is not a number is out of range and taken as the lower end, whichever
// conversion it goes through.
TEST(ModelTypedValues, NotANumberIsTakenAsTheLowerEnd) {
    const double nan = std::nan("");
    struct Case {
        TypedIndex got;
        int index;
    };
    const Case cases[] = {
        {BandwidthFromTyped(nan, 1), 0},  {QFromTyped(nan, 1), 295},
        {AttackFromMs(nan, 50), 0},       {EqGainFromTyped(nan), 0},
        {DelayFromMeters(nan, 1, 25), 0}, {DelayFromFeet(nan, 2, 25), 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].got.index, cases[i].index) << "case " << i;
        EXPECT_FALSE(cases[i].got.inRange) << "case " << i;
    }
}

TEST(ModelDynamics, TextsOfThresholdsAttackReleaseClipAndRatio) {
    EXPECT_EQ(GateThresholdText(60, false), "-60.0");
    EXPECT_EQ(GateThresholdText(130, false), "10.0");
    EXPECT_EQ(GateThresholdText(60, true), "Disable");
    EXPECT_EQ(GateThresholdRange(1).max, 130);
    EXPECT_EQ(GateThresholdRange(2).max, 60);
    EXPECT_EQ(LimitThresholdText(400), "10.0");
    EXPECT_EQ(LimitThresholdText(0), "-30.0");
    EXPECT_EQ(LimitThresholdText(500), "20.0");
    EXPECT_EQ(AttackText(0), "0.3");
    EXPECT_EQ(AttackText(6), "0.9");
    EXPECT_EQ(AttackText(7), "1");
    EXPECT_EQ(AttackText(106), "100");
    EXPECT_EQ(ReleaseText(0), "2X");
    EXPECT_EQ(ReleaseText(4), "16X");
    EXPECT_EQ(ReleaseText(5), "32X");
    EXPECT_EQ(ReleaseText(6), "");
    EXPECT_EQ(ClipLimitText(20), "4.0");
    EXPECT_EQ(ClipLimitText(100), "12.0");
    EXPECT_EQ(RatioText(0), "1:1");
    EXPECT_EQ(RatioText(6), "1:64");
    EXPECT_EQ(RatioText(7), "1:maximum");
    EXPECT_EQ(RatioText(8), "");
    EXPECT_EQ(RatioListText(7), "1:maxmum");
}

TEST(ModelDynamics, ReleaseTimeText) {
    struct Case {
        int release;
        int attack;
        const char* text;
    };
    const Case cases[] = {
        {1, 22, "4X (64ms)"},   // 16 ms
        {4, 14, "16X (128ms)"}, // 8 ms, the automatic timing of a 100 Hz high-pass
        {0, 0, "2X (0.6ms)"},   // 0.3 ms
        {5, 6, "32X (28.8ms)"}, // 0.9 ms
        {3, 7, "8X (8ms)"},     // 1 ms
        {5, 106, "32X (3200ms)"}, {6, 22, ""}, {1, 107, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReleaseTimeText(c.release, c.attack), c.text)
            << "release " << c.release << ", attack " << c.attack;
    }
}

TEST(ModelDynamics, TypedAttack) {
    struct Case {
        double ms;
        int current;
        int index;
        bool inRange;
    };
    const Case cases[] = {
        {0.6, 50, 3, true},     {0.95, 50, 50, true}, {50.0, 0, 56, true},   {0.3, 9, 0, true},
        {0.9, 9, 6, true},      {1.0, 0, 7, true},    {100.0, 0, 106, true}, {0.1, 9, 0, false},
        {150.0, 0, 106, false}, {1.7, 0, 7, true},
    };
    for (const Case& c : cases) {
        const TypedIndex r = AttackFromMs(c.ms, c.current);
        EXPECT_EQ(r.index, c.index) << c.ms << " ms";
        EXPECT_EQ(r.inRange, c.inRange) << c.ms << " ms";
    }
}

TEST(ModelEnumerations, Texts) {
    EXPECT_EQ(InputSourceText(0), "Analog");
    EXPECT_EQ(InputSourceText(1), "Digital");
    EXPECT_EQ(InputSourceText(2), "Digital"); // the program's text: any non-zero source
    EXPECT_EQ(InputSourceDisplayText(1), "Digital");
    EXPECT_EQ(InputSourceDisplayText(2), ""); // the panel's display: emptied for other values
    EXPECT_EQ(OnText(1), "On");
    EXPECT_EQ(OnText(0), "Mute");
    EXPECT_EQ(PolarityText(0), "+Normal");
    EXPECT_EQ(PolarityText(1), "-Invert");
    EXPECT_EQ(SourceText(true), "On");
    EXPECT_EQ(SourceText(false), "Off");
    EXPECT_EQ(EqTypeText(0, 1), "PEQ");
    EXPECT_EQ(EqTypeText(1, 1), "Lo_Shf 12dB");
    EXPECT_EQ(EqTypeText(2, 0), "Hi_Shf 6dB");
    EXPECT_EQ(EqTypeText(3, 0), "");
    EXPECT_EQ(EqTypeListText(1), "Lo -- Shf");
    EXPECT_EQ(EqTypeListText(2), "Hi -- Shf");
    EXPECT_EQ(ShelfSlopeListText(1), "12");
    EXPECT_EQ(CrossoverTypeText(0), "L_R");
    EXPECT_EQ(CrossoverTypeText(2), "BTWorth");
    EXPECT_EQ(CrossoverTypeText(3), "");
    EXPECT_EQ(CrossoverTypeButtonText(0), "L__R");
    EXPECT_EQ(SlopeText(1), "18dB");
    EXPECT_EQ(SlopeText(3), "48dB");
    EXPECT_EQ(SlopeText(4), "");
    EXPECT_EQ(SlopeEditText(2), "24");
    EXPECT_EQ(CompressorModeText(0), "Limit");
    EXPECT_EQ(CompressorModeText(1), "Compressor");
    EXPECT_EQ(TimingText(0), "Manual");
    EXPECT_EQ(TimingText(1), "Auto");
    EXPECT_EQ(BacklightText(0, 1), "Keep On");
    EXPECT_EQ(BacklightText(1, 1), "25s");
    EXPECT_EQ(BacklightText(1, 2), "10s");
    EXPECT_EQ(BacklightText(1, 3), "10s");
    EXPECT_EQ(FrequencyText(1000), "1000");
}

TEST(ModelEnumerations, TemperatureTexts) {
    EXPECT_EQ(TemperatureText(25), "25C(77F)");
    EXPECT_EQ(TemperatureText(0), "0C(32F)");
    EXPECT_EQ(TemperatureText(50), "50C(122F)");
    EXPECT_EQ(TemperatureText(1), "1C(34F)"); // 33.8 rounds up
    EXPECT_EQ(TemperatureListText(7), "7C");
}

TEST(ModelFrequency, TypedValuesAreBounded) {
    EXPECT_EQ(FrequencyFromTyped(1000).index, 1000);
    EXPECT_TRUE(FrequencyFromTyped(1000).inRange);
    EXPECT_EQ(FrequencyFromTyped(40000).index, 30000);
    EXPECT_FALSE(FrequencyFromTyped(40000).inRange);
    EXPECT_EQ(FrequencyFromTyped(5).index, 10);
    EXPECT_FALSE(FrequencyFromTyped(5).inRange);
    EXPECT_EQ(FrequencyFromTyped(15, 20).index, 20);
}

TEST(ModelFrequency, LowShelfStopsAt20000Hz) {
    const struct {
        int type;
        int hz;
        int kept;
    } cases[] = {{1, 25000, 20000}, {1, 20000, 20000}, {1, 19999, 19999},
                 {0, 25000, 25000}, {2, 30000, 30000}, {1, 10, 10}};
    for (const auto& c : cases) {
        EXPECT_EQ(LimitEqBandFrequency(c.type, c.hz), c.kept) << c.type << " " << c.hz;
    }
}

} // namespace
