#include "gui/panel/PanelView.h"

#include "gui/app/ScreenCommands.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DeviceText.h"
#include "gui/widgets/DialogUnits.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/StatusLamp.h"
#include "gui/dialogs/CHSetupDlg.h"
#include "gui/dialogs/CopyDlg.h"
#include "gui/dialogs/DataViewDlg.h"
#include "gui/dialogs/DisplayDlg.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/InDataDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "core/files/ZorvanDoc.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "core/model/AudioData.h"
#include "core/scales/FaderTrack.h"
#include "core/model/Geometry.h"
#include "core/model/Variant.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/ProgramFileActions.h"
#include "control/PanelLink.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <string>

namespace {

using PanelGeometry::UnitRect;

const QColor kBackground(151, 163, 175);
const QColor kTopBand(218, 37, 28);
const QColor kGroupsBackground(48, 54, 68);
const QColor kDisplayBackground(236, 238, 242);
const QColor kDisplayText(0, 0, 0);

// Background bands, in pixels of the panel.
constexpr int kTopBandTop = 5;
constexpr int kTopBandBottom = 30;
constexpr int kTopBandLeft = 18;
constexpr int kTopBandRightGap = 105;
constexpr int kGroupsAboveCentre = 50;
constexpr int kGroupsBottomGap = 10;
constexpr int kGroupsLeft = 2;
constexpr int kGroupsRightGap = 15;

// Small enough that neighbouring labels of the 2-in/4-out scale (-30dB, -36dB) stay apart.
constexpr int kScaleLabelPixelHeight = 10;

const QString kInitialDeviceId = QStringLiteral("********");
const QString kInitialPort = QStringLiteral("******");
const QString kInitialLink = QStringLiteral("Link/Unlink");

QRect Pixels(const UnitRect& r) {
    return DialogUnits::Rect(r.x, r.y, r.width, r.height);
}

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(GetRValue(colour)), static_cast<int>(GetGValue(colour)),
                  static_cast<int>(GetBValue(colour)));
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Calls f with input or output channel index of program.
template <class F> void WithChannel(CAudio_Data& program, bool output, int index, F&& f) {
    if (output) {
        f(*program.GetOutput(index));
    } else {
        f(*program.GetInput(index));
    }
}

// The dB value of a fader scale label such as "-10dB".
int ScaleLabelDb(const std::string& label) {
    return std::stoi(label);
}

} // namespace

PanelView::PanelView(const Variant& variant, FoundIdTable* foundIds, QWidget* parent)
    : QWidget(parent), m_variant(variant), m_layout(PanelLayout::Of(variant)),
      m_document(std::make_unique<CZorvanDoc>()),
      m_link(std::make_unique<PanelLink>(*m_document, variant, foundIds)),
      m_files(std::make_unique<ProgramFileActions>(*this)),
      m_editors(variant.inputCount, variant.outputCount) {
    setObjectName(QStringLiteral("panel%1").arg(QString::fromLatin1(variant.modelCode)));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(DialogUnits::Size(PanelGeometry::kFormWidth, PanelGeometry::kFormHeight));

    BuildTopLine();
    m_graph = WithControlId(new CFStatic(this), m_layout.ids.graph, QStringLiteral("graph"));
    m_graph->setGeometry(Pixels(PanelGeometry::kGraph));
    BuildButtons();
    BuildGroups();
    BuildStrips(false);
    BuildStrips(true);
    BuildScaleLabels(false);
    BuildScaleLabels(true);
    ConnectLink();

    RefreshPanel();
    m_graph->SetProgram(&m_link->GetProgram());
    m_graph->Initialise();
    m_graph->SetMode(CFStatic::Overview);
    connect(m_graph, &CFStatic::graphEdit, this, &PanelView::OnGraphEdit);
    m_graph->Redraw();
    WatchKeys();
}

