#include "core/files/EqImport.h"
#include "core/files/EqText.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"
#include "core/model/ParameterValues.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Sample(const std::string& name) {
    std::ifstream in(std::string(SONVEX_TEST_DATA_DIR) + "/eq/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << name;
    return text.str();
}

// A band as the import must leave it: type, Hz, gain index, bandwidth index, slope, on.
// Bandwidth -1 and slope -1 mean "as the band had it".
struct Band {
    int type;
    int frequency;
    int gainIndex;
    int bandwidthIndex;
    int slope;
    bool on;
};

struct SampleCase {
    std::string file;
    int deviceType;
    bool input;
    int bandCount;
    bool preamp;
    std::vector<Band> bands;
    std::vector<std::string> report;
    int gainAfter; // channel gain index afterwards
};

void ExpectBands(const EqImportPlan& plan, const std::vector<Band>& bands,
                 const std::string& file) {
    ASSERT_EQ(plan.after.size(), bands.size()) << file;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const EqBandSetting& got = plan.after[i];
        const Band& want = bands[i];
        const std::string where = file + " band " + std::to_string(i + 1);
        EXPECT_EQ(got.type, want.type) << where;
        EXPECT_EQ(got.frequency, want.frequency) << where;
        EXPECT_EQ(got.gainIndex, want.gainIndex) << where;
        EXPECT_EQ(got.bandwidthIndex,
                  want.bandwidthIndex < 0 ? plan.before[i].bandwidthIndex : want.bandwidthIndex)
            << where;
        EXPECT_EQ(got.slope, want.slope < 0 ? plan.before[i].slope : want.slope) << where;
        EXPECT_EQ(got.on, want.on) << where;
    }
}

// The default bands of a new channel: peaking, flat, at the frequencies the filter set gives.
Band Untouched(const CAudio_Channel& channel, int band) {
    const CFilter& filter = *channel.GetFilter(band);
    return {filter.GetType(),           filter.GetFrequency(), filter.GetGainIndex(),
            filter.GetBandwidthIndex(), filter.GetSlope(),     false};
}

