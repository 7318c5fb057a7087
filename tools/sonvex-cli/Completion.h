#pragma once

#include <QStringList>

// The answers the bash completion of sonvex-cli asks for with the hidden first argument
// "--complete": the words it may offer, one a line, taken from the tables the parsers use.
//   --complete commands            the commands
//   --complete options [COMMAND]   the options of COMMAND, or those before any command
//   --complete params [MODEL]      the PARAM names of "set" on MODEL (default 4x8)
//   --complete channels [MODEL]    the channels of MODEL for --channel
//   --complete models              the names --model takes
//   --complete ports               the port names the system reports
namespace Completion {

bool IsQuery(const QStringList& arguments);
// Prints the words and returns the exit status (2 for a question it does not know).
int Answer(const QStringList& arguments);

} // namespace Completion
