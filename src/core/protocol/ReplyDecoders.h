#pragma once

#include "core/protocol/CommandListener.h"
#include "core/protocol/DeviceText.h"
#include "core/protocol/Frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CAudio_Data;
class SendData;
struct DeviceImages;
struct ProgramImage;

// Turn the payload of a checked data reply into model values. Every number is limited to the
// range the model accepts, so a device reporting nonsense cannot push the model out of range.
// Device-type rules follow the engine's device type (types 2 and 3 share one rule).

enum class ChannelReply {
    Decoded,       // values stored
    WrongLength,   // payload not 96 (inputs) or 80 (outputs) bytes: nothing stored
    NoSuchChannel, // channel index outside the program: nothing stored
};

// What a decoded reply asks the engine to pass on once it is done with the frame: a message
// (WM_ID_SEARCH_END to the search window, all else to the owner), a device found by an ID
// search (to the owner, which keeps the found IDs), or both.
struct EngineNotice {
    std::optional<EngineMessage> message;
    int wParam = 0;
    bool toSearchWindow = false;
    int foundId = 0; // ID 1..250 of a device of the engine's type that answered a probe; 0 none
    // ID 1..250 and reported device type of any device that answered a probe, whatever its
    // type; 0 none
    int answeredId = 0;
    int answeredType = 0;
};

// Input channel (group 1) into the device image through the channel's setters.
ChannelReply DecodeInputChannel(const Protocol::FrameView& reply, int deviceType,
                                CAudio_Data& program);
// Input channel marked with ArchiveFlag into the input record of the archive image.
ChannelReply DecodeArchiveInputChannel(const Protocol::FrameView& reply, int deviceType,
                                       ProgramImage& archive);
// Output channel (group 2) into the device image.
ChannelReply DecodeOutputChannel(const Protocol::FrameView& reply, int deviceType,
                                 CAudio_Data& program);
// Output channel marked with ArchiveFlag into the archive image.
ChannelReply DecodeArchiveOutputChannel(const Protocol::FrameView& reply, int deviceType,
                                        ProgramImage& archive);

// System item (group 3, item at frame offset 5) into the device-side images. head is the record
// the reply answers, or nullptr when it answers none (consulted by the identity answer only).
std::optional<EngineNotice> DecodeSystemItem(const Protocol::FrameView& reply, int deviceType,
                                             const SendData* head, DeviceImages& images);

// Whether a data reply answers the record that asked for it. A reply tells what it carries:
// an identity answer (item 0x15) answers the identify request for the ID in its payload; every
// other data reply answers the read request for its program, group, channel or item and block.
// A reply that answers another record, or none (a late one, or a repeated one), is stale.
bool DataReplyAnswers(const Protocol::FrameView& reply, const SendData& request);

// Identity answer (item 0x15, payload: device ID, device type). Answering the link check (head is
// the record marked identityCheck) it yields WM_DEVICE_TYPE_CHECKED; otherwise it belongs to an
// ID search: a device of the engine's type is reported as found (foundId), and device 250 ends
// the search whatever its type. An answer that answers no record counts as a search answer.
std::optional<EngineNotice> DecodeIdentity(const Protocol::FrameView& reply, int deviceType,
                                           const SendData* head);
