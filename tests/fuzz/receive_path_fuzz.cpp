// Receive path of the command engine: random line bytes and well-formed frames with random
// headers and payloads, read over a scripted line while random records wait in the queue and are
// transmitted, dropped or cleared, so that the assembly, the matching of replies to records and
// every decoder run. The listener acts like a panel: it closes the link on a failed type check
// and ends an ID search when told. Afterwards everything the device reported must be within the
// model's limits and survive what a panel does with it.

#include "FuzzCheck.h"
#include "core/ScriptedLine.h"
#include "core/files/ProgramFiles.h"
#include "core/protocol/Command.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProgramEncoder.h"

#include <memory>

namespace {

constexpr const char* kPort = "/dev/fuzz";

class PanelLikeListener : public ICommandListener {
public:
    explicit PanelLikeListener(Command& engine) : m_engine(engine) {}

    void OnEngineMessage(EngineMessage message, int wParam) override {
        if (message == EngineMessage::WM_DEVICE_TYPE_CHECKED && wParam == 0) {
            m_engine.Clear();
            m_engine.ClosePort();
            cleared = true;
        } else if (message == EngineMessage::WM_ID_SEARCH_END) {
            m_engine.Clear();
            m_engine.SetSearchWindow(nullptr);
            cleared = true;
        }
    }
    void ShowMessageBox(const std::string& text) override { FUZZ_CHECK(!text.empty()); }

