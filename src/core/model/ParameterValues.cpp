#include "core/model/ParameterValues.h"

#include "core/model/Variant.h"

#include "core/model/NumberText.h"
#include "core/model/TypedValues.h"
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
    result.inRange = KeepTypedWithin(octaves, MinBandwidth, MaxBandwidth);
    const double stepsPerOctave = UsesCompactRules(deviceType) ? 50.0 : 10.0;
    result.index = BandwidthRange(deviceType)
                       .Clamp(TruncToInt((octaves - 0.05) * 1000.0 / stepsPerOctave + 0.5));
    return result;
}

TypedIndex QFromTyped(double q, int deviceType) {
    TypedIndex result;
    result.inRange = KeepTypedWithin(q, MinQ, MaxQ);
    result.index = UsesCompactRules(deviceType) ? QToCoarseIndex(q) : QToFineIndex(q);
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
    result.inRange = KeepTypedWithin(ms, 0.3, maxMs);
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
    result.inRange = KeepTypedWithin(value, lower, upper);
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
