#pragma once

#include <cstdint>
#include <string>

class CAudio_InData;
class CAudio_OutData;
class CFilter;

// What a program may look like after an operator's edit, whoever makes it: the channel editors,
// a drag on the response graph or "sonvex-cli set". The editors bound or refuse an edit that
// would break a rule (ChannelEdits); the command-line tool refuses it and names the rule.
//
// Loaders, decoders and the file formats keep whatever in-range state a file or a device holds:
// these rules apply to edits only.
enum class EditRule {
    LowShelfFrequency, // a low shelf stops at 20000 Hz
    CrossoverOrder,    // the high-pass never lies above the low-pass
    OutputSource,      // an output of a 3x6 or 2x4 model keeps at least one input
    LimiterTiming,     // automatic timing is the compressor's only
    FlatBandOn,        // a band at 0.0 dB stays switched off
    GateSwitch,        // only the 4-in/8-out model switches its noise gates off
};

// One line naming the rule, as the command-line tool reports it ("Low shelf above 20000 Hz").
std::string EditRuleText(EditRule rule);

namespace EditRules {

// ---- The answers the edits take ----

// The frequency an EQ band of type keeps for hz: hz, or 20000 for a low shelf above that.
int BandFrequency(int type, int hz);
// The crossover frequencies the pair keeps: the high-pass at most the low-pass, the low-pass
// at least the high-pass.
int HighPassFrequency(int hz, int lowPassHz);
int LowPassFrequency(int hz, int highPassHz);
// Whether an output of deviceType may be fed by mask (every mask on the 4-in/8-out model).
bool SourceMaskAllowed(std::uint8_t mask, int deviceType);
// Whether timing (0 manual, 1 automatic) may go with mode (0 limiter, 1 compressor).
bool TimingAllowed(int mode, int timing);
// Whether a band at gainIndex may be switched on: not at 0.0 dB.
bool BandCanBeOn(int gainIndex);
// Whether the model of deviceType has the noise gate's on/off switch.
bool HasGateSwitch(int deviceType);

// ---- Whether a part of a program keeps a rule ----

bool KeepsLowShelfFrequency(const CFilter& band);
bool KeepsFlatBandOff(const CFilter& band);
// The pair of an output (or of any channel): the high-pass not above the low-pass.
bool KeepsCrossoverOrder(const CFilter& highPass, const CFilter& lowPass);
bool KeepsOutputSource(const CAudio_OutData& output);
bool KeepsLimiterTiming(const CAudio_OutData& output);
bool KeepsGateSwitch(const CAudio_InData& input);

} // namespace EditRules
