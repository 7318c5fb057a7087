#pragma once

#include <QString>

class PanelSession;
struct Variant;

// What is checked before a program or bank file is opened into a panel's session: ahead of
// reading it, a file whose extension names another model is not read with this model's rules;
// once it has been read, nothing from it reaches a connected device before the operator has
// said Yes.
namespace FileOpenChecks {

// Why the file at path is not opened into a panel of variant: its extension names another
// model ("hall.dia36 is a Wupa (3x6) program file: open it from the model selection or the
// Wupa panel"). Empty when the extension names variant or no model (the contents decide).
QString OtherModelText(const Variant& variant, const QString& path);

// The question asked while connected before a file is opened into the session: the program
// file overwrites the live program, a bank file all thirty stored programs of the device, e.g.
// "Write all 30 stored programs of device 3 from bank.dat48?".
QString OverwriteQuestion(int deviceId, const QString& path, bool bank);

// Whether the file at path, already read, may overwrite what OverwriteQuestion names: while
// connected, only after Yes; disconnected, nothing is asked.
bool MayOverwrite(PanelSession& session, const QString& path, bool bank);

} // namespace FileOpenChecks
