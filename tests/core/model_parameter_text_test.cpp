// Parameters by name with their value texts, and the comparison of two programs built on them:
// the spellings "set" takes, and what a state leaves out.

#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "core/model/ParameterText.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CAudio_Data> Program(int deviceType) {
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    return program;
}

std::map<std::string, std::string> Listed(const CAudio_Data& program) {
    std::map<std::string, std::string> values;
    for (const ParameterEntry& entry : ParameterText::List(program)) {
        EXPECT_EQ(values.count(entry.name), 0u) << entry.name << " listed twice";
        values[entry.name] = entry.value;
    }
    return values;
}

std::vector<std::string> DiffLines(const CAudio_Data& a, const CAudio_Data& b, int program = 0) {
    std::vector<std::string> lines;
    for (const ParameterDifference& d : ParameterDiff::Compare(a, b, a.GetDeviceType())) {
        lines.push_back(ParameterDiff::Line(d, program));
    }
    return lines;
}

TEST(ParameterText, ValuesUseTheSpellingsOfSet) {
    auto program = Program(1);
    CAudio_InData& a = *program->GetInput(0);
    a.SetName("Kick L");
    a.SetGain(370); // -3.0
    a.SetPolarity(1);
    a.SetGateThreshold(50); // -70.0
    a.SetDelay(100);
    CFilter& shelf = *a.GetFilter(0);
    shelf.SetType(CFilter::LowShelf);
    shelf.SetSlope(1);
    shelf.SetFrequency(120);
    shelf.SetGainIndex(360); // +6.0
    program->GetInput(1)->SetGateOff(1);
    program->GetInput(1)->SetOn(0);
    CAudio_OutData& out1 = *program->GetOutput(0);
    out1.SetSourceMask(0x5);
    CFilter& peq = *out1.GetFilter(1);
    peq.SetGainIndex(250); // -5.0
    peq.SetBandwidthIndex(95);
    out1.GetHighPass()->SetFrequency(100);
    out1.GetHighPass()->SetCrossoverType(CFilter::Bessel);
    out1.GetHighPass()->SetSlope(3);
    out1.SetCompressorMode(1);
    out1.SetAttack(3);
    out1.SetRelease(4);
    out1.SetRatio(7);
    program->GetOutput(1)->SetSourceMask(0);
    program->GetOutput(2)->SetCompressorMode(1);
    program->GetOutput(2)->SetAutoTiming(1);

    const std::map<std::string, std::string> values = Listed(*program);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"in1.name", "\"Kick L\""},
        {"in1.gain", "-3.0"},
        {"in1.polarity", "invert"},
        {"in1.mute", "off"},
        {"in1.delay", "1.0400ms"},
        {"in1.gate", "-70.0"},
        {"in1.eq1.type", "LoShelf"},
        {"in1.eq1.freq", "120"},
        {"in1.eq1.gain", "6.0"},
        {"in1.eq1.slope", "12"},
        {"in1.eq1.on", "on"},
        {"in1.eq2.on", "off"},
        {"in2.gate", "off"},
        {"in2.mute", "on"},
        {"out1.source", "A+C"},
        {"out2.source", "none"},
        {"out1.eq2.gain", "-5.0"},
        {"out1.eq2.bw", "1.00"},
        {"out1.hpf.type", "Bessel"},
        {"out1.hpf.freq", "100"},
        {"out1.hpf.slope", "48"},
        {"out1.lpf.type", "BTWorth"},
        {"out1.limiter.mode", "compressor"},
        {"out1.limiter.timing", "manual"},
        {"out1.limiter.attack", "0.6"},
        {"out1.limiter.release", "16X"},
        {"out1.limiter.ratio", "1:maximum"},
        {"out1.limiter.clip", "4.0"},
        {"out2.limiter.mode", "limit"},
        {"out3.limiter.timing", "auto"},
        {"out8.gain", "0.0"},
    };
    for (const auto& [name, value] : expected) {
        const auto found = values.find(name);
        ASSERT_NE(found, values.end()) << name << " not listed";
        EXPECT_EQ(found->second, value) << name;
    }
    // What the state leaves out, and what the model does not have.
    for (const char* name :
         {"in1.eq1.bw", "in1.eq2.gain", "in1.eq2.slope", "out1.eq2.slope", "out1.eq2.q",
          "out2.limiter.clip", "out2.limiter.ratio", "out2.limiter.timing", "out3.limiter.attack",
          "out3.limiter.release", "in5.gain", "out9.gain", "in1.eq9.freq", "out1.eq7.freq",
          "in1.hpf.freq", "out1.gate", "in1.source"}) {
        EXPECT_EQ(values.count(name), 0u) << name << " listed";
    }
    EXPECT_EQ(values.count("out2.limiter.attack"), 1u) << "a limiter has its attack";

    // The smaller models name only their own channels and bands.
    const std::map<std::string, std::string> small = Listed(*Program(3));
    EXPECT_EQ(small.count("in2.eq1.freq"), 1u);
    EXPECT_EQ(small.count("out4.eq1.freq"), 1u);
    EXPECT_EQ(small.count("in3.gain"), 0u);
    EXPECT_EQ(small.count("out5.gain"), 0u);
    EXPECT_EQ(small.at("out1.source"), "A");
}

