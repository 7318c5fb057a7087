#pragma once

#include "gui/session/WriteVerifier.h"

#include <QDialog>

class CharEdit;
class PanelSession;
class QCheckBox;
class QLabel;
class QRadioButton;
class QTableWidget;

// The "Program" dialog: moves programs between the panel, the device's thirty program slots
// and files on the PC. The upper group recalls the program of a slot into the panel, or stores
// the panel's program into a slot under the name typed here; the lower group runs the PC
// actions of the panel (one program to or from a file, all thirty from a file to the device or
// from the device to a file). The dialog only chooses; the panel's session does the transfers.
// With "Verify after writing" (remembered) a store to a slot and a bank sent to the device are
// read back once written and compared (WriteVerifier); the "Verify" report shows what differs.
class ProgramDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kProgramGroupId = 1089;
    static constexpr int kRecallRadioId = 1384;
    static constexpr int kStoreRadioId = 1385;
    static constexpr int kNumberId = 1391;
    static constexpr int kNameEditId = 1390;
    static constexpr int kListId = 1097;
    static constexpr int kDeviceOkId = 1389;
    static constexpr int kPcGroupId = 1090;
    static constexpr int kStoreToPcRadioId = 2408;
    static constexpr int kRecallFromPcRadioId = 2409;
    static constexpr int kRecallAllFromPcRadioId = 2410;
    static constexpr int kStoreAllToPcRadioId = 2411;
    static constexpr int kPcOkId = 1388;

    static constexpr int kNameLength = 8;
    static constexpr const char* kNotConnectedText = "Please to Open COM-Port";
    static constexpr const char* kEmptyNameText = "Program Name is not empty";
    // Where "Verify after writing" is kept in the application's settings.
    static constexpr const char* kSettingsGroup = WriteVerifier::kSettingsGroup;
    static constexpr const char* kVerifyKey = WriteVerifier::kVerifyKey;

    // The dialog opens over parent, or else over the session's window.
    explicit ProgramDlg(PanelSession& session, QWidget* parent = nullptr);
    ~ProgramDlg() override;

    // The program chosen in the list (1..30).
    int SelectedProgram() const { return m_selected; }
    // Chooses program (1..30) as a click on its row does.
    void SelectProgram(int program);

private:
    void FillList();
    void ShowSelected();
    void OnDeviceModeChanged();
    void OnDeviceOk();
    void OnPcOk();

    PanelSession& m_session;
    int m_selected = 1;
    QRadioButton* m_recall = nullptr;
    QRadioButton* m_store = nullptr;
    QLabel* m_number = nullptr;
    CharEdit* m_name = nullptr;
    QTableWidget* m_list = nullptr;
    QRadioButton* m_pcModes[4] = {};
    QCheckBox* m_verify = nullptr;
};
