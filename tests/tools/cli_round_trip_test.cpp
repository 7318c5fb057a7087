// Backup -> restore -> backup and pull -> push -> pull through sonvex-cli and the simulated
// processor give back every value that was in range, on every model: programs whose values sit
// at the two ends of their ranges come back as they went out.

#include "common/FileBytes.h"
#include "tools/CliRunner.h"

#include "core/SimTestPrograms.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using clitest::CliResult;
using clitest::RunCli;
using simtest::SimProcess;

using testfiles::ReadFile;

namespace {

std::uint16_t W(int value) {
    return static_cast<std::uint16_t>(value);
}
std::uint8_t B(int value) {
    return static_cast<std::uint8_t>(value);
}

// Every field of a band at the bottom or the top of its range.
BandImage EndBand(int type, bool top) {
    BandImage band;
    band.frequency = W(top ? MaxFrequency : MinFrequency);
    band.gain = W(top ? EqGainRange.max : 0);
    band.bandwidth = W(top ? BandwidthRange(type).max : 0);
    band.shelfSlope = B(top ? ShelfSlopeRange.max : 0);
    band.type = B(top ? EqTypeRange.max : 0);
    return band;
}

// The high-pass takes one end and the low-pass the other, so that one channel has its high-pass
// above its low-pass: what a device holds comes back even where an editor would not allow it.
template <typename Image> void EndChannel(Image& image, int type, bool top) {
    for (BandImage& band : image.bands) {
        band = EndBand(type, top);
    }
    image.on = B(top ? 1 : 0);
    image.polarity = B(top ? 1 : 0);
    image.delay = W(top ? DelayRange(type).max : 0);
    image.name = top ? "ABCDEFGH" : "a";
    image.highPass = {W(top ? MaxFrequency : MinFrequency), B(top ? CrossoverTypeRange.max : 0),
                      B(top ? CrossoverSlopeRange.max : 0)};
    image.lowPass = {W(top ? MinFrequency : MaxFrequency), B(top ? 0 : CrossoverTypeRange.max),
                     B(top ? 0 : CrossoverSlopeRange.max)};
}

// A stored program whose channels sit at the ends of their ranges, the even channels at one
// end and the odd ones at the other (swapped by `swap`). Two things the wire itself decides are
// left out: automatic timing sends a derived attack and release, and a gate that is off sends
// threshold 0, so the timing is manual and a gate is off only at threshold 0. The aux bytes are
// 0, as the encoders send them.
ProgramImage EndsImage(int type, bool swap, const std::string& name) {
    ProgramImage image;
    image.name = name;
    for (std::size_t i = 0; i < image.inputs.size(); ++i) {
        InputImage& in = image.inputs[i];
        const bool top = (i % 2 == 1) != swap;
        EndChannel(in, type, top);
        in.gain = W(top ? InputGainRange(type).max : 0);
        in.gateThreshold = B(top ? GateThresholdRange(type).max : 0);
        in.gateOff = B(top ? 0 : 1);
    }
    for (std::size_t o = 0; o < image.outputs.size(); ++o) {
        OutputImage& out = image.outputs[o];
        const bool top = (o % 2 == 1) != swap;
        EndChannel(out, type, top);
        out.gain = W(top ? OutputGainRange(type).max : 0);
        out.sourceMask = B(top ? 0x0F : 0);
        out.limitThreshold = W(top ? LimitThresholdRange.max : 0);
        out.attack = B(top ? AttackRange.max : 0);
        out.release = B(top ? ReleaseRange.max : 0);
        out.clipLimit = B(top ? ClipLimitRange.max : 0);
        out.ratio = B(top ? RatioRange.max : 0);
        out.mode = B(top ? 1 : 0);
    }
    return image;
}

// The channels a model has hold the same parameters when they encode to the same records.
void ExpectSameOwnChannels(CAudio_Data& expected, CAudio_Data& actual, const Variant& variant) {
    ProgramEncoder want(expected);
    ProgramEncoder got(actual);
    for (int i = 0; i < variant.inputCount; ++i) {
        EXPECT_EQ(simtest::PayloadOf(want.WriteInputChannel(0, i)),
                  simtest::PayloadOf(got.WriteInputChannel(0, i)))
            << "input " << i;
    }
    for (int o = 0; o < variant.outputCount; ++o) {
        EXPECT_EQ(simtest::PayloadOf(want.WriteOutputChannel(0, o)),
                  simtest::PayloadOf(got.WriteOutputChannel(0, o)))
            << "output " << o;
    }
}

class CliRoundTripTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    const Variant& Model() const { return Variant::OfDeviceType(GetParam()); }

