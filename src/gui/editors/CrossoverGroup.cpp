#include "gui/editors/CrossoverGroup.h"

#include "core/model/Filter.h"
#include "core/model/ParameterValues.h"
#include "core/scales/DisplayModes.h"
#include "core/scales/LogFrequencyScale.h"
#include "gui/editors/EditorParts.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/StateButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kMaxSlope = 3;
constexpr int kFrequencyCharacters = 5;
constexpr int kSlopeCharacters = 2;
constexpr int kFamilyButtonHeight = 22;
constexpr int kFamilyButtonWidth = 58;

// The families of the buttons, top to bottom.
constexpr std::array<int, CrossoverGroup::kFamilyCount> kButtonFamilies{
    CFilter::Butterworth, CFilter::LinkwitzRiley, CFilter::Bessel};

} // namespace

CrossoverGroup::CrossoverGroup(const Setup& setup, QWidget* parent)
    : QGroupBox(setup.title, parent) {
    setObjectName(setup.name + QStringLiteral("Frame"));
    // The frequency field on top; below it the frequency fader on the left and, on the right,
    // the family buttons, the slope field and the slope fader.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 6);
    column->setSpacing(4);
    auto* top = new QHBoxLayout;
    m_frequency = EditorParts::Edit(this, setup.frequencyMode, MaxFrequency, setup.frequencyId,
                                    setup.name + QStringLiteral("Frequency"), kFrequencyCharacters);
    m_frequency->setRange(MinFrequency, MaxFrequency);
    top->addWidget(m_frequency);
    top->addWidget(
        EditorParts::Label(this, QStringLiteral("Hz"), 0, setup.name + QStringLiteral("HzLabel")));
    top->addStretch(1);
    column->addLayout(top);

    auto* body = new QHBoxLayout;
    column->addLayout(body, 1);
    m_frequencyFader = EditorParts::Fader(this, LogFrequencySteps, setup.frequencyFaderId,
                                          setup.name + QStringLiteral("FrequencyFader"));
    body->addWidget(m_frequencyFader);
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    body->addLayout(right);
    for (int k = 0; k < kFamilyCount; ++k) {
        const int family = kButtonFamilies[static_cast<std::size_t>(k)];
        const QString caption = QString::fromStdString(CrossoverTypeButtonText(family));
        auto* button =
            WithControlId(new StateButton(caption, this),
                          setup.familyIds[static_cast<std::size_t>(k)], setup.name + caption);
        button->setStateColors(setup.familyColour, setup.selectedFamilyColour);
        button->setTextColor(QColor::fromRgb(ControlColors::FamilyCaption));
        button->setFixedSize(kFamilyButtonWidth, kFamilyButtonHeight);
        right->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, family] { emit familyChosen(family); });
        m_families[static_cast<std::size_t>(family)] = button;
    }
    auto* slopeRow = new QHBoxLayout;
    m_slope = EditorParts::Edit(this, DisplayMode::CrossoverSlope, kMaxSlope, setup.slopeId,
                                setup.name + QStringLiteral("Slope"), kSlopeCharacters);
    m_slope->setReadOnly(true);
    slopeRow->addStretch(1);
    slopeRow->addWidget(m_slope);
    slopeRow->addWidget(
        EditorParts::Label(this, QStringLiteral("dB"), 0, setup.name + QStringLiteral("DbLabel")));
    right->addSpacing(4);
    right->addLayout(slopeRow);
    m_slopeFader = EditorParts::Fader(this, kMaxSlope, setup.slopeFaderId,
                                      setup.name + QStringLiteral("SlopeFader"));
    right->addWidget(m_slopeFader, 1, Qt::AlignHCenter);

    m_familyList = WithControlId(new QComboBox(this), setup.familyListId,
                                 setup.name + QStringLiteral("FamilyList"));
    for (int family = 0; family < kFamilyCount; ++family) {
        m_familyList->addItem(QString::fromStdString(CrossoverTypeText(family)));
    }
    m_familyList->hide();
    m_slopeList = WithControlId(new QComboBox(this), setup.slopeListId,
                                setup.name + QStringLiteral("SlopeList"));
    for (int slope = 0; slope <= kMaxSlope; ++slope) {
        m_slopeList->addItem(QString::fromStdString(SlopeText(slope)));
    }
    m_slopeList->hide();

    // Spoken after the filter: "Out 3 HPF frequency", "Out 3 LPF BTWorth".
    const auto say = [&setup](QWidget* control, const QString& what) {
        SpokenNames::Say(control, setup.title + QLatin1Char(' ') + what);
    };
    say(m_frequency, QStringLiteral("frequency"));
    say(m_frequencyFader, QStringLiteral("frequency fader"));
    for (StateButton* button : m_families) {
        if (button != nullptr) {
            say(button, button->text());
        }
    }
    say(m_slope, QStringLiteral("slope"));
    say(m_slopeFader, QStringLiteral("slope fader"));
    say(m_familyList, QStringLiteral("type list"));
    say(m_slopeList, QStringLiteral("slope list"));

    connect(m_frequency, &NumEdit::committed, this,
            [this] { emit frequencyEntered(m_frequency->value()); });
    const auto frequencyMoved = [this] { emit frequencyFaderMoved(m_frequencyFader->frequency()); };
    connect(m_frequencyFader, &BitmapSlider::faderDragging, this, frequencyMoved);
    connect(m_frequencyFader, &BitmapSlider::faderChanged, this, frequencyMoved);
    const auto slopeMoved = [this](int position) { emit slopeChosen(kMaxSlope - position); };
    connect(m_slopeFader, &BitmapSlider::faderDragging, this, slopeMoved);
    connect(m_slopeFader, &BitmapSlider::faderChanged, this, slopeMoved);
    connect(m_familyList, &QComboBox::activated, this, &CrossoverGroup::familyChosen);
    connect(m_slopeList, &QComboBox::activated, this, &CrossoverGroup::slopeChosen);
}

void CrossoverGroup::ShowFrequency(int hz) {
    m_frequency->setValue(hz);
    const QSignalBlocker blocker(m_frequencyFader);
    m_frequencyFader->setFrequency(hz);
}

void CrossoverGroup::ShowFrequencyInField(int hz) {
    m_frequency->setValue(hz);
}

void CrossoverGroup::ShowSlope(int slope) {
    m_slope->setValue(slope);
    const QSignalBlocker faderBlocker(m_slopeFader);
    m_slopeFader->setPosition(kMaxSlope - slope);
    const QSignalBlocker listBlocker(m_slopeList);
    m_slopeList->setCurrentIndex(slope);
}

void CrossoverGroup::ShowFamily(int family) {
    for (int k = 0; k < kFamilyCount; ++k) {
        m_families[static_cast<std::size_t>(k)]->setState(k == family ? 0 : 1);
    }
    const QSignalBlocker blocker(m_familyList);
    m_familyList->setCurrentIndex(family);
}

StateButton* CrossoverGroup::FamilyButton(int family) const {
    return family >= 0 && family < kFamilyCount ? m_families[static_cast<std::size_t>(family)]
                                                : nullptr;
}
