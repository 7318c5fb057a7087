#include "core/model/ParameterValues.h"

#include "core/model/Variant.h"

#include "core/model/NumberText.h"
#include "core/model/ValueTables.h"

#include <cmath>
#include <initializer_list>

namespace {

std::string FromList(int index, std::initializer_list<const char*> texts) {
    if (index < 0 || index >= static_cast<int>(texts.size())) {
        return {};
    }
    return *(texts.begin() + index);
}

// Delay bounds of the two encodings.
constexpr int kFineDelayKnee = 9616;          // last index of the 0.0104 ms steps
constexpr double kFineDelayKneeMs = 100.0064; // its delay
constexpr double kFineDelayMaxMs = 1000.0034; // delay of the last index
constexpr int kCompactDelayKnee = 475;        // last index of the 0.021 ms steps
constexpr double kCompactDelayKneeMs = 9.996; // typed values above go to the 1 ms steps
constexpr double kCompactDelayMaxMs = 999.0;

// A typed value that is exactly a shown step can land a hair below that step after the
// binary arithmetic (-39.7 dB + 40 is 0.29999...); truncating it would give the step below,
// so the text shown for a step would not read back as that step. Values this close to the
// next whole step are taken as that step.
constexpr double kTypedStepTolerance = 1e-9;

int TruncTypedSteps(double steps) {
    return TruncToInt(steps + kTypedStepTolerance);
}

// Typed delay in ms to the index, clamped to the index range without a report.
int MsToDelayIndex(double ms, int deviceType) {
    const IndexRange range = DelayRange(deviceType);
    int index = 0;
    if (!(ms >= 0.0)) {
        return range.min;
    }
    if (UsesCompactRules(deviceType)) {
        if (ms > kCompactDelayMaxMs) {
            return range.max;
        }
        index = ms <= kCompactDelayKneeMs ? TruncToInt(ms / 0.021 + 0.5)
                                          : TruncToInt(ms - kCompactDelayKneeMs + 476);
    } else {
        if (ms > kFineDelayMaxMs) {
            return range.max;
        }
        index = ms <= kFineDelayKneeMs ? TruncToInt(ms / 0.0104 + 0.0005)
                                       : TruncTypedSteps((ms - kFineDelayKneeMs) / 0.021 + 9616);
    }
    return range.Clamp(index);
}

// Typed distance in metres to the index; maxMeters is the accepted limit.
TypedIndex MetersToDelay(double meters, double maxMeters, int deviceType, int temperature) {
    TypedIndex result;
    if (meters > maxMeters) {
        result.inRange = false;
        meters = maxMeters;
    } else if (!(meters >= 0.0)) {
        result.inRange = false;
        meters = 0.0;
    }
    const double ms = meters * 1000.0 / SpeedOfSoundInput(temperature, deviceType);
    result.index = MsToDelayIndex(ms, deviceType);
    return result;
}

} // namespace

bool UsesCompactRules(int deviceType) {
    return deviceType == 2 || deviceType == 3;
}

// ---- Frequencies ----

std::string FrequencyText(int hz) {
    return IntegerText(hz);
}

TypedIndex FrequencyFromTyped(int hz, int minimum) {
    if (hz > MaxFrequency) {
        return {MaxFrequency, false};
    }
    if (hz < minimum) {
        return {minimum, false};
    }
    return {hz, true};
}

int LimitEqBandFrequency(int type, int hz) {
    constexpr int lowShelf = 1;
    return type == lowShelf ? std::min(hz, MaxLowShelfFrequency) : hz;
}

// ---- Channel gain ----

IndexRange InputGainRange(int deviceType) {
    return Variant::OfDeviceType(deviceType).inputGainRange;
}

IndexRange OutputGainRange(int deviceType) {
    return Variant::OfDeviceType(deviceType).outputGainRange;
}

int ZeroDbGainIndex(int deviceType) {
    return Variant::OfDeviceType(deviceType).zeroDbGainIndex;
}

double ChannelGainToDb(int index, int deviceType) {
    // Same arithmetic as the established tool, so curves land on the same pixels.
    return index * 0.1 - Variant::OfDeviceType(deviceType).gainEditOffset;
}

std::string ChannelGainText(int index, int deviceType) {
    return FixedText(ChannelGainToDb(index, deviceType), 1);
}

TypedIndex InputGainFromDb(double dB, int deviceType) {
    return LinearFromTyped(dB, 0.1, ZeroDbGainIndex(deviceType) / 10.0, InputGainRange(deviceType));
}

