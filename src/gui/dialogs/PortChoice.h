#pragma once

#include "line/PortList.h"

#include <QList>
#include <QString>

// Which port the Connect dialog shows first.
namespace PortChoice {

// The text shown, and taken as the port, when the system lists no port at all.
inline constexpr const char* kNoPortText = "NULL";

// Index of the entry whose display name is name (ignoring case), else of the first whose
// display name begins with it; -1 for an empty name or when nothing matches.
int Find(const QList<PortEntry>& entries, const QString& name);
// Index of the entry offered when the previous port is not listed: the first USB port, else
// the first port; -1 for an empty list.
int Default(const QList<PortEntry>& entries);
// Whether name is a path typed by the operator (a /dev/serial/by-id/... link, a
// pseudo-terminal) rather than a listed port name.
bool IsPath(const QString& name);

} // namespace PortChoice
