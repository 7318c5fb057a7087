#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Frames as text for logs and traces: the bytes in hex and the decoded header.
namespace Protocol {

// "B1 A2 01": two upper-case hex digits a byte, one space between bytes; "" for no bytes.
std::string HexText(const std::uint8_t* bytes, std::size_t count);
std::string HexText(const std::vector<std::uint8_t>& bytes);

// "WriteRequest", "ReadRequest", "Ack" (either Ack code), "DataReply", or "code=0x5F".
std::string CodeName(std::uint8_t code);

// How HeaderText shows the fields.
enum class HeaderStyle {
    // The numbers as on the line, item and channel in hex, the archive block as 0x77:
    // "ReadRequest id=1 prog=0 group=3 item=0x14 block=0 L=8".
    Raw,
    // Groups by name, channels in decimal, the archive block as "archive", and " (invalid)"
    // after a frame that fails ValidateFrame:
    // "ReadRequest id=1 prog=0 group=system item=0x14 block=0 L=8".
    Named,
};

// The header of a frame, valid or not; "short frame" when it has fewer than HeaderSize bytes.
std::string HeaderText(const std::vector<std::uint8_t>& frame, HeaderStyle style);

} // namespace Protocol
