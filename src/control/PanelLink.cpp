#include "control/PanelLink.h"

#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/TransferSequences.h"

namespace {

constexpr int kInterfaceTextItem = 16;
constexpr int kBacklightItem = 20;
constexpr int kTemperatureItem = 22;

bool IsValidDeviceId(int id) {
    return id >= Protocol::MinDeviceId && id <= Protocol::MaxDeviceId;
}

} // namespace

PanelLink::PanelLink(CZorvanDoc& document, const Variant& variant, FoundIdTable* foundIds,
                     QObject* parent)
    : PanelLink(document, variant, LinkSetup{}, foundIds, parent) {}

PanelLink::PanelLink(CZorvanDoc& document, const Variant& variant, LinkSetup setup,
                     FoundIdTable* foundIds, QObject* parent)
    : QObject(parent), m_document(document), m_variant(variant),
      m_link(document, nullptr, std::move(setup)), m_reports(document, variant, m_link.GetEngine()),
      m_transfers(document, variant, m_link, m_reports), m_deviceId(variant.initialDeviceId),
      m_ownFoundIds(foundIds == nullptr ? std::make_unique<FoundIdTable>() : nullptr),
      m_foundIds(foundIds == nullptr ? m_ownFoundIds.get() : foundIds) {
    // Every program has eight outputs, whatever the model; the eighth completes a program.
    GetEngine().SetOutputCount(ProgramImage::kOutputCount);
    // The 4-in/8-out type is the program's default; setting it again would reset the gains.
    if (GetProgram().GetDeviceType() != m_variant.deviceType) {
        GetProgram().SetDeviceType(m_variant.deviceType);
    }
    GetEngine().SetDeviceType(m_variant.deviceType);

    connect(&m_link, &LinkSession::connectedChanged, this, &PanelLink::connectedChanged);
    connect(&m_link, &LinkSession::busyChanged, this, &PanelLink::busyChanged);
    connect(&m_link, &LinkSession::messageShown, this, &PanelLink::messageShown);
    connect(&m_link, &LinkSession::recordTransmitted, this, &PanelLink::recordTransmitted);
    connect(&m_link, &LinkSession::lineRead, this, &PanelLink::lineRead);

    connect(&m_reports, &DeviceReports::levelsReceived, this, &PanelLink::levelsReceived);
    connect(&m_reports, &DeviceReports::deviceInfoReceived, this, &PanelLink::OnDeviceInfo);
    connect(&m_reports, &DeviceReports::linkRejected, this, &PanelLink::Reject);

    connect(&m_transfers, &ProgramTransfers::transferProgress, this, &PanelLink::transferProgress);
    connect(&m_transfers, &ProgramTransfers::titleRequested, this, &PanelLink::SetMainTitle);
    connect(&m_transfers, &ProgramTransfers::storedProgramReceived, this,
            &PanelLink::storedProgramReceived);
    connect(&m_transfers, &ProgramTransfers::bankCompleted, this, &PanelLink::bankCompleted);
    connect(&m_transfers, &ProgramTransfers::liveProgramRead, this, &PanelLink::liveProgramRead);
    connect(&m_link, &LinkSession::connectedChanged, this, [this](bool connected) {
        if (!connected) {
            m_transfers.ForgetReadsAside();
        }
    });
    connect(&m_transfers, &ProgramTransfers::programReceived, this, [this] {
        emit programReceived();
        emit panelRefreshRequested();
        emit graphRedrawRequested();
    });
}

PanelLink::~PanelLink() = default;

CAudio_Data& PanelLink::GetProgram() {
    return m_document.GetProgram();
}

QVector<int> PanelLink::FoundIds() const {
    const std::vector<int> ids = m_foundIds->Ids();
    return QVector<int>(ids.begin(), ids.end());
}

// --- Connection ---

bool PanelLink::Connect(const QString& portName, int deviceId) {
    if (!IsValidDeviceId(deviceId)) {
        return false;
    }
    if (IsConnected()) {
        Disconnect();
    }
    CloseEditors();
    SetPortName(portName);
    if (!OpenLink()) {
        return false;
    }
    CloseEditors();
    m_deviceId = deviceId;
    ShowLinkSettings();
    CAudio_Data& program = GetProgram();
    program.SetDeviceId(deviceId);
    // Edits made while disconnected are not sent to the device.
    program.ClearChanged();
    QueryDevice();
    m_link.StartTick();
    RecallProgram(Protocol::LiveProgram);
    return true;
}

bool PanelLink::Disconnect() {
    if (!CloseLink()) {
        return false;
    }
    m_link.SetBusy(true);
    return true;
}

bool PanelLink::OpenLink() {
    return m_link.OpenLink(this);
}

bool PanelLink::CloseLink() {
    return m_link.CloseLink();
}

void PanelLink::CloseEditors() {
    emit closeEditorsRequested();
}

void PanelLink::QueryDevice() {
    if (IsConnected()) {
        m_link.Enqueue(TransferSequences::ConnectReadBack(GetProgram()));
    }
}

void PanelLink::ShowLinkSettings() {
    emit linkSettingsChanged(m_deviceId, GetPortName());
}

