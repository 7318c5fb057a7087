#include "files/ZorvanDoc.h"

#include "files/Archive.h"

void CZorvanDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_program.Serialize(ar);
        return;
    }
    // Read into a scratch program first, so that a file that ends early leaves the program as
    // it was. Once the whole program was read, its bytes are loaded into the real one.
    CAudio_Data scratch;
    scratch.Serialize(ar);
    CArchive storing;
    scratch.Serialize(storing);
    CArchive complete(storing.GetBuffer());
    m_program.Serialize(complete);
}
