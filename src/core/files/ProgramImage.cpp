#include "core/files/ProgramImage.h"

#include "core/files/Archive.h"

#include <tuple>

void BandImage::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << gain << frequency << bandwidth << shelfSlope << type;
    else
        ar >> gain >> frequency >> bandwidth >> shelfSlope >> type;
}

bool BandImage::operator==(const BandImage& o) const {
    return std::tie(frequency, gain, bandwidth, shelfSlope, type) ==
           std::tie(o.frequency, o.gain, o.bandwidth, o.shelfSlope, o.type);
}

void CrossoverImage::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << frequency << type << slope;
    else
        ar >> frequency >> type >> slope;
}

bool CrossoverImage::operator==(const CrossoverImage& o) const {
    return std::tie(frequency, type, slope) == std::tie(o.frequency, o.type, o.slope);
}

void InputImage::Serialize(CArchive& ar) {
    for (auto& band : bands)
        band.Serialize(ar);
    if (ar.IsStoring())
        ar << on << polarity << delay << gain << auxFlag << auxValue;
    else
        ar >> on >> polarity >> delay >> gain >> auxFlag >> auxValue;
    highPass.Serialize(ar);
    lowPass.Serialize(ar);
    if (ar.IsStoring())
        ar << gateThreshold << gateOff << name;
    else
        ar >> gateThreshold >> gateOff >> name;
}

bool InputImage::operator==(const InputImage& o) const {
    return std::tie(bands, on, polarity, delay, gain, auxFlag, auxValue, name, highPass, lowPass,
                    gateThreshold, gateOff) == std::tie(o.bands, o.on, o.polarity, o.delay, o.gain,
                                                        o.auxFlag, o.auxValue, o.name, o.highPass,
                                                        o.lowPass, o.gateThreshold, o.gateOff);
}

void OutputImage::Serialize(CArchive& ar) {
    for (auto& band : bands)
        band.Serialize(ar);
    if (ar.IsStoring())
        ar << on << polarity << delay << gain << sourceMask << std::uint8_t{0};
    else
        ar >> on >> polarity >> delay >> gain >> sourceMask >> reserved;
    highPass.Serialize(ar);
    lowPass.Serialize(ar);
    if (ar.IsStoring())
        ar << limitThreshold << attack << release << clipLimit << ratio << mode << timing << name;
    else
        ar >> limitThreshold >> attack >> release >> clipLimit >> ratio >> mode >> timing >> name;
}

bool OutputImage::operator==(const OutputImage& o) const {
    return std::tie(bands, on, polarity, delay, gain, sourceMask, reserved, highPass, lowPass,
                    limitThreshold, attack, release, clipLimit, ratio, mode, timing,
                    name) == std::tie(o.bands, o.on, o.polarity, o.delay, o.gain, o.sourceMask,
                                      o.reserved, o.highPass, o.lowPass, o.limitThreshold, o.attack,
                                      o.release, o.clipLimit, o.ratio, o.mode, o.timing, o.name);
}

void ProgramImage::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << name;
    else
        ar >> name;
    for (auto& input : inputs)
        input.Serialize(ar);
    for (auto& output : outputs)
        output.Serialize(ar);
}

bool ProgramImage::operator==(const ProgramImage& o) const {
    return std::tie(inputs, outputs, name) == std::tie(o.inputs, o.outputs, o.name);
}
