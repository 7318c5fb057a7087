// Archive loading shared by input and output channels.
#include "core/model/Channel.h"
#include "core/model/ParameterValues.h"

void CAudio_Channel::LimitLoadedLevels(const std::string& name, std::int32_t delay,
                                       std::int32_t gain, const IndexRange& gainRange) {
    m_name.Assign(name);
    m_on = m_on != 0 ? 1 : 0;
    m_polarity = m_polarity != 0 ? 1 : 0;
    m_delay = DelayRange(m_deviceType).Clamp(delay);
    m_gain = gainRange.Clamp(gain);
}
