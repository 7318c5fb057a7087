#include "panel/control/PanelLink.h"

#include "files/ZorvanDoc.h"
#include "link/SerialPort.h"
#include "link/protocol/FoundIdTable.h"
#include "link/protocol/ProgramEncoder.h"
#include "link/protocol/ProtocolCodes.h"
#include "link/protocol/TransferSequences.h"
#include "model/AudioData.h"

#include <QDeadlineTimer>
#include <QEventLoop>

#include <algorithm>

namespace {

constexpr int kInterfaceTextItem = 16;
constexpr int kBacklightItem = 20;
constexpr int kTemperatureItem = 22;
constexpr int kComparedIdentificationChars = 8;

bool IsValidDeviceId(int id) {
    return id >= Protocol::MinDeviceId && id <= Protocol::MaxDeviceId;
}

bool IsValidProgram(int program) {
    return program >= Protocol::LiveProgram && program <= Protocol::StoredProgramCount;
}

// The level-meter request the tick queues when nothing else is pending.
bool IsMeterRequest(const SendData& record) {
    const auto& frame = record.GetData();
    return frame.size() > Protocol::OffsetChannel &&
           frame[Protocol::OffsetCode] == Protocol::ReadRequest &&
           frame[Protocol::OffsetGroup] == Protocol::GroupSystem &&
           frame[Protocol::OffsetChannel] == Protocol::ItemMeters;
}

} // namespace

PanelLink::PanelLink(CZorvanDoc& document, const Variant& variant, QObject* parent)
    : QObject(parent), m_document(document), m_variant(variant), m_port(new SerialPort),
      m_engine(std::unique_ptr<ISerialLine>(m_port)), m_deviceId(variant.initialDeviceId) {
    // Every program has eight outputs, whatever the model; the eighth completes a program.
    m_engine.SetOutputCount(ProgramImage::kOutputCount);
    // The 4-in/8-out type is the program's default; setting it again would reset the gains.
    if (GetProgram().GetDeviceType() != m_variant.deviceType) {
        GetProgram().SetDeviceType(m_variant.deviceType);
    }
    m_engine.SetDeviceType(m_variant.deviceType);

    m_tick.setInterval(kTickIntervalMs);
    connect(&m_tick, &QTimer::timeout, this, &PanelLink::ServiceTick);
    connect(m_port, &SerialPort::lineEvent, this, &PanelLink::OnLineEvent);
}

PanelLink::~PanelLink() {
    m_tick.stop();
    m_engine.ClosePort();
}

CAudio_Data& PanelLink::GetProgram() {
    return m_document.GetProgram();
}

QString PanelLink::GetProgramName(int program) const {
    if (program < 0 || program >= kProgramNameCount) {
        return {};
    }
    return m_programNames[static_cast<std::size_t>(program)];
}

void PanelLink::SetProgramName(int program, const QString& name) {
    if (program >= 0 && program < kProgramNameCount) {
        m_programNames[static_cast<std::size_t>(program)] = name;
    }
}

QVector<int> PanelLink::GetInputLevels() const {
    QVector<int> levels;
    for (int i = 0; i < m_variant.inputCount; ++i) {
        levels.append(m_engine.GetMeterValue(m_variant.InputLevelByte(i)));
    }
    return levels;
}

QVector<int> PanelLink::GetOutputLevels() const {
    QVector<int> levels;
    for (int n = 0; n < m_variant.outputCount; ++n) {
        levels.append(m_engine.GetMeterValue(m_variant.OutputLevelByte(n)));
    }
    return levels;
}

// --- Connection ---

bool PanelLink::Connect(const QString& portName, int deviceId) {
    if (!IsValidDeviceId(deviceId)) {
        return false;
    }
    if (m_connected) {
        Disconnect();
    }
    CloseEditors();
    m_portName = portName;
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
    m_tick.start();
    RecallProgram(Protocol::LiveProgram);
    return true;
}

bool PanelLink::Disconnect() {
    if (!CloseLink()) {
        return false;
    }
    m_engine.Clear();
    SetBusy(true);
    m_tick.stop();
    return true;
}

bool PanelLink::OpenLink() {
    if (!m_engine.OpenPort(m_portName.toStdString(), this)) {
        return false;
    }
    SetConnected(true);
    SetBusy(false);
    if (m_variant.hasInputSourceDisplay) {
        emit linkTextChanged(QStringLiteral("Link"));
    }
    return true;
}

