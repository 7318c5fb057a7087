// The simulator's receive side: random line bytes in random pieces, with gaps that expire what is
// being collected, into the frame reader and into a simulated device. Every frame handed out
// starts with the start byte and is exactly as long as it declares, marked valid exactly when it
// passes the frame check; every answer the device gives is a valid frame after its preamble.

#include "FuzzCheck.h"
#include "core/protocol/Frame.h"
#include "sim/SimDevice.h"
#include "sim/SimFrameReader.h"

#include <algorithm>

namespace {

void CheckFrames(const std::vector<SimFrameReader::Frame>& frames) {
    for (const SimFrameReader::Frame& frame : frames) {
        FUZZ_CHECK(frame.bytes.size() >= Protocol::FrameOverhead);
        FUZZ_CHECK(frame.bytes[Protocol::OffsetStart] == Protocol::StartByte);
        FUZZ_CHECK(frame.bytes.size() ==
                   frame.bytes[Protocol::OffsetLength] + Protocol::FrameOverhead);
        FUZZ_CHECK(frame.valid == Protocol::ValidateFrame(frame.bytes.data(), frame.bytes.size()));
    }
}

void CheckAnswer(const std::vector<std::uint8_t>& answer) {
    std::size_t at = 0;
    while (at < answer.size()) {
        while (at < answer.size() && answer[at] == Protocol::PreambleByte) {
            ++at;
        }
        FUZZ_CHECK(at + Protocol::FrameOverhead <= answer.size());
        const std::size_t length = answer[at + Protocol::OffsetLength] + Protocol::FrameOverhead;
        FUZZ_CHECK(at + length <= answer.size());
        FUZZ_CHECK(Protocol::ParseFrame(answer.data() + at, length).has_value());
        at += length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int id = 1 + input.Byte() % 3;
    SimDevice device(id, fuzz::DeviceTypeOf(input.Byte()));
    device.SetSendIdentification(input.Byte() % 2 == 1);
    SimFrameReader reader;
    while (!input.AtEnd()) {
        const std::uint8_t control = input.Byte();
        if (control == 0) {
            CheckFrames(reader.Expire());
            continue;
        }
        const std::string piece = input.Bytes(control);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(piece.data());
        CheckFrames(reader.Feed(bytes, piece.size()));
        CheckAnswer(device.Feed(bytes, piece.size()));
    }
    CheckFrames(reader.Expire());
    // What the device was made to hold survives a save and load of its state.
    if (!fuzz::SlowChecksFor(data, size)) {
        return 0;
    }
    const std::string state = device.SaveState();
    SimDevice restored(id, device.GetType());
    FUZZ_CHECK(restored.LoadState(state));
    FUZZ_CHECK(restored.SaveState() == state);
    return 0;
}
