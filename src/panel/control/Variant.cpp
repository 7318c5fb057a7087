#include "panel/control/Variant.h"

const Variant& Variant::FourByEight() {
    static const Variant variant{1,        4,      8,        8,        "Fosk", "Sonvex1.1 Fosk  ",
                                 "DSP48_", "Loxu", ".dat48", ".dia48", 4,      1,
                                 true,     1};
    return variant;
}

const Variant& Variant::ThreeBySix() {
    static const Variant variant{2,        3,      6,        8,        "Wupa", "Sonvex1.1 Wupa  ",
                                 "DSP36_", "Kefa", ".dat36", ".dia36", 4,      2,
                                 false,    0};
    return variant;
}

const Variant& Variant::TwoByFour() {
    static const Variant variant{3,        2,      4,        8,        "Jexo", "Sonvex1.1 Jexo  ",
                                 "DSP24_", "Hoxa", ".dat24", ".dia24", 4,      3,
                                 false,    0};
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
