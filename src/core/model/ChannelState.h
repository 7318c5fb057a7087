#pragma once

#include "core/model/InData.h"
#include "core/model/OutData.h"

#include <cstdint>
#include <memory>

// A channel's state kept aside and put back: what differs between two states of a channel, a
// copy of a channel's values, and the return of a channel to a kept state so that the device
// gets it again. The undo history of the panel is built from these.

// What differs between two states of one channel, by the record groups it is sent in: the name,
// the levels (on, polarity, gain, delay, the output's sources, the input's auxiliary flag), the
// input's noise gate, the output's dynamics, each filter section, and the enabled flag that the
// device never sees.
struct ChannelDifference {
    bool name = false;
    bool on = false;
    bool polarity = false;
    bool gain = false;
    bool delay = false;
    bool sources = false;
    bool auxFlag = false;
    bool gate = false;
    bool dynamics = false;
    bool enabled = false;
    std::uint32_t sections = 0; // bit i: filter section i

    bool Levels() const { return on || polarity || gain || delay || sources || auxFlag; }
    bool Section(int index) const { return ((sections >> index) & 1U) != 0; }
    bool Any() const { return name || Levels() || gate || dynamics || enabled || sections != 0; }
};

namespace ChannelState {

ChannelDifference Compare(const CAudio_InData& first, const CAudio_InData& second);
ChannelDifference Compare(const CAudio_OutData& first, const CAudio_OutData& second);

// A copy of the channel's values (parameters, enabled flag, device type), nothing marked.
std::unique_ptr<CAudio_InData> Copy(const CAudio_InData& channel);
std::unique_ptr<CAudio_OutData> Copy(const CAudio_OutData& channel);

// Puts state's values into channel and marks changed every group in which they differ, as an
// edit of those values would: the device gets them at the next ticks. A crossover section keeps
// the frequency last sent, so it walks to the restored one an octave at a time, and with
// automatic timing a moved high-pass sends the dynamics again. Groups already marked stay
// marked. The curve follows.
void Restore(CAudio_InData& channel, const CAudio_InData& state);
void Restore(CAudio_OutData& channel, const CAudio_OutData& state);

} // namespace ChannelState
