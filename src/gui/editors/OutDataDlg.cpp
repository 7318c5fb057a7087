#include "gui/editors/OutDataDlg.h"

#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/XPStyleButton.h"
#include "gui/editors/CrossoverGroup.h"
#include "gui/editors/DelayGroup.h"
#include "gui/editors/EditorParts.h"
#include "gui/editors/FaderGroup.h"
#include "gui/graph/ResponseGraph.h"
#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/scales/DisplayModes.h"
#include "core/model/EditRules.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// Release index shown while the timing is automatic ("16X").
constexpr int kAutomaticRelease = 4;
// "32X (3200ms)" and "1:maximum".
constexpr int kReleaseCharacters = 11;
constexpr int kRatioCharacters = 9;
constexpr int kSourceButtonWidth = 48;
constexpr int kSourceButtonHeight = 24;
// Frame widths: the row of frames must fit the 915 pixels of the window.
constexpr int kSourceFrameWidth = 58;
constexpr int kDynamicsFrameWidth = 60; // threshold, attack, clip limit
constexpr int kReleaseFrameWidth = 96;
constexpr int kRatioFrameWidth = 80;
constexpr int kModeFrameWidth = 108;

QString OutputTitle(int index) {
    return QStringLiteral("Out%1").arg(index + 1);
}

QVBoxLayout* Column(QWidget* frame) {
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    return column;
}

} // namespace

OutDataDlg::OutDataDlg(CAudio_Data& program, QWidget* parent)
    : EditorWindow(parent), m_variant(Variant::OfDeviceType(program.GetDeviceType())),
      m_temperature(program.GetTemperature()) {
    setObjectName(QStringLiteral("outDataDlg"));
    setFont(EditorParts::DialogFont());
    SetProgram(&program);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 6);
    row->setSpacing(3);
    row->addWidget(BuildSources());
    m_delay = new DelayGroup({0,
                              {kDelayMsId, kDelayMetersId, kDelayFeetId},
                              {kDelayMsSpinId, kDelayMetersSpinId, kDelayFeetSpinId},
                              kDelayFaderId},
                             QStringLiteral("Ms"), m_variant.deviceType, m_temperature, this);
    connect(m_delay, &DelayGroup::delayChanged, this, &OutDataDlg::OnDelay);
    row->addWidget(m_delay);
    BuildCrossover();
    row->addWidget(m_highPass);
    row->addWidget(m_lowPass);
    row->addWidget(BuildDynamics());
    row->addWidget(BuildModes());
    BuildOutputButtons();
    setFixedSize(kWidth, kHeight);
}

QWidget* OutDataDlg::BuildSources() {
    QGroupBox* frame =
        EditorParts::Frame(this, QStringLiteral("In Source"), 0, QStringLiteral("sourceFrame"));
    QVBoxLayout* column = Column(frame);
    const int shown = m_variant.inputCount;
    for (int k = 0; k < kSourceCount; ++k) {
        const QString label = QStringLiteral("IN %1").arg(k + 1);
        auto* caption =
            EditorParts::Label(frame, label, 0, QStringLiteral("source%1Label").arg(k + 1));
        auto* button = WithControlId(new StateButton(frame), kFirstSourceId + k,
                                     QStringLiteral("source%1").arg(k + 1));
        button->setAccessibleName(label);
        button->setStateColors(QColor::fromRgb(ControlColors::SourceOn),
                               QColor::fromRgb(ControlColors::SourceOff));
        button->setStateCaptions(QStringLiteral("ON"), QStringLiteral("OFF"));
        button->setTextColor(QColor::fromRgb(ControlColors::SourceCaption));
        button->setFixedSize(kSourceButtonWidth, kSourceButtonHeight);
        connect(button, &QPushButton::clicked, this,
                [this, k, button] { OnSource(k, button->state() == 1); });
        caption->setVisible(k < shown);
        button->setVisible(k < shown);
        column->addWidget(caption, 0, Qt::AlignHCenter);
        column->addWidget(button, 0, Qt::AlignHCenter);
        m_sources[static_cast<std::size_t>(k)] = button;

        // The older check boxes choose the same sources; they stay hidden.
        auto* check =
            WithControlId(new QCheckBox(QStringLiteral("CH %1").arg(QChar('A' + k)), frame),
                          kFirstSourceCheckId + k, QStringLiteral("sourceCheck%1").arg(k + 1));
        check->hide();
        connect(check, &QCheckBox::clicked, this, [this, k](bool on) { OnSource(k, on); });
        m_sourceChecks[static_cast<std::size_t>(k)] = check;
    }
    column->addStretch(1);
    frame->setFixedWidth(kSourceFrameWidth);
    return frame;
}

