#include "core/files/Archive.h"
#include "core/files/JsonText.h"
#include "core/files/PresetJson.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/EditRules.h"
#include "core/model/Variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ProgramBytes(CZorvanDoc& doc) {
    CArchive ar;
    doc.Serialize(ar);
    return ar.GetBuffer();
}

std::vector<std::uint8_t> BankBytes(const CZorvanDoc::StoredPrograms& bank) {
    CArchive ar;
    for (ProgramImage image : bank) {
        image.Serialize(ar);
    }
    return ar.GetBuffer();
}

// A program of the variant's model with something away from the defaults in every group, and
// band doubles that are not the value of their index (as a file of another writer may hold).
void EditProgram(CAudio_Data& program, const Variant& variant, int seed) {
    const int type = variant.deviceType;
    program.SetName(seed == 0 ? "Venue \"A\"" : "Prog" + std::to_string(seed) + "\xe4");
    for (int i = 0; i < program.GetInputCount(); ++i) {
        CAudio_InData& in = *program.GetInput(i);
        in.SetName("In" + std::to_string(i) + "\t");
        in.SetGain(InputGainRange(type).max - i - seed);
        in.SetDelay(DelayRange(type).max / (i + 2) + seed);
        in.SetPolarity(static_cast<std::uint8_t>(i % 2));
        in.SetGateThreshold(static_cast<std::uint8_t>(GateThresholdRange(type).max - i));
        in.SetGateOff(type == 1 && i == 1 ? 1 : 0);
        in.SetAuxFlag(1);
        in.SetAuxValue(200 + i);
        for (int b = 0; b < in.GetFilterCount() - 2; ++b) {
            CFilter& band = *in.GetFilter(b);
            band.SetType((b + seed) % 3);
            band.SetFrequency(20 + 997 * b + seed);
            band.SetGainIndex(10 + 53 * b);
            band.SetBandwidthIndex(BandwidthRange(type).max - 3 * b);
            band.SetSlope(b % 2);
        }
        in.GetFilter(1)->SetGain(-2.97);      // not on a step
        in.GetFilter(2)->SetBandwidth(0.333); // nor this
        in.GetFilter(3)->SetFlat(1);          // off with its gain kept
        // Exactly -4.9, where index 251 stands for -4.899999999999999: both must come back.
        in.GetFilter(4)->SetGain(-4.9);
        in.GetFilter(5)->SetGainIndex(251);
        in.GetHighPass()->SetFrequency(40 + i);
        in.GetHighPass()->SetSentFrequency(20);
    }
    for (int o = 0; o < program.GetOutputCount(); ++o) {
        CAudio_OutData& out = *program.GetOutput(o);
        out.SetName(std::string(8, static_cast<char>('a' + o)));
        out.SetGain(OutputGainRange(type).min + 11 * o);
        out.SetDelay(o * 7);
        out.SetSourceMask(static_cast<std::uint8_t>(1 + o % 15));
        out.SetLimitThreshold(500 - o);
        out.SetAttack(static_cast<std::uint8_t>(o * 13));
        out.SetRelease(static_cast<std::uint8_t>(o % 6));
        out.SetClipLimit(o * 12);
        out.SetRatio(o % 8);
        out.SetCompressorMode(o % 2);
        out.SetAutoTiming(o % 4 == 1 ? 1 : 0);
        out.SetReserved1(o == 3 ? -7 : 0);
        for (int b = 0; b < out.GetFilterCount() - 2; ++b) {
            CFilter& band = *out.GetFilter(b);
            band.SetType(2 - b % 3);
            band.SetFrequency(19000 - 1234 * b);
            band.SetGainIndex(450 - 37 * b - o);
            band.SetBandwidthIndex(b);
        }
        out.GetHighPass()->SetFrequency(100 + o);
        out.GetHighPass()->SetCrossoverType(o % 3);
        out.GetHighPass()->SetSlope(o % 4);
        out.GetLowPass()->SetFrequency(16000 - o);
    }
}

