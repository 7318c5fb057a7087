// Frames as text: the hex of a byte run and the decoded header in both styles.

#include "core/protocol/Frame.h"
#include "core/protocol/FrameText.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Protocol::HeaderStyle;

namespace {

Bytes Frame(std::uint8_t code, std::uint8_t group, std::uint8_t channel, std::uint8_t block,
            const Bytes& payload = {}) {
    return Protocol::BuildFrame({code, 4, 2, group, channel, block}, payload);
}

Bytes BadChecksum(Bytes frame) {
    frame[frame.size() - 2] ^= 0x01;
    return frame;
}

struct HeaderCase {
    const char* name;
    Bytes frame;
    const char* raw;
    const char* named;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class ProtocolFrameTextHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ProtocolFrameTextHeader, ReadsEveryField) {
    EXPECT_EQ(Protocol::HeaderText(GetParam().frame, HeaderStyle::Raw), GetParam().raw);
    EXPECT_EQ(Protocol::HeaderText(GetParam().frame, HeaderStyle::Named), GetParam().named);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ProtocolFrameTextHeader,
    ::testing::Values(
        HeaderCase{"SystemItem", Frame(Protocol::ReadRequest, Protocol::GroupSystem, 0x05, 0),
                   "ReadRequest id=4 prog=2 group=3 item=0x5 block=0 L=0",
                   "ReadRequest id=4 prog=2 group=system item=0x05 block=0 L=0"},
        HeaderCase{"OutputChannelTwelve",
                   Frame(Protocol::WriteRequest, Protocol::GroupOutput, 12, 3, {1, 2}),
                   "WriteRequest id=4 prog=2 group=2 channel=C block=3 L=2",
                   "WriteRequest id=4 prog=2 group=output channel=12 block=3 L=2"},
        HeaderCase{"ArchiveBlock",
                   Frame(Protocol::DataReply, Protocol::GroupInput, 1, Protocol::ArchiveFlag, {9}),
                   "DataReply id=4 prog=2 group=1 channel=1 block=0x77 L=1",
                   "DataReply id=4 prog=2 group=input channel=1 block=archive L=1"},
        HeaderCase{"BothAckCodes", Frame(Protocol::AckAlt, 7, 0, 200),
                   "Ack id=4 prog=2 group=7 channel=0 block=200 L=0",
                   "Ack id=4 prog=2 group=7 channel=0 block=200 L=0"},
        HeaderCase{"UnknownCode", Frame(0x5F, Protocol::GroupInput, 0, 0),
                   "code=0x5F id=4 prog=2 group=1 channel=0 block=0 L=0",
                   "code=0x5F id=4 prog=2 group=input channel=0 block=0 L=0"},
        HeaderCase{"BadChecksum",
                   BadChecksum(Frame(Protocol::DataReply, Protocol::GroupOutput, 7, 4, {1})),
                   "DataReply id=4 prog=2 group=2 channel=7 block=4 L=1",
                   "DataReply id=4 prog=2 group=output channel=7 block=4 L=1 (invalid)"},
        HeaderCase{"ShortFrame", Bytes{0xB1, 0xA2, 0x04}, "short frame", "short frame"}));

TEST(ProtocolFrameText, HexHasTwoUpperCaseDigitsAByteAndSpacesBetween) {
    EXPECT_EQ(Protocol::HexText(Bytes{}), "");
    EXPECT_EQ(Protocol::HexText(Bytes{0x0A}), "0A");
    EXPECT_EQ(Protocol::HexText(Bytes{0xB1, 0x00, 0xff, 0xAA}), "B1 00 FF AA");
    const Bytes frame = Frame(Protocol::ReadRequest, Protocol::GroupSystem, 0x14, 0);
    EXPECT_EQ(Protocol::HexText(frame.data() + 1, 2), "A2 04");
}

} // namespace