void OutDataDlg::BuildCrossover() {
    const CrossoverGroup::Setup highPass{
        QStringLiteral("HPF"),
        QStringLiteral("highPass"),
        DisplayMode::HighPassFrequency,
        kHighPassId,
        kHighPassFaderId,
        {kHighPassButterworthId, kHighPassLinkwitzRileyId, kHighPassBesselId},
        kHighPassSlopeId,
        kHighPassSlopeFaderId,
        kHighPassFamilyListId,
        kHighPassSlopeListId,
        QColor::fromRgb(ControlColors::HighPassFamily),
        QColor::fromRgb(ControlColors::HighPassFamilySelected)};
    const CrossoverGroup::Setup lowPass{
        QStringLiteral("LPF"),
        QStringLiteral("lowPass"),
        DisplayMode::LowPassFrequency,
        kLowPassId,
        kLowPassFaderId,
        {kLowPassButterworthId, kLowPassLinkwitzRileyId, kLowPassBesselId},
        kLowPassSlopeId,
        kLowPassSlopeFaderId,
        kLowPassFamilyListId,
        kLowPassSlopeListId,
        QColor::fromRgb(ControlColors::LowPassFamily),
        QColor::fromRgb(ControlColors::LowPassFamilySelected)};
    m_highPass = new CrossoverGroup(highPass, this);
    m_lowPass = new CrossoverGroup(lowPass, this);
    for (const bool isHighPass : {true, false}) {
        CrossoverGroup* group = isHighPass ? m_highPass : m_lowPass;
        connect(group, &CrossoverGroup::frequencyEntered, this,
                [this, isHighPass](int hz) { OnFrequencyEntered(isHighPass, hz); });
        connect(group, &CrossoverGroup::frequencyFaderMoved, this,
                [this, isHighPass](int hz) { OnFrequencyFader(isHighPass, hz); });
        connect(group, &CrossoverGroup::slopeChosen, this,
                [this, isHighPass](int slope) { OnSlope(isHighPass, slope); });
        connect(group, &CrossoverGroup::familyChosen, this,
                [this, isHighPass](int family) { OnFamily(isHighPass, family); });
    }
}

QWidget* OutDataDlg::BuildDynamics() {
    auto* dynamics = new QWidget(this);
    dynamics->setObjectName(QStringLiteral("dynamics"));
    auto* row = new QHBoxLayout(dynamics);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    const auto add = [&](const FaderGroup::Setup& setup, int width = kDynamicsFrameWidth) {
        auto* group = new FaderGroup(setup, dynamics);
        group->setFixedWidth(width);
        row->addWidget(group);
        return group;
    };
    m_threshold =
        add({QStringLiteral("Threshold"), 0, QStringLiteral("thresholdFrame"),
             QStringLiteral("threshold"), kThresholdId, kThresholdFaderId, DisplayMode::Linear,
             LimitThresholdRange.max, 0.1, 30.0, false, QStringLiteral("dBu")});
    m_attack = add({QStringLiteral("Attack"), 0, QStringLiteral("attackFrame"),
                    QStringLiteral("attack"), kAttackId, kAttackFaderId, DisplayMode::Attack,
                    AttackRange.max, 0.0, 0.0, false, QStringLiteral("Ms")});
    m_release = add({QStringLiteral("Release"), 0, QStringLiteral("releaseFrame"),
                     QStringLiteral("release"), kReleaseId, kReleaseFaderId, DisplayMode::OwnerText,
                     ReleaseRange.max, 0.0, 0.0, true, QString(), kReleaseCharacters},
                    kReleaseFrameWidth);
    m_clipLimit = add({QStringLiteral("Clip Limit"), 0, QStringLiteral("clipLimitFrame"),
                       QStringLiteral("clipLimit"), kClipLimitId, kClipLimitFaderId,
                       DisplayMode::Linear, ClipLimitRange.max, 0.1, -2.0, false, QString()});
    m_ratio = add({QStringLiteral("Ratio"), 0, QStringLiteral("ratioFrame"),
                   QStringLiteral("ratio"), kRatioId, kRatioFaderId, DisplayMode::Ratio,
                   RatioRange.max, 0.0, 0.0, true, QString(), kRatioCharacters},
                  kRatioFrameWidth);

    m_ratioList = WithControlId(new QComboBox(m_ratio), kRatioListId, QStringLiteral("ratioList"));
    for (int ratio = RatioRange.min; ratio <= RatioRange.max; ++ratio) {
        m_ratioList->addItem(QString::fromStdString(RatioListText(ratio)));
    }
    m_ratioList->hide();

    connect(m_threshold, &FaderGroup::valueChanged, this, [this](int threshold) {
        if (CAudio_OutData* output = Output()) {
            output->SetLimitThreshold(threshold);
        }
    });
    connect(m_attack, &FaderGroup::valueChanged, this, &OutDataDlg::OnAttack);
    connect(m_release, &FaderGroup::valueChanged, this, &OutDataDlg::OnRelease);
    connect(m_clipLimit, &FaderGroup::valueChanged, this, [this](int clip) {
        if (CAudio_OutData* output = Output()) {
            output->SetClipLimit(clip);
        }
    });
    connect(m_ratio, &FaderGroup::valueChanged, this, &OutDataDlg::OnRatio);
    connect(m_ratioList, &QComboBox::activated, this, [this](int ratio) {
        m_ratio->Show(ratio);
        OnRatio(ratio);
    });
    return dynamics;
}

