#include "gui/session/PanelSession.h"

#include "control/PanelLink.h"
#include "core/files/DriverSideFile.h"
#include "core/files/MeasurementFile.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/MeasuredDrivers.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/session/EditRecorder.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/session/StepNames.h"
#include "gui/session/WriteVerifier.h"
#include "gui/widgets/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Calls f with input or output channel index of program.
template <class F> auto WithChannel(CAudio_Data& program, bool output, int index, F&& f) {
    return output ? f(*program.GetOutput(index)) : f(*program.GetInput(index));
}

} // namespace

PanelSession::PanelSession(const Variant& variant, FoundIdTable* foundIds, QObject* parent)
    : QObject(parent), m_variant(variant), m_document(std::make_unique<CZorvanDoc>()),
      m_drivers(std::make_unique<MeasuredDrivers>()),
      m_link(std::make_unique<PanelLink>(*m_document, variant, foundIds)),
      m_verifier(std::make_unique<WriteVerifier>(*this)),
      m_files(std::make_unique<ProgramFileActions>(*this)),
      m_recorder(std::make_unique<EditRecorder>(*m_document, variant, m_history)) {
    constexpr int kUndoLimit = 200;
    m_history.setUndoLimit(kUndoLimit);
    connect(m_link.get(), &PanelLink::mainTitleChanged, this, &PanelSession::mainTitleChanged);
    connect(m_link.get(), &PanelLink::programReceived, this, &PanelSession::OnProgramReceived);
    connect(m_link.get(), &PanelLink::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_recalling = -1;
        }
    });
    connect(m_link.get(), &PanelLink::channelCopied, this, [this](int to, bool output, int from) {
        m_recorder->Commit(StepNames::Copy(from, to, output));
    });
    // The device settings have no change mark to be sent by: undone or redone ones are written
    // as the operator's choice is (the input source shown and its open editors told, too).
    connect(m_recorder.get(), &EditRecorder::settingsRestored, m_link.get(),
            [this](const std::vector<int>& items) {
                for (const int item : items) {
                    if (item == Protocol::ItemInputSource) {
                        m_link->ShowInputSource(m_document->GetProgram().GetInputSource(), true);
                    } else {
                        m_link->SendSystemItem(item);
                    }
                }
            });
    connect(m_recorder.get(), &EditRecorder::restored, this, &PanelSession::programReplaced);
    connect(m_recorder.get(), &EditRecorder::titleRestored, m_link.get(), &PanelLink::SetMainTitle);
    connect(m_files.get(), &ProgramFileActions::fileUsed, this, &PanelSession::fileUsed);
}

PanelSession::~PanelSession() {
    // Nothing the link reports while it closes its port reaches anyone any more.
    m_link->disconnect();
}

// --- Transfers ---

bool PanelSession::ConnectTo(const QString& port, int id) {
    if (!m_link->Connect(port, id)) {
        return false;
    }
    WaitForTransfer();
    return true;
}

bool PanelSession::ReconnectTo(int id) {
    if (!m_link->ReconnectToDevice(id)) {
        return false;
    }
    WaitForTransfer();
    return true;
}

bool PanelSession::RecallProgram(int program) {
    m_recorder->Commit();
    if (!m_link->RecallProgram(program)) {
        return false;
    }
    m_recalling = program;
    WaitForTransfer();
    return true;
}

bool PanelSession::StoreProgram(int program) {
    // The name given ahead of the store is the operator's edit of the program (one step); the
    // store itself leaves the program as it is.
    m_recorder->Commit();
    m_recorder->Commit(StepNames::ProgramName(), EditRecorder::Scope::ProgramName);
    if (!m_link->StoreProgram(program)) {
        return false;
    }
    WaitForTransfer();
    return true;
}

void PanelSession::WaitForTransfer() {
    emit transferStarted();
}

void PanelSession::NameProgram(int program, const QString& name) {
    // What was edited before is a step of its own. The name becomes a step with the store that
    // follows, or belongs to the recall's step: a recalled program comes under its slot's name.
    m_recorder->Commit();
    m_document->GetProgram().SetName(name.toLatin1().toStdString());
    m_link->SetProgramName(program, name);
}

void PanelSession::OnProgramReceived() {
    if (m_recalling >= 0) {
        m_recorder->Commit(StepNames::Recall(m_recalling), EditRecorder::Scope::WholeProgram);
        m_recalling = -1;
        return;
    }
    // Read at connect: the device's program, not an edit; what was undone before is gone.
    m_history.clear();
    m_recorder->Keep();
}

// --- Undo history ---

void PanelSession::Undo() {
    m_recorder->Commit();
    m_history.undo();
}

void PanelSession::Redo() {
    m_recorder->Commit();
    m_history.redo();
}

void PanelSession::CommitEdits(const QString& name) {
    m_recorder->Commit(name);
}

// --- Edits ---

void PanelSession::SetGain(int channel, bool output, int gain) {
    WithChannel(m_document->GetProgram(), output, channel, [gain](auto& c) { c.SetGain(gain); });
}

