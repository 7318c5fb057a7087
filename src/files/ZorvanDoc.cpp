#include "files/ZorvanDoc.h"

#include "files/Archive.h"

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
    m_scratch->Serialize(ar);
    CArchive storing;
    m_scratch->Serialize(storing);
    CArchive complete(storing.GetBuffer());
    m_program.Serialize(complete);
}
