#include "gui/panel/PanelView.h"

#include "control/PanelLink.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/plot/Geometry.h"
#include "gui/dialogs/CHSetupDlg.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/dialogs/CopyDlg.h"
#include "gui/dialogs/DataViewDlg.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/DisplayDlg.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/dialogs/VerifyReportDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelForm.h"
#include "gui/session/PanelSession.h"
#include "gui/session/WriteVerifier.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DeviceText.h"
#include "gui/widgets/DialogUnits.h"
#include "gui/widgets/FileChooser.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/StatusLamp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

using PanelForm::AddDisplay;
using PanelForm::AddLabel;
using PanelForm::Pixels;

const QColor kBackground(151, 163, 175);
const QColor kTopBand(218, 37, 28);
const QColor kGroupsBackground(48, 54, 68);

// Background bands, in pixels of the panel.
constexpr int kTopBandTop = 5;
constexpr int kTopBandBottom = 30;
constexpr int kTopBandLeft = 18;
constexpr int kTopBandRightGap = 105;
constexpr int kGroupsAboveCentre = 50;
constexpr int kGroupsBottomGap = 10;
constexpr int kGroupsLeft = 2;
constexpr int kGroupsRightGap = 15;

const QString kInitialDeviceId = QStringLiteral("********");
const QString kInitialPort = QStringLiteral("******");
const QString kInitialLink = QStringLiteral("Link/Unlink");

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(GetRValue(colour)), static_cast<int>(GetGValue(colour)),
                  static_cast<int>(GetBValue(colour)));
}

// Calls f with input or output channel index of program.
template <class F> void WithChannel(CAudio_Data& program, bool output, int index, F&& f) {
    if (output) {
        f(*program.GetOutput(index));
    } else {
        f(*program.GetInput(index));
    }
}

} // namespace

PanelView::PanelView(PanelSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), m_link(session.Link()), m_variant(session.GetVariant()),
      m_layout(PanelLayout::Of(m_variant)), m_editors(session, *this) {
    m_session.SetWindow(this);
    setObjectName(QStringLiteral("panel%1").arg(QString::fromLatin1(m_variant.modelCode)));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(DialogUnits::Size(PanelGeometry::kFormWidth, PanelGeometry::kFormHeight));

    BuildTopLine();
    m_graph = WithControlId(new CFStatic(this), m_layout.ids.graph, QStringLiteral("graph"));
    m_graph->setGeometry(Pixels(PanelGeometry::kGraph));
    m_editors.SetGraph(m_graph);
    m_editors.SetStripShower([this](int channel, bool output) { ShowStrip(channel, output); });
    BuildButtons();
    PanelForm::AddGroups(this, m_layout.ids);
    BuildStrips(false);
    BuildStrips(true);
    PanelForm::AddScaleLabels(this, *InputStrip(0), m_variant, m_layout.ids.firstInputScaleLabel);
    PanelForm::AddScaleLabels(this, *OutputStrip(0), m_variant, m_layout.ids.firstOutputScaleLabel);
    ConnectSession();

    RefreshPanel();
    m_graph->SetProgram(&m_link.GetProgram());
    m_graph->SetDrivers(&m_session.Drivers());
    m_graph->Initialise();
    m_graph->SetMode(CFStatic::Overview);
    connect(m_graph, &CFStatic::graphEdit, this,
            [this](int filterIndex, int mode) { m_editors.ReloadFilter(filterIndex, mode); });
    connect(m_graph, &CFStatic::measurementAttachRequested, this, &PanelView::AttachMeasurement);
    connect(m_graph, &CFStatic::measurementDetachRequested, this,
            [this](int output) { m_session.DetachMeasurement(output); });
    m_graph->Redraw();
    WatchKeys();
}

PanelView::~PanelView() {
    // Nothing the session or its link reports reaches the panel while its widgets go. The
    // session lives on: its message boxes and file dialogs open on their own from now.
    m_link.disconnect(this);
    m_session.disconnect(this);
    if (m_session.Window() == this) {
        m_session.SetWindow(nullptr);
    }
}

ChannelStrip* PanelView::InputStrip(int i) const {
    return i >= 0 && i < InputStripCount() ? m_inputStrips[static_cast<std::size_t>(i)] : nullptr;
}

ChannelStrip* PanelView::OutputStrip(int n) const {
    return n >= 0 && n < OutputStripCount() ? m_outputStrips[static_cast<std::size_t>(n)] : nullptr;
}

// --- Building ---

