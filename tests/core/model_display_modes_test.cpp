#include "core/scales/DisplayModes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace M = DisplayMode;

DisplayFormat Format(int mode, int minimum, int maximum, double step = 0.0, double offset = 0.0,
                     int temperature = 0) {
    return DisplayFormat{mode, minimum, maximum, step, offset, temperature};
}

const DisplayFormat kDelay4x8 = Format(M::DelayMs, 0, 52473);
const DisplayFormat kDelayCompact = Format(M::DelayMsCompact, 0, 1465);
const DisplayFormat kMeters25 = Format(M::DelayMeters, 0, 52473, 0, 0, 25);
const DisplayFormat kFeet25 = Format(M::DelayFeet, 0, 52473, 0, 0, 25);
const DisplayFormat kMetersCompact25 = Format(M::DelayMetersCompact, 0, 1465, 0, 0, 25);
const DisplayFormat kAttack = Format(M::Attack, 0, 106);
const DisplayFormat kEqGain = Format(M::Linear, 0, 450, 0.1, 30.0);
const DisplayFormat kInputGain = Format(M::Linear, 0, 460, 0.1, 40.0);
const DisplayFormat kClipLimit = Format(M::Linear, 0, 100, 0.1, -2.0);
const DisplayFormat kEqFrequency = Format(M::EqFrequency, 10, 30000);
const DisplayFormat kHighPass = Format(M::HighPassFrequency, 10, 30000);
const DisplayFormat kBandwidth = Format(M::BandwidthFine, 0, 295);
const DisplayFormat kBandwidthCoarse = Format(M::BandwidthCoarse, 0, 59);
const DisplayFormat kQ = Format(M::QFine, 0, 295);
const DisplayFormat kQCoarse = Format(M::QCoarse, 0, 59);

TEST(DisplayModes, ShowEachModesText) {
    struct Case {
        DisplayFormat format;
        int value;
        const char* text;
    };
    const Case cases[] = {
        {kDelay4x8, 9616, "100.0064"},
        {kDelay4x8, 9617, "100.0274"},
        {kDelay4x8, 52473, "1000"},
        {kDelayCompact, 475, "9.975"},
        {kDelayCompact, 476, "10.0"},
        {kDelayCompact, 1465, "999.0"},
        {kMeters25, 961, "3.4581"}, // 346 m/s for the display, 331.4 only for typed values
        {kFeet25, 961, "11.3424"},
        {kMetersCompact25, 475, "3.451"},
        {kMetersCompact25, 476, "3.5"},
        {Format(M::DelayFeetCompact, 0, 1465, 0, 0, 25), 476, "11.3"},
        {kAttack, 3, "0.6"},
        {kAttack, 6, "0.9"},
        {kAttack, 7, "1"},
        {kAttack, 56, "50"},
        {kEqGain, 450, "15.0"},
        {kEqGain, 0, "-30.0"},
        {kClipLimit, 20, "4.0"},
        {kEqFrequency, 1000, "1000"},
        {Format(M::LowPassFrequency, 10, 30000), 30000, "30000"},
        {kBandwidth, 95, "1.00"},
        {kBandwidthCoarse, 19, "1.00"},
        {kQ, 0, "28.852"},
        {kQ, 295, "0.404"},
        {kQCoarse, 19, "1.414"},
        {Format(M::CrossoverSlope, 0, 3), 3, "48"},
        {Format(M::Ratio, 0, 7), 7, "1:maximum"},
        {Format(M::OwnerText, 0, 5), 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDisplayValue(c.format, c.value), c.text)
            << "mode " << c.format.mode << " value " << c.value;
    }
}

