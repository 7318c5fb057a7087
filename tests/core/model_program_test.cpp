#include "core/model/AudioData.h"
#include "core/model/ValueTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Program, NewProgramDefaults) {
    CAudio_Data program;
    EXPECT_EQ(program.GetName(), "NewProgram");
    EXPECT_EQ(program.GetDeviceType(), 1);
    EXPECT_EQ(program.GetDeviceId(), 0);
    EXPECT_EQ(program.GetInputSource(), 0);
    EXPECT_EQ(program.GetInputSourceText(), "Analog");
    EXPECT_EQ(program.GetTemperature(), 25);
    EXPECT_EQ(program.GetTemperatureText(), "25C(77F)");
    EXPECT_EQ(program.GetBacklight(), 0);
    EXPECT_EQ(program.GetBacklightText(), "Keep On");
    EXPECT_EQ(program.GetStatusByte(), 20);
    EXPECT_EQ(program.GetSpareValue(), 0);
    for (int line = 0; line < 9; ++line) {
        EXPECT_EQ(program.GetInfoText(line), "");
    }
    EXPECT_EQ(program.GetInputCount(), 4);
    EXPECT_EQ(program.GetOutputCount(), 8);
    EXPECT_EQ(program.GetInput(4), nullptr);
    EXPECT_EQ(program.GetOutput(-1), nullptr);
    EXPECT_EQ(program.GetOutput(8), nullptr);
}

TEST(Program, ChannelsAreNamedColouredAndIndexed) {
    const char* inNames[] = {"A", "B", "C", "D"};
    const COLORREF inColours[] = {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 255, 0),
                                  RGB(34, 188, 211)};
    const COLORREF outColours[] = {RGB(6, 100, 221),   RGB(255, 0, 255),   RGB(255, 255, 196),
                                   RGB(255, 128, 128), RGB(128, 255, 255), RGB(128, 128, 255),
                                   RGB(255, 128, 192), RGB(255, 128, 64)};
    CAudio_Data program;
    for (int i = 0; i < 4; ++i) {
        const CAudio_InData* in = program.GetInput(i);
        EXPECT_EQ(in->GetNameText(), inNames[i]);
        EXPECT_EQ(in->GetColor(), inColours[i]);
        EXPECT_EQ(in->GetChannelIndex(), i);
        EXPECT_EQ(in->IsNameChanged(), 1);
        EXPECT_EQ(in->IsEnabled(), 1);
    }
    for (int i = 0; i < 8; ++i) {
        const CAudio_OutData* out = program.GetOutput(i);
        EXPECT_EQ(out->GetNameText(), std::to_string(i + 1));
        EXPECT_EQ(out->GetColor(), outColours[i]);
        EXPECT_EQ(out->GetChannelIndex(), i);
        EXPECT_EQ(out->IsNameChanged(), 1);
        EXPECT_EQ(out->IsEnabled(), 1);
    }
}

TEST(Program, DeviceTypeDisablesMissingChannelsAndNeverEnablesThemAgain) {
    struct Case {
        int type;
        int inputs;
        int outputs;
    };
    for (const Case& c : std::vector<Case>{{1, 4, 8}, {2, 3, 6}, {3, 2, 4}}) {
        CAudio_Data program;
        program.SetDeviceType(c.type);
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(program.GetInput(i)->IsEnabled(), i < c.inputs ? 1 : 0)
                    << "type " << c.type << " input " << i << " round " << round;
            }
            for (int i = 0; i < 8; ++i) {
                EXPECT_EQ(program.GetOutput(i)->IsEnabled(), i < c.outputs ? 1 : 0)
                    << "type " << c.type << " output " << i << " round " << round;
            }
            program.SetDeviceType(1); // the second round: nothing comes back
        }
    }
}

