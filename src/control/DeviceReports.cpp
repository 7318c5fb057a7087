#include "control/DeviceReports.h"

#include "core/files/ZorvanDoc.h"
#include "core/protocol/Command.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"

namespace {

// Only the first eight characters of the identification are compared; the ninth may differ.
constexpr int kComparedIdentificationChars = 8;

} // namespace

DeviceReports::DeviceReports(CZorvanDoc& document, const Variant& variant, const Command& engine,
                             QObject* parent)
    : QObject(parent), m_document(document), m_variant(variant), m_engine(engine) {}

QString DeviceReports::GetProgramName(int program) const {
    if (program < 0 || program >= kProgramNameCount) {
        return {};
    }
    return m_programNames[static_cast<std::size_t>(program)];
}

void DeviceReports::SetProgramName(int program, const QString& name) {
    if (program >= 0 && program < kProgramNameCount) {
        m_programNames[static_cast<std::size_t>(program)] = name;
    }
}

QVector<int> DeviceReports::GetInputLevels() const {
    QVector<int> levels;
    for (int i = 0; i < m_variant.inputCount; ++i) {
        levels.append(m_engine.GetMeterValue(m_variant.InputLevelByte(i)));
    }
    return levels;
}

QVector<int> DeviceReports::GetOutputLevels() const {
    QVector<int> levels;
    for (int n = 0; n < m_variant.outputCount; ++n) {
        levels.append(m_engine.GetMeterValue(m_variant.OutputLevelByte(n)));
    }
    return levels;
}

void DeviceReports::OnLevels() {
    emit levelsReceived(GetInputLevels(), GetOutputLevels());
}

void DeviceReports::OnDeviceInfo() {
    CAudio_Data& program = m_document.GetProgram();
    program.CopyDeviceInfoFrom(m_engine.GetDeviceImage());
    program.SetInputSource(m_engine.GetDeviceInputSource());
    for (int k = 0; k < kProgramNameCount; ++k) {
        m_programNames[static_cast<std::size_t>(k)] =
            QString::fromStdString(m_engine.GetProgramName(k));
    }
    emit deviceInfoReceived();
}

void DeviceReports::OnIdentification() {
    const std::string& text = m_engine.GetIdentificationText();
    const std::string expected = kIdentificationText;
    // Every differing position is a failed check of its own: the operator is told once per
    // position, in order, and then about a wrong type code. Closing an already closed link
    // does nothing, so only the first rejection ends the connection.
    for (int i = 0; i < kComparedIdentificationChars; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (at >= text.size() || text[at] != expected[at]) {
            emit linkRejected(QString::fromLatin1(kDeviceErrorText));
        }
    }
    if (m_engine.GetTypeCodeText() != m_variant.typeCodeText) {
        emit linkRejected(QString::fromLatin1(kTypeCodeErrorText));
    }
}

void DeviceReports::OnDeviceTypeChecked(int match) {
    if (match == 0) {
        emit linkRejected(QString::fromLatin1(kDeviceTypeErrorText));
    }
}
