#pragma once

#include "control/IdSearch.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

class PanelLink;
class QCheckBox;
class QLabel;
class QComboBox;
class QProgressBar;
class QPushButton;

// The "Connect" dialog of a panel: the port (chosen from the system's ports and the gateways used
// before, or typed: a path, tcp://HOST:PORT or rfc2217://HOST:PORT)
// and the device ID (from the IDs found by the last search) the panel is to talk to. "Search ID"
// probes the line through the panel's engine and lists the devices of the panel's type that
// answered. The dialog never leaves a search running, a record queued or the port open when it
// closes, however it closes; after OK the panel opens the port itself. "Fast transfers" chooses
// the link's fast mode (the next record as soon as the device has answered); it is remembered
// with the port and ID, and the panel applies it when it connects.
class ConnectDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPortLabelId = 1006;
    static constexpr int kPortComboId = 1381;
    static constexpr int kIdLabelId = 1083;
    static constexpr int kIdComboId = 1382;
    static constexpr int kSearchButtonId = 1086;
    static constexpr int kProgressId = 1450;
    static constexpr int kOkId = 1;
    // Shown in the empty ID list and as OK's tip when no device answered the search.
    static constexpr const char* kNoDeviceText = "No device was found: search again";

    // Where the last port and device ID chosen with OK are kept in the application's settings.
    static constexpr const char* kSettingsGroup = "Connection";
    static constexpr const char* kPortKey = "Port";
    static constexpr const char* kDeviceIdKey = "DeviceId";
    static constexpr const char* kFastTransfersKey = "FastTransfers";
    // The serial ports on the network chosen with OK, the latest first, offered after the
    // local ports.
    static constexpr const char* kGatewaysKey = "Gateways";
    static constexpr int kRememberedGateways = 8;

    explicit ConnectDlg(PanelLink& panel, QWidget* parent = nullptr);
    ~ConnectDlg() override;

    // The port chosen: a listed port name, a gateway, a typed path or address, or "NULL" when
    // the system lists no port and no gateway was used before.
    QString PortName() const;
    // The device ID chosen; 0 when the list is empty (nothing answered a search).
    int DeviceId() const;
    // Whether "Fast transfers" is checked.
    bool FastTransfers() const;
    // The fast-transfers choice last confirmed with OK (off when never chosen).
    static bool RememberedFastTransfers();
    // The gateways confirmed with OK, the latest first.
    static QStringList RememberedGateways();

    // The ID search the dialog runs (its tick can be shortened for tests).
    IdSearch& Search() { return m_search; }

    // Ends a running search first (as at its normal end), then closes; OK also remembers the
    // port, the device ID and the fast-transfers choice for the next opening.
    void done(int result) override;

private:
    void FillPorts(const QString& current);
    void FillIds(const QVector<int>& ids, int preferred);
    void StartSearch();
    void OnSearchProgress(int position);
    void OnSearchFinished(const QVector<int>& ids);
    void SetSearching(bool searching);
    void Remember() const;

    PanelLink& m_panel;
    IdSearch m_search;
    QComboBox* m_ports = nullptr;
    QComboBox* m_ids = nullptr;
    QPushButton* m_searchButton = nullptr;
    QCheckBox* m_fastTransfers = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_searchNote = nullptr;
    QPushButton* m_ok = nullptr;
};
