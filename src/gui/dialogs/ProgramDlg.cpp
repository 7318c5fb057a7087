#include "gui/dialogs/ProgramDlg.h"

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/dialogs/DialogLook.h"
#include "gui/session/PanelSession.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/XPStyleButton.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor kListBackground(247, 247, 255);
const QColor kListText(0, 0, 255);
constexpr int kNumberColumnWidth = 70;
constexpr int kNameColumnWidth = 195;
constexpr int kVisibleRows = 10;

enum PcMode { StoreToPc, RecallFromPc, RecallAllFromPc, StoreAllToPc, PcModeCount };

QString WithoutLeadingSpaces(const QString& text) {
    int first = 0;
    while (first < text.size() && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    return text.mid(first);
}

QTableWidgetItem* CentredItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

QHBoxLayout* Centred(QWidget* widget) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(widget);
    row->addStretch(1);
    return row;
}

} // namespace

ProgramDlg::ProgramDlg(PanelSession& session, QWidget* parent)
    : QDialog(parent != nullptr ? parent : session.Window()), m_session(session) {
    setWindowTitle(QStringLiteral("Program"));
    DialogLook::ApplyBackground(this);

    // --- Device slots ---
    auto* deviceGroup =
        WithControlId(new QGroupBox(QStringLiteral("Program"), this), kProgramGroupId, "program");
    m_recall = WithControlId(new QRadioButton(QStringLiteral("Recall program from Device "), this),
                             kRecallRadioId, "recallFromDevice");
    m_store = WithControlId(new QRadioButton(QStringLiteral("Store program to Device"), this),
                            kStoreRadioId, "storeToDevice");
    m_recall->setChecked(true);
    connect(m_recall, &QRadioButton::toggled, this, &ProgramDlg::OnDeviceModeChanged);

    m_number = WithControlId(new QLabel(this), kNumberId, "programNumber");
    m_number->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_number->setAlignment(Qt::AlignCenter);
    m_number->setMinimumWidth(40);
    m_name = WithControlId(new CharEdit(this), kNameEditId, "programName");
    m_name->setAccessibleName(QStringLiteral("Program name"));
    m_name->setMaxLength(kNameLength);

    m_list = WithControlId(new QTableWidget(Protocol::StoredProgramCount, 2, this), kListId,
                           "programList");
    m_list->setAccessibleName(QStringLiteral("Programs of the device"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("Program"), QStringLiteral("Name")});
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_list->setColumnWidth(0, kNumberColumnWidth);
    m_list->setColumnWidth(1, kNameColumnWidth);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, kListBackground);
    listPalette.setColor(QPalette::Text, kListText);
    m_list->setPalette(listPalette);
    m_list->setFixedWidth(kNumberColumnWidth + kNameColumnWidth + 2 * m_list->frameWidth() +
                          m_list->verticalScrollBar()->sizeHint().width());
    m_list->setFixedHeight(m_list->horizontalHeader()->sizeHint().height() +
                           kVisibleRows * m_list->verticalHeader()->defaultSectionSize() +
                           2 * m_list->frameWidth());
    FillList();
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        const int row = m_list->currentRow();
        if (row >= 0) {
            m_selected = row + 1;
            ShowSelected();
        }
    });
    connect(m_list, &QTableWidget::cellClicked, this,
            [this] { m_name->setFocus(Qt::MouseFocusReason); });

    auto* deviceOk = WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this),
                                   kDeviceOkId, "deviceOk");
    connect(deviceOk, &QPushButton::clicked, this, &ProgramDlg::OnDeviceOk);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_number);
    nameRow->addWidget(m_name, 1);
    auto* deviceLayout = new QVBoxLayout(deviceGroup);
    deviceLayout->addWidget(m_recall);
    deviceLayout->addWidget(m_store);
    deviceLayout->addLayout(nameRow);
    deviceLayout->addWidget(m_list);
    deviceLayout->addLayout(Centred(deviceOk));

    // --- PC files ---
    auto* pcGroup =
        WithControlId(new QGroupBox(QStringLiteral("PC Program"), this), kPcGroupId, "pcProgram");
    const struct {
        int id;
        const char* caption;
        const char* name;
    } pcModes[PcModeCount] = {
        {kStoreToPcRadioId, "Store Program to PC", "storeToPc"},
        {kRecallFromPcRadioId, "Recall Program From PC", "recallFromPc"},
        {kRecallAllFromPcRadioId, "Recall  all Program From PC", "recallAllFromPc"},
        {kStoreAllToPcRadioId, "Store all Program to PC ", "storeAllToPc"},
    };
    auto* pcLayout = new QVBoxLayout(pcGroup);
    for (int mode = 0; mode < PcModeCount; ++mode) {
        m_pcModes[mode] =
            WithControlId(new QRadioButton(QString::fromLatin1(pcModes[mode].caption), this),
                          pcModes[mode].id, QString::fromLatin1(pcModes[mode].name));
        pcLayout->addWidget(m_pcModes[mode]);
    }
    m_pcModes[StoreToPc]->setChecked(true);
    auto* pcOk =
        WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this), kPcOkId, "pcOk");
    connect(pcOk, &QPushButton::clicked, this, &ProgramDlg::OnPcOk);
    pcLayout->addStretch(1);
    pcLayout->addLayout(Centred(pcOk));

    // Neither OK closes the dialog on Enter: each runs only when pressed.
    deviceOk->setAutoDefault(false);
    pcOk->setAutoDefault(false);

    // --- Read back after writing ---
    m_verify = new QCheckBox(QStringLiteral("Verify after writing"), this);
    m_verify->setObjectName(QStringLiteral("verifyAfterWriting"));
    m_verify->setToolTip(QStringLiteral(
        "Read back a program stored to the device, or a program or bank file sent to it, and "
        "show what differs"));
    QPalette verifyPalette = m_verify->palette();
    verifyPalette.setColor(QPalette::WindowText, QColor(DialogLook::kLabel));
    m_verify->setPalette(verifyPalette);
    m_verify->setChecked(WriteVerifier::IsOn());
    connect(m_verify, &QCheckBox::toggled, this, [](bool on) { WriteVerifier::SetOn(on); });

    auto* groups = new QHBoxLayout;
    groups->setSpacing(12);
    groups->addWidget(deviceGroup);
    groups->addWidget(pcGroup);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addLayout(groups);
    layout->addWidget(m_verify);
    setFixedSize(sizeHint());

    SelectProgram(Protocol::FirstStoredProgram);
    OnDeviceModeChanged();
}

