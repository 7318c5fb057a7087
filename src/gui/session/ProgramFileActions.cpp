#include "gui/session/ProgramFileActions.h"

#include "control/PanelLink.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/session/FileOpenChecks.h"
#include "gui/session/PanelSession.h"
#include "gui/session/WriteVerifier.h"
#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"

namespace {

FileRequest Request(FileRequest::Mode mode, const std::string& pattern) {
    return {mode, {QString::fromStdString(pattern)}};
}

} // namespace

ProgramFileActions::ProgramFileActions(PanelSession& session) : m_session(session) {
    // Queued: the bank is saved after the engine has finished with the reply that completed it.
    connect(&session.Link(), &PanelLink::bankCompleted, this, &ProgramFileActions::OnBankCompleted,
            Qt::QueuedConnection);
    connect(&session.Link(), &PanelLink::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_waitingForBank = false;
        }
    });
}

bool ProgramFileActions::StoreProgramToPC() {
    const Variant& variant = m_session.GetVariant();
    const QString chosen =
        ChooseFile(m_session.Window(), Request(FileRequest::Save, variant.ProgramFilePattern()));
    if (chosen.isEmpty()) {
        return false;
    }
    const QString written = m_session.WriteProgramFile(chosen);
    if (written.isEmpty()) {
        ShowMessage(m_session.Window(), QString::fromLatin1(kFileWriteError));
        return false;
    }
    emit fileUsed(written);
    return true;
}

bool ProgramFileActions::RecallProgramFromPC() {
    const QString path =
        ChooseFile(m_session.Window(),
                   Request(FileRequest::Open, m_session.GetVariant().ProgramFilePattern()));
    return !path.isEmpty() && LoadProgram(path);
}

bool ProgramFileActions::RecallAllFromPC() {
    if (!m_session.Link().IsConnected()) {
        return false;
    }
    const QString path = ChooseFile(
        m_session.Window(), Request(FileRequest::Open, m_session.GetVariant().BankFilePattern()));
    return !path.isEmpty() && LoadBank(path);
}

bool ProgramFileActions::StoreAllToPC() {
    if (!m_session.Link().StoreAllToPC()) {
        return false;
    }
    m_waitingForBank = true;
    m_bankArrived = false;
    // The window closes when the last request has gone out; program 30 may arrive after that.
    m_inProgress = true;
    m_session.WaitForTransfer();
    m_inProgress = false;
    if (m_bankArrived) {
        m_bankArrived = false;
        SaveBank();
    }
    return true;
}

bool ProgramFileActions::LoadProgram(const QString& path) {
    if (RefusedAsOtherModel(path)) {
        return false;
    }
    const std::unique_ptr<CZorvanDoc> read = ReadFile(path, false);
    if (!read) {
        return false;
    }
    SendProgram(*read, path);
    return true;
}

ProgramFileActions::OpenResult ProgramFileActions::OpenFile(const QString& path) {
    const bool bank = ProgramFileKindOf(path.toStdString()).bank;
    if (RefusedAsOtherModel(path)) {
        return OpenResult::Declined;
    }
    // Read first: a file that does not read is told as such, without a question before it.
    const std::unique_ptr<CZorvanDoc> read = ReadFile(path, bank);
    if (!read) {
        return OpenResult::Failed;
    }
    if (!FileOpenChecks::MayOverwrite(m_session, path, bank)) {
        return OpenResult::Declined;
    }
    if (bank) {
        SendBank(*read, path);
    } else {
        SendProgram(*read, path);
    }
    return OpenResult::Opened;
}

std::unique_ptr<CZorvanDoc> ProgramFileActions::ReadFile(const QString& path, bool bank) {
    std::unique_ptr<CZorvanDoc> read =
        bank ? m_session.ReadBankFile(path) : m_session.ReadProgramFile(path);
    if (!read) {
        ShowMessage(m_session.Window(), QString::fromLatin1(kFileReadError));
    }
    return read;
}

void ProgramFileActions::SendProgram(CZorvanDoc& read, const QString& path) {
    m_session.ApplyReadProgram(read, path);
    emit fileUsed(path);
    // The device's live program becomes the loaded one (nothing is sent while disconnected).
    if (m_session.StoreProgram(Protocol::LiveProgram) && WriteVerifier::IsOn()) {
        m_session.Verifier().VerifyLiveProgram();
    }
}

bool ProgramFileActions::SendBank(const CZorvanDoc& read, const QString& path) {
    m_session.ApplyReadBank(read);
    emit fileUsed(path);
    if (!m_session.Link().RecallAllFromPC()) {
        return false;
    }
    m_session.WaitForTransfer();
    if (WriteVerifier::IsOn()) {
        m_session.Verifier().VerifyBank();
    }
    return true;
}

bool ProgramFileActions::RefusedAsOtherModel(const QString& path) {
    const QString refusal = FileOpenChecks::OtherModelText(m_session.GetVariant(), path);
    if (refusal.isEmpty()) {
        return false;
    }
    ShowMessage(m_session.Window(), refusal);
    return true;
}

bool ProgramFileActions::LoadBank(const QString& path) {
    if (RefusedAsOtherModel(path)) {
        return false;
    }
    const std::unique_ptr<CZorvanDoc> read = ReadFile(path, true);
    if (!read) {
        return false;
    }
    SendBank(*read, path);
    return true;
}

void ProgramFileActions::OnBankCompleted() {
    if (!m_waitingForBank) {
        return;
    }
    m_waitingForBank = false;
    if (m_inProgress) {
        m_bankArrived = true;
        return;
    }
    SaveBank();
}

void ProgramFileActions::SaveBank() {
    const QString chosen = ChooseFile(
        m_session.Window(), Request(FileRequest::Save, m_session.GetVariant().BankFilePattern()));
    if (chosen.isEmpty()) {
        return;
    }
    const FileResult written = ::StoreAllToPC(m_session.GetDocument(), chosen.toStdString());
    if (!written) {
        ShowMessage(m_session.Window(), QString::fromLatin1(kFileWriteError));
        return;
    }
    emit fileUsed(QString::fromStdString(written.path));
}
