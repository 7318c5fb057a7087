#include "panel/control/Variant.h"

namespace {

Variant Make(int deviceType, int inputs, int outputs, const char* modelCode,
             const char* receivedTitlePrefix, const char* programTitlePrefix,
             const char* typeCodeText, const char* bankExtension, const char* programExtension,
             bool hasInputSourceDisplay, int initialDeviceId) {
    Variant variant{};
    variant.deviceType = deviceType;
    variant.inputCount = inputs;
    variant.outputCount = outputs;
    variant.engineOutputs = 8;
    variant.modelCode = modelCode;
    variant.receivedTitlePrefix = receivedTitlePrefix;
    variant.programTitlePrefix = programTitlePrefix;
    variant.typeCodeText = typeCodeText;
    variant.bankExtension = bankExtension;
    variant.programExtension = programExtension;
    variant.firstOutputLevelByte = 4; // bytes 0..3 are the four inputs of the meter reply
    variant.dataViewCode = deviceType;
    variant.hasInputSourceDisplay = hasInputSourceDisplay;
    variant.initialDeviceId = initialDeviceId;
    return variant;
}

} // namespace

const Variant& Variant::FourByEight() {
    static const Variant variant =
        Make(1, 4, 8, "Fosk", "Sonvex1.1 Fosk  ", "DSP48_", "Loxu", ".dat48", ".dia48", true, 1);
    return variant;
}

const Variant& Variant::ThreeBySix() {
    static const Variant variant =
        Make(2, 3, 6, "Wupa", "Sonvex1.1 Wupa  ", "DSP36_", "Kefa", ".dat36", ".dia36", false, 0);
    return variant;
}

const Variant& Variant::TwoByFour() {
    static const Variant variant =
        Make(3, 2, 4, "Jexo", "Sonvex1.1 Jexo  ", "DSP24_", "Hoxa", ".dat24", ".dia24", false, 0);
    return variant;
}

const Variant* Variant::ForDeviceType(int type) {
    switch (type) {
    case 1:
        return &FourByEight();
    case 2:
        return &ThreeBySix();
    case 3:
        return &TwoByFour();
    default:
        return nullptr;
    }
}
