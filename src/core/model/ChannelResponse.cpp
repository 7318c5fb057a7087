#include "core/model/ChannelResponse.h"

#include "core/curves/SectionResponses.h"
#include "core/model/Channel.h"
#include "core/model/Filter.h"

#include <cmath>

void CascadeSection(ComplexResponse& response, const CFilter& section) {
    switch (section.GetType()) {
    case CFilter::Peaking:
        if (!section.IsFlat()) {
            CascadePeaking(response, section.GetFrequency(), section.GetGain(),
                           section.GetBandwidth());
        }
        break;
    case CFilter::LowShelf:
    case CFilter::HighShelf:
        if (!section.IsFlat()) {
            CascadeShelf(response, section.GetType() == CFilter::HighShelf, section.GetFrequency(),
                         section.GetGain(), section.GetSlope());
        }
        break;
    case CFilter::HighPass:
        if (section.GetFrequency() > MinFrequency) {
            CascadeHighPass(response, section.GetFrequency(), section.GetCrossoverType(),
                            section.GetSlope());
        }
        break;
    case CFilter::LowPass:
        if (section.GetFrequency() < MaxFrequency) {
            CascadeLowPass(response, section.GetFrequency(), section.GetCrossoverType(),
                           section.GetSlope());
        }
        break;
    default:
        break;
    }
}

ComplexResponse ChannelResponse(const CAudio_Channel& channel) {
    return ChannelResponse(channel, nullptr);
}

ComplexResponse ChannelResponse(const CAudio_Channel& channel, const ComplexResponse* driver) {
    ComplexResponse response{};
    for (int s = 0; s < channel.GetCurveSectionCount(); ++s) {
        CascadeSection(response, *channel.GetFilter(s));
    }
    const double gain =
        std::pow(10.0, ChannelGainToDb(channel.GetGain(), channel.GetDeviceType()) / 20.0);
    Scale(response, channel.GetPolarity() != 0 ? -gain : gain);
    Delay(response, DelayIndexToMs(channel.GetDelay(), channel.GetDeviceType()) / 1000.0);
    if (driver != nullptr) {
        Cascade(response, *driver);
    }
    return response;
}