PanelView::~PanelView() {
    // Nothing the link reports while it closes its port reaches the widgets any more, and the
    // widgets (the graph draws the document's program) go while the document still exists.
    m_link->disconnect();
    m_graph = nullptr;
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

ChannelStrip* PanelView::InputStrip(int i) const {
    return i >= 0 && i < InputStripCount() ? m_inputStrips[static_cast<std::size_t>(i)] : nullptr;
}

ChannelStrip* PanelView::OutputStrip(int n) const {
    return n >= 0 && n < OutputStripCount() ? m_outputStrips[static_cast<std::size_t>(n)] : nullptr;
}

// --- Building ---

QLabel* PanelView::AddLabel(int id, const QString& text, const QString& name,
                            const UnitRect& rect) {
    auto* label = new QLabel(text, this);
    if (id != 0) {
        SetControlId(label, id, name);
    } else {
        label->setObjectName(name);
    }
    SetTextColour(label, Qt::white);
    label->setGeometry(Pixels(rect));
    return label;
}

QLabel* PanelView::AddDisplay(int id, const QString& text, const QString& name,
                              const UnitRect& rect) {
    auto* display = WithControlId(new QLabel(text, this), id, name);
    display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display->setAlignment(Qt::AlignCenter);
    display->setAutoFillBackground(true);
    QPalette palette = display->palette();
    palette.setColor(QPalette::Window, kDisplayBackground);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::WindowText, kDisplayText);
    }
    display->setPalette(palette);
    display->setGeometry(Pixels(rect));
    // Displays only show text.
    display->setEnabled(false);
    return display;
}

void PanelView::BuildTopLine() {
    using namespace PanelGeometry;
    const PanelIds& ids = m_layout.ids;
    AddLabel(ids.deviceIdLabel, QStringLiteral("DeviceID:"), QStringLiteral("deviceIdLabel"),
             kDeviceIdLabel);
    m_deviceIdDisplay = AddDisplay(ids.deviceIdDisplay, kInitialDeviceId,
                                   QStringLiteral("deviceIdDisplay"), kDeviceIdDisplay);
    AddLabel(ids.portLabel, QStringLiteral("Com Port:"), QStringLiteral("portLabel"), kPortLabel);
    m_portDisplay =
        AddDisplay(ids.portDisplay, kInitialPort, QStringLiteral("portDisplay"), kPortDisplay);
    if (m_variant.hasInputSourceDisplay) {
        AddLabel(ids.inputSourceLabel, QStringLiteral("Input Source:"),
                 QStringLiteral("inputSourceLabel"), kInputSourceLabel);
        m_inputSourceDisplay =
            AddDisplay(ids.inputSourceDisplay, QString(), QStringLiteral("inputSourceDisplay"),
                       kInputSourceDisplay);
    }
    m_lamp = WithControlId(new StatusLamp(this), ids.lamp, QStringLiteral("statusLamp"));
    m_lamp->setGeometry(Pixels(kLamp));
    m_lamp->setColor(Qt::red);
    m_lamp->setBlinkPeriod(ControlSizes::LampBlinkPeriodMs);
    m_lamp->setBlinking(false);
    m_linkDisplay =
        AddDisplay(ids.linkDisplay, kInitialLink, QStringLiteral("linkDisplay"), kLinkDisplay);
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
            [this] { emit commandRequested(ScreenCommand::kSelection); });
}

void PanelView::BuildGroups() {
    using namespace PanelGeometry;
    const struct {
        int id;
        const char* title;
        const char* name;
        UnitRect rect;
    } groups[] = {{m_layout.ids.inputFrame, "INPUT", "inputFrame", kInputFrame},
                  {m_layout.ids.outputFrame, "OUTPUT", "outputFrame", kOutputFrame}};
    const struct {
        const char* caption;
        UnitRect row;
    } rows[] = {{"Polar", kPolarity}, {"EQ", kEq}, {"Curve", kChannel}, {"Gain", kGainEdit}};
    for (const auto& group : groups) {
        auto* frame = WithControlId(new QGroupBox(QString::fromLatin1(group.title), this), group.id,
                                    QString::fromLatin1(group.name));
        SetTextColour(frame, Qt::white);
        frame->setGeometry(Pixels(group.rect));
        for (const auto& row : rows) {
            AddLabel(0, QString::fromLatin1(row.caption),
                     QString::fromLatin1(group.name) + QString::fromLatin1(row.caption) +
                         QStringLiteral("Row"),
                     {group.rect.x + kRowLabelX, row.row.y + 2, kRowLabelWidth, 9});
        }
    }
}