TypedIndex OutputGainFromDb(double dB, int deviceType) {
    return LinearFromTyped(dB, 0.1, ZeroDbGainIndex(deviceType) / 10.0,
                           OutputGainRange(deviceType));
}

// ---- EQ band gain ----

double EqGainIndexToDb(int index) {
    // The band gain is archived as a double: computing it exactly as the established tool does
    // keeps saved files bit-identical. Index 300 still gives exactly 0.0.
    return index * 0.1 - 30.0;
}

int EqGainDbToIndex(double dB) {
    return TruncToInt((dB + 30.0) * 100.0 / 10.0 + 0.5);
}

std::string EqGainText(double dB, bool flat) {
    return flat ? "0.0" : FixedText(dB, 1);
}

TypedIndex EqGainFromTyped(double dB) {
    return LinearFromTyped(dB, 0.1, 30.0, EqGainRange);
}

// ---- Bandwidth and Q ----

IndexRange BandwidthRange(int deviceType) {
    return UsesCompactRules(deviceType) ? IndexRange{0, QTableCoarseSize - 1}
                                        : IndexRange{0, QTableFineSize - 1};
}

double BandwidthIndexToOctaves(int index, int deviceType) {
    // Computed as step times index plus the first bandwidth, in this order: the result is
    // archived as a double, and files must carry the same bits as those of the established
    // writers (which differ in the last place from index / 100 for about a third of the steps).
    return UsesCompactRules(deviceType) ? index * 0.05 + 0.05 : index * 0.01 + 0.05;
}

int BandwidthOctavesToIndex(double octaves, int deviceType) {
    const IndexRange range = BandwidthRange(deviceType);
    if (std::isnan(octaves)) {
        return range.min;
    }
    const double steps =
        UsesCompactRules(deviceType) ? octaves * 20.0 - 1.0 : octaves * 100.0 - 5.0;
    return range.Clamp(TruncToInt(std::round(steps)));
}

double BandwidthIndexToQ(int index, int deviceType) {
    const int i = BandwidthRange(deviceType).Clamp(index);
    return UsesCompactRules(deviceType) ? QTableCoarse[i] : QTableFine[i];
}

std::string BandwidthText(double octaves) {
    return FixedText(octaves, 2);
}

std::string QText(double q) {
    return FixedText(q, 3);
}

TypedIndex BandwidthFromTyped(double octaves, int deviceType) {
    TypedIndex result;
    if (octaves > MaxBandwidth) {
        result.inRange = false;
        octaves = MaxBandwidth;
    } else if (!(octaves >= MinBandwidth)) {
        result.inRange = false;
        octaves = MinBandwidth;
    }
    const double stepsPerOctave = UsesCompactRules(deviceType) ? 50.0 : 10.0;
    result.index = BandwidthRange(deviceType)
                       .Clamp(TruncToInt((octaves - 0.05) * 1000.0 / stepsPerOctave + 0.5));
    return result;
}

TypedIndex QFromTyped(double q, int deviceType) {
    TypedIndex result;
    if (q > MaxQ) {
        result.inRange = false;
        q = MaxQ;
    } else if (!(q >= MinQ)) {
        result.inRange = false;
        q = MinQ;
    }
    result.index = UsesCompactRules(deviceType) ? QToCoarseIndex(q) : QToFineIndex(q);
    return result;
}

// ---- Delay ----

IndexRange DelayRange(int deviceType) {
    return UsesCompactRules(deviceType) ? IndexRange{0, 1465} : IndexRange{0, 52473};
}

double MaxDelayMs(int deviceType) {
    return UsesCompactRules(deviceType) ? kCompactDelayMaxMs : kFineDelayMaxMs;
}

double DelayIndexToMs(int index, int deviceType) {
    if (UsesCompactRules(deviceType)) {
        return index <= kCompactDelayKnee ? index * 0.021 : index - 476 + 10.0;
    }
    return index <= kFineDelayKnee ? index * 0.0104
                                   : kFineDelayKneeMs + (index - kFineDelayKnee) * 0.021;
}

std::string DelayEditText(int index, int deviceType) {
    const double ms = DelayIndexToMs(index, deviceType);
    if (UsesCompactRules(deviceType)) {
        // 10 ms and more is exactly the indices above the knee.
        return FixedText(ms, index > kCompactDelayKnee ? 1 : 3);
    }
    // 1000.0034 ms is reached exactly at the last index; comparing indices avoids
    // depending on the rounding of the sum.
    return FixedText(ms, index >= DelayRange(deviceType).max ? 0 : 4);
}

std::string DelayText(int index, int deviceType) {
    return DelayEditText(index, deviceType) + "ms";
}