QWidget* OutDataDlg::BuildModes() {
    auto* modes = new QWidget(this);
    modes->setObjectName(QStringLiteral("modes"));
    auto* column = new QVBoxLayout(modes);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    const auto radioFrame = [&](const QString& title, const QString& name,
                                std::array<QRadioButton**, 2> radios,
                                std::array<const char*, 2> captions, std::array<int, 2> ids,
                                std::array<const char*, 2> names) {
        QGroupBox* frame = EditorParts::Frame(modes, title, 0, name);
        frame->setFixedWidth(kModeFrameWidth);
        QVBoxLayout* inner = Column(frame);
        auto* group = new QButtonGroup(frame);
        for (std::size_t k = 0; k < 2; ++k) {
            *radios[k] = EditorParts::Radio(frame, QString::fromLatin1(captions[k]), ids[k],
                                            QString::fromLatin1(names[k]));
            inner->addWidget(*radios[k]);
            group->addButton(*radios[k], static_cast<int>(k));
        }
        column->addWidget(frame);
        return group;
    };
    QButtonGroup* mode =
        radioFrame(QStringLiteral("Mode"), QStringLiteral("modeFrame"), {&m_limit, &m_compressor},
                   {"Limit", "Compressor"}, {kLimitId, kCompressorId}, {"limit", "compressor"});
    QButtonGroup* timing =
        radioFrame(QStringLiteral("Compress"), QStringLiteral("timingFrame"), {&m_manual, &m_auto},
                   {"Manual", "Auto"}, {kManualId, kAutoId}, {"manual", "automatic"});
    column->addStretch(1);
    connect(mode, &QButtonGroup::buttonClicked, this, &OutDataDlg::OnModeRadio);
    connect(timing, &QButtonGroup::buttonClicked, this, &OutDataDlg::OnTimingRadio);
    return modes;
}

void OutDataDlg::BuildOutputButtons() {
    // Kept from the older dialog that switched outputs itself; a dialog now shows only the
    // output of its slot, so they stay hidden.
    for (int k = 0; k < kOutputButtonCount; ++k) {
        auto* button =
            WithControlId(new XPStyleButton(OutputTitle(k), this), kFirstOutputButtonId + k,
                          QStringLiteral("output%1").arg(k + 1));
        button->setSelected(false);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, k] { SelectChannel(k); });
        m_outputButtons[static_cast<std::size_t>(k)] = button;
    }
}

StateButton* OutDataDlg::SourceButton(int input) const {
    return input >= 0 && input < kSourceCount ? m_sources[static_cast<std::size_t>(input)]
                                              : nullptr;
}

CAudio_OutData* OutDataDlg::Output() const {
    return Program() != nullptr ? Program()->GetOutput(m_index) : nullptr;
}

void OutDataDlg::Redraw() {
    if (Graph() != nullptr) {
        Graph()->Redraw();
    }
}

void OutDataDlg::ShowOnGraph() {
    if (Graph() != nullptr) {
        Graph()->SelectOutput(m_index);
        Graph()->SetMode(CFStatic::OutputCrossover);
    }
}

// --- Showing the output ---

