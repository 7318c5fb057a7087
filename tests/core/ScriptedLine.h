#pragma once

#include "core/protocol/CommandListener.h"
#include "core/protocol/SerialLine.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

// A serial line for tests: records every write and open/setup call and serves scripted reads,
// one scripted chunk per Read call.
class ScriptedLine : public ISerialLine {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Write {
        Bytes bytes;
        int timeoutMs = 0;
    };

    // Results the next calls return.
    LineStatus openResult = LineStatus::Success;
    LineStatus setupResult = LineStatus::Success;
    LineStatus handshakeResult = LineStatus::Success;
    LineStatus maskResult = LineStatus::Success;
    LineStatus writeResult = LineStatus::Success;
    std::string openFailureReason; // what a failed open tells

    // What the engine did.
    std::string openedDevice;
    int baudRate = 0;
    int dataBits = 0;
    Parity parity = Parity::Odd;
    int stopBits = 0;
    bool handshakingOff = false;
    LineEvents eventMask;
    int closeCount = 0;
    std::vector<Write> writes;
    std::vector<std::size_t> readSizes; // buffer size of each Read call

    // Queued chunks; each Read hands out (at most the buffer's worth of) the front one.
    void Serve(Bytes chunk) { m_reads.push_back(std::move(chunk)); }
    bool HasPendingReads() const { return !m_reads.empty(); }

    bool IsOpen() const override { return m_open; }
    LineStatus Open(const std::string& device) override {
        if (m_open) {
            return LineStatus::AlreadyOpen;
        }
        openedDevice = device;
        m_open = openResult == LineStatus::Success;
        return openResult;
    }
    std::string OpenFailureReason() const override { return m_open ? "" : openFailureReason; }
    LineStatus Setup(int baud, int bits, Parity par, int stop) override {
        baudRate = baud;
        dataBits = bits;
        parity = par;
        stopBits = stop;
        return m_open ? setupResult : LineStatus::NotOpen;
    }
    LineStatus SetupHandshakingOff() override {
        handshakingOff = true;
        return m_open ? handshakeResult : LineStatus::NotOpen;
    }
    LineStatus SetMask(LineEvents mask) override {
        eventMask = mask;
        return m_open ? maskResult : LineStatus::NotOpen;
    }
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                     int timeoutMs) override {
        written = 0;
        if (!m_open) {
            return LineStatus::NotOpen;
        }
        writes.push_back({Bytes(data, data + length), timeoutMs});
        written = writeResult == LineStatus::Success ? length : 0;
        return writeResult;
    }
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received, int) override {
        readSizes.push_back(length);
        received = 0;
        if (!m_open) {
            return LineStatus::NotOpen;
        }
        if (m_reads.empty()) {
            return LineStatus::Success;
        }
        Bytes& chunk = m_reads.front();
        received = std::min(length, chunk.size());
        std::copy_n(chunk.begin(), received, buffer);
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(received));
        if (chunk.empty()) {
            m_reads.pop_front();
        }
        return LineStatus::Success;
    }
    LineStatus Close() override {
        ++closeCount;
        m_open = false;
        return LineStatus::Success;
    }

private:
    bool m_open = false;
    std::deque<Bytes> m_reads;
};

// Records the engine's notifications, the devices it reports found and its message boxes.
class RecordingListener : public ICommandListener {
public:
    struct Message {
        EngineMessage message;
        int wParam;
        bool operator==(const Message& other) const {
            return message == other.message && wParam == other.wParam;
        }
    };

    std::vector<Message> messages;
    std::vector<int> found;
    std::vector<std::string> boxes;

    void OnEngineMessage(EngineMessage message, int wParam) override {
        messages.push_back({message, wParam});
    }
    void OnDeviceFound(int id) override { found.push_back(id); }
    void ShowMessageBox(const std::string& text) override { boxes.push_back(text); }
};
