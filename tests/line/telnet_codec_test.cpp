// The telnet codec of network serial ports, byte for byte: the escaping of data, the option
// negotiation and the COM-PORT-CONTROL commands that set the far line to 9600 8N1.

#include "line/TelnetCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = TelnetCodec::Bytes;

constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240,
                       NOP = 241;
constexpr std::uint8_t BINARY = 0, ECHO = 1, SGA = 3, TTYPE = 24, COMPORT = 44;

// The line format commands for 9600 8N1 without flow control, as the far side must get them.
const Bytes k9600n81 = {
    IAC, SB, COMPORT, 1, 0x00, 0x00, 0x25, 0x80, IAC, SE, // SET-BAUDRATE 9600
    IAC, SB, COMPORT, 2, 8,    IAC,  SE,                  // SET-DATASIZE 8
    IAC, SB, COMPORT, 3, 1,    IAC,  SE,                  // SET-PARITY none
    IAC, SB, COMPORT, 4, 1,    IAC,  SE,                  // SET-STOPSIZE 1
    IAC, SB, COMPORT, 5, 1,    IAC,  SE,                  // SET-CONTROL no flow control out
    IAC, SB, COMPORT, 5, 14,   IAC,  SE,                  // SET-CONTROL no flow control in
};

struct Received {
    Bytes data;
    Bytes reply;
};

Received Feed(TelnetCodec& codec, const Bytes& input) {
    Received out;
    codec.Receive(input.data(), input.size(), out.data, out.reply);
    return out;
}

TEST(TelnetCodecTest, EscapeDoublesEveryFF) {
    const struct {
        Bytes in, out;
    } cases[] = {
        {{}, {}},
        {{0x01, 0x02}, {0x01, 0x02}},
        {{0xFF}, {0xFF, 0xFF}},
        {{0xFF, 0xFF, 0xB1, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x00, 0xFF, 0xFF}},
        {{0xFE, 0xFD, 0xFA, 0xF0, 0x0D, 0x00}, {0xFE, 0xFD, 0xFA, 0xF0, 0x0D, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TelnetCodec::Escape(c.in.data(), c.in.size()), c.out);
    }
}

TEST(TelnetCodecTest, ReceiveUndoublesAndDropsCommandsEvenWhenCutAnywhere) {
    // A frame that begins with 0xFF bytes, with a NOP, an option answer and a line state report
    // in between; CR NUL and CR LF stay as they are (binary mode).
    const Bytes wire = {IAC,  IAC,  IAC, IAC, 0xB1,    IAC, NOP,  0x0D, 0x00, IAC, WILL, BINARY,
                        0x0D, 0x0A, IAC, SB,  COMPORT, 106, 0x60, IAC,  SE,   IAC, IAC,  0x42};
    const Bytes data = {0xFF, 0xFF, 0xB1, 0x0D, 0x00, 0x0D, 0x0A, 0xFF, 0x42};
    for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
        TelnetCodec codec;
        codec.Start();
        Received all;
        codec.Receive(wire.data(), cut, all.data, all.reply);
        codec.Receive(wire.data() + cut, wire.size() - cut, all.data, all.reply);
        EXPECT_EQ(all.data, data) << "cut at " << cut;
        EXPECT_TRUE(all.reply.empty()) << "cut at " << cut; // BINARY was asked for: no answer
    }
}

TEST(TelnetCodecTest, StartAsksForBinarySuppressGoAheadAndPortControl) {
    TelnetCodec codec;
    EXPECT_EQ(codec.Start(), (Bytes{IAC, WILL, BINARY, IAC, WILL, SGA, IAC, WILL, COMPORT, IAC, DO,
                                    BINARY, IAC, DO, SGA}));
    EXPECT_EQ(codec.GetPortControl(), TelnetCodec::PortControl::Asked);
}

