#include "control/ProgramTransfers.h"

#include "control/DeviceReports.h"
#include "control/LinkSession.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/TransferSequences.h"

#include <utility>

namespace {

bool IsProgram(int program) {
    return program >= Protocol::LiveProgram && program <= Protocol::StoredProgramCount;
}

bool IsStoredProgram(int program) {
    return program >= Protocol::FirstStoredProgram && program <= Protocol::StoredProgramCount;
}

} // namespace

ProgramTransfers::ProgramTransfers(CZorvanDoc& document, const Variant& variant, LinkSession& link,
                                   DeviceReports& reports, QObject* parent)
    : QObject(parent), m_document(document), m_variant(variant), m_link(link), m_reports(reports),
      m_count(link) {
    connect(&m_count, &TransferCount::progress, this, &ProgramTransfers::transferProgress);
}

void ProgramTransfers::Start(Command::RecordList records) {
    m_count.Start(static_cast<int>(records.size()));
    m_link.StartTransfer(std::move(records));
}

bool ProgramTransfers::RecallProgram(int program) {
    if (!m_link.IsConnected() || !IsProgram(program)) {
        return false;
    }
    // The recalled program replaces the panel's: edits not sent yet are not sent after it.
    m_document.GetProgram().ClearChanged();
    Start(TransferSequences::UploadProgram(m_document.GetProgram(), program));
    return true;
}

bool ProgramTransfers::ReadStoredProgram(int program) {
    if (!m_link.IsConnected() || !IsStoredProgram(program)) {
        return false;
    }
    Start(TransferSequences::UploadStoredProgram(m_document.GetProgram(), program));
    return true;
}

bool ProgramTransfers::ReadLiveProgram() {
    if (!m_link.IsConnected()) {
        return false;
    }
    Start(TransferSequences::UploadProgram(m_document.GetProgram(), Protocol::LiveProgram));
    ++m_liveReadsAside;
    return true;
}

bool ProgramTransfers::StoreProgram(int program) {
    if (!m_link.IsConnected() || !IsProgram(program)) {
        return false;
    }
    CAudio_Data& current = m_document.GetProgram();
    emit titleRequested(QString::fromStdString(m_variant.ProgramTitle(current.GetName())));
    Start(TransferSequences::DownloadProgram(current, program));
    return true;
}

bool ProgramTransfers::RecallAllFromPC() {
    if (!m_link.IsConnected()) {
        return false;
    }
    const auto& bank = m_document.GetStoredPrograms();
    for (int k = Protocol::FirstStoredProgram; k <= Protocol::StoredProgramCount; ++k) {
        m_reports.SetProgramName(
            k, QString::fromStdString(bank[static_cast<std::size_t>(k - 1)].name));
    }
    Start(TransferSequences::DownloadAllPrograms(bank, m_variant.deviceType,
                                                 m_document.GetProgram().GetDeviceId()));
    return true;
}

bool ProgramTransfers::StoreAllToPC() {
    if (!m_link.IsConnected()) {
        return false;
    }
    Start(TransferSequences::UploadAllPrograms(m_document.GetProgram()));
    return true;
}

void ProgramTransfers::CopyReceived(CAudio_Data& program) const {
    // Only the model's own channels are copied; the device image holds all twelve.
    const CAudio_Data& received = m_link.GetEngine().GetDeviceImage();
    for (int i = 0; i < m_variant.inputCount; ++i) {
        program.GetInput(i)->CopyFrom(*received.GetInput(i));
        program.GetInput(i)->UpdateCurve();
    }
    for (int n = 0; n < m_variant.outputCount; ++n) {
        program.GetOutput(n)->CopyFrom(*received.GetOutput(n));
        program.GetOutput(n)->UpdateCurve();
    }
}

void ProgramTransfers::OnProgramReceived() {
    // Transfers run in the order they were queued: the first program to arrive is the oldest
    // read still outstanding.
    if (m_liveReadsAside > 0) {
        --m_liveReadsAside;
        emit liveProgramRead();
        return;
    }
    CAudio_Data& program = m_document.GetProgram();
    CopyReceived(program);
    emit titleRequested(QString::fromStdString(m_variant.ReceivedTitle(program.GetName())));
    emit programReceived();
}

void ProgramTransfers::OnStoredProgramReceived(int program) {
    if (!IsStoredProgram(program)) {
        return;
    }
    ProgramImage image = m_link.GetEngine().GetArchiveRecord();
    image.name = m_reports.GetProgramName(program).toStdString();
    m_document.GetStoredPrograms()[static_cast<std::size_t>(program - 1)] = image;
    emit storedProgramReceived(program);
    if (program == Protocol::StoredProgramCount) {
        emit bankCompleted();
    }
}
