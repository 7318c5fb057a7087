#include "core/files/Archive.h"
#include "core/files/ProgramImage.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Store(CAudio_Data& program) {
    CArchive ar;
    program.Serialize(ar);
    return ar.GetBuffer();
}

void Load(CAudio_Data& program, const Bytes& bytes) {
    CArchive ar(bytes);
    program.Serialize(ar);
}

std::int32_t Int32At(const Bytes& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return static_cast<std::int32_t>(v);
}

double DoubleAt(const Bytes& b, std::size_t at) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b.at(at + static_cast<std::size_t>(i));
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Moves every archived field of a program away from its default value.
void FillEveryField(CAudio_Data& p) {
    p.SetName("Stage Left");
    for (int i = 0; i < p.GetInputCount(); ++i) {
        CAudio_InData& in = *p.GetInput(i);
        in.SetName("In" + std::to_string(i) + "long");
        in.SetOn(0);
        in.SetPolarity(1);
        in.SetDelay(1234 + i);
        in.SetGain(250 + i);
        in.SetAuxFlag(1);
        in.SetAuxValue(77 + i);
        in.SetGateThreshold(static_cast<std::uint8_t>(90 + i));
        in.SetGateOff(1);
        in.SetLevelCode(static_cast<std::uint8_t>(18 + i));
        in.SetChannelIndex(static_cast<std::uint8_t>(3 - i));
    }
    for (int i = 0; i < p.GetOutputCount(); ++i) {
        CAudio_OutData& out = *p.GetOutput(i);
        out.SetName("Out" + std::to_string(i));
        out.SetReserved1(5 + i);
        out.SetNameCode(static_cast<std::uint8_t>(40 + i));
        out.SetOn(0);
        out.SetGain(123 + i);
        out.SetPolarity(1);
        out.SetSourceMask(static_cast<std::uint8_t>(0x0A + i));
        out.SetDelay(4321 + i);
        out.SetLevelCode(static_cast<std::uint8_t>(60 + i));
        out.SetReserved2(9 + i);
        out.SetLimitThreshold(210 + i);
        out.SetAttack(static_cast<std::uint8_t>(33 + i));
        out.SetRelease(4);
        out.SetClipLimit(55 + i);
        out.SetRatio(6);
        out.SetCompressorMode(1);
        out.SetAutoTiming(1);
        out.SetDynamicsCode(static_cast<std::uint8_t>(80 + i));
        out.SetChannelIndex(static_cast<std::uint8_t>(7 - i));
    }
    auto fill = [](CFilter& f, int seed) {
        f.SetType(seed % 5);
        f.SetFrequency(1000 + seed);
        f.StepSentFrequency(0); // moves the sent frequency off its default
        f.SetGain(-7.3 + seed * 0.1);
        f.SetFlat(0);
        f.SetBandwidth(1.37 + seed * 0.01);
        f.SetCrossoverType(seed % 2);
        f.SetSlope(3);
        f.SetCode(20 + seed);
    };
    int seed = 1;
    for (int i = 0; i < p.GetInputCount(); ++i)
        for (int f = 0; f < p.GetInput(i)->GetFilterCount(); ++f)
            fill(*p.GetInput(i)->GetFilter(f), seed++);
    for (int i = 0; i < p.GetOutputCount(); ++i)
        for (int f = 0; f < p.GetOutput(i)->GetFilterCount(); ++f)
            fill(*p.GetOutput(i)->GetFilter(f), seed++);
}

} // namespace

TEST(FilesArchive, NumbersAreLittleEndian) {
    CArchive ar;
    ar << std::uint8_t{0xAB} << std::uint16_t{0x1234} << std::int32_t{-2}
       << std::uint32_t{0xA1B2C3D4} << 1.0;
    const Bytes expected{0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xD4, 0xC3, 0xB2,
                         0xA1, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F};
    EXPECT_EQ(ar.GetBuffer(), expected);

    CArchive in(expected);
    std::uint8_t b = 0;
    std::uint16_t w = 0;
    std::int32_t i = 0;
    std::uint32_t d = 0;
    double x = 0;
    in >> b >> w >> i >> d >> x;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(d, 0xA1B2C3D4u);
    EXPECT_EQ(x, 1.0);
    EXPECT_TRUE(in.AtEnd());
}

