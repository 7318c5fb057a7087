// Building the output channel dialog's controls, the hidden ones of the older dialog included.
#include "gui/editors/OutDataDlg.h"

#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"
#include "core/scales/DisplayModes.h"
#include "gui/editors/CrossoverGroup.h"
#include "gui/editors/EditorParts.h"
#include "gui/editors/FaderGroup.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/StateButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

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

QVBoxLayout* Column(QWidget* frame) {
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    return column;
}

} // namespace

OutDataDlg::OutDataDlg(CAudio_Data& program, QWidget* parent)
    : ChannelDlg(program, QStringLiteral("outDataDlg"), parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 6);
    row->setSpacing(3);
    row->addWidget(BuildSources());
    row->addWidget(BuildDelay({0,
                               {kDelayMsId, kDelayMetersId, kDelayFeetId},
                               {kDelayMsSpinId, kDelayMetersSpinId, kDelayFeetSpinId},
                               kDelayFaderId},
                              QStringLiteral("Ms")));
    BuildCrossover();
    row->addWidget(m_highPass);
    row->addWidget(m_lowPass);
    row->addWidget(BuildDynamics());
    row->addWidget(BuildModes());
    BuildChannelButtons(kFirstOutputButtonId, kOutputButtonCount,
                        [](int k) { return QStringLiteral("output%1").arg(k + 1); });
    setFixedSize(kWidth, kHeight);
}

QWidget* OutDataDlg::BuildSources() {
    QGroupBox* frame =
        EditorParts::Frame(this, QStringLiteral("In Source"), 0, QStringLiteral("sourceFrame"));
    QVBoxLayout* column = Column(frame);
    const int shown = DeviceVariant().inputCount;
    for (int k = 0; k < kSourceCount; ++k) {
        const QString label = QStringLiteral("IN %1").arg(k + 1);
        auto* caption =
            EditorParts::Label(frame, label, 0, QStringLiteral("source%1Label").arg(k + 1));
        auto* button = WithControlId(new StateButton(frame), kFirstSourceId + k,
                                     QStringLiteral("source%1").arg(k + 1));
        SpokenNames::Say(button, QStringLiteral("source In %1").arg(k + 1));
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
