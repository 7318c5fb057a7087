// Numbers in texts: the same bytes as printf gives in the C locale, whatever locale the program
// runs under, and typed numbers read with a decimal point only.

#include "core/scales/DisplayModes.h"
#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"
#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <string>
#include <vector>

namespace {

std::string Printf(const char* format, double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, decimals, value);
    return buffer;
}

// The values the programs show: every index of the value rules of both kinds of device, the
// distances at a few temperatures, the tables, the curve grid, and the numbers on which
// rounding is decided (exact halves, values just beside them, signed zeros, extremes).
std::vector<double> ShownValues() {
    std::vector<double> values;
    for (int type : {1, 2}) {
        for (int i = 0; i <= 560; ++i) {
            values.push_back(ChannelGainToDb(i, type));
        }
        for (int i = DelayRange(type).min; i <= DelayRange(type).max; ++i) {
            values.push_back(DelayIndexToMs(i, type));
        }
        for (int t : {0, 25, 50}) {
            for (int i = 0; i <= DelayRange(type).max; i += 7) {
                values.push_back(DelayIndexToMeters(i, type, t));
                values.push_back(DelayIndexToFeet(i, type, t));
            }
        }
        for (int i = 0; i <= BandwidthRange(type).max; ++i) {
            values.push_back(BandwidthIndexToOctaves(i, type));
            values.push_back(BandwidthIndexToQ(i, type));
        }
    }
    for (int i = 0; i <= 500; ++i) {
        values.push_back(EqGainIndexToDb(i));
        values.push_back(LimitThresholdToDbu(i));
        values.push_back(ClipLimitValue(i));
        values.push_back(AttackIndexToMs(i % 107) * 32);
    }
    values.insert(values.end(), PlotFrequencies.begin(), PlotFrequencies.end());
    for (double v : {0.5,         1.5,     2.5,
                     -0.5,        0.125,   0.375,
                     0.0625,      1.00005, 0.05,
                     0.15,        0.25,    0.35,
                     9.99995,     99.5,    1000.0034,
                     -0.0,        0.0,     1e-12,
                     -1e-12,      -0.04,   1e15,
                     123456789.5, 1e300,   DBL_MAX,
                     -DBL_MAX,    DBL_MIN, std::numeric_limits<double>::denorm_min()}) {
        values.push_back(v);
        values.push_back(std::nextafter(v, 1e308));
        values.push_back(std::nextafter(v, -1e308));
    }
    return values;
}

TEST(NumberText, FixedTextIsPrintfInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    int mismatches = 0;
    for (double v : ShownValues()) {
        for (int decimals = 0; decimals <= 4; ++decimals) {
            const std::string expected = Printf("%0.*f", v, decimals);
            const std::string text = FixedText(v, decimals);
            if (text != expected && ++mismatches <= 10) {
                ADD_FAILURE() << v << " with " << decimals << " decimals: '" << text
                              << "', printf '" << expected << "'";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_EQ(FixedText(v, 1), Printf("%0.*f", v, 1));
    }
    for (long long v : {0LL, -1LL, 30000LL, std::numeric_limits<long long>::min(),
                        std::numeric_limits<long long>::max()}) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%lld", v);
        EXPECT_EQ(IntegerText(v), buffer);
    }
}

TEST(NumberText, TypedNumbersTakeADecimalPointOnly) {
    struct Case {
        const char* text;
        bool leading; // ReadLeadingNumber accepts it
        double value; // what it reads
        bool whole;   // ReadNumber accepts it
    };
    const Case cases[] = {
        {"1.5", true, 1.5, true},    {" -2.25 ", true, -2.25, true}, {"+3", true, 3.0, true},
        {".5", true, 0.5, true},     {"1e3", true, 1000.0, true},    {"12.5ms", true, 12.5, false},
        {"3.4 m", true, 3.4, false}, {"1,5", false, 0, false},       {"-0,5", false, 0, false},
        {"1.5,2", false, 0, false},  {"", false, 0, false},          {"abc", false, 0, false},
        {",5", false, 0, false},     {"nan", false, 0, false},       {"inf", false, 0, false},
        {"1e999", false, 0, false},
    };
    for (const Case& c : cases) {
        double leading = -99;
        EXPECT_EQ(ReadLeadingNumber(c.text, leading), c.leading) << "'" << c.text << "'";
        if (c.leading) {
            EXPECT_DOUBLE_EQ(leading, c.value) << "'" << c.text << "'";
        }
        double whole = -99;
        EXPECT_EQ(ReadNumber(c.text, whole), c.whole) << "'" << c.text << "'";
        if (c.whole) {
            EXPECT_DOUBLE_EQ(whole, c.value) << "'" << c.text << "'";
        } else {
            EXPECT_EQ(whole, -99) << "a refused text changed the number: '" << c.text << "'";
        }
    }
    long long hz = 0;
    EXPECT_TRUE(ReadLeadingInteger("1000.7", hz));
    EXPECT_EQ(hz, 1000);
    EXPECT_FALSE(ReadLeadingInteger("1,000", hz));
}

// Sets the program's locale, C and C++, to a German one while it lives; the C locale again
// afterwards.
class GermanLocale {
public:
    GermanLocale() {
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (m_active) {
            std::locale::global(std::locale("de_DE.UTF-8"));
        }
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
    bool Active() const { return m_active; }

private:
    bool m_active = false;
};

TEST(NumberText, TextsAndTypedValuesIgnoreAGermanLocale) {
    const GermanLocale german;
    if (!german.Active()) {
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (./sonvex.sh test generates it "
                        "with Debian's locales package)";
    }
    // The locale is in force: printf itself writes a decimal comma now.
    ASSERT_EQ(Printf("%0.*f", 1.5, 1), "1,5");

    EXPECT_EQ(FixedText(1.5, 1), "1.5");
    EXPECT_EQ(ChannelGainText(385, 1), "-1.5");
    EXPECT_EQ(DelayText(961, 1), "9.9944ms");
    EXPECT_EQ(DelayText(238, 2), "4.998ms");
    EXPECT_EQ(DelayMetersText(961, 1, 25), "3.4581");
    EXPECT_EQ(QText(BandwidthIndexToQ(95, 1)), "1.414");
    EXPECT_EQ(BandwidthText(BandwidthIndexToOctaves(24, 1)), "0.29");
    EXPECT_EQ(TemperatureText(25), "25C(77F)");

    const DisplayFormat delay{DisplayMode::DelayMs, 0, 52473};
    EXPECT_EQ(ParseDisplayText(delay, "9.9944", 0).value, 961);
    const ParsedDisplayValue comma = ParseDisplayText(delay, "9,9944", 5);
    EXPECT_FALSE(comma.isNumber);
    EXPECT_EQ(comma.value, 5);
    double number = 0;
    EXPECT_TRUE(ReadNumber("-2.5", number));
    EXPECT_EQ(number, -2.5);
    EXPECT_FALSE(ReadNumber("-2,5", number));
}

} // namespace
