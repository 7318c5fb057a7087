#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// One ready-made frame waiting in the command queue, with its send state. The record owns the
// frame bytes (start byte 0xB1 to end byte 0xAA); the engine transmits them after three 0xFF.
class SendData {
public:
    SendData() = default;
    virtual ~SendData() = default;

    SendData(const SendData&) = delete;
    SendData& operator=(const SendData&) = delete;

    // Takes over the complete frame; the length follows the buffer.
    void SetData(std::vector<std::uint8_t> frame) {
        m_data = std::move(frame);
        m_length = static_cast<int>(m_data.size());
    }
    const std::vector<std::uint8_t>& GetData() const { return m_data; }
    const std::uint8_t* Bytes() const { return m_data.data(); }
    int GetLength() const { return m_length; }

    // Send-timer ticks spent waiting for the answer to the transmitted frame.
    void SetWaitTicks(int ticks) { m_waitTicks = ticks; }
    int GetWaitTicks() const { return m_waitTicks; }

    // True until the frame has been transmitted once.
    void SetPending(bool pending) { m_pending = pending; }
    bool IsPending() const { return m_pending; }

    // Part of a whole-program or whole-device transfer.
    void SetBulk(bool bulk) { m_bulk = bulk; }
    bool IsBulk() const { return m_bulk; }

    // Last record of a transfer that reads programs from the device.
    void SetLastOfUpload(bool last) { m_lastOfUpload = last; }
    bool IsLastOfUpload() const { return m_lastOfUpload; }

    // Last record of a transfer that writes programs to the device.
    void SetLastOfDownload(bool last) { m_lastOfDownload = last; }
    bool IsLastOfDownload() const { return m_lastOfDownload; }

    // ID-search records: the device ID probed (1..250); 0 otherwise.
    void SetProbeId(int id) { m_probeId = id; }
    int GetProbeId() const { return m_probeId; }

    // The device-type check sent right after connecting.
    void SetIdentityCheck(bool check) { m_identityCheck = check; }
    bool IsIdentityCheck() const { return m_identityCheck; }

private:
    std::vector<std::uint8_t> m_data;
    int m_length = 0;
    int m_waitTicks = 0;
    bool m_pending = true;
    bool m_bulk = false;
    bool m_lastOfUpload = false;
    bool m_lastOfDownload = false;
    int m_probeId = 0;
    bool m_identityCheck = false;
};