bool PanelLink::CloseLink() {
    if (!m_connected) {
        return false;
    }
    // A port that went away underneath still ends the connection: otherwise the tick would
    // go on writing to nothing and repeat the time-out message at every tick.
    m_engine.ClosePort();
    m_engine.Clear();
    m_tick.stop();
    m_transferTotal = 0;
    SetConnected(false);
    SetBusy(false);
    if (m_variant.hasInputSourceDisplay) {
        emit linkTextChanged(QStringLiteral("Unlink"));
    }
    return true;
}

void PanelLink::CloseEditors() {
    emit closeEditorsRequested();
}

void PanelLink::QueryDevice() {
    if (!m_connected) {
        return;
    }
    m_engine.Queue().Append(TransferSequences::ConnectReadBack(GetProgram()));
}

void PanelLink::ShowLinkSettings() {
    emit linkSettingsChanged(m_deviceId, m_portName);
}

void PanelLink::SetMainTitle(const QString& title) {
    m_document.SetTitle(title.toStdString());
    emit mainTitleChanged(title);
}

// --- Device dialog ---

bool PanelLink::ChangeDeviceId(int newId) {
    if (!m_connected || !IsValidDeviceId(newId) || newId == m_deviceId) {
        return false;
    }
    const int oldId = m_deviceId;
    FoundIdTable[static_cast<std::size_t>(newId)] = static_cast<std::uint16_t>(newId);
    if (IsValidDeviceId(oldId)) {
        FoundIdTable[static_cast<std::size_t>(oldId)] = 0;
    }
    m_deviceId = newId;
    // Built while the program still holds the old ID: the frame goes to the device as it is.
    m_engine.Enqueue(TransferSequences::ChangeDeviceId(GetProgram(), newId));
    GetProgram().SetDeviceId(newId);
    ShowLinkSettings();
    return true;
}

