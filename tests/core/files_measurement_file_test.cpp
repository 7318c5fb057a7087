// Reading driver measurements: the text exports of measurement programs and FRD files, and the
// refusal of malformed ones with the line that is wrong.

#include "core/files/MeasurementFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(FilesMeasurementFile, ReadsTheUsualLayouts) {
    struct Case {
        const char* what;
        std::string text;
        bool phase;
    };
    const Case cases[] = {
        {"text export with * comments",
         "* Measurement data\n* Freq(Hz) SPL(dB) Phase(degrees)\n20.000 85.25 -12.5\n"
         "1000 90.0 45\n20000.5 82.75 -170.25\n",
         true},
        {"FRD with tabs and # comments",
         "# woofer\r\n\r\n20\t85.25\t-12.5\r\n1000\t90\t45\r\n"
         "20000.5\t82.75\t-170.25\r\n",
         true},
        {"comma separated", "20,85.25,-12.5\n1000, 90, 45\n20000.5,82.75,-170.25\n", true},
        {"semicolons with decimal commas", "20;85,25;-12,5\n1000;90;45\n20000,5;82,75;-170,25\n",
         true},
        {"magnitude only, signs and exponents", "  2e1 +85.25\n1.0E3 90\n20000.5 82.75\n", false},
    };
    for (const Case& c : cases) {
        const MeasurementRead read = ReadMeasurement(c.text);
        ASSERT_TRUE(read.ok) << c.what << ": " << read.error;
        const MeasuredDriver& d = read.driver;
        EXPECT_EQ(d.hz, (std::vector<double>{20.0, 1000.0, 20000.5})) << c.what;
        EXPECT_EQ(d.levelDb, (std::vector<double>{85.25, 90.0, 82.75})) << c.what;
        const std::vector<double> phase =
            c.phase ? std::vector<double>{-12.5, 45.0, -170.25} : std::vector<double>{};
        EXPECT_EQ(d.phaseDegrees, phase) << c.what;
    }
}

TEST(FilesMeasurementFile, RefusesMalformedFilesNamingTheLine) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"", "holds no measurement: no line of frequency and level"},
        {"* only comments\n# and more\n", "holds no measurement: no line of frequency and level"},
        {"* one\n100 90\n", "holds only one measured frequency (line 2); at least two are needed"},
        {"Freq SPL Phase\n20 80 0\n",
         "line 1: 'Freq' is not a finite number (comment lines start with * or #)"},
        {"20 80\n40 nan\n",
         "line 2: 'nan' is not a finite number (comment lines start with * or #)"},
        {"20 80\n40 81\ninf 82\n",
         "line 3: 'inf' is not a finite number (comment lines start with * or #)"},
        {"20 80\n40 81dB\n",
         "line 2: '81dB' is not a finite number (comment lines start with * or #)"},
        {"20 80\n\n* gap\n200 81\n150 82\n",
         "line 5: the frequency '150' does not rise above the one before it (frequencies must "
         "rise)"},
        {"20 80\n20 81\n",
         "line 2: the frequency '20' does not rise above the one before it (frequencies must "
         "rise)"},
        {"0 80\n20 81\n", "line 1: the frequency '0' is not above 0 Hz"},
        {"20 80 10\n40 81\n", "line 2: has no phase, the lines before have one"},
        {"20 80\n40 81 10\n", "line 2: has a phase, the lines before have none"},
        {"20 80\n40\n", "line 2: a frequency and a level are needed, only '40' is given"},
    };
    for (const Case& c : cases) {
        const MeasurementRead read = ReadMeasurement(c.text);
        EXPECT_FALSE(read.ok) << c.text;
        EXPECT_EQ(read.error, c.error) << c.text;
        EXPECT_TRUE(read.driver.hz.empty()) << c.text;
    }
}

TEST(FilesMeasurementFile, ReadsFromAFileAndSaysWhyOneCannotBeRead) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "sonvex_measurement_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path dir(pattern);
    const std::filesystem::path file = dir / "tweeter.frd";
    {
        std::ofstream out(file, std::ios::binary);
        out << "\xEF\xBB\xBF* tweeter\n1000 88 -10\n10000 89 -80\n";
    }
    const MeasurementRead read = ReadMeasurementFile(file.string());
    EXPECT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.driver.hz.size(), 2u);

    EXPECT_EQ(ReadMeasurementFile((dir / "missing.frd").string()).error,
              "cannot be opened (No such file or directory)");
    EXPECT_EQ(ReadMeasurementFile(dir.string()).error, "is a folder, not a file");
    std::filesystem::remove_all(dir);
}

} // namespace
