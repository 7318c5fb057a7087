#include "gui/panel/ProgramFileActions.h"

#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"
#include "gui/graph/ResponseGraph.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/model/Variant.h"
#include "gui/panel/PanelView.h"
#include "control/PanelLink.h"

namespace {

FileRequest Request(FileRequest::Mode mode, const std::string& pattern) {
    return {mode, {QString::fromStdString(pattern)}};
}

} // namespace

ProgramFileActions::ProgramFileActions(PanelView& panel) : m_panel(panel) {
    // Queued: the bank is saved after the engine has finished with the reply that completed it.
    connect(&panel.Link(), &PanelLink::bankCompleted, this, &ProgramFileActions::OnBankCompleted,
            Qt::QueuedConnection);
    connect(&panel.Link(), &PanelLink::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_waitingForBank = false;
        }
    });
}

bool ProgramFileActions::StoreProgramToPC() {
    const Variant& variant = m_panel.GetVariant();
    const QString chosen =
        ChooseFile(&m_panel, Request(FileRequest::Save, variant.ProgramFilePattern()));
    if (chosen.isEmpty()) {
        return false;
    }
    CZorvanDoc& document = m_panel.GetDocument();
    const FileResult written =
        ::StoreProgramToPC(document, variant.deviceType, chosen.toStdString());
    if (!written) {
        ShowMessage(&m_panel, QString::fromLatin1(kFileWriteError));
        return false;
    }
    m_panel.Link().SetMainTitle(QString::fromStdString(document.GetTitle()));
    emit fileUsed(QString::fromStdString(written.path));
    return true;
}

bool ProgramFileActions::RecallProgramFromPC() {
    const QString path =
        ChooseFile(&m_panel, Request(FileRequest::Open, m_panel.GetVariant().ProgramFilePattern()));
    return !path.isEmpty() && LoadProgram(path);
}

bool ProgramFileActions::RecallAllFromPC() {
    if (!m_panel.Link().IsConnected()) {
        return false;
    }
    const QString path =
        ChooseFile(&m_panel, Request(FileRequest::Open, m_panel.GetVariant().BankFilePattern()));
    return !path.isEmpty() && LoadBank(path);
}

bool ProgramFileActions::StoreAllToPC() {
    if (!m_panel.Link().StoreAllToPC()) {
        return false;
    }
    m_waitingForBank = true;
    m_bankArrived = false;
    // The window closes when the last request has gone out; program 30 may arrive after that.
    m_inProgress = true;
    m_panel.ShowTransferProgress();
    m_inProgress = false;
    if (m_bankArrived) {
        m_bankArrived = false;
        SaveBank();
    }
    return true;
}

bool ProgramFileActions::LoadProgram(const QString& path) {
    CZorvanDoc& document = m_panel.GetDocument();
    if (!::RecallProgramFromPC(document, m_panel.GetVariant().deviceType, path.toStdString())) {
        ShowMessage(&m_panel, QString::fromLatin1(kFileReadError));
        return false;
    }
    m_panel.Link().SetMainTitle(QString::fromStdString(document.GetTitle()));
    m_panel.RefreshPanel();
    m_panel.Graph()->Redraw();
    emit fileUsed(path);
    // The device's live program becomes the loaded one (nothing is sent while disconnected).
    m_panel.StoreProgram(Protocol::LiveProgram);
    return true;
}

bool ProgramFileActions::OpenFile(const QString& path) {
    return ProgramFileKindOf(path.toStdString()).bank ? LoadBank(path) : LoadProgram(path);
}

bool ProgramFileActions::LoadBank(const QString& path) {
    if (!::RecallAllFromPC(m_panel.GetDocument(), path.toStdString())) {
        ShowMessage(&m_panel, QString::fromLatin1(kFileReadError));
        return false;
    }
    emit fileUsed(path);
    if (m_panel.Link().RecallAllFromPC()) {
        m_panel.ShowTransferProgress();
    }
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
    const QString chosen =
        ChooseFile(&m_panel, Request(FileRequest::Save, m_panel.GetVariant().BankFilePattern()));
    if (chosen.isEmpty()) {
        return;
    }
    const FileResult written = ::StoreAllToPC(m_panel.GetDocument(), chosen.toStdString());
    if (!written) {
        ShowMessage(&m_panel, QString::fromLatin1(kFileWriteError));
        return;
    }
    emit fileUsed(QString::fromStdString(written.path));
}
