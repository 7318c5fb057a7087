#pragma once

#include <QDialog>

class CharEdit;
class PanelLink;
class QComboBox;

// The "Interface" dialog: the two lines of interface text the device shows on its front panel,
// its backlight mode and its temperature setting, all kept in the panel's program. "OK" sends
// the interface text; a backlight or temperature chosen from its list is sent at once. Nothing
// is sent while the panel is disconnected (the program still takes the change). Only the
// window's close box closes it.
class InterfaceDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kInformationLabelId = 1393;
    static constexpr int kLine1LabelId = 1394;
    static constexpr int kLine1EditId = 1095;
    static constexpr int kLine2LabelId = 1395;
    static constexpr int kLine2EditId = 1098;
    static constexpr int kOkId = 1392;
    static constexpr int kBacklightLabelId = 1434;
    static constexpr int kBacklightComboId = 1435;
    static constexpr int kTemperatureLabelId = 1436;
    static constexpr int kTemperatureComboId = 1437;

    // The info text lines of the program that the two edits show.
    static constexpr int kLine1 = 5;
    static constexpr int kLine2 = 6;

    explicit InterfaceDlg(PanelLink& panel, QWidget* parent = nullptr);

private:
    void OnOk();
    void OnBacklight(int index);
    void OnTemperature(int index);

    PanelLink& m_panel;
    CharEdit* m_line1 = nullptr;
    CharEdit* m_line2 = nullptr;
    QComboBox* m_backlight = nullptr;
    QComboBox* m_temperature = nullptr;
};
