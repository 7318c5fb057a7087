#include "core/files/Archive.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint8_t B(int v) {
    return static_cast<std::uint8_t>(v);
}
std::uint16_t W(int v) {
    return static_cast<std::uint16_t>(v);
}

BandImage Band(int seed) {
    BandImage b;
    b.frequency = W(1000 + seed);
    b.gain = W(310 + seed % 100);
    b.bandwidth = W(20 + seed % 30);
    b.shelfSlope = 1;
    b.type = B(1 + seed % 2);
    return b;
}

// A program image with every field away from zero, different for every seed.
ProgramImage Program(int seed) {
    ProgramImage p;
    p.name = seed == 7 ? std::string(300, 'L') : "Prog" + std::to_string(seed);
    for (std::size_t i = 0; i < p.inputs.size(); ++i) {
        InputImage& in = p.inputs[i];
        const int s = seed * 100 + static_cast<int>(i) * 10;
        for (std::size_t b = 0; b < in.bands.size(); ++b)
            in.bands[b] = Band(s + static_cast<int>(b));
        in.on = 1;
        in.polarity = 1;
        in.delay = W(500 + s);
        in.gain = W(200 + s % 200);
        in.auxFlag = 1;
        in.auxValue = B(s);
        in.name = "Input" + std::to_string(i) + "x";
        in.highPass = {W(80 + s % 50), 1, 2};
        in.lowPass = {W(12000 + s), 0, 3};
        in.gateThreshold = B(30 + seed);
        in.gateOff = 1;
    }
    for (std::size_t o = 0; o < p.outputs.size(); ++o) {
        OutputImage& out = p.outputs[o];
        const int s = seed * 100 + static_cast<int>(o) * 10 + 5;
        for (std::size_t b = 0; b < out.bands.size(); ++b)
            out.bands[b] = Band(s + static_cast<int>(b));
        out.on = 1;
        out.polarity = 1;
        out.delay = W(900 + s);
        out.gain = W(100 + s % 300);
        out.sourceMask = B(1 + o % 15);
        out.highPass = {W(40 + s % 50), 2, 1};
        out.lowPass = {W(9000 + s), 1, 2};
        out.limitThreshold = W(300 + s % 100);
        out.attack = B(50 + seed);
        out.release = 3;
        out.clipLimit = B(60 + seed);
        out.ratio = 5;
        out.mode = 1;
        out.timing = 1;
        out.name = "Out" + std::to_string(o);
    }
    return p;
}

class FilesBankFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("sonvex_bank_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        for (int i = 0; i < CZorvanDoc::kStoredProgramCount; ++i)
            source_.GetStoredPrograms()[static_cast<std::size_t>(i)] = Program(i + 1);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    CZorvanDoc source_;
};

} // namespace

TEST_F(FilesBankFile, RecordLayoutPutsTheGainBeforeTheFrequency) {
    const FileResult saved = StoreAllToPC(source_, (dir_ / "bank").string());
    ASSERT_TRUE(saved) << saved.error;
    EXPECT_EQ(saved.path, (dir_ / "bank.dat").string());
    const Bytes bytes = ReadFile(saved.path);

    std::size_t expected = 0;
    for (const ProgramImage& p : source_.GetStoredPrograms()) {
        expected += (p.name.size() < 255 ? 1 : 3) + p.name.size();
        for (const InputImage& in : p.inputs)
            expected += 82 + 1 + in.name.size();
        for (const OutputImage& out : p.outputs)
            expected += 72 + 1 + out.name.size();
    }
    EXPECT_EQ(bytes.size(), expected);

    // Program 1: its name, then input 1 whose first band record is gain, frequency,
    // bandwidth, shelf slope, type.
    const ProgramImage& first = source_.GetStoredPrograms()[0];
    ASSERT_EQ(bytes[0], first.name.size());
    const std::size_t in0 = 1 + first.name.size();
    const BandImage& band = first.inputs[0].bands[0];
    const Bytes expectedBand{B(band.gain),           B(band.gain >> 8), B(band.frequency),
                             B(band.frequency >> 8), B(band.bandwidth), B(band.bandwidth >> 8),
                             band.shelfSlope,        band.type};
    EXPECT_EQ(Bytes(bytes.begin() + in0, bytes.begin() + in0 + 8), expectedBand);
    const InputImage& input = first.inputs[0];
    EXPECT_EQ(bytes[in0 + 64], input.on);
    EXPECT_EQ(bytes[in0 + 66] | bytes[in0 + 67] << 8, input.delay);
    EXPECT_EQ(bytes[in0 + 72] | bytes[in0 + 73] << 8, input.highPass.frequency);
    EXPECT_EQ(bytes[in0 + 79], input.lowPass.slope);
    EXPECT_EQ(bytes[in0 + 81], input.gateOff);
    EXPECT_EQ(bytes[in0 + 82], input.name.size());

    std::size_t out0 = in0;
    for (const InputImage& in : first.inputs)
        out0 += 83 + in.name.size();
    const OutputImage& output = first.outputs[0];
    EXPECT_EQ(bytes[out0 + 54], output.sourceMask);
    EXPECT_EQ(bytes[out0 + 55], 0);
    EXPECT_EQ(bytes[out0 + 64] | bytes[out0 + 65] << 8, output.limitThreshold);
    EXPECT_EQ(bytes[out0 + 71], output.timing);
    EXPECT_EQ(bytes[out0 + 72], output.name.size());

    // Program 7 carries a 300-character name: 0xFF and a WORD length.
    std::size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        const ProgramImage& p = source_.GetStoredPrograms()[static_cast<std::size_t>(i)];
        at += 1 + p.name.size();
        for (const InputImage& in : p.inputs)
            at += 83 + in.name.size();
        for (const OutputImage& out : p.outputs)
            at += 73 + out.name.size();
    }
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4),
              (Bytes{0xFF, 0x2C, 0x01, 'L'}));
}