TypedIndex DelayFromMs(double ms, int deviceType) {
    const IndexRange range = DelayRange(deviceType);
    if (!(ms >= 0.0)) {
        return {range.min, false};
    }
    if (!UsesCompactRules(deviceType) && ms == 1000.0) {
        ms = kFineDelayMaxMs;
    }
    if (ms > MaxDelayMs(deviceType)) {
        return {range.max, false};
    }
    return {MsToDelayIndex(ms, deviceType), true};
}

// ---- Distance ----

double SpeedOfSoundDisplay(int temperature) {
    return 331.0 + 0.6 * temperature;
}

double SpeedOfSoundInput(int temperature, int deviceType) {
    return (UsesCompactRules(deviceType) ? 331.0 : 331.4) + 0.6 * temperature;
}

double DelayIndexToMeters(int index, int deviceType, int temperature) {
    return SpeedOfSoundDisplay(temperature) * DelayIndexToMs(index, deviceType) / 1000.0;
}

double DelayIndexToFeet(int index, int deviceType, int temperature) {
    return DelayIndexToMeters(index, deviceType, temperature) * 3.28;
}

namespace {

std::string DistanceText(double value, int index, int deviceType) {
    if (UsesCompactRules(deviceType)) {
        return FixedText(value, index > kCompactDelayKnee ? 1 : 3);
    }
    return FixedText(value, 4);
}

} // namespace

std::string DelayMetersText(int index, int deviceType, int temperature) {
    return DistanceText(DelayIndexToMeters(index, deviceType, temperature), index, deviceType);
}

std::string DelayFeetText(int index, int deviceType, int temperature) {
    return DistanceText(DelayIndexToFeet(index, deviceType, temperature), index, deviceType);
}

double MaxDelayMeters(int deviceType, int temperature) {
    return SpeedOfSoundInput(temperature, deviceType) / 1000.0 * MaxDelayMs(deviceType);
}

double MaxDelayFeet(int deviceType, int temperature) {
    return MaxDelayMeters(deviceType, temperature) * (UsesCompactRules(deviceType) ? 3.28 : 3.2808);
}

TypedIndex DelayFromMeters(double meters, int deviceType, int temperature) {
    return MetersToDelay(meters, MaxDelayMeters(deviceType, temperature), deviceType, temperature);
}

TypedIndex DelayFromFeet(double feet, int deviceType, int temperature) {
    TypedIndex result;
    const double maxFeet = MaxDelayFeet(deviceType, temperature);
    if (feet > maxFeet) {
        result.inRange = false;
        feet = maxFeet;
    } else if (!(feet >= 0.0)) {
        result.inRange = false;
        feet = 0.0;
    }
    const double ms = feet / 3.2808 * 1000.0 / SpeedOfSoundInput(temperature, deviceType);
    result.index = MsToDelayIndex(ms, deviceType);
    return result;
}

// ---- Noise gate ----

IndexRange GateThresholdRange(int deviceType) {
    return UsesCompactRules(deviceType) ? IndexRange{0, 60} : IndexRange{0, 130};
}

double GateThresholdToDbu(int index) {
    return index - 120.0;
}

std::string GateThresholdText(int index, bool gateOff) {
    return gateOff ? "Disable" : FixedText(GateThresholdToDbu(index), 1);
}

TypedIndex GateThresholdFromDbu(double dBu, int deviceType) {
    return LinearFromTyped(dBu, 1.0, 120.0, GateThresholdRange(deviceType));
}

// ---- Limiter threshold ----

double LimitThresholdToDbu(int index) {
    return (index - 300) / 10.0;
}

std::string LimitThresholdText(int index) {
    return FixedText(LimitThresholdToDbu(index), 1);
}

TypedIndex LimitThresholdFromDbu(double dBu) {
    return LinearFromTyped(dBu, 0.1, 30.0, LimitThresholdRange);
}

// ---- Attack and release ----

double AttackIndexToMs(int index) {
    return index <= 6 ? (index + 3) / 10.0 : index - 6.0;
}

std::string AttackText(int index) {
    return index <= 6 ? FixedText(AttackIndexToMs(index), 1) : IntegerText(index - 6);
}

TypedIndex AttackFromMs(double ms, int currentIndex) {
    TypedIndex result{currentIndex, true};
    const double maxMs = AttackRange.max - 6;
    if (!(ms >= 0.3)) {
        result.inRange = false;
        ms = 0.3;
    } else if (ms > maxMs) {
        result.inRange = false;
        ms = maxMs;
    }
    if (ms <= 0.9) {
        result.index = TruncToInt(std::round((ms - 0.3) / 0.1));
    } else if (ms >= 1.0) {
        result.index = TruncToInt(ms) + 6;
    }
    return result;
}