TEST(EqImport, SampleFilesGiveTheirBandsAndReports) {
    CAudio_OutData defaultOutput;
    const std::vector<SampleCase> cases = {
        {"rew_v5_20_living_room.txt",
         1,
         true,
         8,
         false,
         {{0, 50, 235, 9, -1, true},
          {1, 80, 330, -1, 0, true},
          {2, 8000, 280, -1, 1, true},
          {0, 1200, 260, 66, -1, false},
          {1, 20000, 320, -1, 1, true},
          {0, 200, 450, 0, -1, true},
          {0, -2, 300, -1, -1, false},
          {0, -2, 300, -1, -1, false}},
         {"filter 4 (HP): an EQ band cannot be a high-pass; left out",
          "filter 6 (Modal): an EQ band cannot be a modal filter; left out",
          "filter 7 (LS) on band 5: a low shelf stops at 20000 Hz; 25000 Hz limited to 20000 Hz",
          "filter 7 (LS) on band 5: no shelf slope given; 12 dB taken",
          "filter 8 (PK) on band 6: gain +20.0 dB limited to +15.0 dB",
          "filter 8 (PK) on band 6: Q 40.000 taken as 28.852, the nearest step (0.05 oct)"},
         400},
        {"rew_v5_40_sub.txt",
         3,
         false,
         6,
         false,
         {{0, 45, 250, 6, -1, true},
          {1, 60, 340, -1, 1, true},
          {2, 10000, 285, -1, 1, true},
          {0, 250, 325, 19, -1, true},
          {0, -2, 300, -1, -1, false},
          {0, -2, 300, -1, -1, false}},
         {"filter 2 (LS Q) on band 2: no shelf slope given; 12 dB taken",
          "filter 2 (LS Q) on band 2: shelf Q 0.707 not kept; the band's shelves have no Q",
          "filter 4 (LP1): an EQ band cannot be a low-pass; left out",
          "filter 5 (Notch): an EQ band cannot be a notch; left out",
          "filter 6 (All pass): an EQ band cannot be an all-pass; left out",
          "line 18: filter 1 comes again; the list ends here"},
         360},
        {"rew_decimal_comma.txt",
         2,
         true,
         6,
         false,
         {{0, 50, 265, 5, -1, true},
          {2, 4000, 320, -1, 0, true},
          {0, 125, 290, 13, -1, true},
          {0, -2, 300, -1, -1, false},
          {0, -2, 300, -1, -1, false},
          {0, -2, 300, -1, -1, false}},
         {},
         360},
        {"rew_overlong.txt",
         2,
         false,
         6,
         false,
         {{0, 40, 260, 4, -1, true},
          {0, 63, 270, 6, -1, true},
          {0, 100, 280, 9, -1, true},
          {0, 160, 290, 13, -1, true},
          {0, 250, 310, 27, -1, true},
          {0, 10000, 320, 27, -1, true}},
         {"filter 7 (PK): the output has 6 EQ bands; left out",
          "filter 8 (PK): the output has 6 EQ bands; left out"},
         360},
        {"apo_config.txt",
         1,
         false,
         6,
         true,
         {{0, 50, 270, 9, -1, true},
          {0, 100, 310, 12, -1, true},
          {1, 300, 350, -1, 1, true},
          {2, 6000, 280, -1, 0, true},
          {0, 1000, 240, 95, -1, false},
          {0, -2, 300, -1, -1, false}},
         {"filter on line 9 (HP): an EQ band cannot be a high-pass; left out",
          "preamp -3.0 dB: channel gain 0.0 dB becomes -3.0 dB", "line 3: not read: Channel: L"},
         370},
    };
    for (const SampleCase& c : cases) {
        CAudio_InData in;
        CAudio_OutData out;
        in.SetDeviceType(c.deviceType);
        out.SetDeviceType(c.deviceType);
        CAudio_Channel& channel = c.input ? static_cast<CAudio_Channel&>(in) : out;
        std::vector<Band> bands = c.bands;
        for (std::size_t i = 0; i < bands.size(); ++i) {
            if (bands[i].frequency == -2) { // a band the import only switches off
                bands[i] = Untouched(channel, static_cast<int>(i));
            }
        }
        const EqImportPlan plan = PlanEqImport(ReadEqText(Sample(c.file)), channel, c.input,
                                               c.deviceType, c.bandCount, c.preamp);
        ExpectBands(plan, bands, c.file);
        EXPECT_EQ(plan.report, c.report) << c.file;
        EXPECT_EQ(plan.gainAfter, c.gainAfter) << c.file;

        // Applied, the channel holds exactly the planned bands and marks them for sending.
        channel.ClearChanged();
        ApplyEqImport(plan, channel);
        EXPECT_EQ(BandSettings(channel, c.bandCount), plan.after) << c.file;
        EXPECT_EQ(channel.GetGain(), c.gainAfter) << c.file;
        bool anyChanged = false;
        for (int i = 0; i < c.bandCount; ++i) {
            anyChanged = anyChanged || channel.GetFilter(i)->IsChanged() != 0;
        }
        EXPECT_TRUE(anyChanged) << c.file;
    }
}

TEST(EqImport, PreampStaysOutOfTheGainUnlessAskedAndIsLimited) {
    CAudio_OutData out;
    EqText text = ReadEqText("Preamp: -3 dB\nPreamp: -1,5 dB\nFilter: ON PK Fc 50 Hz Gain -3 dB "
                             "Q 2\n");
    EXPECT_DOUBLE_EQ(text.preamp, -4.5);
    EqImportPlan plan = PlanEqImport(text, out, false, 1, 6, false);
    EXPECT_EQ(plan.gainAfter, plan.gainBefore);
    EXPECT_EQ(plan.report.back(), "preamp -4.5 dB not applied to the channel gain");

    text = ReadEqText("Preamp: -45 dB\nFilter: ON PK Fc 50 Hz Gain -3 dB Q 2\n");
    plan = PlanEqImport(text, out, false, 1, 6, true);
    EXPECT_EQ(plan.gainAfter, 0); // -40 dB, the bottom of the output's range
    EXPECT_EQ(plan.report.back(),
              "preamp -45.0 dB: channel gain 0.0 dB becomes -40.0 dB (limited to the channel's "
              "range)");
}

