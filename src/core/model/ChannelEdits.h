#pragma once

#include "core/plot/Geometry.h"

#include <cstdint>

class CAudio_InData;
class CAudio_OutData;
class CFilter;

// The operator's edits that a rule of EditRules governs, as the channel editors and the response
// graph make them: each stores what the rule lets through, silently bounded or refused as the
// editors do, and says what it stored so that the editor can show it. Every other parameter is
// set with the record's own setter.
namespace ChannelEdits {

// ---- EQ bands ----

// A new band type; a band becoming a low shelf is brought down to 20000 Hz first. Returns the
// band's frequency afterwards.
int SetBandType(CFilter& band, int type);
// Stores hz, a low shelf at most 20000 Hz; returns the frequency stored.
int SetBandFrequency(CFilter& band, int hz);
// 0.0 dB switches the band off, any other gain on.
void SetBandGain(CFilter& band, int gainIndex);
// Switches the band on or off; a band at 0.0 dB cannot be switched on (false, nothing changes).
bool SwitchBand(CFilter& band, bool on);

// ---- Crossover of an output ----

// The high-pass at hz, at most at the low-pass; returns the frequency stored. With automatic
// timing a high-pass that moves the attack also marks the dynamics changed.
int SetHighPassFrequency(CAudio_OutData& output, int hz);
// The low-pass at hz, at least at the high-pass; returns the frequency stored.
int SetLowPassFrequency(CAudio_OutData& output, int hz);
// A drag of the output's high-pass or low-pass handle on the graph to point (grabbed at
// grabOffset from its centre, see CFilter::BeginDrag), bounded by the other filter of the pair;
// true when the frequency changed.
bool DragCrossover(CAudio_OutData& output, CFilter& section, CPoint point, CPoint grabOffset);
// With automatic timing the device's attack follows the high-pass: when the high-pass has moved
// away from previousHighPassClass (GetHighPassClass before the change) the dynamics record must
// go out again.
void FollowHighPass(CAudio_OutData& output, int previousHighPassClass);

// ---- Sources of an output ----

// The inputs that feed the output; refused (false, nothing changes) when a 3x6 or 2x4 output
// would be left without any.
bool SetSourceMask(CAudio_OutData& output, std::uint8_t mask);

// ---- Dynamics of an output ----

// Limiter (0) or compressor (1). A limiter has no automatic timing: choosing it turns the timing
// to manual, and so does leaving a limiter that a file or a device left with automatic timing
// (the editor shows such a limiter as manual).
void SetCompressorMode(CAudio_OutData& output, int mode);
// Manual (0) or automatic (1) timing; automatic is refused for a limiter (false, nothing
// changes).
bool SetAutoTiming(CAudio_OutData& output, int timing);
// The limiter's or the manual compressor's own attack and release. A limiter that still carries
// automatic timing from a file or a device turns to manual, as its editor shows it, so that the
// values take effect.
void SetAttack(CAudio_OutData& output, std::uint8_t attack);
void SetRelease(CAudio_OutData& output, std::uint8_t release);

// ---- Noise gate of an input ----

// Gate off (1) or on (0); switching it off is refused where the model has no gate switch.
bool SetGateOff(CAudio_InData& input, std::uint8_t off);

} // namespace ChannelEdits
