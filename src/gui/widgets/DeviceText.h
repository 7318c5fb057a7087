#pragma once

#include <QString>

#include <string>

// Channel and program names as the device keeps them: single-byte characters, one byte each.
// On screen each byte is the Latin-1 character of that code, so a name typed into a CharEdit
// (which takes only those) comes back byte for byte.
inline QString FromDeviceText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters beyond Latin-1 become '?'; a CharEdit never holds any.
inline std::string ToDeviceText(const QString& text) {
    return text.toLatin1().toStdString();
}