    // sonvex-cli command on the simulator's line for this test's model, fast ticks and
    // transfers; false (and a failure) when it did not succeed.
    bool Run(const SimProcess& sim, const QString& command, const QStringList& more) const {
        const CliResult result = RunCli(QStringList{command, "--port", sim.Link(), "--model",
                                                    Model().name, "--tick", "5", "--fast"} +
                                        more);
        EXPECT_EQ(result.exitCode, 0) << command.toStdString() << ": " << result.err.toStdString();
        return result.exitCode == 0;
    }

    // A program file of this model, read as every loader reads it.
    bool Load(const QString& path, CZorvanDoc& doc) const {
        doc.GetProgram().SetDeviceType(GetParam());
        const FileResult read = RecallProgramFromPC(doc, GetParam(), path.toStdString());
        EXPECT_TRUE(read.ok) << read.reason;
        return read.ok;
    }

    QTemporaryDir m_dir;
};

TEST_P(CliRoundTripTest, EveryInRangeValueComesBack) {
    const int type = GetParam();
    const QString extension = QString::fromLatin1(Model().programExtension);
    SimProcess sim({"--fast", "--device", QStringLiteral("1:%1").arg(type)});
    ASSERT_TRUE(sim.Started());

    CZorvanDoc source;
    for (std::size_t k = 0; k < source.GetStoredPrograms().size(); ++k) {
        const std::string name = k % 2 == 0 ? "L" : "Upper" + std::to_string(100 + k);
        source.GetStoredPrograms()[k] = EndsImage(type, k % 2 == 1, name);
    }
    ASSERT_TRUE(StoreAllToPC(source, Path("ends.dat").toStdString()).ok);

    // backup -> restore -> backup
    ASSERT_TRUE(Run(sim, "restore", {Path("ends.dat")}));
    ASSERT_TRUE(Run(sim, "backup", {"-o", Path("first.dat")}));
    const QByteArray first = ReadFile(Path("first.dat"));
    EXPECT_EQ(first, ReadFile(Path("ends.dat"))) << "the device did not give the bank back";
    ASSERT_TRUE(Run(sim, "restore", {Path("first.dat")}));
    ASSERT_TRUE(Run(sim, "backup", {"-o", Path("second.dat")}));
    EXPECT_EQ(ReadFile(Path("second.dat")), first);

    // pull --slot: stored program 2 has the odd channels at the bottom, the even ones at the top.
    ASSERT_TRUE(Run(sim, "pull", {"--slot", "2", "-o", Path("stored")}));
    CZorvanDoc stored;
    ASSERT_TRUE(Load(Path("stored") + extension, stored));
    const auto expected = ProgramFromImage(source.GetStoredPrograms()[1], type);
    EXPECT_EQ(stored.GetProgram().GetName(), expected->GetName());
    ExpectSameOwnChannels(*expected, stored.GetProgram(), Model());

    // pull -> push -> pull on the live program.
    ASSERT_TRUE(Run(sim, "push", {Path("stored") + extension}));
    ASSERT_TRUE(Run(sim, "pull", {"-o", Path("live1")}));
    ASSERT_TRUE(Run(sim, "push", {Path("live1") + extension}));
    ASSERT_TRUE(Run(sim, "pull", {"-o", Path("live2")}));
    const QByteArray live = ReadFile(Path("live1") + extension);
    ASSERT_FALSE(live.isEmpty());
    EXPECT_EQ(ReadFile(Path("live2") + extension), live);
    CZorvanDoc pulled;
    ASSERT_TRUE(Load(Path("live1") + extension, pulled));
    ExpectSameOwnChannels(stored.GetProgram(), pulled.GetProgram(), Model());
}

INSTANTIATE_TEST_SUITE_P(EveryModel, CliRoundTripTest, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(Variant::OfDeviceType(info.param).modelCode);
                         });

} // namespace