int PanelSession::TogglePolarity(int channel, bool output) {
    m_recorder->Commit();
    const int state = WithChannel(m_document->GetProgram(), output, channel, [](auto& c) {
        c.SetPolarity(c.GetPolarity() != 0 ? 0 : 1);
        return static_cast<int>(c.GetPolarity());
    });
    m_recorder->Commit();
    return state;
}

int PanelSession::ToggleOn(int channel, bool output) {
    m_recorder->Commit();
    const int state = WithChannel(m_document->GetProgram(), output, channel, [](auto& c) {
        c.SetOn(c.GetOn() != 0 ? 0 : 1);
        return static_cast<int>(c.GetOn());
    });
    m_recorder->Commit();
    return state;
}

bool PanelSession::ToggleEnabled(int channel, bool output) {
    m_recorder->Commit();
    const bool enabled = WithChannel(m_document->GetProgram(), output, channel, [](auto& c) {
        c.SetEnabled(c.IsEnabled() != 0 ? 0 : 1);
        return c.IsEnabled() != 0;
    });
    m_recorder->Commit();
    return enabled;
}

// --- Programs and files ---

bool PanelSession::ApplyProgramFile(const QString& path) {
    const std::unique_ptr<CZorvanDoc> read = ReadProgramFile(path);
    if (!read) {
        return false;
    }
    ApplyReadProgram(*read, path);
    return true;
}

bool PanelSession::ApplyBankFile(const QString& path) {
    const std::unique_ptr<CZorvanDoc> read = ReadBankFile(path);
    if (!read) {
        return false;
    }
    ApplyReadBank(*read);
    return true;
}

std::unique_ptr<CZorvanDoc> PanelSession::ReadProgramFile(const QString& path) const {
    auto read = std::make_unique<CZorvanDoc>();
    read->GetProgram().SetDeviceType(m_variant.deviceType);
    if (!::RecallProgramFromPC(*read, m_variant.deviceType, path.toStdString())) {
        return nullptr;
    }
    return read;
}

std::unique_ptr<CZorvanDoc> PanelSession::ReadBankFile(const QString& path) const {
    auto read = std::make_unique<CZorvanDoc>();
    read->GetProgram().SetDeviceType(m_variant.deviceType);
    if (!::RecallAllFromPC(*read, path.toStdString())) {
        return nullptr;
    }
    return read;
}

void PanelSession::ApplyReadProgram(CZorvanDoc& read, const QString& path) {
    m_recorder->Commit();
    TakeRecalledProgram(*m_document, read);
    m_link->SetMainTitle(QString::fromStdString(m_document->GetTitle()));
    m_recorder->Commit(StepNames::OpenFile(QFileInfo(path).fileName()),
                       EditRecorder::Scope::WholeProgram);
    *m_drivers = MeasuredDrivers();
    const DriverSideResult side = LoadDriverSideFile(path.toStdString(), *m_drivers);
    emit driversChanged();
    emit programReplaced();
    if (!side) {
        ShowMessage(m_window,
                    QStringLiteral("The measured drivers of this program were not read from %1: %2")
                        .arg(QDir::toNativeSeparators(QString::fromStdString(side.path)),
                             QString::fromStdString(side.error)));
    }
}

void PanelSession::ApplyReadBank(const CZorvanDoc& read) {
    TakeRecalledBank(*m_document, read);
}

QString PanelSession::WriteProgramFile(const QString& chosen) {
    const FileResult written =
        ::StoreProgramToPC(*m_document, m_variant.deviceType, chosen.toStdString());
    if (!written) {
        return QString();
    }
    m_link->SetMainTitle(QString::fromStdString(m_document->GetTitle()));
    const DriverSideResult side = StoreDriverSideFile(written.path, *m_drivers);
    if (!side) {
        ShowMessage(m_window,
                    QStringLiteral("The program was saved, but its measured drivers were not "
                                   "written to %1: %2")
                        .arg(QDir::toNativeSeparators(QString::fromStdString(side.path)),
                             QString::fromStdString(side.error)));
    }
    return QString::fromStdString(written.path);
}

// --- Measured drivers ---

bool PanelSession::AttachMeasurement(int output, const QString& path) {
    const MeasurementRead read = ReadMeasurementFile(path.toStdString());
    const QString shown = QDir::toNativeSeparators(path);
    if (!read) {
        ShowMessage(m_window, QStringLiteral("The measurement %1 was not read: %2")
                                  .arg(shown, QString::fromStdString(read.error)));
        return false;
    }
    if (!m_drivers->Attach(output, read.driver)) {
        ShowMessage(m_window, QStringLiteral("The measurement %1 was not attached to Out %2.")
                                  .arg(shown)
                                  .arg(output + 1));
        return false;
    }
    emit driversChanged();
    return true;
}

void PanelSession::DetachMeasurement(int output) {
    m_drivers->Detach(output);
    emit driversChanged();
}