TEST_F(FilesBankFile, StoreRecallStoreIsByteIdentical) {
    source_.GetStoredPrograms()[3].outputs[2].reserved = 9; // always written as 0
    const FileResult saved = StoreAllToPC(source_, (dir_ / "first.dat48").string());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved.path, (dir_ / "first.dat48").string());

    CZorvanDoc reader;
    const FileResult read = RecallAllFromPC(reader, saved.path);
    ASSERT_TRUE(read) << read.error;
    source_.GetStoredPrograms()[3].outputs[2].reserved = 0;
    for (std::size_t i = 0; i < source_.GetStoredPrograms().size(); ++i)
        EXPECT_EQ(reader.GetStoredPrograms()[i], source_.GetStoredPrograms()[i]) << i;
    EXPECT_EQ(reader.GetWorkingImage(), source_.GetStoredPrograms()[29]);

    ASSERT_TRUE(StoreAllToPC(reader, (dir_ / "second.dat").string()));
    EXPECT_EQ(ReadFile(dir_ / "second.dat"), ReadFile(saved.path));
}

TEST_F(FilesBankFile, CutBankFailsAndLeavesTheStoredPrograms) {
    const FileResult saved = StoreAllToPC(source_, (dir_ / "cut.dat").string());
    ASSERT_TRUE(saved);
    const std::size_t size = fs::file_size(saved.path);

    CZorvanDoc reader;
    reader.GetStoredPrograms()[0].name = "Before";
    reader.GetStoredPrograms()[29].outputs[7].gain = 321;
    reader.GetWorkingImage().name = "Working";
    const CZorvanDoc::StoredPrograms before = reader.GetStoredPrograms();
    // Every length within the first program, then every 61st byte to the end.
    const std::size_t dense = size / 30 + 10;
    for (std::size_t length = size; length-- > 0;) {
        if (length > dense && length % 61 != 0 && length != size - 1)
            continue;
        fs::resize_file(saved.path, length);
        const FileResult result = RecallAllFromPC(reader, saved.path);
        ASSERT_FALSE(result) << length;
        ASSERT_EQ(result.error, "File read Error");
        ASSERT_TRUE(reader.GetStoredPrograms() == before) << length;
    }
    EXPECT_EQ(reader.GetWorkingImage().name, "Working");

    const FileResult missing = RecallAllFromPC(reader, (dir_ / "absent.dat").string());
    EXPECT_EQ(missing.error, "File read Error");
    EXPECT_TRUE(reader.GetStoredPrograms() == before);
}