std::string ReleaseText(int index) {
    return FromList(index, {"2X", "4X", "6X", "8X", "16X", "32X"});
}

std::string ReleaseTimeText(int releaseIndex, int attackIndex) {
    static constexpr int kMultipliers[] = {2, 4, 6, 8, 16, 32};
    if (!ReleaseRange.Contains(releaseIndex) || !AttackRange.Contains(attackIndex)) {
        return {};
    }
    const int multiplier = kMultipliers[releaseIndex];
    const std::string time = attackIndex > 6
                                 ? IntegerText((attackIndex - 6) * multiplier)
                                 : FixedText(AttackIndexToMs(attackIndex) * multiplier, 1);
    return ReleaseText(releaseIndex) + " (" + time + "ms)";
}

// ---- Clip limit and ratio ----

double ClipLimitValue(int index) {
    return (index + 20) / 10.0;
}

std::string ClipLimitText(int index) {
    return FixedText(ClipLimitValue(index), 1);
}

TypedIndex ClipLimitFromTyped(double value) {
    return LinearFromTyped(value, 0.1, -2.0, ClipLimitRange);
}

std::string RatioText(int index) {
    return FromList(index, {"1:1", "1:2", "1:4", "1:8", "1:16", "1:32", "1:64", "1:maximum"});
}

std::string RatioListText(int index) {
    return FromList(index, {"1:1", "1:2", "1:4", "1:8", "1:16", "1:32", "1:64", "1:maxmum"});
}

// ---- Linear fields ----

TypedIndex LinearFromTyped(double value, double step, double offset, IndexRange range) {
    TypedIndex result;
    const double upper = range.max * step - offset;
    const double lower = range.min * step - offset;
    if (value > upper) {
        result.inRange = false;
        value = upper;
    } else if (!(value >= lower)) {
        result.inRange = false;
        value = lower;
    }
    result.index = range.Clamp(TruncTypedSteps((value + offset) * 10.0 / (step * 10.0)));
    return result;
}

std::string LinearText(int index, double step, double offset) {
    return FixedText(index * step - offset, 1);
}

// ---- Enumerations ----

std::string InputSourceText(int source) {
    return source != 0 ? "Digital" : "Analog";
}

std::string InputSourceDisplayText(int source) {
    return source == 0 || source == 1 ? InputSourceText(source) : std::string();
}

std::string OnText(int on) {
    return on != 0 ? "On" : "Mute";
}

std::string PolarityText(int polarity) {
    return polarity != 0 ? "-Invert" : "+Normal";
}

std::string SourceText(bool fed) {
    return fed ? "On" : "Off";
}

std::string EqTypeText(int type, int slope) {
    switch (type) {
    case 0:
        return "PEQ";
    case 1:
        return "Lo_Shf " + ShelfSlopeText(slope);
    case 2:
        return "Hi_Shf " + ShelfSlopeText(slope);
    default:
        return {};
    }
}

std::string EqTypeListText(int type) {
    return FromList(type, {"PEQ", "Lo -- Shf", "Hi -- Shf"});
}

std::string ShelfSlopeText(int slope) {
    return FromList(slope, {"6dB", "12dB"});
}

std::string ShelfSlopeListText(int slope) {
    return FromList(slope, {"6", "12"});
}

std::string CrossoverTypeText(int type) {
    return FromList(type, {"L_R", "Bessel", "BTWorth"});
}

std::string CrossoverTypeButtonText(int type) {
    return FromList(type, {"L__R", "Bessel", "BTWorth"});
}

std::string SlopeText(int slope) {
    return FromList(slope, {"12dB", "18dB", "24dB", "48dB"});
}

std::string SlopeEditText(int slope) {
    return FromList(slope, {"12", "18", "24", "48"});
}

std::string CompressorModeText(int mode) {
    return mode != 0 ? "Compressor" : "Limit";
}

std::string TimingText(int timing) {
    return timing != 0 ? "Auto" : "Manual";
}

std::string BacklightText(int backlight, int deviceType) {
    if (backlight == 0) {
        return "Keep On";
    }
    return UsesCompactRules(deviceType) ? "10s" : "25s";
}

// ---- Temperature ----

std::string TemperatureText(int celsius) {
    const int fahrenheit = TruncToInt(celsius * 1.8 + 32 + 0.5);
    return IntegerText(celsius) + "C(" + IntegerText(fahrenheit) + "F)";
}

std::string TemperatureListText(int celsius) {
    return IntegerText(celsius) + "C";
}