void PanelView::BuildTopLine() {
    using namespace PanelGeometry;
    const PanelIds& ids = m_layout.ids;
    AddLabel(this, ids.deviceIdLabel, QStringLiteral("DeviceID:"), QStringLiteral("deviceIdLabel"),
             kDeviceIdLabel);
    m_deviceIdDisplay = AddDisplay(this, ids.deviceIdDisplay, kInitialDeviceId,
                                   QStringLiteral("deviceIdDisplay"), kDeviceIdDisplay);
    AddLabel(this, ids.portLabel, QStringLiteral("Com Port:"), QStringLiteral("portLabel"),
             kPortLabel);
    m_portDisplay = AddDisplay(this, ids.portDisplay, kInitialPort, QStringLiteral("portDisplay"),
                               kPortDisplay);
    if (m_variant.hasInputSourceDisplay) {
        AddLabel(this, ids.inputSourceLabel, QStringLiteral("Input Source:"),
                 QStringLiteral("inputSourceLabel"), kInputSourceLabel);
        m_inputSourceDisplay =
            AddDisplay(this, ids.inputSourceDisplay, QString(),
                       QStringLiteral("inputSourceDisplay"), kInputSourceDisplay);
    }
    m_lamp = WithControlId(new StatusLamp(this), ids.lamp, QStringLiteral("statusLamp"));
    m_lamp->setGeometry(Pixels(kLamp));
    m_lamp->setColor(Qt::red);
    m_lamp->setBlinkPeriod(ControlSizes::LampBlinkPeriodMs);
    m_lamp->setBlinking(false);
    m_linkDisplay = AddDisplay(this, ids.linkDisplay, kInitialLink, QStringLiteral("linkDisplay"),
                               kLinkDisplay);
}

QPushButton* PanelView::AddButton(int id, const char* caption, const char* name, int y) {
    using namespace PanelGeometry;
    auto* button = WithControlId(new QPushButton(QString::fromLatin1(caption), this), id,
                                 QString::fromLatin1(name));
    button->setGeometry(Pixels({kButtonColumnX, y, kButtonWidth, kButtonHeight}));
    return button;
}

void PanelView::BuildButtons() {
    using namespace PanelGeometry;
    const PanelIds& ids = m_layout.ids;
    m_connection = AddButton(ids.connection, "Connection", "connection", kConnectionY);
    connect(m_connection, &QPushButton::clicked, this, &PanelView::OnConnection);
    connect(AddButton(ids.dataView, "DataView", "dataView", kDataViewY), &QPushButton::clicked,
            this, &PanelView::OpenDataView);
    connect(AddButton(ids.device, "Device", "device", kDeviceY), &QPushButton::clicked, this,
            &PanelView::OnDevice);
    connect(AddButton(ids.program, "Program", "program", kProgramY), &QPushButton::clicked, this,
            &PanelView::OpenProgram);
    connect(AddButton(ids.copy, "Copy", "copy", kCopyY), &QPushButton::clicked, this,
            &PanelView::OpenCopy);
    connect(AddButton(ids.interface, "Interface", "interface", kInterfaceY), &QPushButton::clicked,
            this, &PanelView::OpenInterface);
    connect(AddButton(ids.boxName, "BoxName", "boxName", kBoxNameY), &QPushButton::clicked, this,
            &PanelView::OpenBoxName);
    connect(AddButton(ids.esc, "ESC", "esc", kEscY), &QPushButton::clicked, this,
            &PanelView::escapeRequested);
}

void PanelView::BuildStrips(bool output) {
    CAudio_Data& program = m_link.GetProgram();
    const std::vector<int>& xs = output ? m_layout.outputX : m_layout.inputX;
    std::vector<ChannelStrip*>& strips = output ? m_outputStrips : m_inputStrips;
    const IndexRange range = output ? m_variant.outputGainRange : m_variant.inputGainRange;
    for (int k = 0; k < static_cast<int>(xs.size()); ++k) {
        COLORREF colour = 0;
        WithChannel(program, output, k, [&](auto& channel) { colour = channel.GetColor(); });
        const ChannelStrip::Setup setup{k,
                                        output,
                                        output ? m_layout.ids.output : m_layout.ids.input,
                                        range.max,
                                        m_variant.gainEditOffset,
                                        ToQColor(colour)};
        auto* strip = new ChannelStrip(setup, this);
        strip->move(DialogUnits::Point(xs[static_cast<std::size_t>(k)], PanelGeometry::kSelect.y));
        strips.push_back(strip);
        ConnectStrip(strip);
    }
}

// --- Wiring ---

