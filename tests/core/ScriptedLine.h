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
    int openResult = kSuccess;
    int setupResult = kSuccess;
    int handshakeResult = kSuccess;
    int maskResult = kSuccess;
    int writeResult = kSuccess;
    std::string openFailureReason; // what a failed open tells

    // What the engine did.
    std::string openedDevice;
    int baudRate = 0;
    int dataBits = 0;
    Parity parity = Parity::Odd;
    int stopBits = 0;
    bool handshakingOff = false;
    std::uint32_t eventMask = 0;
    int closeCount = 0;
    std::vector<Write> writes;
    std::vector<std::size_t> readSizes; // buffer size of each Read call

    // Queued chunks; each Read hands out (at most the buffer's worth of) the front one.
    void Serve(Bytes chunk) { m_reads.push_back(std::move(chunk)); }
    bool HasPendingReads() const { return !m_reads.empty(); }

    bool IsOpen() const override { return m_open; }
    int Open(const std::string& device) override {
        if (m_open) {
            return kAlreadyOpen;
        }
        openedDevice = device;
        m_open = openResult == kSuccess;
        return openResult;
    }
    std::string OpenFailureReason() const override { return m_open ? "" : openFailureReason; }
    int Setup(int baud, int bits, Parity par, int stop) override {
        baudRate = baud;
        dataBits = bits;
        parity = par;
        stopBits = stop;
        return m_open ? setupResult : kNotOpen;
    }
    int SetupHandshakingOff() override {
        handshakingOff = true;
        return m_open ? handshakeResult : kNotOpen;
    }
    int SetMask(std::uint32_t mask) override {
        eventMask = mask;
        return m_open ? maskResult : kNotOpen;
    }
    int Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
              int timeoutMs) override {
        written = 0;
        if (!m_open) {
            return kNotOpen;
        }
        writes.push_back({Bytes(data, data + length), timeoutMs});
        written = writeResult == kSuccess ? length : 0;
        return writeResult;
    }
    int Read(std::uint8_t* buffer, std::size_t length, std::size_t& received, int) override {
        readSizes.push_back(length);
        received = 0;
        if (!m_open) {
            return kNotOpen;
        }
        if (m_reads.empty()) {
            return kSuccess;
        }
        Bytes& chunk = m_reads.front();
        received = std::min(length, chunk.size());
        std::copy_n(chunk.begin(), received, buffer);
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(received));
        if (chunk.empty()) {
            m_reads.pop_front();
        }
        return kSuccess;
    }
    int Close() override {
        ++closeCount;
        m_open = false;
        return kSuccess;
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
