#pragma once

// The program of a document as the bytes a one-program file holds: two programs are the same
// when these are.

#include "core/files/Archive.h"
#include "core/files/ZorvanDoc.h"

#include <QByteArray>

inline QByteArray ProgramBytes(CZorvanDoc& document) {
    CArchive ar;
    document.Serialize(ar);
    const auto& buffer = ar.GetBuffer();
    return QByteArray(reinterpret_cast<const char*>(buffer.data()),
                      static_cast<qsizetype>(buffer.size()));
}
