#include "gui/dialogs/PortChoice.h"

#include <algorithm>

namespace PortChoice {

namespace {

int IndexOf(const QList<PortEntry>& entries, const std::function<bool(const PortEntry&)>& test) {
    const auto found = std::find_if(entries.begin(), entries.end(), test);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

} // namespace

int Find(const QList<PortEntry>& entries, const QString& name) {
    if (name.isEmpty()) {
        return -1;
    }
    // The exact name first, so that ttyUSB1 is not taken for ttyUSB10 listed before it.
    const int exact = IndexOf(entries, [&](const PortEntry& entry) {
        return entry.displayName.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (exact >= 0) {
        return exact;
    }
    return IndexOf(entries, [&](const PortEntry& entry) {
        return entry.displayName.startsWith(name, Qt::CaseInsensitive);
    });
}

int Default(const QList<PortEntry>& entries) {
    const int usb = IndexOf(entries, [](const PortEntry& entry) { return entry.usb; });
    if (usb >= 0) {
        return usb;
    }
    return entries.isEmpty() ? -1 : 0;
}

bool IsPath(const QString& name) {
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'));
}

} // namespace PortChoice
