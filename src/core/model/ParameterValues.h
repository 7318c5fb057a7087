#pragma once

#include <algorithm>
#include <string>

// Every parameter is held as the integer index the device uses. These functions give,
// per device type, the index ranges, the physical value of an index, the texts shown to
// the operator, and the index of a typed physical value.
//
// Device types: 1 = 4 in / 8 out, 2 = 3 in / 6 out, 3 = 2 in / 4 out. Types 2 and 3 always
// share one rule; any other code is treated like type 1.
//
// Conversions from typed values return a TypedIndex: the index of the value after it has
// been clamped to the accepted range, and whether it was inside that range (callers show
// "Out of Range" when it was not).

struct IndexRange {
    int min = 0;
    int max = 0;
    constexpr bool Contains(int index) const { return index >= min && index <= max; }
    constexpr int Clamp(int index) const { return std::clamp(index, min, max); }
};

struct TypedIndex {
    int index = 0;
    bool inRange = true;
};

// True for device types 2 and 3, which share the coarser encodings.
bool UsesCompactRules(int deviceType);

// ---- Frequencies (EQ bands and crossover filters), whole Hz ----
constexpr int MinFrequency = 10;
constexpr int MaxFrequency = 30000;
constexpr IndexRange FrequencyRange{MinFrequency, MaxFrequency};
std::string FrequencyText(int hz);
// Typed frequency: clamped to minimum..30000 (minimum defaults to 10 Hz).
TypedIndex FrequencyFromTyped(int hz, int minimum = MinFrequency);
// A low shelf band (EQ band type 1) stops at 20000 Hz; every way of setting its frequency
// limits it there.
constexpr int MaxLowShelfFrequency = 20000;
// The frequency an EQ band of type keeps for hz: hz, or 20000 for a low shelf above that.
int LimitEqBandFrequency(int type, int hz);

// ---- Channel gain (input and output level), 0.1 dB steps ----
IndexRange InputGainRange(int deviceType);  // 0..460 / 0..560
IndexRange OutputGainRange(int deviceType); // 0..550 / 0..560
int ZeroDbGainIndex(int deviceType);        // 400 / 360
double ChannelGainToDb(int index, int deviceType);
std::string ChannelGainText(int index, int deviceType); // "%0.1f"
TypedIndex InputGainFromDb(double dB, int deviceType);
TypedIndex OutputGainFromDb(double dB, int deviceType);

// ---- EQ band gain, 0.1 dB steps from -30 dB ----
constexpr IndexRange EqGainRange{0, 450};
constexpr int EqGainZeroIndex = 300;
constexpr double MinEqGainDb = -30.0;
constexpr double MaxEqGainDb = 15.0;
double EqGainIndexToDb(int index);
int EqGainDbToIndex(double dB);               // nearest step
std::string EqGainText(double dB, bool flat); // "0.0" when flat, else "%0.1f"
TypedIndex EqGainFromTyped(double dB);

// ---- EQ bandwidth (octaves) and Q ----
constexpr double MinBandwidth = 0.05;
constexpr double MaxBandwidth = 3.0;
constexpr double MinQ = 0.404;
constexpr double MaxQ = 28.852;
IndexRange BandwidthRange(int deviceType); // 0..295 / 0..59
double BandwidthIndexToOctaves(int index, int deviceType);
// Nearest step of the device type, clamped to its range.
int BandwidthOctavesToIndex(double octaves, int deviceType);
// Q of a bandwidth index (index clamped to the table of the device type).
double BandwidthIndexToQ(int index, int deviceType);
std::string BandwidthText(double octaves); // "%0.2f"
std::string QText(double q);               // "%0.3f"
// Typed octaves, accepted 0.05..3.00.
TypedIndex BandwidthFromTyped(double octaves, int deviceType);
// Typed Q, accepted 0.404..28.852.
TypedIndex QFromTyped(double q, int deviceType);

// ---- Delay ----
IndexRange DelayRange(int deviceType); // 0..52473 / 0..1465
double MaxDelayMs(int deviceType);     // 1000.0034 / 999
double DelayIndexToMs(int index, int deviceType);
std::string DelayText(int index, int deviceType);     // channel text, with "ms"
std::string DelayEditText(int index, int deviceType); // edit field, no unit
// Typed milliseconds; type 1 takes 1000.0 as 1000.0034.
TypedIndex DelayFromMs(double ms, int deviceType);

// ---- Delay as distance; T is the program temperature in degrees C ----
double SpeedOfSoundDisplay(int temperature);               // 331 + 0.6 T
double SpeedOfSoundInput(int temperature, int deviceType); // 331.4 + 0.6 T / 331 + 0.6 T
double DelayIndexToMeters(int index, int deviceType, int temperature);
double DelayIndexToFeet(int index, int deviceType, int temperature);
std::string DelayMetersText(int index, int deviceType, int temperature);
std::string DelayFeetText(int index, int deviceType, int temperature);
double MaxDelayMeters(int deviceType, int temperature);
double MaxDelayFeet(int deviceType, int temperature);
TypedIndex DelayFromMeters(double meters, int deviceType, int temperature);
TypedIndex DelayFromFeet(double feet, int deviceType, int temperature);