TEST(Program, DeviceTypeReachesEveryChannelAndSection) {
    CAudio_Data program;
    program.GetInput(0)->SetGain(100);
    program.GetOutput(7)->SetGain(100);
    program.SetDeviceType(2);
    for (int i = 0; i < 4; ++i) {
        const CAudio_InData* in = program.GetInput(i);
        EXPECT_EQ(in->GetGain(), 360) << i;
        EXPECT_EQ(in->GetDeviceType(), 2);
        for (int f = 0; f < in->GetFilterCount(); ++f) {
            EXPECT_EQ(in->GetFilter(f)->GetDeviceType(), 2) << i << "/" << f;
        }
    }
    for (int i = 0; i < 8; ++i) {
        const CAudio_OutData* out = program.GetOutput(i);
        EXPECT_EQ(out->GetGain(), 360) << i;
        EXPECT_EQ(out->GetDeviceType(), 2);
        for (int f = 0; f < out->GetFilterCount(); ++f) {
            EXPECT_EQ(out->GetFilter(f)->GetDeviceType(), 2) << i << "/" << f;
        }
    }
    EXPECT_EQ(program.GetBacklightText(), "Keep On");
    program.SetBacklight(1);
    EXPECT_EQ(program.GetBacklightText(), "10s");
}

TEST(Program, CopyFromCopiesNameAndChannelValuesOnly) {
    CAudio_Data from;
    from.SetDeviceType(3);
    from.SetName("Live");
    from.SetDeviceId(17);
    from.SetInputSource(1);
    from.SetTemperature(40);
    from.SetInfoText(5, "Hall");
    from.GetInput(1)->SetGain(500);
    from.GetInput(3)->SetDelay(99);
    from.GetOutput(6)->SetSourceMask(0x0F);
    from.GetOutput(0)->GetHighPass()->SetFrequency(80);

    CAudio_Data to;
    to.CopyFrom(from);
    EXPECT_EQ(to.GetName(), "Live");
    // Indices are copied unchanged, not converted between the device types.
    EXPECT_EQ(to.GetInput(1)->GetGain(), 500);
    EXPECT_EQ(to.GetInput(3)->GetDelay(), 99);
    EXPECT_EQ(to.GetOutput(6)->GetSourceMask(), 0x0F);
    EXPECT_EQ(to.GetOutput(0)->GetHighPass()->GetFrequency(), 80);
    EXPECT_EQ(to.GetDeviceType(), 1);
    EXPECT_EQ(to.GetDeviceId(), 0);
    EXPECT_EQ(to.GetInputSource(), 0);
    EXPECT_EQ(to.GetTemperature(), 25);
    EXPECT_EQ(to.GetInfoText(5), "");
    EXPECT_EQ(to.GetInput(3)->IsEnabled(), 1);
    EXPECT_EQ(to.GetOutput(6)->IsEnabled(), 1);
}

TEST(Program, CopyDeviceInfoFromTakesTheDeviceSettingsOnly) {
    CAudio_Data from;
    from.SetDeviceType(2);
    from.SetDeviceId(9);
    from.SetName("Stage");
    from.SetBacklight(1);
    from.SetTemperature(12);
    from.SetInputSource(1);
    from.SetStatusByte(3);
    from.SetSpareValue(44);
    for (int line = 0; line < 9; ++line) {
        from.SetInfoText(line, "line " + std::to_string(line));
    }
    from.GetOutput(0)->SetGain(10);

    CAudio_Data to;
    to.CopyDeviceInfoFrom(from);
    EXPECT_EQ(to.GetName(), "Stage");
    EXPECT_EQ(to.GetBacklight(), 1);
    EXPECT_EQ(to.GetTemperature(), 12);
    EXPECT_EQ(to.GetInputSource(), 1);
    EXPECT_EQ(to.GetStatusByte(), 3);
    EXPECT_EQ(to.GetSpareValue(), 44);
    for (int line = 0; line < 9; ++line) {
        EXPECT_EQ(to.GetInfoText(line), "line " + std::to_string(line));
    }
    EXPECT_EQ(to.GetDeviceType(), 1);
    EXPECT_EQ(to.GetDeviceId(), 0);
    EXPECT_EQ(to.GetOutput(0)->GetGain(), 400);
}

