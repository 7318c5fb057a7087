#include "core/protocol/Command.h"

#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/ReplyDecoders.h"

#include <algorithm>
#include <array>
#include <optional>

Command::Command(std::unique_ptr<ISerialLine> line) : m_line(std::move(line)) {}

Command::~Command() {
    ClosePort();
}

bool Command::IsOpen() const {
    return m_line != nullptr && m_line->IsOpen();
}

bool Command::OpenPort(const std::string& portName, ICommandListener* owner) {
    if (IsOpen()) {
        m_line->Close();
    }
    if (m_line == nullptr || m_line->Open(portName) != LineStatus::Success) {
        if (owner != nullptr) {
            // The usual text stays the first line; what the line knows of the cause follows.
            std::string text = EngineText::PortOpenFailed;
            const std::string reason = m_line != nullptr ? m_line->OpenFailureReason() : "";
            if (!reason.empty()) {
                text += '\n' + reason;
            }
            owner->ShowMessageBox(text);
        }
        return false;
    }
    // A port that cannot be set up is not left open half-way.
    if (m_line->Setup(kBaudRate, kDataBits, ISerialLine::Parity::None, kStopBits) !=
            LineStatus::Success ||
        m_line->SetupHandshakingOff() != LineStatus::Success ||
        m_line->SetMask(LineEvents::All()) != LineStatus::Success) {
        m_line->Close();
        return false;
    }
    m_owner = owner;
    m_assembler.Reset();
    return true;
}

bool Command::ClosePort() {
    if (!IsOpen()) {
        return false;
    }
    m_line->Close();
    m_owner = nullptr;
    return true;
}

void Command::Enqueue(std::unique_ptr<SendData> record) {
    m_queue.Append(std::move(record));
}

void Command::Enqueue(RecordList records) {
    m_queue.Append(std::move(records));
}

int Command::WaitOnHead() {
    if (m_queue.IsEmpty()) {
        return 0;
    }
    SendData& head = m_queue.Head();
    head.SetWaitTicks(head.GetWaitTicks() + 1);
    return head.GetWaitTicks();
}

bool Command::HeadEndsTransfer() const {
    if (m_queue.IsEmpty()) {
        return false;
    }
    const SendData& head = m_queue.Head();
    return head.IsBulk() && (head.IsLastOfDownload() || head.IsLastOfUpload());
}

int Command::CountTransferRecords() const {
    int count = 0;
    for (int i = 0; i < m_queue.Count(); ++i) {
        count += m_queue.At(static_cast<std::size_t>(i)).IsBulk() ? 1 : 0;
    }
    return count;
}

bool Command::AwaitsUpload() const {
    for (int i = 0; i < m_queue.Count(); ++i) {
        if (m_queue.At(static_cast<std::size_t>(i)).IsLastOfUpload()) {
            return true;
        }
    }
    return false;
}

bool Command::OnlyMeterRequestsQueued() const {
    for (int i = 0; i < m_queue.Count(); ++i) {
        if (!IsMeterRequest(m_queue.At(static_cast<std::size_t>(i)))) {
            return false;
        }
    }
    return true;
}

int Command::CountUntransmittedRecords() const {
    int count = 0;
    for (int i = 0; i < m_queue.Count(); ++i) {
        const SendData& record = m_queue.At(static_cast<std::size_t>(i));
        count += record.IsPending() && !IsMeterRequest(record) ? 1 : 0;
    }
    return count;
}

bool Command::IsMeterRequest(const SendData& record) {
    return IsMeterRequest(record.GetData());
}

bool Command::IsMeterRequest(const std::vector<std::uint8_t>& frame) {
    return frame.size() > Protocol::OffsetChannel &&
           frame[Protocol::OffsetCode] == Protocol::ReadRequest &&
           frame[Protocol::OffsetGroup] == Protocol::GroupSystem &&
           frame[Protocol::OffsetChannel] == Protocol::ItemMeters;
}

bool Command::TransmitHead() {
    if (m_queue.IsEmpty() || m_line == nullptr) {
        return false;
    }
    SendData& record = m_queue.Head();
    // The preamble and the frame go out together; a write the line refuses leaves the record
    // untransmitted.
    const std::vector<std::uint8_t>& frame = record.GetData();
    std::vector<std::uint8_t> bytes(Protocol::PreambleCount, Protocol::PreambleByte);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    std::size_t written = 0;
    if (m_line->Write(bytes.data(), bytes.size(), written, Protocol::WriteTimeoutMs) !=
            LineStatus::Success ||
        written != bytes.size()) {
        return false;
    }
    record.SetPending(false);
    return true;
}

void Command::OnSerialData() {
    if (m_line == nullptr) {
        return;
    }
    std::array<std::uint8_t, kChunkSize> chunk{};
    std::size_t received = 0;
    m_line->Read(chunk.data(), chunk.size(), received, kReadTimeoutMs);
    received = std::min(received, chunk.size());
    if (received == 0) {
        return;
    }
    // Every frame the read completes is processed, in order, unless a listener closed the
    // port on the way.
    for (const FrameAssembler::Frame& frame : m_assembler.Feed(chunk.data(), received)) {
        if (!IsOpen()) {
            break;
        }
        if (m_frameObserver) {
            m_frameObserver(frame);
        }
        ProcessFrame(frame);
    }
}