TEST(TelnetCodecTest, AcceptedPortControlSends9600n81WithoutFlowControl) {
    TelnetCodec codec;
    codec.Start();
    // Nothing goes out for the format before the far side took port control.
    EXPECT_TRUE(codec.SetLineFormat({}).empty());
    const Received got = Feed(codec, {IAC, DO, COMPORT});
    EXPECT_EQ(got.reply, k9600n81);
    EXPECT_TRUE(got.data.empty());
    EXPECT_EQ(codec.GetPortControl(), TelnetCodec::PortControl::Accepted);
    // The same DO again is no change: nothing is sent twice.
    EXPECT_TRUE(Feed(codec, {IAC, DO, COMPORT}).reply.empty());
    // A change of format afterwards goes out at once.
    TelnetCodec::LineFormat other;
    other.baudRate = 0x00FF00FF; // 0xFF in the value is doubled inside the subnegotiation
    const Bytes sent = codec.SetLineFormat(other);
    ASSERT_EQ(sent.size(), k9600n81.size() + 2);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 12),
              (Bytes{IAC, SB, COMPORT, 1, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, IAC, SE}));
}

TEST(TelnetCodecTest, ServerAnswerToBaudRateIsRead) {
    TelnetCodec codec;
    codec.Start();
    Feed(codec, {IAC, DO, COMPORT});
    EXPECT_EQ(codec.ReportedBaudRate(), 0u);
    // 9600 confirmed, and a value holding 0xFF (doubled on the wire) read back whole.
    Feed(codec, {IAC, SB, COMPORT, 101, 0x00, 0x00, 0x25, 0x80, IAC, SE});
    EXPECT_EQ(codec.ReportedBaudRate(), 9600u);
    Feed(codec, {IAC, SB, COMPORT, 101, 0x00, 0x00, IAC, IAC, 0x01, IAC, SE});
    EXPECT_EQ(codec.ReportedBaudRate(), 0xFF01u);
}

TEST(TelnetCodecTest, NegotiationTable) {
    // Each row: what the far side sends after our Start(), what we answer.
    const struct {
        const char* what;
        Bytes in, reply;
    } cases[] = {
        {"our requests coming back are not answered",
         {IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, SGA, IAC, WILL, SGA},
         {}},
        {"an option we do not offer is refused", {IAC, DO, ECHO}, {IAC, WONT, ECHO}},
        {"an option they offer and we do not want is refused",
         {IAC, WILL, ECHO},
         {IAC, DONT, ECHO}},
        {"terminal type asked for is refused", {IAC, DO, TTYPE}, {IAC, WONT, TTYPE}},
        {"a refusal of what we asked for is not answered", {IAC, DONT, BINARY, IAC, WONT, SGA}, {}},
        {"a refusal of what was never on is not answered", {IAC, WONT, ECHO, IAC, DONT, ECHO}, {}},
        {"turning off what was on is acknowledged",
         {IAC, DO, BINARY, IAC, DONT, BINARY, IAC, WILL, SGA, IAC, WONT, SGA},
         {IAC, WONT, BINARY, IAC, DONT, SGA}},
        {"an option offered unasked is taken",
         {IAC, DONT, BINARY, IAC, DO, BINARY},
         {IAC, WILL, BINARY}},
    };
    for (const auto& c : cases) {
        TelnetCodec codec;
        codec.Start();
        const Received got = Feed(codec, c.in);
        EXPECT_EQ(got.reply, c.reply) << c.what;
        EXPECT_TRUE(got.data.empty()) << c.what;
    }
}

TEST(TelnetCodecTest, RefusedPortControlIsTold) {
    TelnetCodec codec;
    codec.Start();
    // WONT is about their side of the option, not ours: port control is still asked for.
    Received got = Feed(codec, {IAC, WONT, COMPORT, 0x41});
    EXPECT_EQ(codec.GetPortControl(), TelnetCodec::PortControl::Asked);
    EXPECT_EQ(got.data, Bytes{0x41});
    got = Feed(codec, {IAC, DONT, COMPORT, 0x42});
    EXPECT_EQ(codec.GetPortControl(), TelnetCodec::PortControl::Refused);
    EXPECT_TRUE(got.reply.empty());
    EXPECT_EQ(got.data, Bytes{0x42});
    EXPECT_TRUE(codec.SetLineFormat({}).empty());
}

} // namespace