TEST(DisplayModes, TypedTextIsConvertedClampedAndReported) {
    struct Case {
        DisplayFormat format;
        const char* text;
        int current;
        int value;
        bool outOfRange;
    };
    const Case cases[] = {
        {kDelay4x8, "100.0064", 0, 9616, false},
        {kDelay4x8, "100.0274", 0, 9617, false},
        {kDelay4x8, "1000", 0, 52473, false}, // 1000 stands for 1000.0034
        {kDelay4x8, "1000.01", 0, 52473, true},
        {kDelay4x8, "-1", 500, 0, true},
        {Format(M::DelayMs, 100, 52473), "-1", 500, 100, true}, // the field's own minimum
        {kDelayCompact, "9.996", 0, 476, false},
        {kDelayCompact, "10", 0, 476, false},
        {kDelayCompact, "9.975", 0, 475, false},
        {kDelayCompact, "1000", 0, 1465, true},
        {kMeters25, "400", 0, 52473, true},    // above (25 x 0.6 + 331.4) / 1000 x 1000.0034
        {kMeters25, "346.4", 0, 52472, false}, // 1000 ms at 346.4 m/s
        {kMeters25, "-1", 9, 0, true},
        {kMeters25, "3.464", 0, 961, false}, // 10 ms at 346.4 m/s
        {kFeet25, "2000", 0, 52473, true},
        {kMetersCompact25, "3.46", 0, 476, false},
        {kAttack, "0.6", 20, 3, false},
        {kAttack, "0.95", 20, 20, false}, // between 0.9 and 1: unchanged
        {kAttack, "50", 20, 56, false},
        {kAttack, "0.1", 20, 0, true},
        {kAttack, "101", 20, 106, true},
        {kEqGain, "15.1", 300, 450, true},
        {kEqGain, "-30", 300, 0, false},
        {kEqGain, "-31", 300, 0, true},
        {kEqGain, "0.3", 0, 303, false},
        {kInputGain, "-39.7", 0, 3, false},
        {kClipLimit, "2.3", 0, 3, false},
        {kClipLimit, "13", 0, 100, true},
        {kEqFrequency, "OFF", 250, 250, false},
        {kEqFrequency, "40000", 250, 30000, true},
        {kEqFrequency, "5", 250, 10, true},
        {kEqFrequency, "1000.7", 250, 1000, false},
        {Format(M::EqFrequency, 20, 20000), "25000", 250, 20000, true},
        {kHighPass, "20000", 250, 20000, false},
        {kBandwidth, "1", 0, 95, false},
        {kBandwidth, "3.5", 0, 295, true},
        {kBandwidth, "0.01", 9, 0, true},
        {kBandwidthCoarse, "1", 0, 19, false},
        {kQ, "1.0", 0, 134, false}, // first entry not above 1.0 is 0.999
        {kQ, "30", 9, 0, true},
        {kQ, "0.3", 9, 295, true},
        {kQCoarse, "1.414", 0, 19, false},
        {kQCoarse, "1.0", 0, 27, false},
        {Format(M::Ratio, 0, 7), "1:2", 5, 5, false},
        {Format(M::CrossoverSlope, 0, 3), "12", 2, 2, false},
        {Format(M::OwnerText, 0, 5), "4X (", 2, 2, false},
        {kEqGain, " 6.5 ", 0, 365, false},
        {kEqGain, "6.5dB", 0, 365, false},
    };
    for (const Case& c : cases) {
        const ParsedDisplayValue parsed = ParseDisplayText(c.format, c.text, c.current);
        EXPECT_EQ(parsed.value, c.value) << "mode " << c.format.mode << " '" << c.text << "'";
        EXPECT_EQ(parsed.outOfRange, c.outOfRange)
            << "mode " << c.format.mode << " '" << c.text << "'";
        EXPECT_TRUE(parsed.isNumber) << "mode " << c.format.mode << " '" << c.text << "'";
    }
}

TEST(DisplayModes, TextWithoutANumberKeepsTheValue) {
    for (const DisplayFormat& format : {kDelay4x8, kMeters25, kEqGain, kEqFrequency, kAttack, kQ}) {
        for (const char* text : {"", "abc", "-", ".", "nan", "inf", "1,5"}) {
            const ParsedDisplayValue parsed = ParseDisplayText(format, text, 7);
            EXPECT_FALSE(parsed.isNumber) << "mode " << format.mode << " '" << text << "'";
            EXPECT_FALSE(parsed.outOfRange) << "mode " << format.mode << " '" << text << "'";
            EXPECT_EQ(parsed.value, 7) << "mode " << format.mode << " '" << text << "'";
        }
    }
}

// Typing back the text a field shows gives the value it shows, from any other value.
TEST(DisplayModes, EveryShownTextReadsBackAsItsValue) {
    const DisplayFormat formats[] = {
        kDelay4x8,
        kDelayCompact,
        kAttack,
        kEqGain,
        kInputGain,
        kClipLimit,
        Format(M::Linear, 0, 550, 0.1, 40.0),  // output gain, 4x8
        Format(M::Linear, 0, 560, 0.1, 36.0),  // gains, 3x6 and 2x4
        Format(M::Linear, 0, 500, 0.1, 30.0),  // limiter threshold
        Format(M::Linear, 0, 130, 1.0, 120.0), // gate threshold
        kEqFrequency,
        kBandwidth,
        kBandwidthCoarse,
        kQ,
        kQCoarse,
    };
    for (const DisplayFormat& format : formats) {
        int mismatches = 0;
        for (int v = format.minimum; v <= format.maximum; ++v) {
            const int other = v == format.minimum ? format.maximum : format.minimum;
            const std::string text = FormatDisplayValue(format, v);
            const ParsedDisplayValue parsed = ParseDisplayText(format, text, other);
            if (parsed.value != v || parsed.outOfRange) {
                if (++mismatches <= 3) {
                    ADD_FAILURE() << "mode " << format.mode << ": '" << text << "' of " << v
                                  << " reads as " << parsed.value;
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << "mode " << format.mode;
    }
}

TEST(DisplayModes, CommitRules) {
    EXPECT_EQ(CommitRuleOf(M::DelayMs), CommitRule::DelayKeepsModified);
    EXPECT_EQ(CommitRuleOf(M::DelayMsCompact), CommitRule::DelayKeepsModified);
    for (int mode : {M::DelayMeters, M::DelayFeet, M::DelayMetersCompact, M::DelayFeetCompact}) {
        EXPECT_EQ(CommitRuleOf(mode), CommitRule::DistanceClearsModified) << mode;
    }
    for (int mode : {4, 5, 7, 8, 9, 10, 11, 15, 16}) {
        EXPECT_EQ(CommitRuleOf(mode), CommitRule::AlwaysChecked) << mode;
    }
    for (int mode : {3, 6, 17, 18, 19, -1}) {
        EXPECT_EQ(CommitRuleOf(mode), CommitRule::None) << mode;
    }
    for (int mode : {4, 8, 9}) {
        EXPECT_TRUE(StoresUnmodifiedText(mode)) << mode;
    }
    EXPECT_FALSE(StoresUnmodifiedText(M::Linear));
}

} // namespace
