#pragma once

#include <QString>
#include <QStringList>

// Help texts of sonvex-cli.
namespace Usage {

// The commands sonvex-cli knows, in the order the help lists them.
const QStringList& Commands();
bool IsCommand(const QString& command);
// Long names of the options a command takes (besides --help).
QStringList OptionsOf(const QString& command);
// Whether the command talks to a device (and so takes --port, --id, --model, -v, --tick).
bool IsDeviceCommand(const QString& command);

// The overview: every command in one line, the common options, exit codes.
QString General();
// What one command does, its operands and options, with an example.
QString OfCommand(const QString& command);

} // namespace Usage
