#include "core/model/Variant.h"

namespace {

// Bytes 0..3 of a level reply are the four inputs; the outputs follow.
constexpr int kFirstOutputLevelByte = 4;
constexpr int kWideInterfaceTextLimit = 20;
constexpr int kCompactInterfaceTextLimit = 16;

struct Model {
    int deviceType;
    const char* name;
    const char* modelCode;
    int inputs;
    int outputs;
};

struct Texts {
    const char* programTitlePrefix;
    const char* typeCodeText;
    const char* bankExtension;
    const char* programExtension;
};

// The 3-in/6-out and 2-in/4-out models share their gain ranges, fader scale, EQ bands and
// interface text width; neither shows the input source or has a device ID before the first
// connect.
Variant Compact(const Model& model, const Texts& texts) {
    const IndexRange gainRange{0, 560};
    const std::vector<std::string> scale = {"20dB",  "10dB",  "0dB",  "-10dB",
                                            "-20dB", "-30dB", "-36dB"};
    return Variant{model.deviceType,
                   model.name,
                   model.modelCode,
                   model.inputs,
                   model.outputs,
                   6,
                   6,
                   gainRange,
                   gainRange,
                   360,
                   36.0,
                   scale,
                   scale,
                   texts.programTitlePrefix,
                   texts.typeCodeText,
                   texts.bankExtension,
                   texts.programExtension,
                   kFirstOutputLevelByte,
                   false,
                   kCompactInterfaceTextLimit,
                   0};
}

} // namespace

std::string Variant::ReceivedTitle(const std::string& programName) const {
    return std::string(kReceivedTitleStart) + modelCode + "  " + programName;
}

std::string Variant::ProgramTitle(const std::string& programName) const {
    return programTitlePrefix + programName;
}

std::string Variant::ProgramFilePattern() const {
    return std::string("*") + programExtension;
}

std::string Variant::BankFilePattern() const {
    return std::string("*") + bankExtension;
}

std::string Variant::InputSelectCaption(int input) const {
    const std::string letter(1, static_cast<char>('A' + input));
    if (deviceType != 1) {
        return "CH " + letter;
    }
    // The template's own spacing.
    return input == 0 ? "InPut  A" : (input == 1 ? "Input B" : "Input  " + letter);
}

std::string Variant::OutputSelectCaption(int output) const {
    return "Out" + std::to_string(output + 1);
}

const Variant& Variant::FourByEight() {
    static const Variant variant{
        1,
        "4x8",
        "Fosk",
        4,
        8,
        8,
        6,
        IndexRange{0, 460},
        IndexRange{0, 550},
        400,
        40.0,
        {"6dB", "0dB", "-10dB", "-20dB", "-30dB", "-40dB"},
        {"15dB", "0dB", "-10dB", "-20dB", "-30dB", "-40dB"},
        "DSP48_",
        "Loxu",
        ".dat48",
        ".dia48",
        kFirstOutputLevelByte,
        true,
        kWideInterfaceTextLimit,
        1,
    };
    return variant;
}

const Variant& Variant::ThreeBySix() {
    static const Variant variant =
        Compact({2, "3x6", "Wupa", 3, 6}, {"DSP36_", "Kefa", ".dat36", ".dia36"});
    return variant;
}

const Variant& Variant::TwoByFour() {
    static const Variant variant =
        Compact({3, "2x4", "Jexo", 2, 4}, {"DSP24_", "Hoxa", ".dat24", ".dia24"});
    return variant;
}

const std::array<const Variant*, 3>& Variant::All() {
    static const std::array<const Variant*, 3> all = {&FourByEight(), &ThreeBySix(), &TwoByFour()};
    return all;
}

const Variant* Variant::ForDeviceType(int type) {
    for (const Variant* variant : All()) {
        if (variant->deviceType == type) {
            return variant;
        }
    }
    return nullptr;
}

const Variant& Variant::OfDeviceType(int type) {
    const Variant* variant = ForDeviceType(type);
    return variant != nullptr ? *variant : FourByEight();
}
