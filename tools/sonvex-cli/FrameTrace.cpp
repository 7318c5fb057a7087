#include "FrameTrace.h"

#include "link/protocol/Frame.h"
#include "link/protocol/ProtocolCodes.h"

#include <cstdio>

namespace {

std::string CodeName(unsigned code) {
    switch (code) {
    case Protocol::WriteRequest:
        return "WriteRequest";
    case Protocol::ReadRequest:
        return "ReadRequest";
    case Protocol::Ack:
    case Protocol::AckAlt:
        return "Ack";
    case Protocol::DataReply:
        return "DataReply";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "code=0x%02X", code);
        return text;
    }
    }
}

std::string GroupName(unsigned group) {
    switch (group) {
    case Protocol::GroupInput:
        return "input";
    case Protocol::GroupOutput:
        return "output";
    case Protocol::GroupSystem:
        return "system";
    default:
        return std::to_string(group);
    }
}

} // namespace

namespace FrameTrace {

std::string DescribeHeader(const std::vector<std::uint8_t>& frame) {
    if (frame.size() < Protocol::HeaderSize) {
        return "short frame";
    }
    const unsigned group = frame[Protocol::OffsetGroup];
    const unsigned channel = frame[Protocol::OffsetChannel];
    const unsigned block = frame[Protocol::OffsetBlock];
    char target[32];
    if (group == Protocol::GroupSystem) {
        std::snprintf(target, sizeof target, "item=0x%02X", channel);
    } else {
        std::snprintf(target, sizeof target, "channel=%u", channel);
    }
    const std::string blockText =
        block == Protocol::ArchiveFlag ? "archive" : std::to_string(block);
    const bool valid = Protocol::ValidateFrame(frame.data(), frame.size());
    return CodeName(frame[Protocol::OffsetCode]) +
           " id=" + std::to_string(frame[Protocol::OffsetDeviceId]) +
           " prog=" + std::to_string(frame[Protocol::OffsetProgram]) +
           " group=" + GroupName(group) + " " + target + " block=" + blockText +
           " L=" + std::to_string(frame[Protocol::OffsetLength]) + (valid ? "" : " (invalid)");
}

std::string Line(const char* direction, const std::vector<std::uint8_t>& frame) {
    std::string line = direction;
    char pair[4];
    for (const std::uint8_t byte : frame) {
        std::snprintf(pair, sizeof pair, " %02X", byte);
        line += pair;
    }
    return line + " | " + DescribeHeader(frame);
}

} // namespace FrameTrace
