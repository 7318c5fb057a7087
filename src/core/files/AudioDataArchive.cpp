// Archive and image loading of a program record.
#include "core/files/Archive.h"
#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"

#include <cstddef>

void CAudio_Data::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        ar << m_name;
    else
        ar >> m_name;
    for (int i = 0; i < m_inputs.GetSize(); ++i)
        m_inputs.GetAt(i)->Serialize(ar);
    for (int i = 0; i < m_outputs.GetSize(); ++i)
        m_outputs.GetAt(i)->Serialize(ar);
}

void CAudio_Data::LoadFromImage(const ProgramImage& image) {
    SetName(image.name);
    for (int i = 0; i < ProgramImage::kInputCount; ++i)
        m_inputs.GetAt(i)->LoadFromImage(image.inputs[static_cast<std::size_t>(i)]);
    for (int i = 0; i < ProgramImage::kOutputCount; ++i)
        m_outputs.GetAt(i)->LoadFromImage(image.outputs[static_cast<std::size_t>(i)]);
}
