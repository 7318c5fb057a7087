#include "core/files/EqImport.h"

#include "core/model/Channel.h"
#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"

#include <algorithm>
#include <cmath>

namespace {

// A Q that lands on a step more than this far away is reported.
constexpr double kQTolerance = 0.05;

std::string SignedDb(double dB) {
    const std::string text = FixedText(dB, 1);
    return (text.front() == '-' || text == "0.0" ? text : "+" + text) + " dB";
}

std::string FilterLabel(const EqTextFilter& filter) {
    std::string label = filter.number > 0 ? "filter " + IntegerText(filter.number)
                                          : "filter on line " + IntegerText(filter.line);
    return label + " (" + (filter.typeName.empty() ? std::string("None") : filter.typeName) + ")";
}

// What an EQ band cannot be, by the name of the filter.
std::string OtherKindText(const std::string& typeName) {
    std::string key;
    for (char c : typeName) {
        if (c != ' ') {
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (key.rfind("HP", 0) == 0) {
        return "a high-pass";
    }
    if (key.rfind("LP", 0) == 0) {
        return "a low-pass";
    }
    if (key.rfind("BP", 0) == 0) {
        return "a band-pass";
    }
    if (key.rfind("NO", 0) == 0) {
        return "a notch";
    }
    if (key == "AP" || key.rfind("ALLPASS", 0) == 0) {
        return "an all-pass";
    }
    if (key == "MODAL") {
        return "a modal filter";
    }
    return "'" + typeName + "'";
}

double OctavesToQ(double octaves) {
    const double power = std::pow(2.0, octaves);
    return std::sqrt(power) / (power - 1.0);
}

// The bandwidth step whose Q is nearest to q, by ratio.
int NearestQIndex(double q, int deviceType) {
    const IndexRange range = BandwidthRange(deviceType);
    int best = range.min;
    double bestDistance = HUGE_VAL;
    for (int i = range.min; i <= range.max; ++i) {
        const double distance = std::fabs(std::log(BandwidthIndexToQ(i, deviceType) / q));
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

class Planner {
public:
    Planner(EqImportPlan& plan, int bandCount) : m_plan(plan), m_bandCount(bandCount) {}

    void Take(const EqTextFilter& filter) {
        if (filter.kind == EqTextKind::Other) {
            Report(FilterLabel(filter) + ": an EQ band cannot be " +
                   OtherKindText(filter.typeName) + "; left out");
            return;
        }
        if (m_next >= m_bandCount) {
            if (filter.kind != EqTextKind::None) { // an unused slot loses nothing
                Report(FilterLabel(filter) + ": the " + (m_plan.input ? "input" : "output") +
                       " has " + IntegerText(m_bandCount) + " EQ bands; left out");
            }
            return;
        }
        const int bandNumber = m_next + 1;
        EqBandSetting& band = m_plan.after[static_cast<std::size_t>(m_next++)];
        if (filter.kind == EqTextKind::None) {
            band.on = false;
            return;
        }
        m_label = FilterLabel(filter) + " on band " + IntegerText(bandNumber);
        band.type = filter.kind == EqTextKind::Peaking    ? 0
                    : filter.kind == EqTextKind::LowShelf ? 1
                                                          : 2;
        TakeFrequency(filter, band);
        TakeGain(filter, band);
        if (band.type == 0) {
            TakeWidth(filter, band);
        } else {
            TakeSlope(filter, band);
        }
        band.on = filter.on && EditRules::BandCanBeOn(band.gainIndex);
        ++m_plan.taken;
    }

    // Bands no filter reached are switched off, so that nothing of the old EQ stays on.
    void SwitchOffTheRest() {
        for (int i = m_next; i < m_bandCount; ++i) {
            EqBandSetting& band = m_plan.after[static_cast<std::size_t>(i)];
            if (band.on) {
                band.on = false;
                Report("band " + IntegerText(i + 1) + ": no filter for it; switched off");
            }
        }
    }

    void Report(const std::string& line) { m_plan.report.push_back(line); }

private:
    void TakeFrequency(const EqTextFilter& filter, EqBandSetting& band) {
        if (!filter.hasFrequency) {
            Report(m_label + ": no frequency given; the band keeps " + IntegerText(band.frequency) +
                   " Hz");
        } else {
            const double rounded = std::round(filter.frequency);
            const int hz = FrequencyRange.Clamp(TruncToInt(rounded));
            if (rounded != hz) {
                Report(m_label + ": " + FixedText(filter.frequency, 1) + " Hz limited to " +
                       IntegerText(hz) + " Hz");
            }
            band.frequency = hz;
        }
        const int kept = EditRules::BandFrequency(band.type, band.frequency);
        if (kept != band.frequency) {
            Report(m_label + ": a low shelf stops at " + IntegerText(kept) + " Hz; " +
                   IntegerText(band.frequency) + " Hz limited to " + IntegerText(kept) + " Hz");
            band.frequency = kept;
        }
    }

    void TakeGain(const EqTextFilter& filter, EqBandSetting& band) {
        if (!filter.hasGain) {
            Report(m_label + ": no gain given; the band keeps " +
                   SignedDb(EqGainIndexToDb(band.gainIndex)));
            return;
        }
        const double limited = std::clamp(filter.gain, MinEqGainDb, MaxEqGainDb);
        if (std::fabs(limited - filter.gain) >= 0.05) {
            Report(m_label + ": gain " + SignedDb(filter.gain) + " limited to " +
                   SignedDb(limited));
        }
        band.gainIndex = EqGainRange.Clamp(EqGainDbToIndex(limited));
    }

    void TakeWidth(const EqTextFilter& filter, EqBandSetting& band) {
        const int type = m_plan.deviceType;
        if (filter.hasQ && filter.q > 0.0) {
            band.bandwidthIndex = NearestQIndex(filter.q, type);
            const double q = BandwidthIndexToQ(band.bandwidthIndex, type);
            if (std::fabs(q / filter.q - 1.0) > kQTolerance) {
                Report(m_label + ": Q " + FixedText(filter.q, 3) + " taken as " + QText(q) +
                       ", the nearest step (" +
                       BandwidthText(BandwidthIndexToOctaves(band.bandwidthIndex, type)) + " oct)");
            }
        } else if (filter.hasOctaves && filter.octaves > 0.0) {
            band.bandwidthIndex = BandwidthOctavesToIndex(filter.octaves, type);
            const double octaves = BandwidthIndexToOctaves(band.bandwidthIndex, type);
            const double q = OctavesToQ(octaves);
            if (std::fabs(q / OctavesToQ(filter.octaves) - 1.0) > kQTolerance) {
                Report(m_label + ": bandwidth " + FixedText(filter.octaves, 3) + " oct taken as " +
                       BandwidthText(octaves) + " oct, the nearest step (Q " +
                       QText(BandwidthIndexToQ(band.bandwidthIndex, type)) + ")");
            }
        } else {
            Report(m_label + ": no Q or bandwidth given; the band keeps " +
                   BandwidthText(BandwidthIndexToOctaves(band.bandwidthIndex, type)) + " oct");
        }
    }

    void TakeSlope(const EqTextFilter& filter, EqBandSetting& band) {
        const int given = filter.shelfSlopeDb;
        band.slope = given == 0 || given > 9 ? 1 : 0;
        const std::string taken = band.slope == 1 ? "12 dB" : "6 dB";
        if (given == 0) {
            Report(m_label + ": no shelf slope given; " + taken + " taken");
        } else if (given != 6 && given != 12) {
            Report(m_label + ": shelf slope " + IntegerText(given) + " dB taken as " + taken);
        }
        if (filter.hasQ) {
            Report(m_label + ": shelf Q " + FixedText(filter.q, 3) +
                   " not kept; the band's shelves have no Q");
        }
    }

    EqImportPlan& m_plan;
    int m_bandCount;
    int m_next = 0;
    std::string m_label;
};

void TakePreamp(const EqText& text, bool applyPreamp, EqImportPlan& plan) {
    if (!text.hasPreamp) {
        return;
    }
    const std::string preamp = "preamp " + SignedDb(text.preamp);
    if (!applyPreamp) {
        plan.report.push_back(preamp + " not applied to the channel gain");
        return;
    }
    const int type = plan.deviceType;
    const IndexRange range = plan.input ? InputGainRange(type) : OutputGainRange(type);
    const int steps = TruncToInt(std::round(text.preamp * 10.0));
    plan.gainAfter = range.Clamp(plan.gainBefore + steps);
    std::string line = preamp + ": channel gain " +
                       SignedDb(ChannelGainToDb(plan.gainBefore, type)) + " becomes " +
                       SignedDb(ChannelGainToDb(plan.gainAfter, type));
    if (plan.gainAfter != plan.gainBefore + steps) {
        line += " (limited to the channel's range)";
    }
    plan.report.push_back(line);
}

} // namespace

bool EqBandSetting::operator==(const EqBandSetting& other) const {
    return type == other.type && frequency == other.frequency && gainIndex == other.gainIndex &&
           bandwidthIndex == other.bandwidthIndex && slope == other.slope && on == other.on;
}

std::vector<EqBandSetting> BandSettings(const CAudio_Channel& channel, int bandCount) {
    std::vector<EqBandSetting> bands;
    for (int i = 0; i < bandCount; ++i) {
        const CFilter* filter = channel.GetFilter(i);
        if (filter == nullptr) {
            break;
        }
        EqBandSetting band;
        band.type = filter->GetType();
        band.frequency = filter->GetFrequency();
        band.gainIndex = filter->GetGainIndex();
        band.bandwidthIndex = filter->GetBandwidthIndex();
        band.slope = filter->GetSlope();
        band.on = filter->IsFlat() == 0;
        bands.push_back(band);
    }
    return bands;
}

std::string BandSettingText(const EqBandSetting& band, int deviceType) {
    static const char* const kTypes[] = {"PEQ", "LoShelf", "HiShelf"};
    std::string text = std::string(kTypes[std::clamp(band.type, 0, 2)]) + " " +
                       IntegerText(band.frequency) + " Hz " +
                       SignedDb(EqGainIndexToDb(band.gainIndex)) + " ";
    text += band.type == 0
                ? BandwidthText(BandwidthIndexToOctaves(band.bandwidthIndex, deviceType)) + " oct"
                : std::string(band.slope == 1 ? "12 dB" : "6 dB");
    return band.on ? text : text + " (off)";
}

EqImportPlan PlanEqImport(const EqText& text, const CAudio_Channel& channel, bool input,
                          int deviceType, int bandCount, bool applyPreamp) {
    EqImportPlan plan;
    plan.input = input;
    plan.deviceType = deviceType;
    plan.before = BandSettings(channel, bandCount);
    plan.after = plan.before;
    plan.gainBefore = channel.GetGain();
    plan.gainAfter = plan.gainBefore;
    Planner planner(plan, static_cast<int>(plan.before.size()));
    for (const EqTextFilter& filter : text.filters) {
        planner.Take(filter);
    }
    planner.SwitchOffTheRest();
    TakePreamp(text, applyPreamp, plan);
    for (const std::string& line : text.notRead) {
        plan.report.push_back(line);
    }
    return plan;
}

void ApplyEqImport(const EqImportPlan& plan, CAudio_Channel& channel) {
    for (std::size_t i = 0; i < plan.after.size(); ++i) {
        CFilter* filter = channel.GetFilter(static_cast<int>(i));
        const EqBandSetting& band = plan.after[i];
        if (filter == nullptr || (band == plan.before[i])) {
            continue;
        }
        ChannelEdits::SetBandType(*filter, band.type);
        ChannelEdits::SetBandFrequency(*filter, band.frequency);
        if (filter->GetBandwidthIndex() != band.bandwidthIndex) {
            filter->SetBandwidthIndex(band.bandwidthIndex);
        }
        if (filter->GetSlope() != band.slope) {
            filter->SetSlope(band.slope);
        }
        ChannelEdits::SetBandGain(*filter, band.gainIndex);
        ChannelEdits::SwitchBand(*filter, band.on);
    }
    if (plan.gainAfter != channel.GetGain()) {
        channel.SetGain(plan.gainAfter);
    }
}

std::string ExportEqText(const CAudio_Channel& channel, int deviceType, int bandCount,
                         EqTextFormat format, const std::string& notes) {
    std::vector<EqTextBand> bands;
    for (const EqBandSetting& band : BandSettings(channel, bandCount)) {
        EqTextBand line;
        line.type = band.type;
        line.on = band.on;
        line.frequency = band.frequency;
        line.gain = EqGainIndexToDb(band.gainIndex);
        line.q = BandwidthIndexToQ(band.bandwidthIndex, deviceType);
        line.shelfSlope = band.slope;
        bands.push_back(line);
    }
    return WriteEqText(bands, format, notes);
}
