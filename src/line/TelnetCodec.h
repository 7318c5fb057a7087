#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The telnet side of a serial port on the network (a device server's RFC 2217 port): the
// escaping of the data, the option negotiation and the COM-PORT-CONTROL commands that set the
// far serial line's format. Plain bytes in, plain bytes out; the socket is someone else's.
//
// Data: every 0xFF byte goes out doubled and comes in doubled; commands in what arrives are
// taken out. Options: BINARY both ways (so that CR and NUL pass untouched), SUPPRESS-GO-AHEAD
// both ways and COM-PORT-CONTROL on our side are taken; every other option either side offers
// or asks for is refused. Once the far side has taken COM-PORT-CONTROL the line format is sent
// (SET-BAUDRATE, SET-DATASIZE, SET-PARITY, SET-STOPSIZE and SET-CONTROL for no flow control in
// either direction), and again whenever it changes.
class TelnetCodec {
public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::uint8_t kIac = 255;
    static constexpr std::uint8_t kDont = 254;
    static constexpr std::uint8_t kDo = 253;
    static constexpr std::uint8_t kWont = 252;
    static constexpr std::uint8_t kWill = 251;
    static constexpr std::uint8_t kSb = 250;
    static constexpr std::uint8_t kSe = 240;

    static constexpr std::uint8_t kBinary = 0;
    static constexpr std::uint8_t kSuppressGoAhead = 3;
    static constexpr std::uint8_t kComPort = 44;

    // COM-PORT-CONTROL commands from the client; the server answers with the same plus 100.
    static constexpr std::uint8_t kSetBaudRate = 1;
    static constexpr std::uint8_t kSetDataSize = 2;
    static constexpr std::uint8_t kSetParity = 3;
    static constexpr std::uint8_t kSetStopSize = 4;
    static constexpr std::uint8_t kSetControl = 5;
    static constexpr std::uint8_t kServerOffset = 100;

    // SET-PARITY values (none = 1 ... space = 5) and SET-CONTROL values for no flow control.
    static constexpr std::uint8_t kParityNone = 1;
    static constexpr std::uint8_t kNoFlowOutbound = 1;
    static constexpr std::uint8_t kNoFlowInbound = 14;

    struct LineFormat {
        std::uint32_t baudRate = 9600;
        std::uint8_t dataBits = 8;
        std::uint8_t parity = kParityNone; // RFC 2217 value
        std::uint8_t stopBits = 1;         // 1, 2 (or 3 for 1.5)
        bool operator==(const LineFormat& other) const {
            return baudRate == other.baudRate && dataBits == other.dataBits &&
                   parity == other.parity && stopBits == other.stopBits;
        }
    };

    // What the far side made of COM-PORT-CONTROL.
    enum class PortControl { Asked, Accepted, Refused };

    TelnetCodec();

    // What a new connection sends first: our requests for the options we want.
    Bytes Start();
    // Data with every 0xFF doubled.
    static Bytes Escape(const std::uint8_t* data, std::size_t length);
    // Takes bytes that arrived: the data among them is appended to data, what has to be
    // answered (option replies, the line format once port control is taken) to reply. A
    // command cut between two calls is kept until its end arrives.
    void Receive(const std::uint8_t* input, std::size_t length, Bytes& data, Bytes& reply);

    // The format the far serial line is to have; the commands to send now, if any (nothing
    // before the far side took port control: Receive sends it then).
    Bytes SetLineFormat(const LineFormat& format);
    // The commands that set format, each an escaped subnegotiation.
    static Bytes FormatCommands(const LineFormat& format);

    PortControl GetPortControl() const { return m_portControl; }
    // The baud rate the server last reported for its line (its answer to SET-BAUDRATE), 0
    // before any answer.
    std::uint32_t ReportedBaudRate() const { return m_reportedBaud; }

private:
    enum class Side : std::uint8_t { No, Asked, Yes };
    enum class State { Data, Iac, Option, Sub, SubIac };

    void Negotiate(std::uint8_t verb, std::uint8_t option, Bytes& reply);
    void Subnegotiation(const Bytes& body);
    static bool WeTake(std::uint8_t option);
    static bool TheyMay(std::uint8_t option);

    std::array<Side, 256> m_ours{};   // options on our side
    std::array<Side, 256> m_theirs{}; // options on the far side
    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    Bytes m_sub;
    LineFormat m_format;
    PortControl m_portControl = PortControl::Asked;
    std::uint32_t m_reportedBaud = 0;
};
