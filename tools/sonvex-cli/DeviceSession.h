#pragma once

#include "CliOptions.h"

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"

#include <QString>

#include <functional>

// One connection of the command-line tool to a device, through the panel's device control:
// the document and the PanelLink working on it, the -v frame trace, the progress display of
// long transfers and the first message the device control reported, which becomes the error
// line when an operation fails.
class DeviceSession {
public:
    explicit DeviceSession(const CliOptions& options);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    CZorvanDoc& Document() { return m_document; }
    CAudio_Data& Program() { return m_document.GetProgram(); }
    PanelLink& Link() { return m_link; }
    const Variant& GetVariant() const { return *m_options.variant; }

    // Connects as the panel does (device-type check, program names, settings, live program)
    // and waits until all of it has arrived. False with Error() set otherwise.
    bool Open();
    // Starts a whole-program transfer with start (false: nothing started) and waits until its
    // last record has been answered, showing progress labelled what on a terminal.
    bool RunTransfer(const std::function<bool()>& start, const QString& what);
    // Waits until every pending change has been sent and acknowledged.
    bool Settle();
    // The ID search over 1..250 on the port; the found IDs ascending. Collisions (more than one
    // device on an ID) are reported on stderr as they are seen and kept in Collisions().
    bool Search(QVector<int>& found);
    const QVector<int>& Collisions() const { return m_collisions; }

    const QString& Error() const { return m_error; }

private:
    bool Fail(const QString& fallback, const QString& context);
    void ShowProgress(int done, int total);
    void EndProgress();

    const CliOptions& m_options;
    CZorvanDoc m_document;
    PanelLink m_link;
    QString m_message; // first message the device control showed
    QString m_error;
    QVector<int> m_collisions;
    QString m_progressLabel;
    bool m_progressShown = false;
    bool m_terminal = false;
};