    bool cleared = false; // the queue was cleared from a notification

private:
    Command& m_engine;
};

// One of the records the panels, dialogs and transfers queue.
void EnqueueRecord(fuzz::InputReader& input, Command& engine, CAudio_Data& program) {
    const ProgramEncoder encoder(program);
    const int slot = input.Byte() % 32;
    const int channel = input.Byte() % 9;
    switch (input.Byte() % 12) {
    case 0:
        engine.Enqueue(encoder.ReadChannel(slot, Protocol::GroupInput, channel % 4,
                                           input.Byte() % 2 ? Protocol::ArchiveFlag : 0));
        break;
    case 1:
        engine.Enqueue(encoder.ReadChannel(slot, Protocol::GroupOutput, channel % 8,
                                           input.Byte() % 2 ? Protocol::ArchiveFlag : 0));
        break;
    case 2:
        engine.Enqueue(encoder.ReadSystemItem(input.Byte(), slot));
        break;
    case 3:
        engine.Enqueue(encoder.ReadMeters());
        break;
    case 4: {
        const int id = input.Byte();
        auto probe = encoder.IdentifyDevice(id);
        probe->SetProbeId(id);
        engine.Enqueue(std::move(probe));
        break;
    }
    case 5: {
        auto check = encoder.IdentifyDevice(program.GetDeviceId());
        check->SetIdentityCheck(true);
        engine.Enqueue(std::move(check));
        break;
    }
    case 6:
        engine.Enqueue(encoder.WriteBacklight());
        break;
    case 7:
        engine.Enqueue(encoder.WriteOutputChannel(slot % 31, channel % 8));
        break;
    case 8:
        engine.Enqueue(TransferSequences::UploadProgram(program, slot % 31));
        break;
    case 9:
        engine.Enqueue(TransferSequences::UploadStoredProgram(program, 1 + slot % 30));
        break;
    case 10:
        engine.SetSearchWindow(engine.GetOwner());
        engine.Enqueue(TransferSequences::IdSearch(program));
        break;
    default:
        engine.Enqueue(TransferSequences::ConnectReadBack(program));
        break;
    }
}

// A frame with a good checksum: either random header and payload, or the header of the record at
// the head of the queue turned into a data reply, so that matching replies come often.
std::vector<std::uint8_t> ValidFrame(fuzz::InputReader& input, const Command& engine) {
    Protocol::FrameHeader header;
    const std::uint8_t shape = input.Byte();
    if (shape % 2 == 0 && engine.Count() > 0) {
        const auto& asked = engine.Head().GetData();
        header.code = Protocol::DataReply;
        header.deviceId = asked[Protocol::OffsetDeviceId];
        header.program = asked[Protocol::OffsetProgram];
        header.group = asked[Protocol::OffsetGroup];
        header.channel = asked[Protocol::OffsetChannel];
        header.block = asked[Protocol::OffsetBlock];
    } else {
        static constexpr std::uint8_t kCodes[] = {Protocol::Ack, Protocol::AckAlt,
                                                  Protocol::DataReply};
        header.code = shape % 8 < 3 ? kCodes[shape % 8 % 3] : input.Byte();
        header.deviceId = input.Byte();
        header.program = input.Byte();
        header.group = input.Byte() % 5;
        header.channel = input.Byte();
        header.block = input.Byte();
    }
    // Often exactly the length a decoder expects, otherwise any.
    static constexpr std::size_t kLengths[] = {
        Protocol::InputChannelLength, Protocol::OutputChannelLength, 1, 2, 12, 14, 80};
    const std::uint8_t lengthChoice = input.Byte();
    const std::size_t length = lengthChoice < 7 * 16 ? kLengths[lengthChoice % 7] : input.Byte();
    const std::string payload = input.Bytes(length);
    std::vector<std::uint8_t> bytes(payload.begin(), payload.end());
    bytes.resize(length, 0);
    return Protocol::BuildFrame(header, bytes);
}

// Serves bytes in pieces of a chosen size and lets the engine read them. No reply takes a
// record that has not been transmitted: an unsent head stays unless a listener cleared the queue.
void Deliver(fuzz::InputReader& input, ScriptedLine& line, Command& engine,
             PanelLikeListener& listener, const std::vector<std::uint8_t>& bytes) {
    const SendData* unsent = engine.IsHeadPending() ? &engine.Head() : nullptr;
    listener.cleared = false;
    const std::size_t piece = 1 + input.Byte() % 160;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::size_t end = std::min(bytes.size(), at + piece);
        line.Serve(ScriptedLine::Bytes(bytes.begin() + static_cast<long>(at),
                                       bytes.begin() + static_cast<long>(end)));
    }
    for (int reads = 0; line.HasPendingReads() && reads < 64; ++reads) {
        engine.OnSerialData();
        if (!engine.IsOpen()) {
            break;
        }
    }
    if (unsent != nullptr && !listener.cleared) {
        FUZZ_CHECK(engine.Count() > 0 && &engine.Head() == unsent && engine.IsHeadPending());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int deviceType = fuzz::DeviceTypeOf(input.Byte());
    auto line = std::make_unique<ScriptedLine>();
    ScriptedLine& lineRef = *line;
    Command engine(std::move(line));
    PanelLikeListener listener(engine);
    engine.SetDeviceType(deviceType);
    engine.SetOutputCount(1 + input.Byte() % 8);
    CAudio_Data program;
    program.SetDeviceType(deviceType);
    program.SetDeviceId(1 + input.Byte() % 250);
    engine.OpenPort(kPort, &listener);

    for (int step = 0; step < 400 && !input.AtEnd(); ++step) {
        switch (input.Byte() % 8) {
        case 0: {
            const std::string raw = input.Bytes(input.Byte());
            Deliver(input, lineRef, engine, listener,
                    std::vector<std::uint8_t>(raw.begin(), raw.end()));
            break;
        }
        case 1:
        case 2: {
            std::vector<std::uint8_t> bytes(1 + input.Byte() % 3, Protocol::PreambleByte);
            const auto frame = ValidFrame(input, engine);
            bytes.insert(bytes.end(), frame.begin(), frame.end());
            Deliver(input, lineRef, engine, listener, bytes);
            break;
        }
        case 3:
            EnqueueRecord(input, engine, program);
            break;
        case 4:
            engine.TransmitHead();
            engine.WaitOnHead();
            break;
        case 5:
            if (input.Byte() % 4 == 0) {
                engine.Clear();
            } else {
                engine.RemoveHead();
            }
            break;
        case 6:
            if (engine.IsOpen()) {
                engine.ClosePort();
            } else {
                engine.OpenPort(kPort, &listener);
            }
            break;
        default:
            engine.SetSearchWindow(input.Byte() % 2 ? &listener : nullptr);
            break;
        }
        FUZZ_CHECK(engine.GetAssembler().GetReceivedCount() <= FrameAssembler::kBufferSize);
    }

    for (int meter = 0; meter < DeviceImages::kMeterCount; ++meter) {
        FUZZ_CHECK(engine.GetMeterValue(meter) >= 0 && engine.GetMeterValue(meter) <= 25);
    }
    for (int name = 0; name < DeviceImages::kProgramNameCount; ++name) {
        FUZZ_CHECK(engine.GetProgramName(name).size() <= 8);
    }
    FUZZ_CHECK(engine.GetIdentificationText().size() <= 9);
    fuzz::UseProgram(engine.GetDeviceImage(), deviceType, fuzz::SlowChecksFor(data, size));
    auto stored = ProgramFromImage(engine.GetArchiveRecord(), deviceType);
    fuzz::UseProgram(*stored, deviceType, fuzz::SlowChecksFor(data, size));
    return 0;
}