bool PanelLink::ReconnectToDevice(int target) {
    if (!m_connected || !IsValidDeviceId(target) || target == m_deviceId) {
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

// --- Transfers ---

void PanelLink::StartTransfer(std::vector<std::unique_ptr<SendData>> records) {
    const int added = static_cast<int>(std::count_if(
        records.begin(), records.end(), [](const auto& record) { return record->IsBulk(); }));
    m_transferTotal = GetTransferRemaining() + added;
    m_engine.Queue().Append(std::move(records));
    SetBusy(true);
    EmitProgress();
}

bool PanelLink::RecallProgram(int program) {
    if (!m_connected || !IsValidProgram(program)) {
        return false;
    }
    StartTransfer(TransferSequences::UploadProgram(GetProgram(), program));
    return true;
}

bool PanelLink::StoreProgram(int program) {
    if (!m_connected || !IsValidProgram(program)) {
        return false;
    }
    CAudio_Data& current = GetProgram();
    SetMainTitle(QString::fromStdString(m_variant.ProgramTitle(current.GetName())));
    StartTransfer(TransferSequences::DownloadProgram(current, program));
    return true;
}

bool PanelLink::RecallAllFromPC() {
    if (!m_connected) {
        return false;
    }
    const auto& bank = m_document.GetStoredPrograms();
    for (int k = 1; k <= Protocol::StoredProgramCount; ++k) {
        m_programNames[static_cast<std::size_t>(k)] =
            QString::fromStdString(bank[static_cast<std::size_t>(k - 1)].name);
    }
    StartTransfer(TransferSequences::DownloadAllPrograms(bank, m_variant.deviceType,
                                                         GetProgram().GetDeviceId()));
    return true;
}

bool PanelLink::ReadStoredProgram(int program) {
    if (!m_connected || program < Protocol::FirstStoredProgram ||
        program > Protocol::StoredProgramCount) {
        return false;
    }
    StartTransfer(TransferSequences::UploadStoredProgram(GetProgram(), program));
    return true;
}

bool PanelLink::StoreAllToPC() {
    if (!m_connected) {
        return false;
    }
    StartTransfer(TransferSequences::UploadAllPrograms(GetProgram()));
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
        if (m_connected) {
            m_engine.Enqueue(encoder.WriteOutputChannel(Protocol::LiveProgram, to));
        }
    } else {
        program.GetInput(to)->CopyFrom(*program.GetInput(from));
        program.GetInput(to)->UpdateCurve();
        if (m_connected) {
            m_engine.Enqueue(encoder.WriteInputChannel(Protocol::LiveProgram, to));
        }
    }
    emit channelCopied(to, output);
    emit graphRedrawRequested();
    return true;
}

bool PanelLink::SendSystemItem(int item) {
    if (!m_connected) {
        return false;
    }
    const ProgramEncoder encoder(GetProgram());
    switch (item) {
    case kInterfaceTextItem:
        m_engine.Enqueue(encoder.WriteInterfaceText());
        return true;
    case kBacklightItem:
        m_engine.Enqueue(encoder.WriteBacklight());
        return true;
    case kTemperatureItem:
        m_engine.Enqueue(encoder.WriteTemperature());
        return true;
    default:
        return false;
    }
}

QString PanelLink::InputSourceText(int source) {
    switch (source) {
    case 0:
        return QStringLiteral("Analog");
    case 1:
        return QStringLiteral("Digital");
    default:
        return {};
    }
}

void PanelLink::ShowInputSource(int value, bool send) {
    if (m_variant.hasInputSourceDisplay) {
        emit inputSourceShown(InputSourceText(GetProgram().GetInputSource()));
    }
    if (!send) {
        return;
    }
    // Every variant writes the choice at once: the smaller panels have no other way to get
    // the input source to the device.
    if (m_connected) {
        m_engine.Enqueue(ProgramEncoder(GetProgram()).WriteInputSource(value));
    }
    emit inputSourceChanged();
}

// --- Service tick ---

void PanelLink::SetTickInterval(int ms) {
    m_tick.setInterval(std::max(1, ms));
}

bool PanelLink::Transmit(bool retransmission) {
    const auto& data = m_engine.Head().GetData();
    const QByteArray frame(reinterpret_cast<const char*>(data.data()),
                           static_cast<int>(data.size()));
    if (!m_engine.TransmitHead()) {
        // The port itself failed (a vanished adapter): no answer can come, so the link closes
        // now instead of after the give-up time.
        CloseLink();
        ShowMessageBox(kPortFailedText);
        return false;
    }
    // The record is marked transmitted before anyone hears of it: a slot may run an event loop
    // in which the answer removes the record or the next tick runs.
    emit recordTransmitted(frame, retransmission);
    return true;
}

void PanelLink::ServiceTick() {
    if (!m_connected) {
        return;
    }
    ++m_tickCount;
    if (m_engine.Count() < 2) {
        auto record = ProgramEncoder(GetProgram()).NextChangeRecord();
        m_lastTickFoundNothing = record != nullptr && IsMeterRequest(*record);
        m_engine.Enqueue(std::move(record));
    }
    if (m_engine.Count() == 0) {
        return;
    }
    if (m_engine.IsHeadPending()) {
        const SendData& head = m_engine.Head();
        const bool last = head.IsBulk() && (head.IsLastOfDownload() || head.IsLastOfUpload());
        if (!Transmit(false)) {
            return;
        }
        if (last) {
            SetBusy(false);
        }
    } else {
        SendData& head = m_engine.Head();
        const int waited = head.GetWaitTicks() + 1;
        head.SetWaitTicks(waited);
        if (waited == kRetransmitTicks) {
            if (!Transmit(true)) {
                return;
            }
        } else if (waited > kGiveUpTicks) {
            CloseLink();
            ShowMessageBox(kNoReplyText);
            return;
        }
    }
    EmitProgress();
}

int PanelLink::GetTransferRemaining() const {
    int remaining = 0;
    const SendDataQueue& queue = const_cast<Command&>(m_engine).Queue();
    for (int i = 0; i < queue.Count(); ++i) {
        if (queue.At(static_cast<std::size_t>(i)).IsBulk()) {
            ++remaining;
        }
    }
    return remaining;
}

bool PanelLink::HasBulkQueued() const {
    return GetTransferRemaining() > 0;
}

bool PanelLink::OnlyMetersQueued() const {
    const SendDataQueue& queue = const_cast<Command&>(m_engine).Queue();
    for (int i = 0; i < queue.Count(); ++i) {
        if (!IsMeterRequest(queue.At(static_cast<std::size_t>(i)))) {
            return false;
        }
    }
    return true;
}

void PanelLink::EmitProgress() {
    if (m_transferTotal == 0) {
        return;
    }
    const int remaining = GetTransferRemaining();
    emit transferProgress(remaining, m_transferTotal);
    if (remaining == 0 && !m_busy) {
        m_transferTotal = 0;
    }
}

// --- Waiting ---

bool PanelLink::WaitFor(const std::function<bool()>& predicate, int timeoutMs) {
    if (predicate()) {
        return true;
    }
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (predicate() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    return predicate();
}

bool PanelLink::WaitForTransfer(int timeoutMs) {
    const auto done = [this] { return !m_busy && !HasBulkQueued(); };
    WaitFor([&] { return !m_connected || done(); }, timeoutMs);
    return m_connected && done();
}

bool PanelLink::WaitUntilSettled(int timeoutMs) {
    // Only a tick after this point may tell that nothing is pending any more.
    m_lastTickFoundNothing = false;
    const auto settled = [this] { return m_lastTickFoundNothing && !m_busy && OnlyMetersQueued(); };
    WaitFor([&] { return !m_connected || settled(); }, timeoutMs);
    return m_connected && settled();
}

// --- Serial events and engine notifications ---

void PanelLink::OnLineEvent(quint32 bits) {
    const quint32 errors = bits >> 16;
    if (errors == static_cast<quint32>(kSerialTimeoutError)) {
        ShowMessageBox(kLineErrorText);
    }
    if ((bits & ISerialLine::kEventReceived) != 0) {
        m_engine.OnSerialData();
        EmitProgress();
    }
}

void PanelLink::OnEngineMessage(EngineMessage message, int wParam) {
    switch (message) {
    case EngineMessage::WM_PROGRAM_RECEIVED:
        HandleProgramReceived();
        break;
    case EngineMessage::WM_STORED_PROGRAM_RECEIVED:
        HandleStoredProgramReceived(wParam);
        break;
    case EngineMessage::WM_DEVICE_INFO_RECEIVED:
        HandleDeviceInfo();
        break;
    case EngineMessage::WM_IDENTIFICATION_RECEIVED:
        HandleIdentification();
        break;
    case EngineMessage::WM_LEVELS_RECEIVED:
        // Posted, not handled inside the engine's processing.
        QMetaObject::invokeMethod(this, &PanelLink::HandleLevels, Qt::QueuedConnection);
        break;
    case EngineMessage::WM_DEVICE_TYPE_CHECKED:
        HandleDeviceTypeChecked(wParam);
        break;
    case EngineMessage::WM_DEVICE_NOTICE:
    case EngineMessage::WM_ID_SEARCH_END:
        break;
    }
}

void PanelLink::ShowMessageBox(const std::string& text) {
    emit messageShown(QString::fromStdString(text));
}

void PanelLink::HandleProgramReceived() {
    CAudio_Data& program = GetProgram();
    const CAudio_Data& received = m_engine.GetDeviceImage();
    for (int i = 0; i < m_variant.inputCount; ++i) {
        program.GetInput(i)->CopyFrom(*received.GetInput(i));
        program.GetInput(i)->UpdateCurve();
    }
    for (int n = 0; n < m_variant.outputCount; ++n) {
        program.GetOutput(n)->CopyFrom(*received.GetOutput(n));
        program.GetOutput(n)->UpdateCurve();
    }
    SetMainTitle(QString::fromStdString(m_variant.ReceivedTitle(program.GetName())));
    emit programReceived();
    emit panelRefreshRequested();
    emit graphRedrawRequested();
}

void PanelLink::HandleStoredProgramReceived(int program) {
    if (program < Protocol::FirstStoredProgram || program > Protocol::StoredProgramCount) {
        return;
    }
    ProgramImage& image = m_engine.GetArchiveRecord();
    image.name = m_programNames[static_cast<std::size_t>(program)].toStdString();
    m_document.GetStoredPrograms()[static_cast<std::size_t>(program - 1)] = image;
    emit storedProgramReceived(program);
    if (program == Protocol::StoredProgramCount) {
        emit bankCompleted();
    }
}

void PanelLink::HandleDeviceInfo() {
    CAudio_Data& program = GetProgram();
    program.CopyDeviceInfoFrom(m_engine.GetDeviceImage());
    program.SetInputSource(m_engine.GetDeviceInputSource());
    for (int k = 0; k < kProgramNameCount; ++k) {
        m_programNames[static_cast<std::size_t>(k)] =
            QString::fromStdString(m_engine.GetProgramName(k));
    }
    emit deviceInfoReceived();
    emit panelRefreshRequested();
    ShowInputSource(program.GetInputSource(), false);
}

void PanelLink::HandleIdentification() {
    const std::string& text = m_engine.GetIdentificationText();
    const std::string expected = kIdentificationText;
    for (int i = 0; i < kComparedIdentificationChars; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (at >= text.size() || text[at] != expected[at]) {
            CloseLink();
            ShowMessageBox(kDeviceErrorText);
        }
    }
    if (m_engine.GetTypeCodeText() != m_variant.typeCodeText) {
        CloseLink();
        ShowMessageBox(kTypeCodeErrorText);
    }
}

void PanelLink::HandleLevels() {
    emit levelsReceived(GetInputLevels(), GetOutputLevels());
}

void PanelLink::HandleDeviceTypeChecked(int match) {
    if (match == 0) {
        CloseLink();
        ShowMessageBox(kDeviceTypeErrorText);
    }
}

void PanelLink::SetBusy(bool busy) {
    if (m_busy != busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

void PanelLink::SetConnected(bool connected) {
    if (m_connected != connected) {
        m_connected = connected;
        emit connectedChanged(connected);
    }
}