ProgramDlg::~ProgramDlg() = default;

void ProgramDlg::SelectProgram(int program) {
    if (program < Protocol::FirstStoredProgram || program > Protocol::StoredProgramCount) {
        return;
    }
    m_list->selectRow(program - 1);
    m_selected = program;
    ShowSelected();
}

void ProgramDlg::FillList() {
    const PanelLink& link = m_session.Link();
    for (int n = Protocol::FirstStoredProgram; n <= Protocol::StoredProgramCount; ++n) {
        m_list->setItem(n - 1, 0, CentredItem(QString::number(n)));
        m_list->setItem(n - 1, 1, CentredItem(link.GetProgramName(n)));
    }
}

void ProgramDlg::ShowSelected() {
    m_number->setText(QString::number(m_selected));
    m_name->setText(m_session.Link().GetProgramName(m_selected));
}

void ProgramDlg::OnDeviceModeChanged() {
    // The name is typed only for a store; a recall takes the slot's own name.
    m_name->setReadOnly(m_recall->isChecked());
}

void ProgramDlg::OnDeviceOk() {
    PanelLink& link = m_session.Link();
    if (!link.IsConnected()) {
        ShowMessage(this, QString::fromLatin1(kNotConnectedText));
        return;
    }
    const QString name = WithoutLeadingSpaces(m_name->text());
    const bool store = m_store->isChecked();
    if (store && name.isEmpty()) {
        ShowMessage(this, QString::fromLatin1(kEmptyNameText));
        return;
    }
    m_session.NameProgram(m_selected, name);
    m_list->item(m_selected - 1, 1)->setText(name);
    m_name->setText(name);
    if (store) {
        if (m_session.StoreProgram(m_selected) && m_verify->isChecked()) {
            m_session.Verifier().VerifyStoredProgram(m_selected);
        }
    } else {
        m_session.RecallProgram(m_selected);
    }
}

void ProgramDlg::OnPcOk() {
    ProgramFileActions& files = m_session.Files();
    if (m_pcModes[StoreToPc]->isChecked()) {
        files.StoreProgramToPC();
    } else if (m_pcModes[RecallFromPc]->isChecked()) {
        files.RecallProgramFromPC();
    } else if (m_pcModes[RecallAllFromPc]->isChecked()) {
        // Read back as well when the box is checked (ProgramFileActions).
        if (files.RecallAllFromPC()) {
            FillList();
            ShowSelected();
        }
    } else {
        files.StoreAllToPC();
    }
}
