#include "core/files/ZorvanDoc.h"

#include "core/files/Archive.h"

void CZorvanDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_program.Serialize(ar);
        return;
    }
    // Read into a scratch program first, so that a file that ends early leaves the program as
    // it was. Once the whole program was read, its bytes are loaded into the real one. The
    // scratch program is kept for the next load: a complete load overwrites every archived
    // field, and only archived fields are taken from it.
    if (!m_scratch)
        m_scratch = std::make_unique<CAudio_Data>();
    // The values are limited while they are read, with the ranges of the model the program is
    // for: the scratch program must be of that model too, or a compact model's gains above the
    // 4-in/8-out ranges would be lost on the way.
    if (m_scratch->GetDeviceType() != m_program.GetDeviceType())
        m_scratch->SetDeviceType(m_program.GetDeviceType());
    m_scratch->Serialize(ar);
    CArchive storing;
    m_scratch->Serialize(storing);
    CArchive complete(storing.GetBuffer());
    m_program.Serialize(complete);
}
