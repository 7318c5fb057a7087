#pragma once

// A frame as a simulated line logged it, with the header fields the tests look at.

#include <QByteArray>
#include <QString>

namespace simtest {

// A logged frame: direction ("in" to the device, "out" from it) and its bytes.
struct LoggedFrame {
    QString direction;
    QByteArray bytes;

    // Byte i of the frame; -1 past its end.
    int At(int i) const { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : -1; }
    int Code() const { return At(1); }
    int DeviceId() const { return At(2); }
    int Program() const { return At(3); }
    int Group() const { return At(4); }
    int Channel() const { return At(5); }
    int Block() const { return At(6); }
    int Length() const { return At(8); }
    int PayloadByte(int i) const { return At(9 + i); }
    QByteArray Payload() const { return bytes.mid(9, Length()); }
};

} // namespace simtest
