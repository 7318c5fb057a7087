#include "gui/session/WriteVerifier.h"

#include "control/PanelLink.h"
#include "control/ReadBackCheck.h"
#include "core/files/ZorvanDoc.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/AppSettings.h"

#include <QSettings>

WriteVerifier::WriteVerifier(PanelSession& session)
    : m_session(session), m_check(new ReadBackCheck(session.Link(), this)) {
    connect(m_check, &ReadBackCheck::finished, this, [this] {
        if (!m_reportWhat.isEmpty()) {
            Report();
        }
    });
    connect(m_check, &ReadBackCheck::abandoned, this, [this] { m_reportWhat.clear(); });
}

WriteVerifier::~WriteVerifier() = default;

bool WriteVerifier::IsOn() {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    return settings->value(QLatin1String(kVerifyKey)).toBool();
}

void WriteVerifier::SetOn(bool on) {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    settings->setValue(QLatin1String(kVerifyKey), on);
}

void WriteVerifier::VerifyStoredProgram(int program) {
    Verify(
        QStringLiteral("Program %1 of device %2").arg(program).arg(m_session.Link().GetDeviceId()),
        [this, program] {
            return m_check->StartProgram(program, m_session.GetDocument().GetProgram());
        });
}

void WriteVerifier::VerifyLiveProgram() {
    Verify(QStringLiteral("The live program of device %1").arg(m_session.Link().GetDeviceId()),
           [this] { return m_check->StartLive(m_session.GetDocument().GetProgram()); });
}

void WriteVerifier::VerifyBank() {
    // The check keeps its own copy of the bank as sent: the read-back replaces the document's.
    Verify(
        QStringLiteral("The 30 stored programs of device %1").arg(m_session.Link().GetDeviceId()),
        [this] { return m_check->StartBank(m_session.GetDocument().GetStoredPrograms()); });
}

template <class Start> void WriteVerifier::Verify(const QString& what, Start&& start) {
    m_reportWhat.clear();
    if (!start()) {
        return;
    }
    m_session.WaitForTransfer();
    // The last program may arrive after the progress window has closed.
    m_reportWhat = what;
    if (m_check->IsDone()) {
        Report();
    }
}

void WriteVerifier::Report() {
    const QString what = m_reportWhat;
    m_reportWhat.clear();
    emit reportReady(what, m_check->Lines());
}