TEST(FilesArchive, StringLengthPrefixFollowsTheLength) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {8, {0x08}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, 'x');
        if (!text.empty())
            text.back() = 'y';
        CArchive ar;
        ar << text;
        const Bytes bytes = ar.GetBuffer();
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin()));

        CArchive in(bytes);
        std::string back;
        in >> back;
        EXPECT_EQ(back, text);
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(FilesArchive, ReadingPastTheEndThrows) {
    std::uint32_t d = 0;
    CArchive threeBytes(Bytes{1, 2, 3});
    EXPECT_THROW(threeBytes >> d, CArchiveException);

    std::string text;
    // A string that claims more characters than follow, in each length form.
    for (const Bytes& b : {Bytes{0x05, 'a', 'b'}, Bytes{0xFF, 0x2C, 0x01, 'a'}, Bytes{0xFF},
                           Bytes{0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'a', 'b'}}) {
        CArchive in(b);
        EXPECT_THROW(in >> text, CArchiveException);
    }
}

TEST(FilesArchive, DefaultProgramIs5047BytesInTheKnownLayout) {
    CAudio_Data program;
    const Bytes bytes = Store(program);
    ASSERT_EQ(bytes.size(), 5047u);

    EXPECT_EQ(bytes[0], 10);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 11), "NewProgram");

    // Input "A": name, on, polarity, delay, gain 400, aux flag, aux value, gate 60, gate on,
    // level code 8, channel index 0.
    const std::size_t in0 = 11;
    EXPECT_EQ(bytes[in0], 1);
    EXPECT_EQ(bytes[in0 + 1], 'A');
    EXPECT_EQ(bytes[in0 + 2], 1);
    EXPECT_EQ(bytes[in0 + 3], 0);
    EXPECT_EQ(Int32At(bytes, in0 + 4), 0);
    EXPECT_EQ(Int32At(bytes, in0 + 8), 400);
    EXPECT_EQ(bytes[in0 + 17], 60);
    EXPECT_EQ(bytes[in0 + 18], 0);
    EXPECT_EQ(bytes[in0 + 19], 8);
    EXPECT_EQ(bytes[in0 + 20], 0);
    // Its first EQ band, then the high-pass and low-pass sections (block code 9).
    const std::size_t band0 = in0 + 21;
    EXPECT_EQ(Int32At(bytes, band0), 0);
    EXPECT_EQ(Int32At(bytes, band0 + 4), 10);
    EXPECT_EQ(Int32At(bytes, band0 + 8), 10);
    EXPECT_EQ(DoubleAt(bytes, band0 + 12), 0.0);
    EXPECT_EQ(Int32At(bytes, band0 + 20), 1);
    EXPECT_EQ(DoubleAt(bytes, band0 + 24), 0.05);
    EXPECT_EQ(Int32At(bytes, band0 + 32), 2);
    EXPECT_EQ(Int32At(bytes, band0 + 36), 0);
    EXPECT_EQ(Int32At(bytes, band0 + 40), 0);
    const std::size_t lowPass = band0 + 9 * 44;
    EXPECT_EQ(Int32At(bytes, lowPass), 4);
    EXPECT_EQ(Int32At(bytes, lowPass + 4), 30000);
    EXPECT_EQ(Int32At(bytes, lowPass + 8), 30000);
    EXPECT_EQ(Int32At(bytes, lowPass + 40), 9);
    // Input "D" is the fourth record of 461 bytes.
    EXPECT_EQ(bytes[11 + 3 * 461 + 1], 'D');
    EXPECT_EQ(bytes[11 + 3 * 461 + 20], 3);

    // Output "1" after the inputs.
    const std::size_t out0 = 11 + 4 * 461;
    EXPECT_EQ(bytes[out0 + 1], '1');
    EXPECT_EQ(Int32At(bytes, out0 + 2), 0);                // reserved
    EXPECT_EQ(bytes[out0 + 6], 9);                         // name block code
    EXPECT_EQ(bytes[out0 + 7], 1);                         // on
    EXPECT_EQ(Int32At(bytes, out0 + 8), 400);              // gain
    EXPECT_EQ(bytes[out0 + 13], 1);                        // source mask
    EXPECT_EQ(bytes[out0 + 18], 6);                        // level block code
    EXPECT_EQ(Int32At(bytes, out0 + 23), 400);             // limit threshold
    EXPECT_EQ(Int32At(bytes, out0 + 29), 20);              // clip limit
    EXPECT_EQ(bytes[out0 + 45], 8);                        // dynamics block code
    EXPECT_EQ(bytes[out0 + 46], 0);                        // channel index
    EXPECT_EQ(Int32At(bytes, out0 + 47 + 6 * 44), 3);      // high-pass type
    EXPECT_EQ(Int32At(bytes, out0 + 47 + 6 * 44 + 40), 7); // crossover block code
    EXPECT_EQ(bytes[out0 + 7 * 399 + 1], '8');
    EXPECT_EQ(bytes[out0 + 7 * 399 + 46], 7);

    CAudio_Data reread;
    Load(reread, bytes);
    EXPECT_EQ(Store(reread), bytes);
}