TEST(Program, InfoTextLinesOutsideTheNineAreIgnored) {
    CAudio_Data program;
    program.SetInfoText(-1, "x");
    program.SetInfoText(9, "x");
    program.SetInfoText(8, "ABCDEF");
    EXPECT_EQ(program.GetInfoText(9), "");
    EXPECT_EQ(program.GetInfoText(-1), "");
    EXPECT_EQ(program.GetInfoText(8), "ABCDEF");
}

bool AnythingChanged(const CAudio_Data& program) {
    for (int i = 0; i < program.GetInputCount(); ++i) {
        const CAudio_InData* in = program.GetInput(i);
        if (in->IsNameChanged() || in->IsParamsChanged() || in->IsGateChanged()) {
            return true;
        }
        for (int f = 0; f < in->GetFilterCount(); ++f) {
            if (in->GetFilter(f)->IsChanged()) {
                return true;
            }
        }
    }
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        const CAudio_OutData* out = program.GetOutput(i);
        if (out->IsNameChanged() || out->IsParamsChanged() || out->IsDynamicsChanged()) {
            return true;
        }
        for (int f = 0; f < out->GetFilterCount(); ++f) {
            if (out->GetFilter(f)->IsChanged()) {
                return true;
            }
        }
    }
    return false;
}

TEST(Program, ClearChangedClearsEveryGroupOfANewProgram) {
    CAudio_Data program;
    EXPECT_TRUE(AnythingChanged(program));
    program.ClearChanged();
    EXPECT_FALSE(AnythingChanged(program));
}

TEST(Program, ClearChangedClearsEditedGroupsAndBands) {
    CAudio_Data program;
    program.ClearChanged();
    program.GetInput(2)->SetGateOff(1);
    program.GetInput(0)->GetFilter(7)->SetGainIndex(320);
    program.GetOutput(5)->SetRatio(2);
    program.GetOutput(3)->SetOn(0);
    program.GetOutput(1)->GetFilter(0)->SetFrequency(100);
    ASSERT_TRUE(AnythingChanged(program));
    program.ClearChanged();
    EXPECT_FALSE(AnythingChanged(program));
}

TEST(Program, ClearChangedStepsCrossoverFrequenciesOneOctaveAtATime) {
    CAudio_Data program;
    program.ClearChanged();
    CFilter* highPass = program.GetOutput(0)->GetHighPass();
    CFilter* lowPass = program.GetInput(1)->GetLowPass();
    highPass->SetFrequency(1000); // sent frequency still 10
    lowPass->SetFrequency(3000);  // sent frequency still 30000

    const std::vector<int> highSteps = {20, 40, 80, 160, 320, 640, 1000};
    const std::vector<int> lowSteps = {15000, 7500, 3750, 3000, 3000, 3000, 3000};
    for (std::size_t step = 0; step < highSteps.size(); ++step) {
        program.ClearChanged();
        EXPECT_EQ(highPass->GetSentFrequency(), highSteps[step]) << step;
        EXPECT_EQ(lowPass->GetSentFrequency(), lowSteps[step]) << step;
        // Still pending while the sent frequency has not reached the set one.
        EXPECT_EQ(highPass->IsChanged(), 1) << step;
    }
    EXPECT_EQ(lowPass->IsChanged(), 0);
    program.ClearChanged();
    EXPECT_EQ(highPass->IsChanged(), 0);
    EXPECT_FALSE(AnythingChanged(program));
}

TEST(Program, CurveRectReachesEveryChannel) {
    CAudio_Data program;
    const CRect graph(0, 0, 482, 240);
    program.SetCurveRect(graph);
    EXPECT_EQ(program.GetGraphWidth(), 482);
    EXPECT_EQ(program.GetGraphHeight(), 240);
    const int zeroLine = DbToY(0.0, 240) + 10;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(program.GetInput(i)->GetCurvePoint(240).x, 482 + 35);
        EXPECT_EQ(program.GetInput(i)->GetCurvePoint(100).y, zeroLine);
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(program.GetOutput(i)->GetCurvePoint(0).x, 35);
        EXPECT_EQ(program.GetOutput(i)->GetCurvePoint(100).y, zeroLine);
    }
}

} // namespace