void OutDataDlg::SelectChannel(int index) {
    if (index < 0 || index >= kOutputButtonCount) {
        return;
    }
    m_outputButtons[static_cast<std::size_t>(m_index)]->setSelected(false);
    m_outputButtons[static_cast<std::size_t>(index)]->setSelected(true);
    m_index = index;
    setWindowTitle(OutputTitle(index));
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    ShowOnGraph();
    ShowProgram();
}

void OutDataDlg::ShowProgram() {
    const CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    ShowSources(output->GetSourceMask());
    m_delay->ShowDelay(output->GetDelay());
    ShowCrossover(true);
    ShowCrossover(false);
    m_threshold->Show(output->GetLimitThreshold());
    m_clipLimit->Show(output->GetClipLimit());
    m_ratio->Show(output->GetRatio());
    {
        const QSignalBlocker blocker(m_ratioList);
        m_ratioList->setCurrentIndex(output->GetRatio());
    }
    ShowManualTiming();

    // As the program has them: showing the program changes nothing in it.
    const bool compressor = output->GetCompressorMode() != 0;
    (compressor ? m_compressor : m_limit)->setChecked(true);
    // A limiter has no automatic timing: one that a file or a device left with it shows
    // "Manual", and keeps what it holds until the operator edits its dynamics.
    const bool automatic = output->GetAutoTiming() != 0 && EditRules::KeepsLimiterTiming(*output);
    SetTimingRadio(automatic);
    ShowModeEnabled(compressor);
    ShowTimingEnabled(automatic);
    if (automatic) {
        ShowAutomaticTiming();
    }
}

void OutDataDlg::ShowSources(int mask) {
    for (int k = 0; k < kSourceCount; ++k) {
        const bool on = (mask & (1 << k)) != 0;
        m_sources[static_cast<std::size_t>(k)]->setState(on ? 1 : 0);
        m_sourceChecks[static_cast<std::size_t>(k)]->setChecked(on);
    }
}

void OutDataDlg::ShowCrossover(bool highPass) {
    CAudio_OutData* output = Output();
    const CFilter* filter = highPass ? output->GetHighPass() : output->GetLowPass();
    CrossoverGroup* group = highPass ? m_highPass : m_lowPass;
    group->ShowFrequency(filter->GetFrequency());
    group->ShowSlope(filter->GetSlope());
    group->ShowFamily(filter->GetCrossoverType());
}

void OutDataDlg::ShowManualTiming() {
    const CAudio_OutData* output = Output();
    m_attack->Show(output->GetAttack());
    m_release->Show(output->GetRelease());
    ShowReleaseText();
}

void OutDataDlg::ShowAutomaticTiming() {
    // Only shown: the channel keeps its own attack and release for the manual timing.
    m_attack->Show(Output()->GetHighPassClass());
    m_release->Show(kAutomaticRelease);
    ShowReleaseText();
}

void OutDataDlg::ShowReleaseText() {
    const int release = m_release->Edit()->value();
    m_release->Edit()->setText(
        QString::fromStdString(ReleaseTimeText(release, m_attack->Edit()->value())));
    const QSignalBlocker blocker(m_release->Fader());
    m_release->Fader()->setPosition(ReleaseRange.max - release);
}

void OutDataDlg::ShowModeEnabled(bool compressor) {
    m_clipLimit->SetControlsEnabled(compressor);
    m_ratio->SetControlsEnabled(compressor);
    m_manual->setEnabled(compressor);
    m_auto->setEnabled(compressor);
}

void OutDataDlg::ShowTimingEnabled(bool automatic) {
    m_attack->SetControlsEnabled(!automatic);
    m_release->SetControlsEnabled(!automatic);
}

void OutDataDlg::SetTimingRadio(bool automatic) {
    (automatic ? m_auto : m_manual)->setChecked(true);
}

void OutDataDlg::ReloadFilter(int filterIndex) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int highPassIndex = output->GetFilterCount() - 2;
    const int lowPassIndex = output->GetFilterCount() - 1;
    if (filterIndex == highPassIndex) {
        m_highPass->ShowFrequency(output->GetHighPass()->GetFrequency());
        // The automatic attack follows the high-pass frequency.
        if (m_auto->isChecked()) {
            ShowAutomaticTiming();
        }
    } else if (filterIndex == lowPassIndex) {
        m_lowPass->ShowFrequency(output->GetLowPass()->GetFrequency());
    }
}

// --- What the operator does ---

void OutDataDlg::OnSource(int input, bool on) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int bit = 1 << input;
    const int mask = on ? (output->GetSourceMask() | bit) : (output->GetSourceMask() & ~bit);
    // The smaller models keep at least one source on every output: a refused change shows the
    // sources as they were.
    ChannelEdits::SetSourceMask(*output, static_cast<std::uint8_t>(mask));
    ShowSources(output->GetSourceMask());
}

