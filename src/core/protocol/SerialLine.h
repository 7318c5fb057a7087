#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The byte line the command engine talks through. The Qt serial port implements it for real
// lines; tests give the engine a scripted one. Every operation returns the last-error code of
// the line, 0 on success.
class ISerialLine {
public:
    // Result codes shared by every implementation.
    static constexpr int kSuccess = 0;
    static constexpr int kNotOpen = 6;        // operation on a closed port
    static constexpr int kAlreadyOpen = 1247; // Open on an open port
    static constexpr int kTimeout = 1460;     // write or read gave up after its timeout
    static constexpr int kInvalidArgument = static_cast<int>(0x80070057u);

    // Event bits of a line notification (low 16 bits); error bits go in the high 16 bits.
    static constexpr std::uint32_t kEventReceived = 0x0001;
    static constexpr std::uint32_t kAllEvents = 511;

    enum class Parity { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

    virtual ~ISerialLine() = default;

    virtual bool IsOpen() const = 0;
    // Opens the named device exclusively and starts delivering line notifications.
    virtual int Open(const std::string& device) = 0;
    // Why the last Open failed, for the operator, when the line can tell more than its error
    // code (the user may not use the device, another program holds it); empty otherwise.
    virtual std::string OpenFailureReason() const { return {}; }
    virtual int Setup(int baudRate, int dataBits, Parity parity, int stopBits) = 0;
    // Turns hardware and software flow control off.
    virtual int SetupHandshakingOff() = 0;
    virtual int SetMask(std::uint32_t eventMask) = 0;
    // Writes length bytes; gives up with kTimeout after timeoutMs.
    virtual int Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                      int timeoutMs) = 0;
    // Returns at once with the bytes already received (at most length).
    virtual int Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                     int timeoutMs) = 0;
    // Stops notifications and closes; harmless on a closed line.
    virtual int Close() = 0;
};
