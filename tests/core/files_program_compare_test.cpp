// Two banks compared slot by slot: each slot's differences under its own number, in slot order.

#include "core/files/ProgramCompare.h"
#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

TEST(ProgramCompare, BankDifferencesStandUnderTheirSlotInOrder) {
    const int deviceType = 1;
    const CZorvanDoc::StoredPrograms written = CZorvanDoc().GetStoredPrograms();
    EXPECT_TRUE(ProgramCompare::BankLines(written, written, deviceType).empty());

    CZorvanDoc::StoredPrograms readBack = written;
    readBack[29].outputs[0].polarity ^= 1;
    readBack[11].outputs[2].gain = static_cast<std::uint16_t>(written[11].outputs[2].gain + 30);
    const std::vector<std::string> lines = ProgramCompare::BankLines(written, readBack, deviceType);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(StartsWith(lines[0], "P12 out3.gain: ")) << lines[0];
    EXPECT_TRUE(StartsWith(lines[1], "P30 out1.polarity: ")) << lines[1];

    // The same slot compared on its own, as the live program: no number in front.
    const std::vector<std::string> live =
        ProgramCompare::Lines(*ProgramCompare::FromImage(written[11], deviceType),
                              *ProgramCompare::FromImage(readBack[11], deviceType), deviceType);
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ("P12 " + live[0], lines[0]);
}

} // namespace
