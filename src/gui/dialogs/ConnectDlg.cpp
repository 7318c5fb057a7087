#include "gui/dialogs/ConnectDlg.h"

#include "control/PanelLink.h"
#include "gui/dialogs/DialogLook.h"
#include "gui/dialogs/PortChoice.h"
#include "gui/widgets/AppSettings.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/XPStyleButton.h"
#include "line/PortLine.h"
#include "line/PortList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>

ConnectDlg::ConnectDlg(PanelLink& panel, QWidget* parent)
    : QDialog(parent), m_panel(panel), m_search(panel) {
    setWindowTitle(QStringLiteral("Connect"));
    DialogLook::ApplyBackground(this);

    auto* portLabel =
        WithControlId(new QLabel(QStringLiteral("Com Select:"), this), kPortLabelId, "comSelect");
    m_ports = WithControlId(new QComboBox(this), kPortComboId, "portCombo");
    // A port the system does not list (a /dev/serial/by-id/... link, a pseudo-terminal, a
    // serial port on the network) can be typed in.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMinimumContentsLength(30);
    m_ports->setAccessibleName(QStringLiteral("Com Select"));
    auto* idLabel =
        WithControlId(new QLabel(QStringLiteral("Device ID:"), this), kIdLabelId, "deviceIdLabel");
    m_ids = WithControlId(new QComboBox(this), kIdComboId, "idCombo");
    m_ids->setMaxVisibleItems(16);
    m_ids->setAccessibleName(QStringLiteral("Device ID"));
    m_ids->setPlaceholderText(QLatin1String(kNoDeviceText));
    m_searchButton = WithControlId(DialogLook::FilledButton(QStringLiteral("Search ID"), this),
                                   kSearchButtonId, "searchId");
    m_searchButton->setAutoDefault(false);
    m_progress = WithControlId(new QProgressBar(this), kProgressId, "searchProgress");
    m_progress->setRange(IdSearch::kFirstId, IdSearch::kLastId);
    m_progress->setTextVisible(false);
    // The bar keeps its place while hidden, so the dialog does not change size.
    QSizePolicy keepPlace = m_progress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keepPlace);
    m_progress->hide();
    m_fastTransfers = new QCheckBox(QStringLiteral("Fast transfers"), this);
    m_fastTransfers->setObjectName(QStringLiteral("fastTransfers"));
    m_fastTransfers->setToolTip(QStringLiteral(
        "Send the next record as soon as the device has answered, not at the next tick"));
    // What the last search saw besides the IDs: IDs at which several devices answered.
    m_searchNote = new QLabel(this);
    m_searchNote->setObjectName(QStringLiteral("searchNote"));
    m_searchNote->setStyleSheet(QStringLiteral("color: white;"));
    m_searchNote->hide();
    m_ok = WithControlId(DialogLook::FilledButton(QStringLiteral("OK"), this), kOkId, "ok");
    m_ok->setDefault(true);

    auto* grid = DialogLook::ControlGrid();
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(m_ports, 0, 1, 1, 2);
    grid->addWidget(idLabel, 1, 0);
    grid->addWidget(m_ids, 1, 1);
    grid->addWidget(m_searchButton, 1, 2);
    grid->addWidget(m_fastTransfers, 2, 1, 1, 2);
    grid->addWidget(m_searchNote, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    const QString lastPort = settings->value(QLatin1String(kPortKey)).toString();
    const int lastId = settings->value(QLatin1String(kDeviceIdKey)).toInt();
    // The port this panel used before in this run, else the one chosen last time.
    FillPorts(panel.GetPortName().isEmpty() ? lastPort : panel.GetPortName());
    FillIds(panel.FoundIds(), lastId);
    m_fastTransfers->setChecked(settings->value(QLatin1String(kFastTransfersKey)).toBool());
    // The search needs the line to itself.
    m_searchButton->setEnabled(!panel.IsConnected());
    DialogLook::Arrange(this, grid, m_ok, m_progress);

    connect(m_searchButton, &QPushButton::clicked, this, &ConnectDlg::StartSearch);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_search, &IdSearch::progress, this, &ConnectDlg::OnSearchProgress);
    connect(&m_search, &IdSearch::finished, this, &ConnectDlg::OnSearchFinished);
    connect(&m_search, &IdSearch::collision, this, [this](int id) {
        const QString line = IdSearch::CollisionText(id);
        m_searchNote->setText(m_searchNote->text().isEmpty()
                                  ? line
                                  : m_searchNote->text() + QLatin1Char('\n') + line);
        m_searchNote->show();
    });
}

ConnectDlg::~ConnectDlg() {
    m_search.Cancel();
}

QString ConnectDlg::PortName() const {
    // A listed port shows its stable name beside it; the name it opens with is its data.
    const int index = m_ports->currentIndex();
    if (index >= 0 && m_ports->currentText() == m_ports->itemText(index) &&
        m_ports->itemData(index).isValid()) {
        return m_ports->itemData(index).toString();
    }
    return m_ports->currentText().trimmed();
}