TEST(FilesArchive, EveryFieldSurvivesStoreLoadStore) {
    CAudio_Data original;
    FillEveryField(original);
    const Bytes first = Store(original);

    CAudio_Data copy;
    Load(copy, first);
    EXPECT_EQ(Store(copy), first);

    EXPECT_EQ(copy.GetName(), "Stage Left");
    EXPECT_EQ(copy.GetInput(2)->GetNameText(), "In2long");
    EXPECT_EQ(copy.GetInput(2)->GetChannelIndex(), 1);
    EXPECT_EQ(copy.GetInput(2)->GetLevelCode(), 20);
    EXPECT_EQ(copy.GetInput(1)->GetAuxValue(), 78);
    EXPECT_EQ(copy.GetOutput(5)->GetReserved1(), 10);
    EXPECT_EQ(copy.GetOutput(5)->GetNameCode(), 45);
    EXPECT_EQ(copy.GetOutput(5)->GetDynamicsCode(), 85);
    EXPECT_EQ(copy.GetOutput(5)->GetChannelIndex(), 2);
    const CFilter& f = *copy.GetOutput(7)->GetFilter(7);
    const CFilter& g = *original.GetOutput(7)->GetFilter(7);
    EXPECT_EQ(f.GetSentFrequency(), g.GetSentFrequency());
    EXPECT_EQ(f.GetGain(), g.GetGain());
    EXPECT_EQ(f.GetBandwidth(), g.GetBandwidth());
    EXPECT_EQ(f.GetCode(), g.GetCode());
}

TEST(FilesArchive, EveryFieldHasItsOwnPlaceInTheRecords) {
    CAudio_Data program;
    FillEveryField(program);
    const Bytes bytes = Store(program);
    const CAudio_InData& in = *program.GetInput(0);
    const CAudio_OutData& out = *program.GetOutput(0);

    // Offsets after the channel name (n = name length).
    const std::size_t in0 = 1 + program.GetName().size();
    const std::size_t ni = in0 + 1 + in.GetNameText().size();
    EXPECT_EQ(bytes[ni], in.GetOn());
    EXPECT_EQ(bytes[ni + 1], in.GetPolarity());
    EXPECT_EQ(Int32At(bytes, ni + 2), in.GetDelay());
    EXPECT_EQ(Int32At(bytes, ni + 6), in.GetGain());
    EXPECT_EQ(bytes[ni + 10], in.GetAuxFlag());
    EXPECT_EQ(Int32At(bytes, ni + 11), in.GetAuxValue());
    EXPECT_EQ(bytes[ni + 15], in.GetGateThreshold());
    EXPECT_EQ(bytes[ni + 16], in.GetGateOff());
    EXPECT_EQ(bytes[ni + 17], in.GetLevelCode());
    EXPECT_EQ(bytes[ni + 18], in.GetChannelIndex());
    const CFilter& f = *in.GetFilter(8);
    const std::size_t fi = ni + 19 + 8 * 44;
    EXPECT_EQ(Int32At(bytes, fi), f.GetType());
    EXPECT_EQ(Int32At(bytes, fi + 4), f.GetFrequency());
    EXPECT_EQ(Int32At(bytes, fi + 8), f.GetSentFrequency());
    EXPECT_NE(f.GetFrequency(), f.GetSentFrequency());
    EXPECT_EQ(DoubleAt(bytes, fi + 12), f.GetGain());
    EXPECT_EQ(Int32At(bytes, fi + 20), f.IsFlat());
    EXPECT_EQ(DoubleAt(bytes, fi + 24), f.GetBandwidth());
    EXPECT_EQ(Int32At(bytes, fi + 32), f.GetCrossoverType());
    EXPECT_EQ(Int32At(bytes, fi + 36), f.GetSlope());
    EXPECT_EQ(Int32At(bytes, fi + 40), f.GetCode());

    std::size_t out0 = in0;
    for (int i = 0; i < program.GetInputCount(); ++i)
        out0 += 1 + program.GetInput(i)->GetNameText().size() + 19 + 10 * 44;
    const std::size_t no = out0 + 1 + out.GetNameText().size();
    EXPECT_EQ(bytes[no - 1], out.GetNameText().back());
    EXPECT_EQ(Int32At(bytes, no), out.GetReserved1());
    EXPECT_EQ(bytes[no + 4], out.GetNameCode());
    EXPECT_EQ(bytes[no + 5], out.GetOn());
    EXPECT_EQ(Int32At(bytes, no + 6), out.GetGain());
    EXPECT_EQ(bytes[no + 10], out.GetPolarity());
    EXPECT_EQ(bytes[no + 11], out.GetSourceMask());
    EXPECT_EQ(Int32At(bytes, no + 12), out.GetDelay());
    EXPECT_EQ(bytes[no + 16], out.GetLevelCode());
    EXPECT_EQ(Int32At(bytes, no + 17), out.GetReserved2());
    EXPECT_EQ(Int32At(bytes, no + 21), out.GetLimitThreshold());
    EXPECT_EQ(bytes[no + 25], out.GetAttack());
    EXPECT_EQ(bytes[no + 26], out.GetRelease());
    EXPECT_EQ(Int32At(bytes, no + 27), out.GetClipLimit());
    EXPECT_EQ(Int32At(bytes, no + 31), out.GetRatio());
    EXPECT_EQ(Int32At(bytes, no + 35), out.GetCompressorMode());
    EXPECT_EQ(Int32At(bytes, no + 39), out.GetAutoTiming());
    EXPECT_EQ(bytes[no + 43], out.GetDynamicsCode());
    EXPECT_EQ(bytes[no + 44], out.GetChannelIndex());
    EXPECT_EQ(Int32At(bytes, no + 45 + 7 * 44 + 40), out.GetFilter(7)->GetCode());
}

