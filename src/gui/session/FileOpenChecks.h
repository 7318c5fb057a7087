#pragma once

#include <QString>

class PanelSession;
struct Variant;

// What is checked before a program or bank file is opened into a panel's session, ahead of
// reading it: a file whose extension names another model is not read with this model's rules,
// and nothing from a file reaches a connected device before the operator has said Yes.
namespace FileOpenChecks {

// Why the file at path is not opened into a panel of variant: its extension names another
// model ("hall.dia36 is a Wupa (3x6) program file: open it from the model selection or the
// Wupa panel"). Empty when the extension names variant or no model (the contents decide).
QString OtherModelText(const Variant& variant, const QString& path);

// The question asked while connected before a file is opened into the session: the program
// file overwrites the live program, a bank file all thirty stored programs of the device, e.g.
// "Write all 30 stored programs of device 3 from bank.dat48?".
QString OverwriteQuestion(int deviceId, const QString& path, bool bank);

// Whether the file may be opened into session: refused with a message for another model's file;
// while connected, only after Yes to OverwriteQuestion. Disconnected, a file of the session's
// model opens without a question.
bool MayOpen(PanelSession& session, const QString& path, bool bank);

} // namespace FileOpenChecks
