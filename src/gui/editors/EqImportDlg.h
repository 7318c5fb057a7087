#pragma once

#include "core/files/EqImport.h"
#include "core/files/EqText.h"

#include <QDialog>

class CAudio_Channel;
class QCheckBox;
class QListWidget;
class QPushButton;
class QTableWidget;

// The preview of an EQ import before anything changes: the channel's bands as they are and as
// the import leaves them, side by side, and every line of the report. "Apply" takes the import
// (the caller stores Plan()), "Cancel" leaves the channel alone. When the filter list has a
// preamp, a check box puts it into the channel gain.
class EqImportDlg : public QDialog {
    Q_OBJECT

public:
    EqImportDlg(const EqText& text, const CAudio_Channel& channel, bool input, int deviceType,
                int bandCount, const QString& title, QWidget* parent = nullptr);

    const EqImportPlan& Plan() const { return m_plan; }
    QTableWidget* BandTable() const { return m_table; }
    QListWidget* Report() const { return m_report; }
    QCheckBox* PreampBox() const { return m_preamp; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    void Replan();

    EqText m_text;
    const CAudio_Channel& m_channel;
    bool m_input;
    int m_deviceType;
    int m_bandCount;
    EqImportPlan m_plan;
    QTableWidget* m_table = nullptr;
    QListWidget* m_report = nullptr;
    QCheckBox* m_preamp = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};