// A band taken from a device or bank record holds its bandwidth as step times index plus
// 0.05 octave; the archive carries exactly those double bits, which for some steps differ in the
// last place from the decimal value.
TEST(FilesArchive, BandwidthFromAnIndexIsArchivedWithTheDevicesBits) {
    struct Case {
        int deviceType;
        std::uint16_t index;
        Bytes bits; // little-endian double at offset 24 of the section record
    };
    const Case cases[] = {
        {1, 1, {0xB9, 0x1E, 0x85, 0xEB, 0x51, 0xB8, 0xAE, 0x3F}},  // 0.060000000000000005
        {1, 24, {0x8F, 0xC2, 0xF5, 0x28, 0x5C, 0x8F, 0xD2, 0x3F}}, // 0.29
        {2, 2, {0x34, 0x33, 0x33, 0x33, 0x33, 0x33, 0xC3, 0x3F}},  // 0.15000000000000002
        {3, 59, {0, 0, 0, 0, 0, 0, 0x08, 0x40}},                   // 3.0
    };
    for (const Case& c : cases) {
        CFilter band;
        band.SetDeviceType(c.deviceType);
        BandImage image;
        image.frequency = 1000;
        image.gain = 360;
        image.bandwidth = c.index;
        band.LoadFromImage(image);
        CArchive ar;
        band.Serialize(ar);
        const Bytes bytes = ar.GetBuffer();
        ASSERT_EQ(bytes.size(), 44u);
        EXPECT_EQ(Bytes(bytes.begin() + 24, bytes.begin() + 32), c.bits)
            << "device type " << c.deviceType << ", index " << c.index;
        EXPECT_EQ(band.GetBandwidthIndex(), c.index);
    }
}

TEST(FilesArchive, GainFromAnIndexIsArchivedWithTheDevicesBits) {
    // The band gain is stored as a double: a gain set through its index must carry exactly the
    // bits the established tool writes, or re-saved files would differ from the originals.
    struct Case {
        std::uint16_t index;
        Bytes bits; // little-endian double at offset 12 of the section record
        bool flat;
    };
    const Case cases[] = {
        {301, {0x00, 0x9A, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}, false}, // 0.10000000000000142
        {299, {0x00, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0xBF}, false}, // -0.09999999999999787
        {1, {0x66, 0x66, 0x66, 0x66, 0x66, 0xE6, 0x3D, 0xC0}, false},   // -29.9
        {300, {0, 0, 0, 0, 0, 0, 0, 0}, true},                          // exactly 0.0: flat
    };
    for (const Case& c : cases) {
        CFilter band;
        BandImage image;
        image.frequency = 1000;
        image.gain = c.index;
        image.bandwidth = 95;
        band.LoadFromImage(image);
        CArchive ar;
        band.Serialize(ar);
        const Bytes bytes = ar.GetBuffer();
        ASSERT_EQ(bytes.size(), 44u);
        EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.begin() + 20), c.bits) << "index " << c.index;
        EXPECT_EQ(band.GetGainIndex(), c.index);
        EXPECT_EQ(band.IsFlat() != 0, c.flat) << "index " << c.index;
    }
}

