#include "core/protocol/FrameText.h"

#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"

#include <cstdio>

namespace Protocol {

namespace {

std::string GroupName(unsigned group) {
    switch (group) {
    case GroupInput:
        return "input";
    case GroupOutput:
        return "output";
    case GroupSystem:
        return "system";
    default:
        return std::to_string(group);
    }
}

} // namespace

std::string HexText(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::string HexText(const std::vector<std::uint8_t>& bytes) {
    return HexText(bytes.data(), bytes.size());
}

std::string CodeName(std::uint8_t code) {
    switch (code) {
    case WriteRequest:
        return "WriteRequest";
    case ReadRequest:
        return "ReadRequest";
    case Ack:
    case AckAlt:
        return "Ack";
    case DataReply:
        return "DataReply";
    default: {
        char text[16];
        std::snprintf(text, sizeof text, "code=0x%02X", code);
        return text;
    }
    }
}

std::string HeaderText(const std::vector<std::uint8_t>& frame, HeaderStyle style) {
    if (frame.size() < HeaderSize) {
        return "short frame";
    }
    const bool named = style == HeaderStyle::Named;
    const unsigned group = frame[OffsetGroup];
    const unsigned channel = frame[OffsetChannel];
    const unsigned block = frame[OffsetBlock];
    char target[32];
    if (group == GroupSystem) {
        std::snprintf(target, sizeof target, named ? "item=0x%02X" : "item=0x%X", channel);
    } else {
        std::snprintf(target, sizeof target, named ? "channel=%u" : "channel=%X", channel);
    }
    char blockText[16];
    if (block == ArchiveFlag && named) {
        std::snprintf(blockText, sizeof blockText, "archive");
    } else {
        std::snprintf(blockText, sizeof blockText, block == ArchiveFlag ? "0x%X" : "%u", block);
    }
    std::string text = CodeName(frame[OffsetCode]) +
                       " id=" + std::to_string(frame[OffsetDeviceId]) +
                       " prog=" + std::to_string(frame[OffsetProgram]) +
                       " group=" + (named ? GroupName(group) : std::to_string(group)) + " " +
                       target + " block=" + blockText + " L=" + std::to_string(frame[OffsetLength]);
    if (named && !ValidateFrame(frame.data(), frame.size())) {
        text += " (invalid)";
    }
    return text;
}

} // namespace Protocol