void Command::ProcessFrame(const std::vector<std::uint8_t>& frame) {
    // A corrupt frame (end byte or checksum) is dropped silently; the head stays for the owner
    // to retransmit. Unknown reply codes are ignored the same way; the assembler is already
    // hunting for the next frame either way.
    const auto reply = Protocol::ParseFrame(frame.data(), frame.size());
    if (!reply) {
        ++m_rejectedFrames;
        return;
    }
    m_replyHeader = reply->header;
    if (Protocol::IsAck(reply->header.code)) {
        AnswerHead();
    } else if (reply->header.code == Protocol::DataReply) {
        ProcessDataReply(*reply);
    }
}

void Command::ProcessDataReply(const Protocol::FrameView& reply) {
    const bool archive = reply.header.block == Protocol::ArchiveFlag;
    // A data reply says what it answers; only the reply to the transmitted head's own request
    // removes it. A stale one (late, or repeated after a retransmission, or come before the head
    // went out) still delivers what it carries, to where it says it belongs, but answers nothing
    // and completes no program.
    const SendData* head = m_queue.IsEmpty() ? nullptr : &m_queue.Head();
    const bool answersHead = HeadAwaitsAnswer() && DataReplyAnswers(reply, *head);
    std::optional<EngineNotice> notice;
    const char* message = nullptr;
    bool answered = answersHead;

    // The archive record holds one program at a time: a stale archive reply is taken only while
    // the head asks for a channel of that same program.
    if ((reply.header.group == Protocol::GroupInput ||
         reply.header.group == Protocol::GroupOutput) &&
        archive && !answersHead &&
        (head == nullptr || head->GetData()[Protocol::OffsetProgram] != reply.header.program ||
         head->GetData()[Protocol::OffsetBlock] != Protocol::ArchiveFlag)) {
        return;
    }

    switch (reply.header.group) {
    case Protocol::GroupInput: {
        const ChannelReply result =
            archive ? DecodeArchiveInputChannel(reply, m_deviceType, m_images.archive)
                    : DecodeInputChannel(reply, m_deviceType, m_images.program);
        if (result == ChannelReply::WrongLength) {
            message = EngineText::InputLengthError;
        }
        break;
    }
    case Protocol::GroupOutput: {
        const ChannelReply result =
            archive ? DecodeArchiveOutputChannel(reply, m_deviceType, m_images.archive)
                    : DecodeOutputChannel(reply, m_deviceType, m_images.program);
        if (result == ChannelReply::WrongLength) {
            // Not an answer: the head stays for the owner to retransmit.
            answered = false;
            if (archive) {
                message = EngineText::OutputLengthError;
            }
        } else if (result == ChannelReply::Decoded && answersHead &&
                   reply.header.channel == m_outputCount - 1) {
            notice = archive ? EngineNotice{EngineMessage::WM_STORED_PROGRAM_RECEIVED,
                                            reply.header.program, false}
                             : EngineNotice{EngineMessage::WM_PROGRAM_RECEIVED, 0, false};
        }
        break;
    }
    case Protocol::GroupSystem:
        // An item the PC never asks for came on the device's own and answers no request.
        answered = answersHead && Protocol::IsRequestedItem(reply.header.channel);
        notice = DecodeSystemItem(reply, m_deviceType, answersHead ? head : nullptr, m_images);
        break;
    default:
        answered = false;
        break;
    }

    // The engine's own bookkeeping is finished before anyone is told, so that a listener may
    // clear the queue or close the port from inside its notification.
    if (answered) {
        AnswerHead();
    }
    if (message != nullptr) {
        ShowMessage(message);
    }
    if (!notice) {
        return;
    }
    // A found device is entered before the search can end on the same answer (device 250).
    if (notice->answeredId != 0 && m_owner != nullptr) {
        m_owner->OnDeviceAnswered(notice->answeredId, notice->answeredType);
    }
    if (notice->foundId != 0 && m_owner != nullptr) {
        m_owner->OnDeviceFound(notice->foundId);
    }
    if (notice->message && notice->toSearchWindow) {
        if (m_searchWindow != nullptr) {
            m_searchWindow->OnEngineMessage(*notice->message, notice->wParam);
        }
    } else if (notice->message) {
        Notify(*notice->message, notice->wParam);
    }
}

bool Command::HeadAwaitsAnswer() const {
    return !m_queue.IsEmpty() && !m_queue.Head().IsPending();
}

void Command::AnswerHead() {
    // Only a record that went out can be answered. A late or repeated answer that comes while
    // the next record still waits to be sent (or with nothing queued) has nothing to remove:
    // taking the unsent record would lose it without it ever reaching the device.
    if (HeadAwaitsAnswer()) {
        m_queue.RemoveHead();
    }
}

void Command::Notify(EngineMessage message, int wParam) {
    if (m_owner != nullptr) {
        m_owner->OnEngineMessage(message, wParam);
    }
}

void Command::ShowMessage(const char* text) {
    if (m_owner != nullptr) {
        m_owner->ShowMessageBox(text);
    }
}

void Command::SetDeviceType(int type) {
    m_deviceType = type;
    m_images.program.SetDeviceType(type);
}

std::string Command::GetProgramName(int program) const {
    if (program < 0 || program >= DeviceImages::kProgramNameCount) {
        return {};
    }
    return m_images.programNames[static_cast<std::size_t>(program)];
}

int Command::GetMeterValue(int meter) const {
    if (meter < 0 || meter >= DeviceImages::kMeterCount) {
        return 0;
    }
    return m_images.meters[static_cast<std::size_t>(meter)];
}
