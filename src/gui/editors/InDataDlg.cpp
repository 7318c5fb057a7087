#include "gui/editors/InDataDlg.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"
#include "core/scales/DisplayModes.h"
#include "gui/editors/DelayGroup.h"
#include "gui/editors/EditorParts.h"
#include "gui/editors/FaderGroup.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/XPStyleButton.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace {

// The threshold field shows index - 120 dBu.
constexpr double kThresholdStep = 1.0;
constexpr double kThresholdOffset = 120.0;
constexpr int kThresholdCharacters = 6; // "-120.0"

// Frames in window pixels.
const QRect kDelayRect(8, 8, 196, 244);
const QRect kGateRect(210, 8, 86, 84);
const QRect kSourceRect(210, 100, 86, 152);
const QRect kCompactSourceRect(210, 8, 86, 120);
const QRect kThresholdRect(302, 8, 90, 244);
const QRect kChannelButtonsRect(8, 226, 196, 24);

QVBoxLayout* Column(QGroupBox* frame) {
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(8, 6, 8, 8);
    return column;
}

} // namespace

InDataDlg::InDataDlg(CAudio_Data& program, QWidget* parent)
    : ChannelDlg(program, QStringLiteral("inDataDlg"), parent) {
    const bool hasGateSwitch = EditRules::HasGateSwitch(DeviceVariant().deviceType);

    BuildDelay({kDelayFrameId,
                {kDelayMsId, kDelayMetersId, kDelayFeetId},
                {kDelayMsSpinId, kDelayMetersSpinId, kDelayFeetSpinId},
                kDelayFaderId},
               QStringLiteral("mS"))
        ->setGeometry(kDelayRect);

    // The delay group is shared with the output dialog, whose labels have no numbers; here
    // they have theirs.
    const std::pair<const char*, int> labels[] = {{"delayMsLabel", kDelayMsLabelId},
                                                  {"delayMetersLabel", kDelayMetersLabelId},
                                                  {"delayFeetLabel", kDelayFeetLabelId},
                                                  {"timeLabel", kTimeLabelId}};
    for (const auto& [name, id] : labels) {
        SetControlId(findChild<QLabel*>(QLatin1String(name)), id, QLatin1String(name));
    }

    BuildGate(hasGateSwitch);
    SetControlId(findChild<QLabel*>(QStringLiteral("thresholdUnit")), kThresholdUnitId,
                 QStringLiteral("thresholdUnit"));
    BuildSource();
    FindControl(this, kInputFrameId)->setGeometry(hasGateSwitch ? kSourceRect : kCompactSourceRect);
    BuildChannelButtons(kFirstChannelButtonId, kChannelButtonCount,
                        [](int k) { return QStringLiteral("channel%1").arg(QChar('A' + k)); });
    const int width = kChannelButtonsRect.width() / kChannelButtonCount;
    for (int k = 0; k < kChannelButtonCount; ++k) {
        ChannelButton(k)->setGeometry(kChannelButtonsRect.x() + k * width, kChannelButtonsRect.y(),
                                      width, kChannelButtonsRect.height());
    }
    setFixedSize(kWidth, kHeight);
}

QString InDataDlg::ChannelTitle(int index) const {
    return QStringLiteral("CH %1").arg(QChar('A' + index));
}

