#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class PanelSession;
class ReadBackCheck;

// "Verify after writing" for one panel's session: what was just written to the device from the
// document (a stored program, the live program or all thirty stored programs) is read back
// behind the write and compared with it (ReadBackCheck). The read-back runs behind the progress
// window (transferStarted); once the last program has arrived, reportReady carries what was
// read back and one line per difference, and the view showing the session shows the "Verify"
// report from it. Whether writes are verified at all is remembered in the application's
// settings (IsOn); the Program dialog's box changes it, and whoever writes asks it.
class WriteVerifier : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSettingsGroup = "Program";
    static constexpr const char* kVerifyKey = "VerifyAfterWriting";

    explicit WriteVerifier(PanelSession& session);
    ~WriteVerifier() override;

    static bool IsOn();
    static void SetOn(bool on);

    // Stored program 1..30 was just written from the document's program.
    void VerifyStoredProgram(int program);
    // The live program was just written from the document's program; the document's program
    // is not replaced by what is read back.
    void VerifyLiveProgram();
    // The document's thirty stored programs were just written to the device.
    void VerifyBank();

signals:
    // what: "Program 12 of device 3", "The live program of device 3", "The 30 stored programs
    // of device 3"; lines: "P12 out3.gain: -3.0 != 0.0", none when all was read back as written.
    void reportReady(const QString& what, const QStringList& lines);

private:
    template <class Start> void Verify(const QString& what, Start&& start);
    void Report();

    PanelSession& m_session;
    ReadBackCheck* m_check = nullptr;
    QString m_reportWhat; // what the running check reads back, once its progress window closed
};
