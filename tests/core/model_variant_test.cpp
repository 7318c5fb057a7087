// The per-model facts, read the way the panels, files and tools read them.

#include "core/model/Variant.h"

#include <gtest/gtest.h>

namespace {

struct VariantFacts {
    int type;
    const char* name;
    int inputs;
    int outputs;
    int inputGainMax;
    int outputGainMax;
    int zeroDb;
    const char* receivedTitle;
    const char* programTitle;
    const char* programPattern;
    const char* bankPattern;
    const char* firstInputCaption;
    int lastOutputLevelByte;
    const char* topOutputScale;
    const char* bottomInputScale;
};

TEST(ModelVariant, FactsOfEachModel) {
    const VariantFacts table[] = {
        {1, "4x8", 4, 8, 460, 550, 400, "Sonvex1.1 Fosk  Live", "DSP48_Live", "*.dia48", "*.dat48",
         "InPut  A", 11, "15dB", "-40dB"},
        {2, "3x6", 3, 6, 560, 560, 360, "Sonvex1.1 Wupa  Live", "DSP36_Live", "*.dia36", "*.dat36",
         "CH A", 9, "20dB", "-36dB"},
        {3, "2x4", 2, 4, 560, 560, 360, "Sonvex1.1 Jexo  Live", "DSP24_Live", "*.dia24", "*.dat24",
         "CH A", 7, "20dB", "-36dB"},
    };
    for (const VariantFacts& facts : table) {
        SCOPED_TRACE(facts.name);
        const Variant* variant = Variant::ForDeviceType(facts.type);
        ASSERT_NE(variant, nullptr);
        EXPECT_EQ(variant, Variant::All()[static_cast<std::size_t>(facts.type - 1)]);
        EXPECT_STREQ(variant->name, facts.name);
        EXPECT_EQ(variant->inputCount, facts.inputs);
        EXPECT_EQ(variant->outputCount, facts.outputs);
        EXPECT_EQ(variant->inputGainRange.max, facts.inputGainMax);
        EXPECT_EQ(variant->outputGainRange.max, facts.outputGainMax);
        EXPECT_EQ(variant->zeroDbGainIndex, facts.zeroDb);
        // 0 dB sits at the same place of the edit box: index * 0.1 - offset.
        EXPECT_DOUBLE_EQ(variant->zeroDbGainIndex * 0.1 - variant->gainEditOffset, 0.0);
        EXPECT_EQ(variant->ReceivedTitle("Live"), facts.receivedTitle);
        EXPECT_EQ(variant->ProgramTitle("Live"), facts.programTitle);
        EXPECT_EQ(variant->ProgramFilePattern(), facts.programPattern);
        EXPECT_EQ(variant->BankFilePattern(), facts.bankPattern);
        EXPECT_EQ(variant->InputSelectCaption(0), facts.firstInputCaption);
        EXPECT_EQ(variant->OutputSelectCaption(variant->outputCount - 1),
                  "Out" + std::to_string(facts.outputs));
        EXPECT_EQ(variant->OutputLevelByte(variant->outputCount - 1), facts.lastOutputLevelByte);
        EXPECT_EQ(variant->InputFaderPosition(variant->zeroDbGainIndex),
                  facts.inputGainMax - facts.zeroDb);
        EXPECT_EQ(variant->outputScaleLabels.front(), facts.topOutputScale);
        EXPECT_EQ(variant->inputScaleLabels.back(), facts.bottomInputScale);
    }
}

TEST(ModelVariant, UnknownTypeHasNoVariantButReadsAsTheLargeModel) {
    EXPECT_EQ(Variant::ForDeviceType(0), nullptr);
    EXPECT_EQ(Variant::ForDeviceType(4), nullptr);
    EXPECT_EQ(&Variant::OfDeviceType(4), &Variant::FourByEight());
    // The 2-in/4-out panel: gain 0 dB is index 360 with the fader at 200; the top is +20 dB.
    const Variant& small = Variant::TwoByFour();
    EXPECT_EQ(small.OutputFaderPosition(360), 200);
    EXPECT_DOUBLE_EQ(small.outputGainRange.max * 0.1 - small.gainEditOffset, 20.0);
}

} // namespace