TEST(EqImport, BandsLeftWithoutAFilterAreSwitchedOffAndSaidSo) {
    CAudio_OutData out;
    out.GetFilter(2)->SetGainIndex(330);
    out.GetFilter(4)->SetGainIndex(250);
    const EqImportPlan plan = PlanEqImport(ReadEqText("Filter 1: ON PK Fc 80 Hz Gain -2 dB Q 4\n"),
                                           out, false, 1, 6, false);
    EXPECT_EQ(plan.taken, 1);
    EXPECT_FALSE(plan.after[2].on);
    EXPECT_FALSE(plan.after[4].on);
    EXPECT_EQ(plan.after[2].gainIndex, 330); // switched off, the gain kept
    EXPECT_EQ(plan.report, (std::vector<std::string>{"band 3: no filter for it; switched off",
                                                     "band 5: no filter for it; switched off"}));
}

TEST(EqImport, NothingTakenFromATextWithoutUsableFilters) {
    CAudio_InData in;
    const EqImportPlan plan = PlanEqImport(
        ReadEqText("Filter 1: ON HP Fc 80 Hz\nFilter 2: ON None\nhello\n"), in, true, 1, 8, false);
    EXPECT_EQ(plan.taken, 0);
    EXPECT_EQ(plan.report,
              (std::vector<std::string>{"filter 1 (HP): an EQ band cannot be a high-pass; left out",
                                        "line 3: not read: hello"}));
}

struct LineCase {
    std::string line;
    EqTextKind kind;
    bool on;
    int slopeDb;
    double frequency;
    double gain;
    double q;
    double octaves;
};

TEST(EqText, FilterLinesAreReadByTheirWords) {
    const LineCase cases[] = {
        {"Filter  1: ON  PK       Fc   50.00 Hz  Gain  -6.50 dB  Q 10.00", EqTextKind::Peaking,
         true, 0, 50.0, -6.5, 10.0, 0.0},
        {"Filter 12: OFF PK Fc10000.00 Hz Gain+2,5 dB Q0,7", EqTextKind::Peaking, false, 0, 10000.0,
         2.5, 0.7, 0.0},
        {"Filter: ON PEQ Fc 1.2 kHz Gain 1.0 dB BW Oct 0.167", EqTextKind::Peaking, true, 0, 1200.0,
         1.0, 0.0, 0.167},
        {"Filter: ON LSC 12 dB Fc 300 Hz Gain 5.0 dB", EqTextKind::LowShelf, true, 12, 300.0, 5.0,
         0.0, 0.0},
        {"Filter 2: ON HS 6dB Fc 4000 Hz Gain 2 dB", EqTextKind::HighShelf, true, 6, 4000.0, 2.0,
         0.0, 0.0},
        {"Filter 3: ON HS Q Fc 4000 Hz Gain 2 dB Q 0.9", EqTextKind::HighShelf, true, 0, 4000.0,
         2.0, 0.9, 0.0},
        {"Filter 4: ON Notch Q Fc 60 Hz Q 8", EqTextKind::Other, true, 0, 60.0, 0.0, 8.0, 0.0},
        {"Filter 5: ON LSC 3 Fc 60 Hz Gain 1 dB", EqTextKind::Other, true, 0, 60.0, 1.0, 0.0, 0.0},
        {"Filter 6: ON None", EqTextKind::None, true, 0, 0.0, 0.0, 0.0, 0.0},
        {"Filter 7: ON  PK  Fc 50 Hz  Gain -1.2.3 dB  Q 1", EqTextKind::Peaking, true, 0, 50.0, 0.0,
         1.0, 0.0},
    };
    for (const LineCase& c : cases) {
        const EqText text = ReadEqText(c.line + "\n");
        ASSERT_EQ(text.filters.size(), 1u) << c.line;
        const EqTextFilter& f = text.filters.front();
        EXPECT_EQ(f.kind, c.kind) << c.line;
        EXPECT_EQ(f.on, c.on) << c.line;
        EXPECT_EQ(f.shelfSlopeDb, c.slopeDb) << c.line;
        EXPECT_DOUBLE_EQ(f.frequency, c.frequency) << c.line;
        EXPECT_DOUBLE_EQ(f.gain, c.gain) << c.line;
        EXPECT_EQ(f.hasGain, c.gain != 0.0) << c.line; // "-1.2.3" is no number
        EXPECT_DOUBLE_EQ(f.q, c.q) << c.line;
        EXPECT_DOUBLE_EQ(f.octaves, c.octaves) << c.line;
    }
}