int ConnectDlg::DeviceId() const {
    return m_ids->currentIndex() < 0 ? 0 : m_ids->currentData().toInt();
}

bool ConnectDlg::FastTransfers() const {
    return m_fastTransfers->isChecked();
}

bool ConnectDlg::RememberedFastTransfers() {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    return settings->value(QLatin1String(kFastTransfersKey)).toBool();
}

void ConnectDlg::done(int result) {
    m_search.Cancel();
    if (result == QDialog::Accepted) {
        Remember();
    }
    QDialog::done(result);
}

void ConnectDlg::FillPorts(const QString& current) {
    QList<PortEntry> entries = PortList::EnumSerialPorts(false);
    entries.erase(
        std::remove_if(entries.begin(), entries.end(),
                       [](const PortEntry& entry) { return entry.displayName.isEmpty(); }),
        entries.end());
    for (const PortEntry& entry : entries) {
        m_ports->addItem(entry.stableName.isEmpty()
                             ? entry.displayName
                             : QStringLiteral("%1   %2").arg(entry.displayName, entry.stableName),
                         entry.displayName);
    }
    const QStringList gateways = RememberedGateways();
    m_ports->addItems(gateways);
    if (entries.isEmpty() && gateways.isEmpty()) {
        m_ports->addItem(QLatin1String(PortChoice::kNoPortText));
    }
    if (PortLine::IsNetwork(current)) {
        const int gateway = m_ports->findText(current.trimmed(), Qt::MatchFixedString);
        if (gateway >= 0) {
            m_ports->setCurrentIndex(gateway);
        } else {
            m_ports->setEditText(current.trimmed());
        }
        return;
    }
    int index = PortChoice::Find(entries, current);
    if (index < 0 && PortChoice::IsPath(current) && QFileInfo::exists(current)) {
        m_ports->setEditText(current);
        return;
    }
    if (index < 0) {
        index = std::max(0, PortChoice::Default(entries));
    }
    m_ports->setCurrentIndex(index);
}

QStringList ConnectDlg::RememberedGateways() {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    QStringList gateways = settings->value(QLatin1String(kGatewaysKey)).toStringList();
    gateways.erase(std::remove_if(gateways.begin(), gateways.end(),
                                  [](const QString& name) { return !PortLine::IsNetwork(name); }),
                   gateways.end());
    return gateways.mid(0, kRememberedGateways);
}

void ConnectDlg::FillIds(const QVector<int>& ids, int preferred) {
    m_ids->clear();
    for (int id : ids) {
        m_ids->addItem(QString::number(id), id);
    }
    const int index = m_ids->findData(preferred);
    m_ids->setCurrentIndex(index >= 0 ? index : (ids.isEmpty() ? -1 : 0));
    // Nothing to connect to: OK stays off and the list says why.
    m_ok->setEnabled(!ids.isEmpty());
    m_ok->setToolTip(ids.isEmpty() ? QLatin1String(kNoDeviceText) : QString());
}

void ConnectDlg::StartSearch() {
    if (m_search.IsRunning()) {
        return;
    }
    m_search.SetFastTransfers(FastTransfers());
    // A port that does not open is reported by the engine through the panel; nothing runs then.
    if (!m_search.Start(PortName())) {
        return;
    }
    m_searchNote->clear();
    m_searchNote->hide();
    SetSearching(true);
}

void ConnectDlg::OnSearchProgress(int position) {
    if (position < IdSearch::kFirstId) {
        m_progress->reset();
    } else {
        m_progress->setValue(position);
    }
}

void ConnectDlg::OnSearchFinished(const QVector<int>& ids) {
    FillIds(ids, 0);
    SetSearching(false);
}

void ConnectDlg::SetSearching(bool searching) {
    if (searching) {
        m_progress->reset();
    }
    m_progress->setVisible(searching);
    m_searchButton->setEnabled(!searching);
    m_ports->setEnabled(!searching);
    m_ids->setEnabled(!searching);
    m_fastTransfers->setEnabled(!searching);
}

void ConnectDlg::Remember() const {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    settings->setValue(QLatin1String(kPortKey), PortName());
    settings->setValue(QLatin1String(kDeviceIdKey), DeviceId());
    settings->setValue(QLatin1String(kFastTransfersKey), FastTransfers());
    if (PortLine::IsNetwork(PortName())) {
        QStringList gateways = RememberedGateways();
        gateways.removeIf([this](const QString& name) {
            return name.compare(PortName(), Qt::CaseInsensitive) == 0;
        });
        gateways.prepend(PortName());
        settings->setValue(QLatin1String(kGatewaysKey), gateways.mid(0, kRememberedGateways));
    }
}