TEST(PresetJson, ProgramFilesOfEveryModelComeBackByteForByte) {
    for (const Variant* variant : Variant::All()) {
        for (int seed = 0; seed < 3; ++seed) {
            CZorvanDoc doc;
            doc.GetProgram().SetDeviceType(variant->deviceType);
            if (seed > 0) {
                EditProgram(doc.GetProgram(), *variant, seed);
            }
            // Through the file reader first, as the command-line tool reads a file.
            const std::vector<std::uint8_t> file = ProgramBytes(doc);
            std::istringstream in(std::string(file.begin(), file.end()));
            CZorvanDoc read;
            read.GetProgram().SetDeviceType(variant->deviceType);
            ASSERT_EQ(ReadProgram(in, read), "");
            const std::string json = ProgramToJson(read.GetProgram(), *variant);

            CZorvanDoc back;
            std::string error;
            std::vector<std::string> ruleBreaks;
            ASSERT_TRUE(ProgramFromJson(json, *variant, back.GetProgram(), error, ruleBreaks))
                << variant->name << " seed " << seed << ": " << error;
            EXPECT_TRUE(ruleBreaks.empty()) << ruleBreaks.front();
            EXPECT_EQ(ProgramBytes(back), file) << variant->name << " seed " << seed;
            EXPECT_EQ(ProgramToJson(back.GetProgram(), *variant), json);
        }
    }
}

// A valid stored program of the model of type, different for every seed.
ProgramImage Image(int type, int seed) {
    CAudio_Data program;
    program.SetDeviceType(type);
    ProgramImage image;
    image.name = "Bank" + std::to_string(seed);
    for (std::size_t i = 0; i < image.inputs.size(); ++i) {
        InputImage& in = image.inputs[i];
        in.name = "I" + std::to_string(i);
        in.on = static_cast<std::uint8_t>((seed + i) % 2);
        in.gain = static_cast<std::uint16_t>(InputGainRange(type).max - seed);
        in.delay = static_cast<std::uint16_t>(DelayRange(type).max - seed * 3);
        in.gateThreshold = static_cast<std::uint8_t>(seed % 60);
        in.gateOff = type == 1 ? 1 : 0;
        in.auxValue = static_cast<std::uint8_t>(seed);
        for (std::size_t b = 0; b < in.bands.size(); ++b) {
            in.bands[b] = {static_cast<std::uint16_t>(100 + seed * 10 + b),
                           static_cast<std::uint16_t>(seed * 15 % 451),
                           static_cast<std::uint16_t>(b % 50), static_cast<std::uint8_t>(b % 2),
                           static_cast<std::uint8_t>(b % 3)};
        }
        in.highPass = {static_cast<std::uint16_t>(10 + seed), 1, 3};
        in.lowPass = {30000, 2, 0};
    }
    for (std::size_t o = 0; o < image.outputs.size(); ++o) {
        OutputImage& out = image.outputs[o];
        out.name = "O" + std::to_string(o);
        out.on = 1;
        out.gain = static_cast<std::uint16_t>(seed * 17 % 551);
        out.sourceMask = static_cast<std::uint8_t>(1 + (seed + o) % 15);
        out.reserved = static_cast<std::uint8_t>(o);
        out.highPass = {static_cast<std::uint16_t>(1000 + o), 0, 2};
        out.lowPass = {static_cast<std::uint16_t>(2000 + o), 1, 1};
        out.limitThreshold = static_cast<std::uint16_t>(seed * 16);
        out.attack = static_cast<std::uint8_t>(seed * 3);
        out.release = static_cast<std::uint8_t>(seed % 6);
        out.clipLimit = static_cast<std::uint8_t>(seed * 3);
        out.ratio = static_cast<std::uint8_t>(seed % 8);
        out.mode = 1;
        out.timing = static_cast<std::uint8_t>(seed % 2);
        for (std::size_t b = 0; b < out.bands.size(); ++b) {
            out.bands[b] = {20000, 300, 0, 0, static_cast<std::uint8_t>(b % 3)};
        }
    }
    return image;
}