TEST(EqText, ARewHeadingIsSkippedAndAByteOrderMarkToo) {
    const EqText text = ReadEqText("\xEF\xBB\xBF"
                                   "Filter Settings file\r\n\r\nRoom EQ V5.40\r\nNotes:anything\r\n"
                                   "Equaliser: Generic\r\nMy measurement\r\n"
                                   "Filter  1: ON  PK  Fc 50 Hz  Gain -3 dB  Q 2\r\n");
    EXPECT_TRUE(text.notRead.empty());
    ASSERT_EQ(text.filters.size(), 1u);
    EXPECT_EQ(text.filters.front().line, 7);
}

// Every band of every model written out and read back in comes back the same, in both formats.
TEST(EqExport, ExportedBandsImportToTheVerySameBands) {
    for (int type = 1; type <= 3; ++type) {
        for (EqTextFormat format : {EqTextFormat::Rew, EqTextFormat::Apo}) {
            CAudio_InData source;
            source.SetDeviceType(type);
            const int bandCount = 8;
            const int maxBandwidth = BandwidthRange(type).max;
            for (int i = 0; i < bandCount; ++i) {
                CFilter& band = *source.GetFilter(i);
                band.SetType(i % 3);
                band.SetFrequency(i % 3 == 1 ? 20000 - i : 10 + 3777 * i);
                band.SetGainIndex(i == 5 ? 300 : 450 - 61 * i);
                band.SetBandwidthIndex(maxBandwidth - i * (maxBandwidth / 7));
                band.SetSlope(i % 2);
                if (i == 4) {
                    band.SetFlat(1); // off, its gain kept
                }
            }
            const std::string text = ExportEqText(source, type, bandCount, format, "a note");
            // A fresh channel that already shares the shelves' unused bandwidth and the peaks'
            // unused slope, which the text does not carry.
            CAudio_InData target;
            target.SetDeviceType(type);
            for (int i = 0; i < bandCount; ++i) {
                target.GetFilter(i)->SetBandwidthIndex(source.GetFilter(i)->GetBandwidthIndex());
                target.GetFilter(i)->SetSlope(source.GetFilter(i)->GetSlope());
            }
            const EqImportPlan plan =
                PlanEqImport(ReadEqText(text), target, true, type, bandCount, false);
            EXPECT_TRUE(plan.report.empty()) << text;
            EXPECT_EQ(plan.after, BandSettings(source, bandCount)) << text;
            EXPECT_EQ(plan.taken, bandCount);
        }
    }
}

TEST(EqExport, LinesCarryOffBandsShelfSlopesAndThreeDecimalQ) {
    CAudio_OutData out;
    out.GetFilter(0)->SetType(CFilter::Peaking);
    out.GetFilter(0)->SetFrequency(1000);
    out.GetFilter(0)->SetGainIndex(270);
    out.GetFilter(0)->SetBandwidthIndex(95);
    out.GetFilter(1)->SetType(CFilter::LowShelf);
    out.GetFilter(1)->SetFrequency(100);
    out.GetFilter(1)->SetGainIndex(330);
    out.GetFilter(1)->SetSlope(1);
    out.GetFilter(2)->SetType(CFilter::HighShelf);
    out.GetFilter(2)->SetFrequency(8000);
    out.GetFilter(2)->SetGainIndex(280);
    out.GetFilter(2)->SetSlope(0);
    const std::string rew = ExportEqText(out, 1, 3, EqTextFormat::Rew, "out1");
    EXPECT_EQ(rew, "Filter Settings file\n\nNotes:out1\n\nEqualiser: Generic\n"
                   "Filter  1: ON  PK       Fc  1000 Hz  Gain  -3.0 dB  Q  1.414\n"
                   "Filter  2: ON  LS 12dB  Fc   100 Hz  Gain   3.0 dB\n"
                   "Filter  3: ON  HS 6dB   Fc  8000 Hz  Gain  -2.0 dB\n");
    out.GetFilter(0)->SetFlat(1);
    const std::string apo = ExportEqText(out, 1, 3, EqTextFormat::Apo, "");
    EXPECT_EQ(apo, "Filter 1: OFF PK Fc 1000 Hz Gain -3.0 dB Q 1.414\n"
                   "Filter 2: ON LSC 12 dB Fc 100 Hz Gain 3.0 dB\n"
                   "Filter 3: ON HSC 6 dB Fc 8000 Hz Gain -2.0 dB\n");
}

} // namespace
