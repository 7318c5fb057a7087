#include "control/ReadBackCheck.h"

#include "control/PanelLink.h"
#include "core/files/ProgramCompare.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"

namespace {

void AddLines(QStringList& lines, const std::vector<std::string>& added) {
    for (const std::string& line : added) {
        lines << QString::fromStdString(line);
    }
}

} // namespace

ReadBackCheck::ReadBackCheck(PanelLink& link, QObject* parent) : QObject(parent), m_link(link) {
    connect(&link, &PanelLink::storedProgramReceived, this, &ReadBackCheck::OnStoredProgram);
    connect(&link, &PanelLink::bankCompleted, this, &ReadBackCheck::OnBankCompleted);
    connect(&link, &PanelLink::liveProgramRead, this, &ReadBackCheck::OnLiveProgram);
    connect(&link, &PanelLink::connectedChanged, this, [this](bool connected) {
        if (!connected && IsRunning()) {
            m_state = State::Idle;
            emit abandoned();
        }
    });
}

ReadBackCheck::~ReadBackCheck() = default;

bool ReadBackCheck::StartProgram(int program, const CAudio_Data& written) {
    if (IsRunning() || program < Protocol::FirstStoredProgram ||
        program > Protocol::StoredProgramCount) {
        return false;
    }
    auto copy = std::make_unique<CAudio_Data>();
    copy->SetDeviceType(m_link.GetVariant().deviceType);
    copy->CopyFrom(written);
    if (!m_link.ReadStoredProgram(program)) {
        return false;
    }
    m_writtenProgram = std::move(copy);
    m_program = program;
    m_lines.clear();
    m_state = State::Program;
    return true;
}

bool ReadBackCheck::StartLive(const CAudio_Data& written) {
    if (IsRunning()) {
        return false;
    }
    auto copy = std::make_unique<CAudio_Data>();
    copy->SetDeviceType(m_link.GetVariant().deviceType);
    copy->CopyFrom(written);
    if (!m_link.ReadLiveProgram()) {
        return false;
    }
    m_writtenProgram = std::move(copy);
    m_program = Protocol::LiveProgram;
    m_lines.clear();
    m_state = State::Live;
    return true;
}

bool ReadBackCheck::StartBank(const CZorvanDoc::StoredPrograms& written) {
    if (IsRunning() || !m_link.StoreAllToPC()) {
        return false;
    }
    m_writtenBank = written;
    m_lines.clear();
    m_state = State::Bank;
    return true;
}

void ReadBackCheck::OnStoredProgram(int program) {
    if (m_state != State::Program || program != m_program) {
        return;
    }
    const int deviceType = m_link.GetVariant().deviceType;
    const ProgramImage& image =
        m_link.GetDocument().GetStoredPrograms()[static_cast<std::size_t>(program - 1)];
    AddLines(m_lines,
             ProgramCompare::Lines(*m_writtenProgram, *ProgramCompare::FromImage(image, deviceType),
                                   deviceType, program));
    Finish();
}

void ReadBackCheck::OnLiveProgram() {
    if (m_state != State::Live) {
        return;
    }
    const int deviceType = m_link.GetVariant().deviceType;
    // The name as written: only the channels are read back.
    CAudio_Data readBack;
    readBack.SetDeviceType(deviceType);
    readBack.CopyFrom(*m_writtenProgram);
    m_link.CopyReceivedProgram(readBack);
    AddLines(m_lines,
             ProgramCompare::Lines(*m_writtenProgram, readBack, deviceType, Protocol::LiveProgram));
    Finish();
}

void ReadBackCheck::OnBankCompleted() {
    if (m_state != State::Bank) {
        return;
    }
    const int deviceType = m_link.GetVariant().deviceType;
    AddLines(m_lines, ProgramCompare::BankLines(
                          m_writtenBank, m_link.GetDocument().GetStoredPrograms(), deviceType));
    Finish();
}

void ReadBackCheck::Finish() {
    m_state = State::Done;
    emit finished(m_lines);
}
