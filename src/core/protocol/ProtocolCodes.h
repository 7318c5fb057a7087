#pragma once

#include <cstddef>
#include <cstdint>

// Vocabulary of the processors' serial protocol: frame framing bytes, command codes, groups,
// parameter block codes and system item codes. Every frame is
//   B1 code id program group channel/item block 0 L payload[L] checksum AA
// preceded on the line by three 0xFF bytes when the PC transmits it.
namespace Protocol {

// Framing.
constexpr std::uint8_t StartByte = 0xB1;
constexpr std::uint8_t EndByte = 0xAA;
constexpr std::uint8_t PreambleByte = 0xFF;
constexpr int PreambleCount = 3;
constexpr std::size_t HeaderSize = 9;     // start byte up to and including the length byte
constexpr std::size_t FrameOverhead = 11; // header, checksum and end byte around the payload
constexpr std::size_t MaxPayload = 255;   // the length field is one byte
constexpr int WriteTimeoutMs = 150;       // the preamble and frame of one record

// Byte offsets inside a frame.
constexpr std::size_t OffsetStart = 0;
constexpr std::size_t OffsetCode = 1;
constexpr std::size_t OffsetDeviceId = 2;
constexpr std::size_t OffsetProgram = 3;
constexpr std::size_t OffsetGroup = 4;
constexpr std::size_t OffsetChannel = 5; // channel index, or the system item in group 3
constexpr std::size_t OffsetBlock = 6;
constexpr std::size_t OffsetReserved = 7;
constexpr std::size_t OffsetLength = 8;
constexpr std::size_t OffsetPayload = 9;

// Command codes (offset 1).
constexpr std::uint8_t WriteRequest = 0xA1; // PC to device: set what the payload carries
constexpr std::uint8_t ReadRequest = 0xA2;  // PC to device: ask for data
constexpr std::uint8_t Ack = 0x51;          // device to PC: accepted, no data
constexpr std::uint8_t AckAlt = 0x52;       // device to PC: handled exactly like Ack
constexpr std::uint8_t DataReply = 0x53;    // device to PC: data

constexpr bool IsAck(std::uint8_t code) {
    return code == Ack || code == AckAlt;
}

// Groups (offset 4).
constexpr std::uint8_t GroupInput = 1;
constexpr std::uint8_t GroupOutput = 2;
constexpr std::uint8_t GroupSystem = 3;

// Block byte of a channel read request asking for the stored-program image.
constexpr std::uint8_t ArchiveFlag = 0x77;

// Parameter blocks of an input channel (offset 6, group 1). Blocks 0..7 with L = 8 are the EQ
// bands; block 0 with L = 96 is the whole channel.
constexpr std::uint8_t InputBlockWholeChannel = 0;
constexpr std::uint8_t InputBlockLevels = 8;
constexpr std::uint8_t InputBlockCrossover = 9;
constexpr std::uint8_t InputBlockGate = 10;
constexpr std::uint8_t InputBlockName = 11;

// Parameter blocks of an output channel (offset 6, group 2). Blocks 0..5 with L = 8 are the EQ
// bands; block 0 with L = 80 is the whole channel.
constexpr std::uint8_t OutputBlockWholeChannel = 0;
constexpr std::uint8_t OutputBlockLevels = 6;
constexpr std::uint8_t OutputBlockCrossover = 7;
constexpr std::uint8_t OutputBlockDynamics = 8;
constexpr std::uint8_t OutputBlockName = 9;

// System items (offset 5, group 3).
constexpr std::uint8_t ItemProgramName = 0x00;
constexpr std::uint8_t ItemInputSource = 0x01;
constexpr std::uint8_t ItemMeters = 0x02;
constexpr std::uint8_t ItemStatusByte = 0x04;
constexpr std::uint8_t ItemInterfaceText = 0x10; // info text lines 4..7
constexpr std::uint8_t ItemInfoText = 0x11;      // info text lines 0..3, only received
constexpr std::uint8_t ItemShortText = 0x12;     // info text line 8, only received
constexpr std::uint8_t ItemBacklight = 0x14;
constexpr std::uint8_t ItemDeviceId = 0x15; // identify (read) or change the device ID (write)
constexpr std::uint8_t ItemTemperature = 0x16;
constexpr std::uint8_t ItemIdentification = 0x19; // only received
constexpr std::uint8_t ItemDeviceNotice = 0x59;   // only received

// The system items the PC asks for. A reply carrying any other item comes on the device's own
// and answers no request.
constexpr bool IsRequestedItem(std::uint8_t item) {
    return item == ItemProgramName || item == ItemInputSource || item == ItemMeters ||
           item == ItemInterfaceText || item == ItemBacklight || item == ItemDeviceId ||
           item == ItemTemperature;
}

// Payload lengths of the frames the PC sends, and of the replies it decodes.
constexpr std::size_t InputChannelLength = 96;
constexpr std::size_t OutputChannelLength = 80;
constexpr std::size_t BlockLength = 8; // single-block writes and every 8-byte request
constexpr std::size_t ProgramNameLength = 15;
constexpr std::size_t InterfaceTextLength = 80;
constexpr std::size_t InfoTextLineWidth = 20;
constexpr std::size_t InfoTextLineCount = 4;
constexpr std::size_t ChannelNameLength = 8;
constexpr std::size_t DeviceIdLength = 2;
constexpr std::size_t SingleByteLength = 1;
constexpr std::size_t MeterCount = 12; // inputs 1..4, then outputs 1..8

// Device IDs on the line.
constexpr int MinDeviceId = 1;
constexpr int MaxDeviceId = 250;

// Program numbers: 0 is the live program, 1..30 the stored ones.
constexpr int LiveProgram = 0;
constexpr int FirstStoredProgram = 1;
constexpr int StoredProgramCount = 30;

} // namespace Protocol
