#include "FrameTrace.h"

#include "core/protocol/FrameText.h"

namespace FrameTrace {

std::string Line(const char* direction, const std::vector<std::uint8_t>& frame) {
    std::string line = direction;
    if (!frame.empty()) {
        line += " " + Protocol::HexText(frame);
    }
    return line + " | " + Protocol::HeaderText(frame, Protocol::HeaderStyle::Named);
}

} // namespace FrameTrace
