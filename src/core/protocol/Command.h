#pragma once

#include "core/protocol/CommandListener.h"
#include "core/protocol/DeviceImages.h"
#include "core/protocol/Frame.h"
#include "core/protocol/FrameAssembler.h"
#include "core/protocol/SendDataQueue.h"
#include "core/protocol/SerialLine.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The one object through which a panel talks to its processor. It owns the serial line, the
// queue of command records and the assembly of received bytes into frames, hands every valid
// reply to its decoder and keeps what the device reports (DeviceImages). The engine is passive:
// it writes only when its owner asks for the head of the queue to be transmitted, reads only
// when the owner forwards a line notification, and leaves pacing, retransmission and giving the
// link up to the owner. Only a transmitted head can be answered: no reply removes a record
// that has not gone out yet. An acknowledgement names no request, so it is matched by order: a
// valid one removes the transmitted record at the head of the queue. A data reply names what it
// carries and removes the head only when it answers the head's own request (DataReplyAnswers);
// a stale one is still decoded.
class Command {
public:
    static constexpr std::size_t kChunkSize = 150;
    static constexpr int kReadTimeoutMs = 80;
    static constexpr int kBaudRate = 9600;
    static constexpr int kDataBits = 8;
    static constexpr int kStopBits = 1;

    // The line the engine talks through; the window layer passes its serial port, tests a
    // scripted line. Without one, OpenPort fails.
    explicit Command(std::unique_ptr<ISerialLine> line = nullptr);
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Opens the named port (closing it first if open) at 9600 baud, 8 data bits, no parity,
    // 1 stop bit, no flow control, all line events. On an open failure the owner is asked to
    // show "Unable to open COM-port", followed on the next lines by the line's reason when it
    // has one (OpenFailureReason). The owner receives the engine's notifications until
    // ClosePort.
    bool OpenPort(const std::string& portName, ICommandListener* owner);
    // False if the port is not open; otherwise closes it and forgets the owner.
    bool ClosePort();
    bool IsOpen() const;

    // --- Queue of command records; the head is the record in flight. The engine keeps it:
    // records go in through Enqueue and leave through an answer, RemoveHead or Clear. ---
    using RecordList = std::vector<std::unique_ptr<SendData>>;
    // Appends at the tail (a null record is ignored).
    void Enqueue(std::unique_ptr<SendData> record);
    // Appends a whole sequence in its order.
    void Enqueue(RecordList records);
    int Count() const { return m_queue.Count(); }
    // The record at the head, to look at; the queue must not be empty.
    const SendData& Head() const { return m_queue.Head(); }
    // True while the head has not been transmitted; false on an empty queue.
    bool IsHeadPending() const { return !m_queue.IsEmpty() && m_queue.Head().IsPending(); }
    // One more service tick spent waiting for the answer to the head; the ticks waited so far
    // (0 on an empty queue).
    int WaitOnHead();
    // The head is the record that ends a whole-program transfer (bulk, last of an upload or a
    // download); false on an empty queue.
    bool HeadEndsTransfer() const;
    // Records of whole-program transfers still queued (transmitted or not).
    int CountTransferRecords() const;
    // The last read of a program upload is still queued: the program it reads has not all
    // arrived yet.
    bool AwaitsUpload() const;
    // Nothing but level-meter requests is queued (also true for an empty queue).
    bool OnlyMeterRequestsQueued() const;
    // Records queued and not transmitted yet, level-meter requests aside.
    int CountUntransmittedRecords() const;
    // The level-meter request the owner queues when nothing else is pending (a record, or the
    // frame of one).
    static bool IsMeterRequest(const SendData& record);
    static bool IsMeterRequest(const std::vector<std::uint8_t>& frame);
    // Drops the head unanswered (the ID search gives a probe up); nothing on an empty queue.
    void RemoveHead() { m_queue.RemoveHead(); }
    void Clear() { m_queue.Clear(); }

    // Writes the head record, three 0xFF bytes and then its frame, in one write with a 150 ms
    // timeout, and marks the record transmitted (no longer pending). False when the queue is
    // empty or the line refuses the write; the record stays pending then.
    bool TransmitHead();

    // Reads what the line holds (up to 150 bytes) and processes every frame it completes;
    // called for every line notification that reports received characters.
    void OnSerialData();

    // Called with every frame the receive assembly completes, before it is checked and
    // processed; for tracing the line (the command-line tool's -v). Empty: no calls.
    using FrameObserver = std::function<void(const std::vector<std::uint8_t>&)>;
    void SetFrameObserver(FrameObserver observer) { m_frameObserver = std::move(observer); }

    // Sets the engine's device type and that of the device image.
    void SetDeviceType(int type);
    int GetDeviceType() const { return m_deviceType; }
    // Output channels of the program; the reply for output count - 1 completes a program.
    void SetOutputCount(int count) { m_outputCount = count; }
    int GetOutputCount() const { return m_outputCount; }
    // The connect dialog while it searches for IDs (receives WM_ID_SEARCH_END); nullptr otherwise.
    void SetSearchWindow(ICommandListener* window) { m_searchWindow = window; }
    ICommandListener* GetSearchWindow() const { return m_searchWindow; }
    ICommandListener* GetOwner() const { return m_owner; }

    // What the device reported.
    CAudio_Data& GetDeviceImage() { return m_images.program; }
    const CAudio_Data& GetDeviceImage() const { return m_images.program; }
    ProgramImage& GetArchiveRecord() { return m_images.archive; }
    const ProgramImage& GetArchiveRecord() const { return m_images.archive; }
    // Name of program 0..30 as last reported; empty outside that range.
    std::string GetProgramName(int program) const;
    // Level meter 0..11 (inputs 1..4, outputs 1..8); 0 outside that range.
    int GetMeterValue(int meter) const;
    int GetDeviceInputSource() const { return m_images.inputSource; }
    const std::string& GetIdentificationText() const { return m_images.identificationText; }
    const std::string& GetTypeCodeText() const { return m_images.typeCodeText; }

    // Header of the last valid frame.
    const Protocol::FrameHeader& GetReplyHeader() const { return m_replyHeader; }
    // Receive assembly state.
    const FrameAssembler& GetAssembler() const { return m_assembler; }
    // Complete frames that failed the check (end byte or checksum) since the engine was made.
    long GetRejectedFrameCount() const { return m_rejectedFrames; }

private:
    void ProcessFrame(const std::vector<std::uint8_t>& frame);
    void ProcessDataReply(const Protocol::FrameView& reply);
    // The head has been transmitted and waits for its answer.
    bool HeadAwaitsAnswer() const;
    void AnswerHead();
    void Notify(EngineMessage message, int wParam);
    void ShowMessage(const char* text);

    std::unique_ptr<ISerialLine> m_line;
    ICommandListener* m_owner = nullptr;
    ICommandListener* m_searchWindow = nullptr;
    FrameAssembler m_assembler;
    SendDataQueue m_queue;
    DeviceImages m_images;
    Protocol::FrameHeader m_replyHeader;
    int m_outputCount = 0;
    int m_deviceType = 1;
    long m_rejectedFrames = 0;
    FrameObserver m_frameObserver;
};
