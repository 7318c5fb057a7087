#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How an operation on a byte line ended.
enum class LineStatus {
    Success,
    NotOpen,         // operation on a closed line
    AlreadyOpen,     // Open on an open line
    Timeout,         // the bytes could not leave in their time
    InvalidArgument, // a line format, event mask or buffer the line cannot take
    NoSuchDevice,    // no device by that name
    AccessDenied,    // the user may not use the device, or another program holds it
    DeviceGone,      // the device went away under the line
    Unsupported,     // the device cannot do what was asked
    IoError,         // any other failure of the device
};

// A short name of a status for traces and test output ("Timeout").
const char* LineStatusName(LineStatus status);

// What a line notification reports.
enum class LineEvent : std::uint8_t {
    Received = 0x01,      // bytes arrived and can be read
    TransmitEmpty = 0x02, // everything written has left the line
};

// A set of line events: what one notification reports, or which ones a line delivers.
class LineEvents {
public:
    constexpr LineEvents() = default;
    constexpr LineEvents(LineEvent event) : m_bits(static_cast<std::uint8_t>(event)) {}

    static constexpr LineEvents None() { return {}; }
    static constexpr LineEvents All() {
        return LineEvents(LineEvent::Received) | LineEvents(LineEvent::TransmitEmpty);
    }

    constexpr bool Has(LineEvent event) const {
        return (m_bits & static_cast<std::uint8_t>(event)) != 0;
    }
    constexpr bool IsEmpty() const { return m_bits == 0; }

    constexpr LineEvents operator|(LineEvents other) const {
        return FromBits(static_cast<std::uint8_t>(m_bits | other.m_bits));
    }
    constexpr LineEvents operator&(LineEvents other) const {
        return FromBits(static_cast<std::uint8_t>(m_bits & other.m_bits));
    }
    constexpr LineEvents& operator|=(LineEvents other) { return *this = *this | other; }
    constexpr bool operator==(LineEvents other) const { return m_bits == other.m_bits; }
    constexpr bool operator!=(LineEvents other) const { return m_bits != other.m_bits; }

private:
    static constexpr LineEvents FromBits(std::uint8_t bits) {
        LineEvents events;
        events.m_bits = bits;
        return events;
    }

    std::uint8_t m_bits = 0;
};

constexpr LineEvents operator|(LineEvent a, LineEvent b) {
    return LineEvents(a) | LineEvents(b);
}

// The byte line the command engine talks through. The Qt serial port implements it for real
// lines; tests give the engine a scripted one. Every operation tells how it ended.
class ISerialLine {
public:
    enum class Parity { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

    virtual ~ISerialLine() = default;

    virtual bool IsOpen() const = 0;
    // Opens the named device exclusively and starts delivering line notifications.
    virtual LineStatus Open(const std::string& device) = 0;
    // Why the last Open failed, for the operator, when the line can tell more than its status
    // (the user may not use the device, another program holds it); empty otherwise.
    virtual std::string OpenFailureReason() const { return {}; }
    virtual LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) = 0;
    // Turns hardware and software flow control off.
    virtual LineStatus SetupHandshakingOff() = 0;
    // The events the line's notifications report from now on.
    virtual LineStatus SetMask(LineEvents events) = 0;
    // Hands length bytes to the line without waiting for them to leave; written tells how many
    // it took (all of them on success). They leave in order, after what was written before.
    // Bytes that stop leaving for timeoutMs mean the line has failed; a line tells its owner
    // of that in its own way.
    virtual LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                             int timeoutMs) = 0;
    // Returns at once with the bytes already received (at most length).
    virtual LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                            int timeoutMs) = 0;
    // Stops notifications and closes; harmless on a closed line.
    virtual LineStatus Close() = 0;
};