TEST(FilesArchive, LoadingKeepsWhatIsNotArchived) {
    CAudio_Data source;
    FillEveryField(source);
    const Bytes bytes = Store(source);

    CAudio_Data target;
    target.SetDeviceType(3);
    target.SetDeviceId(17);
    target.SetTemperature(40);
    target.GetInput(0)->SetColor(RGB(1, 2, 3));
    target.GetOutput(0)->SetNameChanged(0);
    target.GetOutput(0)->SetDynamicsChanged(1);
    Load(target, bytes);

    EXPECT_EQ(target.GetDeviceType(), 3);
    EXPECT_EQ(target.GetDeviceId(), 17);
    EXPECT_EQ(target.GetTemperature(), 40);
    EXPECT_EQ(target.GetInput(0)->GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(target.GetInput(3)->IsEnabled(), 0);
    EXPECT_EQ(target.GetOutput(0)->IsNameChanged(), 0);
    EXPECT_EQ(target.GetOutput(0)->IsDynamicsChanged(), 1);
    EXPECT_EQ(target.GetOutput(0)->GetFilter(0)->GetDeviceType(), 3);
    EXPECT_EQ(target.GetOutput(0)->GetNameText(), "Out0");
}

TEST(FilesArchive, LoadingRecomputesTheSectionResponse) {
    CAudio_Data source;
    CFilter& band = *source.GetInput(0)->GetFilter(0);
    band.SetFrequency(1000);
    band.SetBandwidth(1.0);
    band.SetGainIndex(420); // +12 dB
    CAudio_Data target;
    Load(target, Store(source));
    const CFilter& loaded = *target.GetInput(0)->GetFilter(0);
    for (int i = 0; i < PlotPointCount; ++i)
        EXPECT_EQ(loaded.GetResponse(i), band.GetResponse(i)) << i;
    EXPECT_GT(loaded.GetResponse(120), 1.0);
}

TEST(FilesArchive, LongNamesUseTheWordPrefixAndChannelNamesAreCut) {
    CAudio_Data program;
    program.SetName(std::string(300, 'n'));
    const Bytes bytes = Store(program);
    ASSERT_EQ(bytes.size(), 5047u - 11 + 3 + 300);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x2C);
    EXPECT_EQ(bytes[2], 0x01);

    // A channel name of more than 8 characters in a file is cut when it is loaded.
    Bytes edited = bytes;
    const std::size_t nameAt = 3 + 300;
    ASSERT_EQ(edited[nameAt], 1);
    edited[nameAt] = 10;
    edited[nameAt + 1] = 'L';
    const Bytes extra{'o', 'n', 'g', 'e', 'r', 'N', 'a', 'm', 'e'};
    edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(nameAt + 2), extra.begin(),
                  extra.end());
    CAudio_Data target;
    Load(target, edited);
    EXPECT_EQ(target.GetName(), std::string(300, 'n'));
    EXPECT_EQ(target.GetInput(0)->GetNameText(), "LongerNa");
    EXPECT_EQ(target.GetInput(1)->GetNameText(), "B");
}

TEST(FilesArchive, DocumentLoadThatEndsEarlyLeavesTheProgram) {
    CAudio_Data source;
    FillEveryField(source);
    const Bytes full = Store(source);

    CZorvanDoc doc;
    doc.GetProgram().SetName("Keep");
    doc.GetProgram().GetOutput(3)->SetGain(99);
    CArchive before;
    doc.Serialize(before);
    const Bytes original = before.GetBuffer();

    for (std::size_t cut : {std::size_t{0}, std::size_t{11}, std::size_t{500}, full.size() - 1}) {
        SCOPED_TRACE(cut);
        CArchive ar(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_THROW(doc.Serialize(ar), CArchiveException);
        CArchive after;
        doc.Serialize(after);
        EXPECT_EQ(after.GetBuffer(), original);
    }
    CArchive whole(full);
    doc.Serialize(whole);
    CArchive after;
    doc.Serialize(after);
    EXPECT_EQ(after.GetBuffer(), full);
}
