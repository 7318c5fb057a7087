#include "control/ReadBackCheck.h"

#include "control/PanelLink.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"

namespace {

// A program of deviceType made from a stored program's image, as a recall makes it.
std::unique_ptr<CAudio_Data> FromImage(const ProgramImage& image, int deviceType) {
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    program->LoadFromImage(image);
    return program;
}

void AddLines(QStringList& lines, const CAudio_Data& written, const CAudio_Data& readBack,
              int deviceType, int program) {
    for (const ParameterDifference& difference :
         ParameterDiff::Compare(written, readBack, deviceType)) {
        lines << QString::fromStdString(ParameterDiff::Line(difference, program));
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
    AddLines(m_lines, *m_writtenProgram, *FromImage(image, deviceType), deviceType, program);
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
    AddLines(m_lines, *m_writtenProgram, readBack, deviceType, Protocol::LiveProgram);
    Finish();
}

void ReadBackCheck::OnBankCompleted() {
    if (m_state != State::Bank) {
        return;
    }
    const int deviceType = m_link.GetVariant().deviceType;
    const CZorvanDoc::StoredPrograms& readBack = m_link.GetDocument().GetStoredPrograms();
    for (std::size_t k = 0; k < readBack.size(); ++k) {
        AddLines(m_lines, *FromImage(m_writtenBank[k], deviceType),
                 *FromImage(readBack[k], deviceType), deviceType, static_cast<int>(k) + 1);
    }
    Finish();
}

void ReadBackCheck::Finish() {
    m_state = State::Done;
    emit finished(m_lines);
}
