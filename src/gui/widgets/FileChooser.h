#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one way the GUI asks the operator for a file: the standard open or save dialog, starting
// in the current directory and offering the given patterns ("*.dia48") and "All files". A save
// dialog asks before it overwrites; an open dialog only takes a file that exists.
struct FileRequest {
    enum Mode { Open, Save };
    Mode mode = Open;
    QStringList patterns;
};

// The chosen path; empty when the operator cancelled.
QString ChooseFile(QWidget* parent, const FileRequest& request);

// Where the choice comes from instead of a dialog while a hook is installed (widget tests).
using FileChooserHook = std::function<QString(QWidget* parent, const FileRequest& request)>;
// Installs hook (an empty one restores the dialogs) and returns the previous one.
FileChooserHook SetFileChooserHook(FileChooserHook hook);