TEST_F(FilesBankFile, FailedSaveReportsWriteError) {
    const FileResult result = StoreAllToPC(source_, (dir_ / "missing" / "bank").string());
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, "MusicFile Write Error");
    EXPECT_EQ(result.path, (dir_ / "missing" / "bank.dat").string());
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(FilesBankFile, BankReadsIntoEveryVariantWithThatVariantsEncoding) {
    source_.GetStoredPrograms()[4].inputs[1].bands[2].gain = 300;
    source_.GetStoredPrograms()[4].inputs[1].bands[2].bandwidth = 20;
    source_.GetStoredPrograms()[4].inputs[1].name = "ABCDEFGHIJ";
    ASSERT_TRUE(StoreAllToPC(source_, (dir_ / "any.dat24").string()));

    for (int deviceType : {1, 2, 3}) {
        SCOPED_TRACE(deviceType);
        CZorvanDoc reader;
        ASSERT_TRUE(RecallAllFromPC(reader, (dir_ / "any.dat24").string()));
        const ProgramImage& image = reader.GetStoredPrograms()[4];
        const auto program = ProgramFromImage(image, deviceType);
        EXPECT_EQ(program->GetDeviceType(), deviceType);
        EXPECT_EQ(program->GetName(), image.name);

        const CAudio_InData& in = *program->GetInput(1);
        EXPECT_EQ(in.GetNameText(), "ABCDEFGH");
        EXPECT_EQ(in.GetDelay(), image.inputs[1].delay);
        EXPECT_EQ(in.GetGain(), image.inputs[1].gain);
        EXPECT_EQ(in.GetAuxValue(), image.inputs[1].auxValue);
        EXPECT_EQ(in.GetGateThreshold(), image.inputs[1].gateThreshold);
        const CFilter& flat = *in.GetFilter(2);
        EXPECT_EQ(flat.IsFlat(), 1);
        EXPECT_EQ(flat.GetGain(), 0.0);
        EXPECT_NEAR(flat.GetBandwidth(), deviceType == 1 ? 0.25 : 1.05, 1e-9);
        const CFilter& band = *in.GetFilter(3);
        EXPECT_EQ(band.IsFlat(), 0);
        EXPECT_EQ(band.GetGainIndex(), image.inputs[1].bands[3].gain);
        EXPECT_EQ(band.GetFrequency(), image.inputs[1].bands[3].frequency);
        EXPECT_EQ(band.GetType(), image.inputs[1].bands[3].type);
        EXPECT_EQ(band.GetSlope(), image.inputs[1].bands[3].shelfSlope);
        // The crossover sections take the high-pass or the low-pass fields by their own type.
        EXPECT_EQ(in.GetEQ().GetHighPass()->GetFrequency(), image.inputs[1].highPass.frequency);
        EXPECT_EQ(in.GetEQ().GetHighPass()->GetCrossoverType(), image.inputs[1].highPass.type);
        EXPECT_EQ(in.GetEQ().GetLowPass()->GetFrequency(), image.inputs[1].lowPass.frequency);
        EXPECT_EQ(in.GetEQ().GetLowPass()->GetSlope(), image.inputs[1].lowPass.slope);
        EXPECT_EQ(in.GetEQ().GetHighPass()->GetType(), CFilter::HighPass);

        const CAudio_OutData& out = *program->GetOutput(6);
        const OutputImage& o = image.outputs[6];
        EXPECT_EQ(out.GetNameText(), o.name);
        EXPECT_EQ(out.GetGain(), o.gain);
        EXPECT_EQ(out.GetSourceMask(), o.sourceMask);
        EXPECT_EQ(out.GetLimitThreshold(), o.limitThreshold);
        EXPECT_EQ(out.GetAttack(), o.attack);
        EXPECT_EQ(out.GetRelease(), o.release);
        EXPECT_EQ(out.GetClipLimit(), o.clipLimit);
        EXPECT_EQ(out.GetRatio(), o.ratio);
        EXPECT_EQ(out.GetCompressorMode(), o.mode);
        EXPECT_EQ(out.GetAutoTiming(), o.timing);
        EXPECT_EQ(out.GetFilter(5)->GetBandwidthIndex(), o.bands[5].bandwidth);
        EXPECT_EQ(out.GetEQ().GetLowPass()->GetFrequency(), o.lowPass.frequency);
        EXPECT_EQ(out.GetEQ().GetHighPass()->GetSlope(), o.highPass.slope);
        // The variant's missing channels stay disabled.
        EXPECT_EQ(program->GetOutput(7)->IsEnabled(), deviceType == 1 ? 1 : 0);
    }
}
