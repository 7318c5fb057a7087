#pragma once

#include <QSettings>

#include <memory>

// The application's settings (recent files, the last port and device ID), shared by the shell
// and the dialogs.
std::unique_ptr<QSettings> AppSettings();
