#include "core/model/AudioData.h"

#include "core/model/ValueTables.h"
#include "core/model/Variant.h"

void CAudio_Data::SetDeviceType(int type) {
    m_deviceType = type;

    // The smaller variants disable the channels they lack; nothing here enables one again.
    const Variant& variant = Variant::OfDeviceType(type);
    for (int i = variant.inputCount; i < GetInputCount(); ++i) {
        GetInput(i)->SetEnabled(0);
    }
    for (int i = variant.outputCount; i < GetOutputCount(); ++i) {
        GetOutput(i)->SetEnabled(0);
    }

    for (int i = 0; i < GetInputCount(); ++i) {
        CAudio_InData* input = GetInput(i);
        input->SetDeviceType(type);
        for (int f = 0; f < input->GetFilterCount(); ++f) {
            input->GetFilter(f)->SetDeviceType(type);
        }
    }
    for (int i = 0; i < GetOutputCount(); ++i) {
        CAudio_OutData* output = GetOutput(i);
        output->SetDeviceType(type);
        for (int f = 0; f < output->GetFilterCount(); ++f) {
            output->GetFilter(f)->SetDeviceType(type);
        }
    }
}

std::string CAudio_Data::GetInputSourceText() const {
    return InputSourceText(m_inputSource);
}

std::string CAudio_Data::GetBacklightText() const {
    return BacklightText(m_backlight, m_deviceType);
}

std::string CAudio_Data::GetTemperatureText() const {
    return TemperatureText(m_temperature);
}

void CAudio_Data::SetInfoText(int line, const std::string& text) {
    if (line >= 0 && line < kInfoLines) {
        m_infoText[line] = text;
    }
}

std::string CAudio_Data::GetInfoText(int line) const {
    return line >= 0 && line < kInfoLines ? m_infoText[line] : std::string();
}

void CAudio_Data::CopyFrom(const CAudio_Data& other) {
    m_name = other.m_name;
    for (int i = 0; i < GetInputCount(); ++i) {
        GetInput(i)->CopyFrom(*other.GetInput(i));
    }
    for (int i = 0; i < GetOutputCount(); ++i) {
        GetOutput(i)->CopyFrom(*other.GetOutput(i));
    }
}

void CAudio_Data::CopyDeviceInfoFrom(const CAudio_Data& other) {
    m_infoText = other.m_infoText;
    m_backlight = other.m_backlight;
    m_temperature = other.m_temperature;
    m_inputSource = other.m_inputSource;
    m_statusByte = other.m_statusByte;
    m_spareValue = other.m_spareValue;
    m_name = other.m_name;
}

void CAudio_Data::ClearChanged() {
    for (int i = 0; i < GetInputCount(); ++i) {
        GetInput(i)->ClearChanged();
    }
    for (int i = 0; i < GetOutputCount(); ++i) {
        GetOutput(i)->ClearChanged();
    }
}

void CAudio_Data::SetCurveRect(const CRect& rect) {
    m_height = rect.Height();
    m_width = rect.Width();
    for (int i = 0; i < GetInputCount(); ++i) {
        GetInput(i)->SetCurveRect(rect);
    }
    for (int i = 0; i < GetOutputCount(); ++i) {
        GetOutput(i)->SetCurveRect(rect);
    }
}