void PanelLink::SetMainTitle(const QString& title) {
    m_document.SetTitle(title.toStdString());
    emit mainTitleChanged(title);
}

// --- Device dialog ---

bool PanelLink::ChangeDeviceId(int newId) {
    if (!IsConnected() || !IsValidDeviceId(newId) || newId == m_deviceId) {
        return false;
    }
    // The device is found under its new ID from now on, and no longer under the old one.
    m_foundIds->MarkPresent(newId);
    m_foundIds->MarkAbsent(m_deviceId);
    m_deviceId = newId;
    // Built while the program still holds the old ID: the frame goes to the device as it is.
    m_link.Enqueue(TransferSequences::ChangeDeviceId(GetProgram(), newId));
    GetProgram().SetDeviceId(newId);
    ShowLinkSettings();
    return true;
}

bool PanelLink::ReconnectToDevice(int target) {
    if (!IsConnected() || !IsValidDeviceId(target) || target == m_deviceId) {
        return false;
    }
    CloseEditors();
    m_deviceId = target;
    ShowLinkSettings();
    CAudio_Data& program = GetProgram();
    program.SetDeviceId(target);
    program.ClearChanged();
    QueryDevice();
    RecallProgram(Protocol::LiveProgram);
    return true;
}

// --- Other operations ---

bool PanelLink::CopyChannel(int from, int to, bool output) {
    const int count = output ? m_variant.outputCount : m_variant.inputCount;
    if (from < 0 || from >= count || to < 0 || to >= count) {
        return false;
    }
    CAudio_Data& program = GetProgram();
    const ProgramEncoder encoder(program);
    if (output) {
        program.GetOutput(to)->CopyFrom(*program.GetOutput(from));
        program.GetOutput(to)->UpdateCurve();
        if (IsConnected()) {
            m_link.Enqueue(encoder.WriteOutputChannel(Protocol::LiveProgram, to));
        }
    } else {
        program.GetInput(to)->CopyFrom(*program.GetInput(from));
        program.GetInput(to)->UpdateCurve();
        if (IsConnected()) {
            m_link.Enqueue(encoder.WriteInputChannel(Protocol::LiveProgram, to));
        }
    }
    emit channelCopied(to, output, from);
    emit graphRedrawRequested();
    return true;
}

bool PanelLink::SendSystemItem(int item) {
    if (!IsConnected()) {
        return false;
    }
    const ProgramEncoder encoder(GetProgram());
    switch (item) {
    case kInterfaceTextItem:
        m_link.Enqueue(encoder.WriteInterfaceText());
        return true;
    case kBacklightItem:
        m_link.Enqueue(encoder.WriteBacklight());
        return true;
    case kTemperatureItem:
        m_link.Enqueue(encoder.WriteTemperature());
        return true;
    default:
        return false;
    }
}

void PanelLink::ShowInputSource(int value, bool send) {
    if (m_variant.hasInputSourceDisplay) {
        emit inputSourceShown(
            QString::fromStdString(InputSourceDisplayText(GetProgram().GetInputSource())));
    }
    if (!send) {
        return;
    }
    // Every variant writes the choice at once: the smaller panels have no other way to get
    // the input source to the device.
    if (IsConnected()) {
        m_link.Enqueue(ProgramEncoder(GetProgram()).WriteInputSource(value));
    }
    emit inputSourceChanged();
}

// --- Engine notifications ---

void PanelLink::OnEngineMessage(EngineMessage message, int wParam) {
    switch (message) {
    case EngineMessage::WM_PROGRAM_RECEIVED:
        m_transfers.OnProgramReceived();
        break;
    case EngineMessage::WM_STORED_PROGRAM_RECEIVED:
        m_transfers.OnStoredProgramReceived(wParam);
        break;
    case EngineMessage::WM_DEVICE_INFO_RECEIVED:
        m_reports.OnDeviceInfo();
        break;
    case EngineMessage::WM_IDENTIFICATION_RECEIVED:
        m_reports.OnIdentification();
        break;
    case EngineMessage::WM_LEVELS_RECEIVED:
        // Posted, not handled inside the engine's processing.
        QMetaObject::invokeMethod(&m_reports, &DeviceReports::OnLevels, Qt::QueuedConnection);
        break;
    case EngineMessage::WM_DEVICE_TYPE_CHECKED:
        m_reports.OnDeviceTypeChecked(wParam);
        break;
    case EngineMessage::WM_DEVICE_NOTICE:
    case EngineMessage::WM_ID_SEARCH_END:
        break;
    }
}

void PanelLink::OnDeviceFound(int id) {
    m_foundIds->MarkPresent(id);
}

void PanelLink::ShowMessageBox(const std::string& text) {
    emit messageShown(QString::fromStdString(text));
}

void PanelLink::OnDeviceInfo() {
    emit deviceInfoReceived();
    emit panelRefreshRequested();
    ShowInputSource(GetProgram().GetInputSource(), false);
}

void PanelLink::Reject(const QString& text) {
    CloseLink();
    emit messageShown(text);
}
