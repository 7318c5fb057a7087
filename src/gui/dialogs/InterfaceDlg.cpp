#include "gui/dialogs/InterfaceDlg.h"

#include "gui/widgets/CharEdit.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/XPStyleButton.h"
#include "gui/dialogs/DialogLook.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"
#include "control/PanelLink.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* Label(const char* text, int id, const char* name, QWidget* parent) {
    return WithControlId(new QLabel(QString::fromLatin1(text), parent), id,
                         QString::fromLatin1(name));
}

} // namespace

InterfaceDlg::InterfaceDlg(PanelLink& panel, QWidget* parent) : QDialog(parent), m_panel(panel) {
    setWindowTitle(QStringLiteral("Interface"));
    DialogLook::ApplyBackground(this);
    const CAudio_Data& program = m_panel.GetProgram();
    const Variant& variant = m_panel.GetVariant();

    const auto lineEdit = [&](int id, const char* name, int line) {
        auto* edit = WithControlId(new CharEdit(this), id, QString::fromLatin1(name));
        edit->setMaxLength(variant.interfaceTextLimit);
        edit->setText(QString::fromLatin1(program.GetInfoText(line).c_str()));
        // Room for the longest line of the model.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('W')) *
                              variant.interfaceTextLimit);
        return edit;
    };
    m_line1 = lineEdit(kLine1EditId, "interface1Edit", kLine1);
    m_line2 = lineEdit(kLine2EditId, "interface2Edit", kLine2);
    m_line1->setAccessibleName(QStringLiteral("Interface line 1"));
    m_line2->setAccessibleName(QStringLiteral("Interface line 2"));

    m_backlight = WithControlId(new QComboBox(this), kBacklightComboId, "backlightCombo");
    m_backlight->setAccessibleName(QStringLiteral("Backlight"));
    for (int mode = BacklightRange.min; mode <= BacklightRange.max; ++mode) {
        m_backlight->addItem(QString::fromStdString(BacklightText(mode, variant.deviceType)));
    }
    m_backlight->setCurrentIndex(program.GetBacklight());

    m_temperature = WithControlId(new QComboBox(this), kTemperatureComboId, "temperatureCombo");
    m_temperature->setAccessibleName(QStringLiteral("Temperature"));
    m_temperature->setMaxVisibleItems(16);
    for (int celsius = TemperatureRange.min; celsius <= TemperatureRange.max; ++celsius) {
        m_temperature->addItem(QString::fromStdString(TemperatureListText(celsius)));
    }
    m_temperature->setCurrentIndex(program.GetTemperature());

    // Connected after the lists show the program's values: only the operator's choices send.
    connect(m_backlight, &QComboBox::currentIndexChanged, this, &InterfaceDlg::OnBacklight);
    connect(m_temperature, &QComboBox::currentIndexChanged, this, &InterfaceDlg::OnTemperature);

    auto* ok = WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this), kOkId, "ok");
    // Enter in a text line is not an "OK": the text is sent only when the button is pressed.
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &InterfaceDlg::OnOk);

    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(
        Label("Interface Information", kInformationLabelId, "interfaceInformation", this), 0, 0, 1,
        2);
    grid->addWidget(Label("Interface1 :", kLine1LabelId, "interface1Label", this), 1, 0);
    grid->addWidget(m_line1, 1, 1);
    grid->addWidget(Label("Interface2 :", kLine2LabelId, "interface2Label", this), 2, 0);
    grid->addWidget(m_line2, 2, 1);
    grid->addWidget(ok, 3, 1, Qt::AlignRight);
    grid->addWidget(Label("BackLight", kBacklightLabelId, "backlightLabel", this), 4, 0);
    grid->addWidget(m_backlight, 4, 1);
    grid->addWidget(Label("Tmpterature", kTemperatureLabelId, "temperatureLabel", this), 5, 0);
    grid->addWidget(m_temperature, 5, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(4, 36);
    grid->setAlignment(Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->addLayout(grid);
    setFixedSize(sizeHint());
}

void InterfaceDlg::OnOk() {
    CAudio_Data& program = m_panel.GetProgram();
    program.SetInfoText(kLine1, m_line1->text().toLatin1().toStdString());
    program.SetInfoText(kLine2, m_line2->text().toLatin1().toStdString());
    m_panel.SendSystemItem(Protocol::ItemInterfaceText);
}

void InterfaceDlg::OnBacklight(int index) {
    m_panel.GetProgram().SetBacklight(index);
    m_panel.SendSystemItem(Protocol::ItemBacklight);
}

void InterfaceDlg::OnTemperature(int index) {
    m_panel.GetProgram().SetTemperature(index);
    m_panel.SendSystemItem(Protocol::ItemTemperature);
}