TEST(ParameterDiff, NamesEachParameterThatMattersWithBothValues) {
    using Edit = std::function<void(CAudio_Data&)>;
    struct Case {
        const char* what;
        int deviceType;
        Edit edit; // on the second program; the first is the default
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {"identical", 1, [](CAudio_Data&) {}, {}},
        {"a gain",
         1,
         [](CAudio_Data& p) { p.GetOutput(2)->SetGain(370); },
         {"out3.gain: 0.0 != -3.0"}},
        {"a gain in the compact encoding",
         2,
         [](CAudio_Data& p) { p.GetOutput(5)->SetGain(330); },
         {"out6.gain: 0.0 != -3.0"}},
        {"a gate switched off",
         1,
         [](CAudio_Data& p) { p.GetInput(0)->SetGateOff(1); },
         {"in1.gate: -60.0 != off"}},
        {"the threshold of a gate that is off in both",
         1,
         [](CAudio_Data& p) { p.GetInput(0)->SetGateThreshold(20); },
         {"in1.gate: -60.0 != -100.0"}},
        {"a band's gain, which switches it on",
         1,
         [](CAudio_Data& p) { p.GetInput(3)->GetFilter(7)->SetGainIndex(360); },
         {"in4.eq8.on: off != on"}},
        {"the width of a peaking band",
         1,
         [](CAudio_Data& p) { p.GetOutput(0)->GetFilter(0)->SetBandwidthIndex(10); },
         {"out1.eq1.bw: 0.05 != 0.15"}},
        {"attack and release under automatic timing",
         1,
         [](CAudio_Data& p) {
             p.GetOutput(0)->SetCompressorMode(1);
             p.GetOutput(0)->SetAutoTiming(1);
             p.GetOutput(0)->SetAttack(30);
             p.GetOutput(0)->SetRelease(3);
         },
         {"out1.limiter.mode: limit != compressor"}},
        {"a channel the model does not have",
         3,
         [](CAudio_Data& p) { p.GetOutput(6)->SetGain(0); },
         {}},
        {"a name and the sources",
         3,
         [](CAudio_Data& p) {
             p.GetOutput(1)->SetName("Sub");
             p.GetOutput(1)->SetSourceMask(3);
         },
         {"out2.name: \"2\" != \"Sub\"", "out2.source: A != A+B"}},
    };
    for (const Case& c : cases) {
        auto first = Program(c.deviceType);
        auto second = Program(c.deviceType);
        c.edit(*second);
        EXPECT_EQ(DiffLines(*first, *second), c.lines) << c.what;
    }
}

TEST(ParameterDiff, ParametersThatDoNotMatterInEitherStateAreNotCompared) {
    auto first = Program(1);
    auto second = Program(1);
    for (CAudio_Data* p : {first.get(), second.get()}) {
        p->GetInput(0)->SetGateOff(1);
        p->GetOutput(0)->SetCompressorMode(1);
        p->GetOutput(0)->SetAutoTiming(1);
        p->GetOutput(0)->GetFilter(0)->SetType(CFilter::HighShelf);
    }
    second->GetInput(0)->SetGateThreshold(10);
    second->GetOutput(0)->SetAttack(40);
    second->GetOutput(0)->SetRelease(5);
    second->GetOutput(0)->GetFilter(0)->SetBandwidthIndex(200);
    second->GetOutput(1)->SetClipLimit(80); // a limiter: no clip limit
    second->GetOutput(1)->GetFilter(2)->SetGainIndex(360);
    second->GetOutput(1)->GetFilter(2)->SetFlat(1); // off: its gain does not count
    EXPECT_EQ(DiffLines(*first, *second), std::vector<std::string>{});

    // With the state changed in one program, the parameter that makes it shows the difference.
    second->GetOutput(0)->SetAutoTiming(0);
    EXPECT_EQ(DiffLines(*first, *second, 12),
              (std::vector<std::string>{"P12 out1.limiter.timing: auto != manual"}));
}

} // namespace
