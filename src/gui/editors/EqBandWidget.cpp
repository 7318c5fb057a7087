#include "gui/editors/EqBandWidget.h"

#include "core/model/ChannelEdits.h"
#include "core/model/EditRules.h"
#include "core/model/Filter.h"
#include "core/model/ParameterValues.h"
#include "core/scales/DisplayModes.h"
#include "core/scales/LogFrequencyScale.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/KbutsliderCtrl.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/StateButton.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <utility>

namespace {

const QColor kOnFace(0, 141, 12);
const QColor kOffFace(187, 42, 35);
const QColor kOnOffCaption(255, 255, 255);
const QString kOnCaption = QStringLiteral("On");
const QString kOffCaption = QStringLiteral("OFF");
const QString kOctaveUnit = QStringLiteral("Oct");
const QString kShelfUnit = QStringLiteral("dB");
const QString kZeroGainText = QStringLiteral("0.0");

// Sizes of the band's controls, in pixels.
constexpr int kEditWidth = 50;
constexpr int kSpinWidth = 14;
constexpr int kUnitWidth = 22;
constexpr int kKnobSize = 32;
constexpr int kKnobCaptionPixels = 9;
constexpr int kRowHeight = 21;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Keeps its place in the layout while hidden, so neighbours do not move.
template <class W> W* Steady(W* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

} // namespace

EqBandIds EqBandIds::OfBand(int band) const {
    return {type + band,          frequencyEdit + band, frequencySpin + band, frequencyKnob + band,
            bandwidthEdit + band, bandwidthSpin + band, bandwidthKnob + band, qEdit + band,
            qSpin + band,         unitLabel + band,     slopeCombo + band,    gainEdit + band,
            gainSpin + band,      gainKnob + band,      onOff + band};
}

EqBandWidget::EqBandWidget(int band, const EqBandIds& ids, int deviceType, FlatBandRefresh refresh,
                           BandSource source, QWidget* parent)
    : QGroupBox(QStringLiteral("EQ%1").arg(band + 1), parent), m_band(band), m_refresh(refresh),
      m_source(std::move(source)) {
    setObjectName(QStringLiteral("eq%1").arg(band + 1));
    Build(ids, deviceType);
    ConnectControls();
}

void EqBandWidget::Build(const EqBandIds& ids, int deviceType) {
    const QString band = QStringLiteral("eq%1").arg(m_band + 1);
    auto name = [&band](const char* role) { return band + QLatin1String(role); };
    auto makeEdit = [&](int id, const char* role, int mode, const IndexRange& range) {
        auto* edit = WithControlId(new NumEdit(this), id, name(role));
        edit->setMode(mode);
        edit->setRange(range.min, range.max);
        edit->setFixedSize(kEditWidth, kRowHeight);
        return edit;
    };
    auto makeSpin = [&](int id, const char* role, NumEdit* edit) {
        auto* spin = WithControlId(new NumSpin(this), id, name(role));
        spin->setBuddy(edit);
        spin->setRange(edit->minimum(), edit->maximum());
        spin->setFixedSize(kSpinWidth, kRowHeight);
        return spin;
    };
    auto makeKnob = [&](int id, const char* role, int maximum, const QString& accessible) {
        auto* knob = WithControlId(new KbutsliderCtrl(this), id, name(role));
        knob->setRange(0, maximum);
        knob->setFixedSize(kKnobSize, kKnobSize);
        knob->setToolTip(accessible);
        return Steady(knob);
    };
    auto makeUnit = [&](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setFixedWidth(kUnitWidth);
        return label;
    };

    m_type = WithControlId(new QComboBox(this), ids.type, name("Type"));
    for (int type = CFilter::Peaking; type <= CFilter::HighShelf; ++type) {
        m_type->addItem(Text(EqTypeListText(type)));
    }
    m_type->setFixedHeight(kRowHeight + 1);

    const IndexRange frequencies{MinFrequency, MaxFrequency};
    m_frequencyEdit =
        makeEdit(ids.frequencyEdit, "FrequencyEdit", DisplayMode::EqFrequency, frequencies);
    m_frequencySpin = makeSpin(ids.frequencySpin, "FrequencySpin", m_frequencyEdit);
    m_frequencyKnob =
        makeKnob(ids.frequencyKnob, "FrequencyKnob", LogFrequencySteps, tr("Frequency"));

    const bool compact = UsesCompactRules(deviceType);
    const IndexRange bandwidths = BandwidthRange(deviceType);
    m_bandwidthEdit = Steady(
        makeEdit(ids.bandwidthEdit, "BandwidthEdit",
                 compact ? DisplayMode::BandwidthCoarse : DisplayMode::BandwidthFine, bandwidths));
    m_bandwidthSpin = Steady(makeSpin(ids.bandwidthSpin, "BandwidthSpin", m_bandwidthEdit));
    m_bandwidthKnob = makeKnob(ids.bandwidthKnob, "BandwidthKnob", bandwidths.max, tr("Bandwidth"));
    m_qEdit = makeEdit(ids.qEdit, "QEdit", compact ? DisplayMode::QCoarse : DisplayMode::QFine,
                       bandwidths);
    m_qSpin = makeSpin(ids.qSpin, "QSpin", m_qEdit);
    m_unitLabel = WithControlId(makeUnit(kOctaveUnit), ids.unitLabel, name("UnitLabel"));
    m_slope = WithControlId(new QComboBox(this), ids.slopeCombo, name("SlopeCombo"));
    for (int slope = 0; slope <= 1; ++slope) {
        m_slope->addItem(Text(ShelfSlopeListText(slope)));
    }
    m_slope->setFixedHeight(kRowHeight + 1);
    m_slope->hide();

    m_gainEdit = makeEdit(ids.gainEdit, "GainEdit", DisplayMode::Linear, EqGainRange);
    m_gainEdit->setStep(0.1);
    m_gainEdit->setOffset(-MinEqGainDb);
    m_gainSpin = makeSpin(ids.gainSpin, "GainSpin", m_gainEdit);
    m_gainKnob = makeKnob(ids.gainKnob, "GainKnob", EqGainRange.max, tr("Gain"));

    m_onOff = WithControlId(new StateButton(this), ids.onOff, name("OnOff"));
    m_onOff->setAutoDefault(false);
    m_onOff->setStateColors(kOnFace, kOffFace);
    m_onOff->setTextColor(kOnOffCaption);
    m_onOff->setStateCaptions(kOnCaption, kOffCaption);
    m_onOff->setFixedHeight(kRowHeight + 1);
    const std::pair<QWidget*, const char*> spoken[] = {{m_type, "type"},
                                                       {m_frequencyEdit, "frequency"},
                                                       {m_frequencySpin, "frequency step"},
                                                       {m_frequencyKnob, "frequency knob"},
                                                       {m_bandwidthEdit, "bandwidth"},
                                                       {m_bandwidthSpin, "bandwidth step"},
                                                       {m_bandwidthKnob, "bandwidth knob"},
                                                       {m_qEdit, "Q"},
                                                       {m_qSpin, "Q step"},
                                                       {m_slope, "slope"},
                                                       {m_gainEdit, "gain"},
                                                       {m_gainSpin, "gain step"},
                                                       {m_gainKnob, "gain knob"},
                                                       {m_onOff, "on"}};
    for (const auto& [control, what] : spoken) {
        SpokenNames::Say(control, SpokenNames::Band(m_band, QLatin1String(what)));
    }

    // Each knob with a small caption below it, so the three can be told apart.
    auto* knobs = new QGridLayout;
    knobs->setHorizontalSpacing(1);
    knobs->setVerticalSpacing(0);
    int knobColumn = 0;
    const std::pair<KbutsliderCtrl*, QString> captioned[] = {
        {m_frequencyKnob, tr("Freq")}, {m_bandwidthKnob, tr("BW")}, {m_gainKnob, tr("Gain")}};
    for (const auto& [knob, text] : captioned) {
        auto* caption = Steady(new QLabel(text, this));
        QFont font = caption->font();
        font.setPixelSize(kKnobCaptionPixels);
        caption->setFont(font);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setFixedHeight(caption->sizeHint().height());
        knobs->addWidget(knob, 0, knobColumn, Qt::AlignHCenter);
        knobs->addWidget(caption, 1, knobColumn++);
        if (knob == m_bandwidthKnob) {
            m_bandwidthCaption = caption;
        }
    }

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(2);
    fields->setVerticalSpacing(3);
    int row = 0;
    fields->addWidget(m_frequencyEdit, row, 0);
    fields->addWidget(m_frequencySpin, row, 1);
    fields->addWidget(makeUnit(QStringLiteral("Hz")), row++, 2);
    // The slope combo takes the place of the bandwidth edit and spin for shelves.
    fields->addWidget(m_bandwidthEdit, row, 0);
    fields->addWidget(m_bandwidthSpin, row, 1);
    fields->addWidget(m_slope, row, 0, 1, 2);
    fields->addWidget(m_unitLabel, row++, 2);
    fields->addWidget(m_qEdit, row, 0);
    fields->addWidget(m_qSpin, row, 1);
    fields->addWidget(makeUnit(QStringLiteral("Q")), row++, 2);
    fields->addWidget(m_gainEdit, row, 0);
    fields->addWidget(m_gainSpin, row, 1);
    fields->addWidget(makeUnit(QStringLiteral("dB")), row, 2);

    // A window taller than the controls spreads the room between the groups.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(3, 2, 3, 3);
    column->setSpacing(3);
    column->addWidget(m_type);
    column->addStretch(1);
    column->addLayout(knobs);
    column->addStretch(1);
    column->addLayout(fields);
    column->addStretch(1);
    column->addWidget(m_onOff);
}

void EqBandWidget::ConnectControls() {
    connect(m_type, &QComboBox::currentIndexChanged, this, &EqBandWidget::OnType);
    connect(m_slope, &QComboBox::currentIndexChanged, this, &EqBandWidget::OnSlope);

    // An edit's commit and a step of its spin are one and the same change.
    const auto edited = [this](NumEdit* edit, NumSpin* spin, auto handler) {
        connect(edit, &NumEdit::committed, this, handler);
        connect(spin, &NumSpin::committed, this, handler);
    };
    const auto turned = [this](KbutsliderCtrl* knob, auto handler) {
        connect(knob, &KbutsliderCtrl::knobDragging, this, handler);
        connect(knob, &KbutsliderCtrl::knobKey, this, handler);
    };
    edited(m_frequencyEdit, m_frequencySpin, [this] { OnFrequency(Source::Edit); });
    turned(m_frequencyKnob, [this] { OnFrequency(Source::Knob); });
    edited(m_bandwidthEdit, m_bandwidthSpin, [this] { OnBandwidth(m_bandwidthSpin->value()); });
    edited(m_qEdit, m_qSpin, [this] { OnBandwidth(m_qSpin->value()); });
    turned(m_bandwidthKnob, [this] { OnBandwidth(m_bandwidthKnob->position()); });
    edited(m_gainEdit, m_gainSpin, [this] { OnGain(Source::Edit); });
    turned(m_gainKnob, [this] { OnGain(Source::Knob); });
    connect(m_onOff, &StateButton::clicked, this, &EqBandWidget::OnOnOff);
}

// ---- Showing the band ----

void EqBandWidget::ShowBand() {
    const CFilter* band = m_source();
    if (band == nullptr) {
        return;
    }
    {
        const QSignalBlocker typeBlocker(m_type);
        const QSignalBlocker slopeBlocker(m_slope);
        m_type->setCurrentIndex(band->GetType());
        m_slope->setCurrentIndex(band->GetSlope());
    }
    ShowBandwidth(band->GetBandwidthIndex());
    ShowTypeLook(band->GetType());
    ShowFrequency(band->GetFrequency());
    // The knob and the spin keep the stored gain of a band that is switched off; only the
    // edit says "0.0".
    m_gainSpin->setValue(band->GetGainIndex());
    m_gainKnob->setPosition(band->GetGainIndex());
    ShowActive(band->IsFlat() == 0);
    if (band->IsFlat() != 0) {
        ShowZeroGainText();
    }
}

void EqBandWidget::RefreshBand() {
    const CFilter* band = m_source();
    if (band == nullptr) {
        return;
    }
    ShowFrequency(band->GetFrequency());
    ShowBandwidth(band->GetBandwidthIndex());
    m_gainSpin->setValue(band->GetGainIndex());
    const bool active = band->IsFlat() == 0;
    ShowActive(active);
    if (!active && m_refresh == FlatBandRefresh::ZeroGain) {
        ShowZeroGainText();
        m_gainKnob->setPosition(EqGainZeroIndex);
    } else {
        m_gainKnob->setPosition(band->GetGainIndex());
    }
}

void EqBandWidget::ShowTypeLook(int type) {
    const bool peaking = type == CFilter::Peaking;
    m_bandwidthEdit->setVisible(peaking);
    m_bandwidthSpin->setVisible(peaking);
    m_bandwidthKnob->setVisible(peaking);
    m_bandwidthCaption->setVisible(peaking);
    m_slope->setVisible(!peaking);
    m_unitLabel->setText(peaking ? kOctaveUnit : kShelfUnit);
    m_qEdit->setEnabled(peaking);
    m_qSpin->setEnabled(peaking);
}

void EqBandWidget::ShowFrequency(int hz) {
    m_frequencySpin->setValue(hz);
    m_frequencyKnob->setFrequency(hz);
}

void EqBandWidget::ShowBandwidth(int index) {
    m_bandwidthSpin->setValue(index);
    m_qSpin->setValue(index);
    m_bandwidthKnob->setPosition(index);
}

void EqBandWidget::ShowActive(bool active) {
    m_onOff->setState(active ? 1 : 0);
}

void EqBandWidget::ShowZeroGainText() {
    m_gainEdit->setText(kZeroGainText);
}

// ---- Operator changes ----

void EqBandWidget::OnType(int type) {
    CFilter* band = m_source();
    if (band == nullptr || type < 0 || type == band->GetType()) {
        return;
    }
    ShowTypeLook(type);
    const int before = band->GetFrequency();
    const int hz = ChannelEdits::SetBandType(*band, type);
    if (hz != before) {
        ShowFrequency(hz);
    }
    emit bandEdited();
}

void EqBandWidget::OnFrequency(Source source) {
    CFilter* band = m_source();
    if (band == nullptr) {
        return;
    }
    const int hz = source == Source::Knob ? m_frequencyKnob->frequency() : m_frequencySpin->value();
    if (EditRules::BandFrequency(band->GetType(), hz) == hz && hz == band->GetFrequency()) {
        return;
    }
    const int kept = ChannelEdits::SetBandFrequency(*band, hz);
    if (kept != hz) {
        // A low shelf stops at its limit, whichever control asked for more.
        ShowFrequency(kept);
    } else if (source == Source::Knob) {
        m_frequencySpin->setValue(hz);
    } else {
        m_frequencyKnob->setFrequency(hz);
    }
    emit bandEdited();
}

void EqBandWidget::OnBandwidth(int index) {
    CFilter* band = m_source();
    if (band == nullptr || index == band->GetBandwidthIndex()) {
        return;
    }
    ShowBandwidth(index);
    band->SetBandwidthIndex(index);
    emit bandEdited();
}

void EqBandWidget::OnGain(Source source) {
    CFilter* band = m_source();
    if (band == nullptr) {
        return;
    }
    const int index = source == Source::Knob ? m_gainKnob->position() : m_gainSpin->value();
    const bool active = index != EqGainZeroIndex;
    // A band switched off with its stored gain typed again is switched on by it.
    if (index == band->GetGainIndex() && active == (band->IsFlat() == 0)) {
        return;
    }
    ShowActive(active);
    // 0.0 dB makes the band flat, any other gain active: button and model agree.
    ChannelEdits::SetBandGain(*band, index);
    if (source == Source::Knob) {
        m_gainSpin->setValue(index);
    } else {
        m_gainKnob->setPosition(index);
    }
    emit bandEdited();
}

void EqBandWidget::OnSlope(int slope) {
    CFilter* band = m_source();
    if (band == nullptr || slope < 0 || slope == band->GetSlope()) {
        return;
    }
    band->SetSlope(slope);
    emit bandEdited();
}

void EqBandWidget::OnOnOff() {
    CFilter* band = m_source();
    if (band == nullptr) {
        return;
    }
    const int gain = band->GetGainIndex();
    const bool activate = band->IsFlat() != 0;
    if (!ChannelEdits::SwitchBand(*band, activate)) {
        // A band at 0.0 dB has nothing to switch on.
        ShowActive(false);
        return;
    }
    ShowActive(activate);
    if (activate) {
        m_gainSpin->setValue(gain);
        m_gainKnob->setPosition(gain);
    } else {
        // Switched off: the model keeps its gain, the controls show 0.0 dB.
        ShowZeroGainText();
        m_gainKnob->setPosition(EqGainZeroIndex);
    }
    emit bandEdited();
}
