#pragma once

#include <QString>
#include <QStringList>

struct CliOptions;

// The command table of sonvex-cli: every command with what runs it, its options and its help
// texts, in one table that the dispatch and the help both read.
namespace Usage {

// The commands sonvex-cli knows, in the order the help lists them.
QStringList Commands();
bool IsCommand(const QString& command);
// Long names of the options a command takes (besides --help).
QStringList OptionsOf(const QString& command);
// Whether the command talks to a device (and so takes --port, --id, --model, -v, --tick,
// --fast).
bool IsDeviceCommand(const QString& command);

// Runs the command of options; an unknown one fails with a message.
int Run(const CliOptions& options);

// The overview: every command in one line, the common options, exit codes.
QString General();
// What one command does, its operands and options, with an example.
QString OfCommand(const QString& command);

} // namespace Usage