void InDataDlg::BuildGate(bool hasGateSwitch) {
    QGroupBox* gateFrame = EditorParts::Frame(this, QStringLiteral("Noisegate"), kGateFrameId,
                                              QStringLiteral("gateFrame"));
    gateFrame->setGeometry(kGateRect);
    QVBoxLayout* radios = Column(gateFrame);
    m_gateOff = EditorParts::CaptionedRadio(gateFrame, QStringLiteral("Disble"), kGateOffId,
                                            kGateOffCaptionId, QStringLiteral("gateOff"));
    m_gateOn = EditorParts::CaptionedRadio(gateFrame, QStringLiteral("Enable"), kGateOnId,
                                           kGateOnCaptionId, QStringLiteral("gateOn"));
    radios->addWidget(m_gateOff);
    radios->addWidget(m_gateOn);
    auto* gateGroup = new QButtonGroup(this);
    gateGroup->addButton(m_gateOff, 0);
    gateGroup->addButton(m_gateOn, 1);
    connect(gateGroup, &QButtonGroup::buttonClicked, this, &InDataDlg::OnGateRadio);
    gateFrame->setVisible(hasGateSwitch);

    // The threshold sits in the "Threshold" frame beside the gate switch, or in a narrow
    // "Noisegate" frame where there is no switch; the frame not used stays hidden.
    const int type = DeviceVariant().deviceType;
    FaderGroup::Setup threshold{
        hasGateSwitch ? QStringLiteral("Threshold") : QStringLiteral("Noisegate"),
        hasGateSwitch ? kThresholdFrameId : kNarrowGateFrameId,
        hasGateSwitch ? QStringLiteral("thresholdFrame") : QStringLiteral("narrowGateFrame"),
        QStringLiteral("threshold"),
        kThresholdId,
        kThresholdFaderId,
        DisplayMode::Linear,
        GateThresholdRange(type).max,
        kThresholdStep,
        kThresholdOffset,
        false,
        QStringLiteral("dBu"),
        kThresholdCharacters};
    m_threshold = new FaderGroup(threshold, this);
    m_threshold->setGeometry(kThresholdRect);
    connect(m_threshold, &FaderGroup::valueChanged, this, &InDataDlg::OnThreshold);
    QGroupBox* unused =
        hasGateSwitch ? EditorParts::Frame(this, QStringLiteral("Noisegate"), kNarrowGateFrameId,
                                           QStringLiteral("narrowGateFrame"))
                      : EditorParts::Frame(this, QStringLiteral("Threshold"), kThresholdFrameId,
                                           QStringLiteral("thresholdFrame"));
    unused->setGeometry(kThresholdRect);
    unused->hide();
}

void InDataDlg::BuildSource() {
    QGroupBox* frame = EditorParts::Frame(this, QStringLiteral("Input"), kInputFrameId,
                                          QStringLiteral("inputFrame"));
    QVBoxLayout* column = Column(frame);
    column->addWidget(EditorParts::Label(frame, QStringLiteral("Source"), kSourceLabelId,
                                         QStringLiteral("sourceLabel")));
    m_analog = EditorParts::CaptionedRadio(frame, QStringLiteral("Analog"), kAnalogId,
                                           kAnalogCaptionId, QStringLiteral("analog"));
    m_digital = EditorParts::CaptionedRadio(frame, QStringLiteral("Digital"), kDigitalId,
                                            kDigitalCaptionId, QStringLiteral("digital"));
    column->addWidget(m_analog);
    column->addWidget(m_digital);
    column->addStretch(1);
    auto* sourceGroup = new QButtonGroup(this);
    sourceGroup->addButton(m_analog, 0);
    sourceGroup->addButton(m_digital, 1);
    connect(sourceGroup, &QButtonGroup::buttonClicked, this, &InDataDlg::OnSourceRadio);
}

CAudio_InData* InDataDlg::InputChannel() const {
    return Program() != nullptr ? Program()->GetInput(Channel()) : nullptr;
}

CAudio_Channel* InDataDlg::ShownChannel() const {
    return InputChannel();
}

void InDataDlg::ShowProgram() {
    const CAudio_InData* channel = InputChannel();
    if (channel == nullptr) {
        return;
    }
    Delay()->ShowDelay(channel->GetDelay());
    const bool gateOn = channel->GetGateOff() == 0;
    (gateOn ? m_gateOn : m_gateOff)->setChecked(true);
    if (EditRules::HasGateSwitch(DeviceVariant().deviceType)) {
        m_threshold->SetControlsEnabled(gateOn);
    }
    m_threshold->Show(channel->GetGateThreshold());
    RefreshSource();
}

void InDataDlg::RefreshSource() {
    if (Program() != nullptr) {
        (Program()->GetInputSource() == 1 ? m_digital : m_analog)->setChecked(true);
    }
}

void InDataDlg::OnThreshold(int threshold) {
    if (CAudio_InData* channel = InputChannel()) {
        channel->SetGateThreshold(static_cast<std::uint8_t>(threshold));
    }
}

void InDataDlg::OnGateRadio() {
    CAudio_InData* channel = InputChannel();
    if (channel == nullptr) {
        return;
    }
    const bool gateOn = m_gateOn->isChecked();
    m_threshold->SetControlsEnabled(gateOn);
    if (gateOn) {
        m_threshold->Show(channel->GetGateThreshold());
    }
    ChannelEdits::SetGateOff(*channel, gateOn ? 0 : 1);
}

void InDataDlg::OnSourceRadio() {
    if (Program() == nullptr) {
        return;
    }
    const int source = m_digital->isChecked() ? 1 : 0;
    Program()->SetInputSource(source);
    emit sourceChosen(source);
}
