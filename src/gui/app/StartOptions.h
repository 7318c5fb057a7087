#pragma once

#include <QString>
#include <QStringList>

class CMainFrame;
struct Variant;

// What the command line asks for at start-up: a model's panel instead of the model selection,
// and a port (with a device ID) to connect that panel to. A file name alone changes nothing.
struct StartOptions {
    enum class Outcome { Run, Help, Version, Error };

    const Variant* variant = nullptr; // nullptr: the model selection
    QString port;                     // empty: stay disconnected
    int deviceId = 1;
};

// Parses the arguments (the program name first). Help, Version and Error come with the text to
// print in message.
StartOptions::Outcome ParseStartOptions(const QStringList& arguments, StartOptions& options,
                                        QString& message);

// Opens the panel the options name and, with a port, connects it as the Connect dialog's OK
// would, once the event loop runs (the progress window then shows over the main window).
void ApplyStartOptions(CMainFrame& frame, const StartOptions& options);