void PanelView::ConnectStrip(ChannelStrip* strip) {
    const int k = strip->Index();
    const bool output = strip->IsOutput();
    connect(strip, &ChannelStrip::gainChanged, this, [this, k, output](int gain) {
        m_session.SetGain(k, output, gain);
        m_graph->Redraw();
    });
    connect(strip, &ChannelStrip::selectClicked, this, [this, k, output] {
        m_session.ToggleEnabled(k, output);
        ShowChannelState(k, output);
        m_graph->Redraw();
    });
    connect(strip, &ChannelStrip::polarityClicked, this,
            [this, k, output, strip] { strip->ShowPolarity(m_session.TogglePolarity(k, output)); });
    connect(strip, &ChannelStrip::muteClicked, this,
            [this, k, output, strip] { strip->ShowOn(m_session.ToggleOn(k, output)); });
    connect(strip, &ChannelStrip::eqClicked, this,
            [this, k, output] { output ? m_editors.OpenOutputEq(k) : m_editors.OpenInputEq(k); });
    connect(strip, &ChannelStrip::channelClicked, this, [this, k, output] {
        output ? m_editors.OpenOutputChannel(k) : m_editors.OpenInputChannel(k);
    });
}

void PanelView::ConnectSession() {
    PanelLink* link = &m_link;
    connect(link, &PanelLink::panelRefreshRequested, this, &PanelView::RefreshPanel);
    connect(link, &PanelLink::graphRedrawRequested, this, [this] { m_graph->Redraw(); });
    // A box runs its own event loop: it is shown once the link has finished what it was doing.
    // Every report of the link is a box of its own, after the ones before it.
    connect(
        link, &PanelLink::messageShown, this,
        [this](const QString& text) { QueueMessage(this, text); }, Qt::QueuedConnection);
    connect(link, &PanelLink::connectedChanged, this, &PanelView::ShowConnected);
    if (m_layout.showsLinkState) {
        // "Link" / "Unlink" follow the connection however it ends: the operator, no answer, or
        // a line that failed under the panel.
        connect(link, &PanelLink::connectedChanged, m_linkDisplay, [this](bool connected) {
            m_linkDisplay->setText(connected ? QStringLiteral("Link") : QStringLiteral("Unlink"));
        });
    }
    if (m_inputSourceDisplay != nullptr) {
        connect(link, &PanelLink::inputSourceShown, m_inputSourceDisplay, &QLabel::setText);
    }
    connect(link, &PanelLink::linkSettingsChanged, this, &PanelView::ShowLinkSettings);
    connect(link, &PanelLink::closeEditorsRequested, this, [this] { m_editors.CloseAll(); });
    connect(link, &PanelLink::inputSourceChanged, this,
            [this] { m_editors.RefreshInputSources(); });
    connect(link, &PanelLink::channelCopied, this, [this](int to, bool output) {
        ShowStrip(to, output);
        m_editors.RefreshAll();
    });
    connect(link, &PanelLink::levelsReceived, this, &PanelView::ShowLevels);
    // Direct: the session goes on with the transfer once the progress window has closed.
    connect(&m_session, &PanelSession::transferStarted, this, &PanelView::ShowTransferProgress);
    connect(&m_session.Verifier(), &WriteVerifier::reportReady, this, &PanelView::ShowVerifyReport);
    connect(&m_session, &PanelSession::driversChanged, this, [this] { m_graph->Redraw(); });
    connect(&m_session, &PanelSession::programReplaced, this, [this] {
        RefreshPanel();
        m_graph->Redraw();
    });
}

void PanelView::AttachMeasurement(int output) {
    const QString path =
        ChooseFile(this, {FileRequest::Open, {QStringLiteral("*.txt"), QStringLiteral("*.frd")}});
    if (!path.isEmpty()) {
        m_session.AttachMeasurement(output, path);
    }
}

void PanelView::WatchKeys() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

bool PanelView::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Esc anywhere in the panel take the focus to the panel itself, which makes a
    // gain edit box commit what was typed; nothing else sees the key.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), kBackground);
    painter.fillRect(QRect(QPoint(kTopBandLeft, kTopBandTop),
                           QPoint(w - kTopBandRightGap - 1, kTopBandBottom - 1)),
                     kTopBand);
    painter.fillRect(QRect(QPoint(kGroupsLeft, h / 2 - kGroupsAboveCentre),
                           QPoint(w - kGroupsRightGap - 1, h - kGroupsBottomGap - 1)),
                     kGroupsBackground);
}

// --- Showing the program ---

void PanelView::RefreshPanel() {
    for (int i = 0; i < InputStripCount(); ++i) {
        ShowStrip(i, false);
    }
    for (int n = 0; n < OutputStripCount(); ++n) {
        ShowStrip(n, true);
    }
    m_link.ShowInputSource(m_link.GetProgram().GetInputSource(), false);
    m_editors.RefreshAll();
}

void PanelView::ShowStrip(int channel, bool output) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    ShowNameLabel(channel, output);
    ShowChannelState(channel, output);
    WithChannel(m_link.GetProgram(), output, channel, [strip](auto& c) {
        strip->ShowPolarity(c.GetPolarity());
        strip->ShowOn(c.GetOn());
        strip->ShowGain(c.GetGain());
    });
}