void PanelView::BuildStrips(bool output) {
    CAudio_Data& program = m_link->GetProgram();
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

void PanelView::BuildScaleLabels(bool output) {
    // Beside the first fader of the group, each label at the height of its gain.
    const ChannelStrip* first = output ? OutputStrip(0) : InputStrip(0);
    const BitmapSlider* fader = first->Fader();
    const std::vector<std::string>& labels =
        output ? m_variant.outputScaleLabels : m_variant.inputScaleLabels;
    const int firstId =
        output ? m_layout.ids.firstOutputScaleLabel : m_layout.ids.firstInputScaleLabel;
    const FaderTrack track{fader->minimum(),          fader->maximum(),
                           fader->height(),           fader->margins().top(),
                           fader->margins().bottom(), fader->thumbSize().height()};
    const QPoint faderTopLeft = first->mapToParent(fader->geometry().topLeft());
    const int width = DialogUnits::ToPixels(PanelGeometry::kScaleLabelWidth);
    for (int k = 0; k < static_cast<int>(labels.size()); ++k) {
        const std::string& text = labels[static_cast<std::size_t>(k)];
        const int gain = m_variant.zeroDbGainIndex + ScaleLabelDb(text) * 10;
        const int centre = faderTopLeft.y() + track.CentreOf(fader->maximum() - gain);
        auto* label = new QLabel(QString::fromStdString(text), this);
        SetControlId(label, firstId + k,
                     QStringLiteral("%1Scale%2").arg(output ? "output" : "input").arg(k + 1));
        SetTextColour(label, Qt::white);
        QFont font = label->font();
        font.setPixelSize(kScaleLabelPixelHeight);
        label->setFont(font);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int height = label->fontMetrics().height();
        label->setGeometry(faderTopLeft.x() - width - 2, centre - height / 2, width, height);
    }
}

// --- Wiring ---

void PanelView::ConnectStrip(ChannelStrip* strip) {
    const int k = strip->Index();
    const bool output = strip->IsOutput();
    connect(strip, &ChannelStrip::gainChanged, this, [this, k, output](int gain) {
        WithChannel(m_link->GetProgram(), output, k,
                    [gain](auto& channel) { channel.SetGain(gain); });
        m_graph->Redraw();
    });
    connect(strip, &ChannelStrip::selectClicked, this, [this, k, output] {
        ShowChannelState(k, output, true);
        m_graph->Redraw();
    });
    connect(strip, &ChannelStrip::polarityClicked, this, [this, k, output, strip] {
        WithChannel(m_link->GetProgram(), output, k, [strip](auto& channel) {
            channel.SetPolarity(channel.GetPolarity() != 0 ? 0 : 1);
            strip->ShowPolarity(channel.GetPolarity());
        });
    });
    connect(strip, &ChannelStrip::muteClicked, this, [this, k, output, strip] {
        WithChannel(m_link->GetProgram(), output, k, [strip](auto& channel) {
            channel.SetOn(channel.GetOn() != 0 ? 0 : 1);
            strip->ShowOn(channel.GetOn());
        });
    });
    connect(strip, &ChannelStrip::eqClicked, this,
            [this, k, output] { output ? OpenOutputEq(k) : OpenInputEq(k); });
    connect(strip, &ChannelStrip::channelClicked, this,
            [this, k, output] { output ? OpenOutputChannel(k) : OpenInputChannel(k); });
}

void PanelView::ConnectLink() {
    PanelLink* link = m_link.get();
    connect(link, &PanelLink::panelRefreshRequested, this, &PanelView::RefreshPanel);
    connect(link, &PanelLink::graphRedrawRequested, this, [this] { m_graph->Redraw(); });
    connect(link, &PanelLink::mainTitleChanged, this, &PanelView::mainTitleChanged);
    // A box runs its own event loop: it is shown once the link has finished what it was doing.
    // Every report of the link is a box of its own, after the ones before it.
    connect(
        link, &PanelLink::messageShown, this,
        [this](const QString& text) { QueueMessage(this, text); }, Qt::QueuedConnection);
    connect(link, &PanelLink::connectedChanged, this, &PanelView::ShowConnected);
    connect(link, &PanelLink::linkTextChanged, m_linkDisplay, &QLabel::setText);
    if (m_inputSourceDisplay != nullptr) {
        connect(link, &PanelLink::inputSourceShown, m_inputSourceDisplay, &QLabel::setText);
    }
    connect(link, &PanelLink::linkSettingsChanged, this, &PanelView::ShowLinkSettings);
    connect(link, &PanelLink::closeEditorsRequested, this, &PanelView::CloseEditors);
    connect(link, &PanelLink::inputSourceChanged, this, &PanelView::RefreshInputSources);
    connect(link, &PanelLink::channelCopied, this, [this](int to, bool output) {
        ShowStrip(to, output);
        RefreshEditors();
    });
    connect(link, &PanelLink::levelsReceived, this, &PanelView::ShowLevels);
    connect(m_files.get(), &ProgramFileActions::fileUsed, this, &PanelView::fileUsed);
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
    m_link->ShowInputSource(m_link->GetProgram().GetInputSource(), false);
    RefreshEditors();
}

void PanelView::ShowStrip(int channel, bool output) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    ShowNameLabel(channel, output);
    ShowChannelState(channel, output, false);
    WithChannel(m_link->GetProgram(), output, channel, [strip](auto& c) {
        strip->ShowPolarity(c.GetPolarity());
        strip->ShowOn(c.GetOn());
        strip->ShowGain(c.GetGain());
    });
}

