#include "core/protocol/SerialLine.h"

const char* LineStatusName(LineStatus status) {
    switch (status) {
    case LineStatus::Success:
        return "Success";
    case LineStatus::NotOpen:
        return "NotOpen";
    case LineStatus::AlreadyOpen:
        return "AlreadyOpen";
    case LineStatus::Timeout:
        return "Timeout";
    case LineStatus::InvalidArgument:
        return "InvalidArgument";
    case LineStatus::NoSuchDevice:
        return "NoSuchDevice";
    case LineStatus::AccessDenied:
        return "AccessDenied";
    case LineStatus::DeviceGone:
        return "DeviceGone";
    case LineStatus::Unsupported:
        return "Unsupported";
    case LineStatus::IoError:
        return "IoError";
    }
    return "?";
}
