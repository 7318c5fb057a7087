#pragma once

#include <QDialog>

class PanelLink;
class QComboBox;
class QRadioButton;
struct Variant;

// "Copy": copies every parameter of one input channel onto another input, or of one output
// onto another output. The lists offer the variant's channels; sources start on the first,
// targets on the second. "OK" copies through the panel's link (which also sends the target
// channel while connected) unless source and target are the same, and closes; Esc and the close
// box close without copying.
class CopyDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCopyInRadioId = 1141;
    static constexpr int kCopyOutRadioId = 1142;
    static constexpr int kInputSourceId = 1131;
    static constexpr int kInputTargetId = 1133;
    static constexpr int kOutputSourceId = 1132;
    static constexpr int kOutputTargetId = 1134;
    static constexpr int kOkId = 1;

    CopyDlg(PanelLink& link, const Variant& variant, QWidget* parent = nullptr);

private:
    void OnOk();

    PanelLink& m_link;
    QRadioButton* m_copyIn = nullptr;
    QRadioButton* m_copyOut = nullptr;
    QComboBox* m_inputSource = nullptr;
    QComboBox* m_inputTarget = nullptr;
    QComboBox* m_outputSource = nullptr;
    QComboBox* m_outputTarget = nullptr;
};