TEST(PresetJson, BankFilesOfEveryModelComeBackByteForByte) {
    for (const Variant* variant : Variant::All()) {
        auto bank = std::make_unique<CZorvanDoc::StoredPrograms>();
        for (std::size_t i = 0; i < bank->size(); ++i) {
            (*bank)[i] = Image(variant->deviceType, static_cast<int>(i));
        }
        const std::string json = BankToJson(*bank, *variant);
        auto back = std::make_unique<CZorvanDoc::StoredPrograms>();
        std::string error;
        std::vector<std::string> ruleBreaks;
        ASSERT_TRUE(BankFromJson(json, *variant, *back, error, ruleBreaks))
            << variant->name << ": " << error;
        EXPECT_TRUE(ruleBreaks.empty());
        EXPECT_EQ(BankBytes(*back), BankBytes(*bank)) << variant->name;
        EXPECT_EQ(BankToJson(*back, *variant), json);
    }
}

TEST(PresetJson, OneParameterALineInTheUnitsOfThePanel) {
    CAudio_Data program;
    program.SetDeviceType(1);
    program.GetOutput(0)->SetGain(370);
    program.GetOutput(0)->GetFilter(1)->SetGainIndex(270);
    program.GetOutput(0)->GetFilter(1)->SetBandwidthIndex(95);
    const std::string json = ProgramToJson(program, Variant::FourByEight());
    EXPECT_EQ(json.rfind("{\n  \"sonvex\": \"program\",\n  \"model\": \"4x8\",\n", 0), 0u) << json;
    EXPECT_NE(json.find("\n    \"out1\": {\n      \"name\": \"1\",\n      \"on\": true,\n"
                        "      \"polarity\": \"normal\",\n"
                        "      \"gain\": {\"dB\": -3.0, \"index\": 370},\n"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("      \"eq2\": {\n        \"type\": \"PEQ\",\n        \"on\": true,\n"
                        "        \"freq\": {\"Hz\": "),
              std::string::npos);
    EXPECT_NE(json.find("        \"gain\": {\"dB\": -3.0, \"index\": 270},\n"
                        "        \"bw\": {\"oct\": 1.00, \"index\": 95, \"Q\": 1.414},\n"),
              std::string::npos);
    EXPECT_NE(json.find("\"limiter\": {\n        \"threshold\": {\"dBu\": 10.0, \"index\": 400},"),
              std::string::npos);
}

// Replaces the first occurrence of from in text by to.
std::string Edited(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(PresetJson, WrongPresetsNameWhatIsWrongAndWhere) {
    const Variant& compact = Variant::ThreeBySix();
    CAudio_Data program;
    program.SetDeviceType(compact.deviceType);
    program.GetInput(0)->GetFilter(0)->SetFrequency(25000); // a peak may be that high
    const std::string json = ProgramToJson(program, compact);
    // The line of "in1"'s gain, counted in the text.
    const std::size_t gainAt = json.find("\"gain\": {\"dB\": 0.0, \"index\": 360}");
    const std::string gainLine = std::to_string(
        1 + std::count(json.begin(), json.begin() + static_cast<long>(gainAt), '\n'));
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {Edited(json, "\"index\": 360}", "\"index\": 561}"),
         "line " + gainLine + ": inputs.in1.gain.index: 561 is outside 0..560"},
        {Edited(json, "{\"dB\": 0.0, \"index\": 360}", "{\"dB\": -3.0, \"index\": 360}"),
         "line " + gainLine + ": inputs.in1.gain.dB: -3.0 dB is not index 360 (0.0 dB)"},
        {Edited(json, "\"gain\": {\"dB\": 0.0, \"index\": 360}", "\"gian\": 1"),
         "line " + gainLine + ": inputs.in1.gian: unknown key"},
        {Edited(json, "\"polarity\": \"normal\"", "\"polarity\": \"upside\""),
         "inputs.in1.polarity: 'upside' is not one of normal, invert"},
        {Edited(json, "\"mask\": 1}", "\"mask\": 0}"), "'A' is not mask 0 ('none')"},
        {Edited(json, "\"model\": \"3x6\"", "\"model\": \"4x8\""),
         "the preset is for the 4x8, not the 3x6"},
        {Edited(json, "\"sonvex\": \"program\"", "\"sonvex\": \"bank\""),
         "the preset is a bank, not a program"},
        {Edited(json, "\"name\": \"A\",", "\"name\": \"A\",,"),
         ": a key in double quotes expected"},
        {Edited(json, "\"name\": \"A\"", "\"name\": \"ABCDEFGHI\""),
         "inputs.in1.name: more than 8 characters"},
        {Edited(json, "\"name\": \"A\"", "\"name\": \"\\u20ac\""),
         "is not one the device can show"},
        {json.substr(0, json.size() / 2), "the text ends"},
        {json + "{}", "text after the end of the JSON value"},
    };
    for (const auto& c : cases) {
        CAudio_Data read;
        std::string error;
        std::vector<std::string> ruleBreaks;
        EXPECT_FALSE(ProgramFromJson(c.text, compact, read, error, ruleBreaks)) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error << "\nwanted: " << c.error;
    }
}

// States no editor makes are read, as the file readers read them, and each is named.
TEST(PresetJson, BrokenEditingRulesAreNamedButKept) {
    const Variant& compact = Variant::ThreeBySix();
    CAudio_Data program;
    program.SetDeviceType(compact.deviceType);
    program.GetInput(0)->GetFilter(0)->SetFrequency(25000);
    std::string json = ProgramToJson(program, compact);
    json = Edited(json, "\"gate_off\": false", "\"gate_off\": true");
    json = Edited(json, "\"type\": \"PEQ\"", "\"type\": \"LoShelf\"");
    json = Edited(json, "{\"inputs\": \"A\", \"mask\": 1}", "{\"inputs\": \"none\", \"mask\": 0}");
    CAudio_Data read;
    std::string error;
    std::vector<std::string> ruleBreaks;
    ASSERT_TRUE(ProgramFromJson(json, compact, read, error, ruleBreaks)) << error;
    ASSERT_EQ(ruleBreaks.size(), 3u);
    EXPECT_NE(ruleBreaks[0].find("inputs.in1.gate_off: " + EditRuleText(EditRule::GateSwitch)),
              std::string::npos)
        << ruleBreaks[0];
    EXPECT_NE(
        ruleBreaks[1].find("inputs.in1.eq1.freq.Hz: " + EditRuleText(EditRule::LowShelfFrequency)),
        std::string::npos)
        << ruleBreaks[1];
    EXPECT_NE(ruleBreaks[2].find("outputs.out1.source: " + EditRuleText(EditRule::OutputSource)),
              std::string::npos)
        << ruleBreaks[2];
    EXPECT_EQ(read.GetInput(0)->GetGateOff(), 1);
    EXPECT_EQ(read.GetInput(0)->GetFilter(0)->GetFrequency(), 25000);
    EXPECT_EQ(read.GetOutput(0)->GetSourceMask(), 0);
}

TEST(JsonText, NumbersKeepTheirTextAndStringsTheirBytes) {
    JsonValue value;
    std::string error;
    ASSERT_TRUE(
        ParseJson("{\"a\": [1, -0.5e3, 0.1], \"s\": \"\\u00e4\xc3\xa4\\n\\\"\"}", value, error))
        << error;
    ASSERT_EQ(value.Find("a")->items().size(), 3u);
    EXPECT_EQ(value.Find("a")->items()[1].text(), "-0.5e3");
    EXPECT_EQ(value.Find("s")->text(), "\xe4\xe4\n\"");
    EXPECT_EQ(WriteJson(value),
              "{\n  \"a\": [1, -0.5e3, 0.1],\n  \"s\": \"\\u00e4\\u00e4\\u000a\\\"\"\n}\n");
    for (double d : {0.1, -2.9999999999999964, 1e-300, 123456789.125, 0.0}) {
        double back = 0.0;
        ASSERT_TRUE(JsonNumberValue(ShortestDoubleText(d), back));
        EXPECT_EQ(back, d) << ShortestDoubleText(d);
    }
    for (const char* bad : {"{\"a\": 01}", "{\"a\": 1,}", "{\"a\": 1, \"a\": 2}", "[1 2]",
                            "{\"a\": tru}", "\"\\x\"", "[" /* ends early */, "{\"a\": .5}"}) {
        EXPECT_FALSE(ParseJson(bad, value, error)) << bad;
        EXPECT_EQ(error.rfind("line 1, column ", 0), 0u) << error;
    }
}

} // namespace
