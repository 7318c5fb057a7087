#include "core/files/ImageRanges.h"

#include "core/model/ParameterValues.h"

#include <cstdint>

namespace {

std::uint8_t Flag(std::uint8_t value) {
    return value != 0 ? 1 : 0;
}

std::uint8_t LimitedByte(std::uint8_t value, IndexRange range) {
    return static_cast<std::uint8_t>(range.Clamp(value));
}

std::uint16_t LimitedWord(std::uint16_t value, IndexRange range) {
    return static_cast<std::uint16_t>(range.Clamp(value));
}

// What inputs and outputs share: bands, on, polarity, delay and the crossover pair; the gain
// range differs by kind.
template <typename Image> void LimitChannel(Image& image, int deviceType, IndexRange gainRange) {
    for (BandImage& band : image.bands) {
        band = WithinRanges(band, deviceType);
    }
    image.on = Flag(image.on);
    image.polarity = Flag(image.polarity);
    image.delay = LimitedWord(image.delay, DelayRange(deviceType));
    image.gain = LimitedWord(image.gain, gainRange);
    image.highPass = WithinRanges(image.highPass);
    image.lowPass = WithinRanges(image.lowPass);
}

} // namespace

BandImage WithinRanges(BandImage band, int deviceType) {
    band.frequency = LimitedWord(band.frequency, FrequencyRange);
    band.gain = LimitedWord(band.gain, EqGainRange);
    band.bandwidth = LimitedWord(band.bandwidth, BandwidthRange(deviceType));
    band.shelfSlope = LimitedByte(band.shelfSlope, ShelfSlopeRange);
    band.type = LimitedByte(band.type, EqTypeRange);
    return band;
}

CrossoverImage WithinRanges(CrossoverImage crossover) {
    crossover.frequency = LimitedWord(crossover.frequency, FrequencyRange);
    crossover.type = LimitedByte(crossover.type, CrossoverTypeRange);
    crossover.slope = LimitedByte(crossover.slope, CrossoverSlopeRange);
    return crossover;
}

InputImage WithinRanges(InputImage input, int deviceType) {
    LimitChannel(input, deviceType, InputGainRange(deviceType));
    input.auxFlag = Flag(input.auxFlag);
    input.gateThreshold = LimitedByte(input.gateThreshold, GateThresholdRange(deviceType));
    return input;
}

OutputImage WithinRanges(OutputImage output, int deviceType) {
    LimitChannel(output, deviceType, OutputGainRange(deviceType));
    output.limitThreshold = LimitedWord(output.limitThreshold, LimitThresholdRange);
    output.attack = LimitedByte(output.attack, AttackRange);
    output.release = LimitedByte(output.release, ReleaseRange);
    output.clipLimit = LimitedByte(output.clipLimit, ClipLimitRange);
    output.ratio = LimitedByte(output.ratio, RatioRange);
    return output;
}