// ---- Noise gate threshold (inputs), dBu = index - 120 ----
IndexRange GateThresholdRange(int deviceType); // 0..130 / 0..60
constexpr int DefaultGateThreshold = 60;
double GateThresholdToDbu(int index);
std::string GateThresholdText(int index, bool gateOff); // "Disable" or "%0.1f"
TypedIndex GateThresholdFromDbu(double dBu, int deviceType);

// ---- Limiter threshold (outputs), dBu = index * 0.1 - 30 ----
constexpr IndexRange LimitThresholdRange{0, 500};
constexpr int DefaultLimitThreshold = 400;
double LimitThresholdToDbu(int index);
std::string LimitThresholdText(int index); // "%0.1f"
TypedIndex LimitThresholdFromDbu(double dBu);

// ---- Attack (outputs) ----
constexpr IndexRange AttackRange{0, 106};
double AttackIndexToMs(int index);
std::string AttackText(int index); // "%0.1f" for 0..6, "%d" above
// Typed ms, accepted 0.3..100; a value between 0.9 and 1 keeps currentIndex.
TypedIndex AttackFromMs(double ms, int currentIndex);

// ---- Release (outputs), a multiple of the attack time ----
constexpr IndexRange ReleaseRange{0, 5};
std::string ReleaseText(int index); // "2X" .. "32X", empty outside the range
// The release with the time it gives at an attack: "4X (64ms)" for release 1 at attack index
// 22 (16 ms); below 1 ms the time has one decimal ("2X (0.6ms)"). Empty outside the ranges.
std::string ReleaseTimeText(int releaseIndex, int attackIndex);

// ---- Clip limit (outputs), value = index * 0.1 + 2 ----
constexpr IndexRange ClipLimitRange{0, 100};
constexpr int DefaultClipLimit = 20;
double ClipLimitValue(int index);
std::string ClipLimitText(int index); // "%0.1f"
TypedIndex ClipLimitFromTyped(double value);

// ---- Ratio (outputs) ----
constexpr IndexRange RatioRange{0, 7};
std::string RatioText(int index); // "1:1" .. "1:maximum", empty outside the range
// The entries of the ratio list: as RatioText but "1:maxmum" for the last.
std::string RatioListText(int index);

// ---- Linear fields (gains, thresholds, clip limit) as the numeric edit converts them:
// shown value = index * step - offset. ----
TypedIndex LinearFromTyped(double value, double step, double offset, IndexRange range);
std::string LinearText(int index, double step, double offset); // "%0.1f"

// ---- Enumerations ----
constexpr IndexRange EqTypeRange{0, 2};         // peaking, low shelf, high shelf
constexpr IndexRange ShelfSlopeRange{0, 1};     // 6 dB, 12 dB
constexpr IndexRange CrossoverTypeRange{0, 2};  // "L_R", "Bessel", "BTWorth"
constexpr IndexRange CrossoverSlopeRange{0, 3}; // 12, 18, 24, 48 dB per octave
std::string InputSourceText(int source);        // 0 "Analog", otherwise "Digital"
std::string InputSourceDisplayText(int source); // 0 "Analog", 1 "Digital", otherwise empty
std::string OnText(int on);                     // 1 "On", 0 "Mute"
std::string PolarityText(int polarity);         // 0 "+Normal", 1 "-Invert"
std::string SourceText(bool fed);               // "On" / "Off"
std::string EqTypeText(int type, int slope);    // "PEQ", "Lo_Shf 12dB", ...; empty for others
std::string EqTypeListText(int type);           // "PEQ", "Lo -- Shf", "Hi -- Shf"
std::string ShelfSlopeText(int slope);          // "6dB", "12dB"
std::string ShelfSlopeListText(int slope);      // "6", "12"
std::string CrossoverTypeText(int type);        // "L_R", "Bessel", "BTWorth"
std::string CrossoverTypeButtonText(int type);  // "L__R", "Bessel", "BTWorth"
std::string SlopeText(int slope);               // "12dB", "18dB", "24dB", "48dB"
std::string SlopeEditText(int slope);           // "12", "18", "24", "48"
std::string CompressorModeText(int mode);       // 0 "Limit", 1 "Compressor"
std::string TimingText(int timing);             // 0 "Manual", 1 "Auto"
std::string BacklightText(int backlight, int deviceType); // "Keep On", "25s" / "10s"
constexpr IndexRange BacklightRange{0, 1};                // "Keep On", then the timed mode

// ---- Temperature, 0..50 degrees C ----
constexpr IndexRange TemperatureRange{0, 50};
constexpr int DefaultTemperature = 25;
std::string TemperatureText(int celsius);     // "25C(77F)"
std::string TemperatureListText(int celsius); // "25C"