void OutDataDlg::OnDelay(int steps) {
    if (CAudio_OutData* output = Output()) {
        output->SetDelay(steps);
    }
}

void OutDataDlg::OnFrequencyEntered(bool highPass, int hz) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    CrossoverGroup* group = highPass ? m_highPass : m_lowPass;
    // The high-pass never lies above the low-pass.
    const int bounded = highPass ? ChannelEdits::SetHighPassFrequency(*output, hz)
                                 : ChannelEdits::SetLowPassFrequency(*output, hz);
    group->ShowFrequency(bounded);
    if (highPass && m_auto->isChecked()) {
        ShowAutomaticTiming();
    }
    Redraw();
}

void OutDataDlg::OnFrequencyFader(bool highPass, int hz) {
    CAudio_OutData* output = Output();
    CrossoverGroup* group = highPass ? m_highPass : m_lowPass;
    if (output == nullptr || hz == group->FrequencyEdit()->value()) {
        return;
    }
    // Like the low-pass, the high-pass fader stays where the operator put it unless it went
    // past the other filter: moving it to the frequency it reads would put it one step off
    // (30000 Hz shows at position 1), and its release would store that step.
    const int kept = highPass ? ChannelEdits::SetHighPassFrequency(*output, hz)
                              : ChannelEdits::SetLowPassFrequency(*output, hz);
    if (kept != hz) {
        group->ShowFrequency(kept);
    } else {
        group->ShowFrequencyInField(hz);
    }
    if (highPass && m_auto->isChecked()) {
        ShowAutomaticTiming();
    }
    Redraw();
}

void OutDataDlg::OnSlope(bool highPass, int slope) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    (highPass ? output->GetHighPass() : output->GetLowPass())->SetSlope(slope);
    (highPass ? m_highPass : m_lowPass)->ShowSlope(slope);
    Redraw();
}

void OutDataDlg::OnFamily(bool highPass, int family) {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    CFilter* filter = highPass ? output->GetHighPass() : output->GetLowPass();
    // A click on the selected family leaves it selected and changes nothing.
    if (filter->GetCrossoverType() != family) {
        filter->SetCrossoverType(family);
        Redraw();
    }
    (highPass ? m_highPass : m_lowPass)->ShowFamily(filter->GetCrossoverType());
}

void OutDataDlg::OnAttack(int attack) {
    if (CAudio_OutData* output = Output()) {
        ChannelEdits::SetAttack(*output, static_cast<std::uint8_t>(attack));
    }
    ShowReleaseText();
}

void OutDataDlg::OnRelease(int release) {
    if (CAudio_OutData* output = Output()) {
        ChannelEdits::SetRelease(*output, static_cast<std::uint8_t>(release));
    }
    ShowReleaseText();
}

void OutDataDlg::OnRatio(int ratio) {
    if (CAudio_OutData* output = Output()) {
        output->SetRatio(ratio);
    }
    const QSignalBlocker blocker(m_ratioList);
    m_ratioList->setCurrentIndex(ratio);
}

void OutDataDlg::OnModeRadio() {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const int mode = m_compressor->isChecked() ? 1 : 0;
    if (mode == output->GetCompressorMode()) {
        return;
    }
    const bool wasAutomatic = m_auto->isChecked();
    // A limiter has no automatic timing: "Limit" turns it to "Manual".
    ChannelEdits::SetCompressorMode(*output, mode);
    ShowModeEnabled(mode != 0);
    m_clipLimit->Show(output->GetClipLimit());
    if (wasAutomatic && output->GetAutoTiming() == 0) {
        // Back to the channel's own attack and release.
        SetTimingRadio(false);
        ShowTimingEnabled(false);
        ShowManualTiming();
    }
}

void OutDataDlg::OnTimingRadio() {
    CAudio_OutData* output = Output();
    if (output == nullptr) {
        return;
    }
    const bool automatic = m_auto->isChecked();
    if (automatic == (output->GetAutoTiming() != 0)) {
        return;
    }
    if (!ChannelEdits::SetAutoTiming(*output, automatic ? 1 : 0)) {
        SetTimingRadio(false);
        return;
    }
    ShowTimingEnabled(automatic);
    if (automatic) {
        ShowAutomaticTiming();
    } else {
        ShowManualTiming();
    }
}