void PanelView::ShowChannelState(int channel, bool output) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    WithChannel(m_link.GetProgram(), output, channel,
                [strip](auto& c) { strip->ShowState(c.IsEnabled() != 0); });
}

void PanelView::ShowNameLabel(int channel, bool output) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    WithChannel(m_link.GetProgram(), output, channel,
                [strip](auto& c) { strip->ShowName(FromDeviceText(c.GetNameText())); });
}

void PanelView::ShowLevels(const QVector<int>& inputs, const QVector<int>& outputs) {
    for (int i = 0; i < InputStripCount() && i < inputs.size(); ++i) {
        InputStrip(i)->ShowLevel(inputs[i]);
    }
    for (int n = 0; n < OutputStripCount() && n < outputs.size(); ++n) {
        OutputStrip(n)->ShowLevel(outputs[n]);
    }
}

void PanelView::ShowConnected(bool connected) {
    m_connection->setText(connected ? QStringLiteral("UnConnect") : QStringLiteral("Connection"));
    m_lamp->setColor(connected ? Qt::green : Qt::red);
    m_lamp->setBlinking(connected);
    if (!connected) {
        // A closed link reads nothing: the meters drop rather than hold the last reading.
        ShowLevels(QVector<int>(InputStripCount(), 0), QVector<int>(OutputStripCount(), 0));
    }
}

void PanelView::ShowLinkSettings(int deviceId, const QString& port) {
    m_deviceIdDisplay->setText(QString::number(deviceId));
    // A long path shows its end, where the name of the line is.
    const int room = m_portDisplay->contentsRect().width() - 4;
    m_portDisplay->setText(m_portDisplay->fontMetrics().elidedText(port, Qt::ElideLeft, room));
    m_portDisplay->setToolTip(port);
}

// --- Connection ---

void PanelView::OnConnection() {
    if (m_link.IsConnected()) {
        m_link.Disconnect();
        return;
    }
    ConnectDlg dialog(m_link, this);
    // The 4-in/8-out panel shows the button inactive while its dialog is open.
    m_connection->setEnabled(!m_layout.connectionInactiveWhileConnecting);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_connection->setEnabled(true);
    if (accepted) {
        ConnectTo(dialog.PortName(), dialog.DeviceId());
    }
}

bool PanelView::ConnectTo(const QString& port, int id) {
    m_link.SetFastTransfers(ConnectDlg::RememberedFastTransfers());
    return m_session.ConnectTo(port, id);
}

void PanelView::OnDevice() {
    if (!m_link.IsConnected()) {
        return;
    }
    DeviceDlg dialog(m_link.GetDeviceId(), m_link.FoundIds(), this);
    if (m_link.GetFoundIds().Searched()) {
        dialog.SetIdsOnLine(m_link.FoundIds());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (dialog.Mode() == DeviceDlg::kReconnectMode) {
        // Talking to another device recalls its live program.
        m_session.ReconnectTo(dialog.TargetId());
    } else {
        m_link.ChangeDeviceId(dialog.NewId());
    }
}

void PanelView::ShowTransferProgress() {
    DisplayDlg progress(m_link, this);
    progress.exec();
}

void PanelView::ShowVerifyReport(const QString& what, const QStringList& lines) {
    QWidget* over = QApplication::activeModalWidget();
    VerifyReportDlg report(what, lines, over != nullptr ? over : this);
    report.exec();
}

// --- Dialogs ---

void PanelView::OpenProgram() {
    ProgramDlg dialog(m_session, this);
    RunFromButton(m_layout.ids.program, dialog);
}

void PanelView::OpenInterface() {
    InterfaceDlg dialog(m_link, this);
    RunFromButton(m_layout.ids.interface, dialog);
}

void PanelView::OpenBoxName() {
    CHSetupDlg dialog(m_link.GetProgram(), m_variant, this);
    connect(&dialog, &CHSetupDlg::nameApplied, this, &PanelView::ShowNameLabel);
    RunFromButton(m_layout.ids.boxName, dialog);
}

void PanelView::OpenCopy() {
    // The link shows the target strip and redraws the graph after the copy.
    CopyDlg dialog(m_link, m_variant, this);
    RunFromButton(m_layout.ids.copy, dialog);
}

void PanelView::OpenDataView() {
    DataViewDlg dialog(m_link.GetProgram(), m_variant, this);
    RunFromButton(m_layout.ids.dataView, dialog);
}

int PanelView::RunFromButton(int buttonId, QDialog& dialog) {
    // The button that opened a dialog is shown pressed while the dialog is open.
    auto* button = qobject_cast<QPushButton*>(FindControl(this, buttonId));
    if (button != nullptr) {
        button->setDown(true);
    }
    const int result = dialog.exec();
    if (button != nullptr) {
        button->setDown(false);
    }
    return result;
}
