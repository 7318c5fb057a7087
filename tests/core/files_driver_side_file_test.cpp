// The side file that keeps a program's measured drivers beside its program file.

#include "core/files/DriverSideFile.h"
#include "core/model/MeasuredDrivers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class DriverSideFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sonvex_drivers_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_program = (m_dir / "show.dia48").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void WriteSide(const std::string& text) const {
        std::ofstream(DriverSideFilePath(m_program), std::ios::binary) << text;
    }

    fs::path m_dir;
    std::string m_program;
};

TEST_F(DriverSideFileTest, DriversComeBackExactlyAndNoneLeavesNoFile) {
    MeasuredDrivers drivers;
    const MeasuredDriver woofer{{20.0, 100.1, 1234.5678901234}, {88.125, 90.0, -3.3e-5}, {}};
    const MeasuredDriver tweeter{{800.0, 20000.0}, {91.0, 89.5}, {-170.25, 0.1}};
    ASSERT_TRUE(drivers.Attach(0, woofer));
    ASSERT_TRUE(drivers.Attach(7, tweeter));
    const DriverSideResult stored = StoreDriverSideFile(m_program, drivers);
    ASSERT_TRUE(stored.ok) << stored.error;
    EXPECT_EQ(stored.path, m_program + ".drivers");
    EXPECT_EQ(stored.attached, 2);

    MeasuredDrivers back;
    ASSERT_TRUE(back.Attach(3, woofer)); // stays: the side file has nothing for out4
    const DriverSideResult loaded = LoadDriverSideFile(m_program, back);
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.attached, 2);
    for (const int output : {0, 7, 3}) {
        ASSERT_NE(back.Measurement(output), nullptr) << output;
        const MeasuredDriver& expected = output == 7 ? tweeter : woofer;
        EXPECT_EQ(back.Measurement(output)->hz, expected.hz);
        EXPECT_EQ(back.Measurement(output)->levelDb, expected.levelDb);
        EXPECT_EQ(back.Measurement(output)->phaseDegrees, expected.phaseDegrees);
    }
    EXPECT_EQ(back.Measurement(1), nullptr);

    ASSERT_TRUE(StoreDriverSideFile(m_program, MeasuredDrivers{}).ok);
    EXPECT_FALSE(fs::exists(m_program + ".drivers"));
    MeasuredDrivers none;
    const DriverSideResult missing = LoadDriverSideFile(m_program, none);
    EXPECT_TRUE(missing.ok);
    EXPECT_EQ(missing.attached, 0);
}

TEST_F(DriverSideFileTest, AMalformedSideFileAttachesNothingAndNamesTheLine) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"# drivers\n20 80\n", "line 2: measurement lines before the first [outN]"},
        {"[out9]\n20 80\n40 81\n", "line 1: '[out9]' names no output (out1..out8)"},
        {"[woofer]\n20 80\n", "line 1: '[woofer]' names no output (out1..out8)"},
        {"[out1]\n20 80\n40 81\n[out1]\n20 80\n40 81\n", "line 4: [out1] is given twice"},
        {"[out1]\n20 80\n40 81\n[out2]\n# tweeter\n20 80\n10 81\n",
         "line 7: the frequency '10' does not rise above the one before it (frequencies must "
         "rise)"},
        {"[out1]\n20 80\n40 81\n[out2]\n",
         "[out2] (line 4) holds no measurement: no line of frequency and level"},
    };
    for (const Case& c : cases) {
        WriteSide(c.text);
        MeasuredDrivers drivers;
        const DriverSideResult result = LoadDriverSideFile(m_program, drivers);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_EQ(drivers.Measurement(0), nullptr) << c.text;
    }
}

} // namespace