void PanelView::ShowChannelState(int channel, bool output, bool toggle) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    WithChannel(m_link->GetProgram(), output, channel, [strip, toggle](auto& c) {
        if (toggle) {
            c.SetEnabled(c.IsEnabled() != 0 ? 0 : 1);
        }
        strip->ShowState(c.IsEnabled() != 0);
    });
}

void PanelView::ShowNameLabel(int channel, bool output) {
    ChannelStrip* strip = output ? OutputStrip(channel) : InputStrip(channel);
    if (strip == nullptr) {
        return;
    }
    WithChannel(m_link->GetProgram(), output, channel,
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
    if (m_link->IsConnected()) {
        m_link->Disconnect();
        return;
    }
    ConnectDlg dialog(*m_link, this);
    // The 4-in/8-out panel shows the button inactive while its dialog is open.
    m_connection->setEnabled(!m_variant.connectionInactiveWhileConnecting);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_connection->setEnabled(true);
    if (accepted) {
        ConnectTo(dialog.PortName(), dialog.DeviceId());
    }
}

bool PanelView::ConnectTo(const QString& port, int id) {
    m_link->SetFastTransfers(ConnectDlg::RememberedFastTransfers());
    if (!m_link->Connect(port, id)) {
        return false;
    }
    ShowTransferProgress();
    return true;
}

void PanelView::OnDevice() {
    if (!m_link->IsConnected()) {
        return;
    }
    DeviceDlg dialog(m_link->GetDeviceId(), m_link->FoundIds(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (dialog.Mode() == DeviceDlg::kReconnectMode) {
        // Talking to another device recalls its live program.
        if (m_link->ReconnectToDevice(dialog.TargetId())) {
            ShowTransferProgress();
        }
    } else {
        m_link->ChangeDeviceId(dialog.NewId());
    }
}

void PanelView::ShowTransferProgress() {
    DisplayDlg progress(*m_link, this);
    progress.exec();
}

bool PanelView::RecallProgram(int program) {
    if (!m_link->RecallProgram(program)) {
        return false;
    }
    ShowTransferProgress();
    return true;
}

bool PanelView::StoreProgram(int program) {
    if (!m_link->StoreProgram(program)) {
        return false;
    }
    ShowTransferProgress();
    return true;
}

// --- Editors and dialogs ---

// Each of these is the one place its editor or dialog is opened from. An editor goes through
// OpenEditor, which keeps it in its slot.

EditorWindow* PanelView::OpenEditor(EditorSlots::Kind kind, int index,
                                    const EditorSlots::Factory& create) {
    EditorWindow* editor = m_editors.Open(kind, index, create);
    if (editor == nullptr) {
        return nullptr;
    }
    editor->SetProgram(&m_document->GetProgram());
    if (kind != EditorSlots::InputChannel) {
        // The EQ editors and the output channel editor drive the graph; the input channel
        // editor has no graph mode.
        editor->SetGraph(m_graph);
    }
    editor->SelectChannel(index);
    editor->ShowOnGraph();
    editor->show();
    return editor;
}

EditorWindow* PanelView::NewEqEditor(bool output) {
    EqDlg* editor = output ? EqDlg::OutEQDlg(m_variant, this) : EqDlg::InEQDlg(m_variant, this);
    // An import may move the channel gain: its strip shows it.
    connect(editor, &EqDlg::channelLevelsChanged, this, &PanelView::ShowStrip);
    return editor;
}

void PanelView::OpenInputEq(int input) {
    OpenEditor(EditorSlots::InputEq, input, [this] { return NewEqEditor(false); });
}

void PanelView::OpenInputChannel(int input) {
    OpenEditor(EditorSlots::InputChannel, input, [this]() -> EditorWindow* {
        auto* dialog = new InDataDlg(m_link->GetProgram(), this);
        // The input source goes to the device at once, then every open input dialog shows it.
        connect(dialog, &InDataDlg::sourceChosen, m_link.get(),
                [this](int source) { m_link->ShowInputSource(source, true); });
        return dialog;
    });
}

void PanelView::OpenOutputEq(int output) {
    OpenEditor(EditorSlots::OutputEq, output, [this] { return NewEqEditor(true); });
}

void PanelView::OpenOutputChannel(int output) {
    OpenEditor(EditorSlots::OutputChannel, output,
               [this]() -> EditorWindow* { return new OutDataDlg(m_link->GetProgram(), this); });
}

void PanelView::OpenProgram() {
    ProgramDlg dialog(*this);
    RunFromButton(m_layout.ids.program, dialog);
}

void PanelView::OpenInterface() {
    InterfaceDlg dialog(*m_link, this);
    RunFromButton(m_layout.ids.interface, dialog);
}

void PanelView::OpenBoxName() {
    CHSetupDlg dialog(m_link->GetProgram(), m_variant, this);
    connect(&dialog, &CHSetupDlg::nameApplied, this, &PanelView::ShowNameLabel);
    RunFromButton(m_layout.ids.boxName, dialog);
}

void PanelView::OpenCopy() {
    // The link shows the target strip and redraws the graph after the copy.
    CopyDlg dialog(*m_link, m_variant, this);
    RunFromButton(m_layout.ids.copy, dialog);
}

void PanelView::OpenDataView() {
    DataViewDlg dialog(m_link->GetProgram(), m_variant, this);
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

void PanelView::CloseEditors() {
    m_editors.CloseAll();
}

void PanelView::RefreshInputSources() {
    for (int i = 0; i < m_editors.Count(EditorSlots::InputChannel); ++i) {
        if (auto* dialog = qobject_cast<InDataDlg*>(m_editors.At(EditorSlots::InputChannel, i))) {
            dialog->RefreshSource();
        }
    }
}

void PanelView::RefreshEditors() {
    for (int kind = 0; kind < EditorSlots::KindCount; ++kind) {
        const auto slotKind = static_cast<EditorSlots::Kind>(kind);
        for (int k = 0; k < m_editors.Count(slotKind); ++k) {
            if (EditorWindow* editor = m_editors.At(slotKind, k)) {
                editor->ShowProgram();
            }
        }
    }
}

void PanelView::OnGraphEdit(int filterIndex, int mode) {
    EditorWindow* editor = nullptr;
    switch (mode) {
    case CFStatic::InputEq:
        editor = m_editors.At(EditorSlots::InputEq, m_graph->GetSelectedInput());
        break;
    case CFStatic::OutputEq:
        editor = m_editors.At(EditorSlots::OutputEq, m_graph->GetSelectedOutput());
        break;
    case CFStatic::OutputCrossover:
        editor = m_editors.At(EditorSlots::OutputChannel, m_graph->GetSelectedOutput());
        break;
    default:
        break;
    }
    if (editor != nullptr) {
        editor->ReloadFilter(filterIndex);
    }
}
