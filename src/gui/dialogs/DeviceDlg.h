#pragma once

#include <QDialog>
#include <QVector>

class QComboBox;
class QRadioButton;

// The "Device" dialog of a connected panel: either give the current device a new ID, or talk
// to another device found by the last ID search (foundIds, the panel's). The panel reads the
// choice after OK. It opens with the current ID as the new one, so that OK alone changes
// nothing; a new ID that the last search found on the line (SetIdsOnLine) is asked about
// before the dialog closes with OK, and No leaves it open.
class DeviceDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kChangeRadioId = 2412;
    static constexpr int kCurrentTextId = 1804;
    static constexpr int kNewIdComboId = 1084;
    static constexpr int kReconnectRadioId = 2413;
    static constexpr int kTargetComboId = 1085;
    static constexpr int kOkId = 1;

    // Results of Mode().
    static constexpr int kChangeIdMode = 0;
    static constexpr int kReconnectMode = 1;

    DeviceDlg(int currentId, const QVector<int>& foundIds, QWidget* parent = nullptr);

    // kChangeIdMode ("Change Current Device ID") or kReconnectMode ("Re_Connect To Device").
    int Mode() const;
    // The ID the current device is to take (1..250).
    int NewId() const;
    // The found device to talk to; 0 when no device is known.
    int TargetId() const;
    // The IDs the last search found answering on the line (none before a search).
    void SetIdsOnLine(const QVector<int>& ids) { m_idsOnLine = ids; }
    // The question asked before the device takes an ID that is already on the line.
    static QString TakenIdQuestion(int currentId, int newId);

    // OK asks first when the new ID is on the line; No keeps the dialog open.
    void done(int result) override;

private:
    int m_currentId = 0;
    QVector<int> m_idsOnLine;
    QRadioButton* m_change = nullptr;
    QRadioButton* m_reconnect = nullptr;
    QComboBox* m_newIds = nullptr;
    QComboBox* m_targets = nullptr;
};
