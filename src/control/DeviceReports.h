#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <array>

class Command;
class CZorvanDoc;
struct Variant;

// What the device tells a panel about itself: the names of its 31 programs, its settings, the
// level meters, and the identification and device-type checks that decide whether the panel
// may keep talking to it. It reads the engine's images when the engine reports an arrival and
// asks the facade to drop the link (linkRejected) when a check fails. Part of PanelLink.
class DeviceReports : public QObject {
    Q_OBJECT

public:
    static constexpr int kProgramNameCount = 31; // 0: the live program, 1..30 stored ones
    static constexpr const char* kIdentificationText = "ZQ_P_V1.0";
    static constexpr const char* kDeviceTypeErrorText = "Device Type Error!";
    static constexpr const char* kDeviceErrorText = "Device is error!";
    static constexpr const char* kTypeCodeErrorText = "DeviceType is error!";

    DeviceReports(CZorvanDoc& document, const Variant& variant, const Command& engine,
                  QObject* parent = nullptr);

    // Program names as the device reported them (0..30); empty outside that range.
    QString GetProgramName(int program) const;
    void SetProgramName(int program, const QString& name);

    // Level bytes shown by the meters of the model's inputs and outputs, from the last reply.
    QVector<int> GetInputLevels() const;
    QVector<int> GetOutputLevels() const;

    // The engine's notifications.
    void OnLevels();
    void OnDeviceInfo();
    void OnIdentification();
    void OnDeviceTypeChecked(int match);

signals:
    void levelsReceived(const QVector<int>& inputLevels, const QVector<int>& outputLevels);
    // Names, settings and input source copied into the program.
    void deviceInfoReceived();
    // A check failed: the link must close and text be shown, once for every failed check.
    void linkRejected(const QString& text);

private:
    CZorvanDoc& m_document;
    const Variant& m_variant;
    const Command& m_engine;
    std::array<QString, kProgramNameCount> m_programNames;
};
