#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One line of the -v trace: direction, the frame in hex and its decoded header, e.g.
// "> B1 A2 01 00 03 14 00 00 08 ... | ReadRequest id=1 prog=0 group=system item=0x14 block=0 L=8".
namespace FrameTrace {

std::string Line(const char* direction, const std::vector<std::uint8_t>& frame);

} // namespace FrameTrace
