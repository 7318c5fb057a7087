#include "gui/panel/ChannelStrip.h"

#include "core/model/ParameterValues.h"
#include "core/scales/DisplayModes.h"
#include "gui/panel/MuteButton.h"
#include "gui/panel/StripButton.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DialogUnits.h"
#include "gui/widgets/LevelMeter.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/SpokenNames.h"
#include "gui/widgets/XPStyleButton.h"

#include <QLabel>
#include <QSignalBlocker>

namespace {

using PanelGeometry::UnitRect;

constexpr int kFaderMarginLeft = 4;
constexpr int kFaderMarginTop = 0;
constexpr int kFaderMarginRight = 0;
constexpr int kFaderMarginBottom = 2;
constexpr double kGainStep = 0.1;
constexpr int kNamePixelHeight = 14;
constexpr int kLightColour = 150;

// The strip spans the rows from its select button to its name label.
constexpr int kTop = PanelGeometry::kSelect.y;
constexpr int kBottom = PanelGeometry::kNameLabel.y + PanelGeometry::kNameLabel.height;

// A row of the strip in strip pixels: converted like every position of the panel, then moved
// to the strip's top.
QRect InStrip(const UnitRect& r) {
    return DialogUnits::Rect(r.x, r.y, r.width, r.height)
        .translated(0, -DialogUnits::ToPixels(kTop));
}

QLabel* WhiteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

} // namespace

ChannelStrip::ChannelStrip(const Setup& setup, QWidget* parent) : QWidget(parent), m_setup(setup) {
    using namespace PanelGeometry;
    setObjectName(Name("Strip"));
    resize(DialogUnits::ToPixels(kStripWidth),
           DialogUnits::ToPixels(kBottom) - DialogUnits::ToPixels(kTop));

    m_select = WithControlId(new XPStyleButton(this), Id(setup.ids.select), Name("Select"));
    m_select->setColors(setup.colour, Qt::black);
    // Readable on the channel's colour, light or dark.
    m_select->setTextColors(setup.colour.lightness() > kLightColour ? Qt::black : Qt::white);
    m_select->setGeometry(InStrip(kSelect));

    m_polarity = WithControlId(new XPStyleButton(QStringLiteral("Pol"), this),
                               Id(setup.ids.polarity), Name("Polarity"));
    m_polarity->setColors(QColor::fromRgb(ControlColors::PolarityFirst),
                          QColor::fromRgb(ControlColors::PolaritySecond));
    m_polarity->setTextColors(QColor::fromRgb(ControlColors::PolarityText),
                              QColor::fromRgb(ControlColors::PolarityPressedText));
    m_polarity->setGeometry(InStrip(kPolarity));

    m_eq = WithControlId(new StripButton(StripButton::Picture::Eq, this), Id(setup.ids.eq),
                         Name("Eq"));
    m_eq->setGeometry(InStrip(kEq));
    m_channel = WithControlId(new StripButton(StripButton::Picture::Channel, this),
                              Id(setup.ids.channel), Name("Channel"));
    m_channel->setGeometry(InStrip(kChannel));

    m_gainEdit = WithControlId(new NumEdit(this), Id(setup.ids.gainEdit), Name("Gain"));
    m_gainEdit->setRange(0, setup.gainMaximum);
    m_gainEdit->setOffset(setup.gainEditOffset);
    m_gainEdit->setStep(kGainStep);
    m_gainEdit->setMode(DisplayMode::Linear);
    m_gainEdit->setAlignment(Qt::AlignCenter);
    m_gainEdit->setGeometry(InStrip(kGainEdit));

    m_fader = WithControlId(new BitmapSlider(this), Id(setup.ids.fader), Name("Fader"));
    m_fader->setMargin(kFaderMarginLeft, kFaderMarginTop, kFaderMarginRight, kFaderMarginBottom);
    m_fader->setVertical(true);
    m_fader->setRange(0, setup.gainMaximum);
    m_fader->setGeometry(InStrip(kFader));

    m_meter = WithControlId(new LevelMeter(this), Id(setup.ids.meter), Name("Meter"));
    m_meter->setGeometry(InStrip(kMeter));

    m_mute = WithControlId(new MuteButton(this), Id(setup.ids.mute), Name("Mute"));
    m_mute->move(InStrip(kMute).topLeft());

    m_dbLabel = WithControlId(WhiteLabel(QStringLiteral("dB"), this), Id(setup.ids.dbLabel),
                              Name("DbLabel"));
    m_dbLabel->setGeometry(InStrip(kDbLabel));

    m_nameLabel =
        WithControlId(WhiteLabel(QString(), this), Id(setup.ids.nameLabel), Name("NameLabel"));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(kNamePixelHeight);
    nameFont.setWeight(QFont::Light);
    m_nameLabel->setFont(nameFont);
    m_nameLabel->setAlignment(Qt::AlignCenter);
    m_nameLabel->setGeometry(InStrip(kNameLabel));

    NameForScreenReaders();

    connect(m_select, &QPushButton::clicked, this, &ChannelStrip::selectClicked);
    connect(m_polarity, &QPushButton::clicked, this, &ChannelStrip::polarityClicked);
    connect(m_mute, &QAbstractButton::clicked, this, &ChannelStrip::muteClicked);
    connect(m_eq, &QAbstractButton::clicked, this, &ChannelStrip::eqClicked);
    connect(m_channel, &QAbstractButton::clicked, this, &ChannelStrip::channelClicked);
    connect(m_gainEdit, &NumEdit::committed, this, &ChannelStrip::OnGainEdited);
    connect(m_fader, &BitmapSlider::faderDragging, this, &ChannelStrip::OnFaderMoved);
    connect(m_fader, &BitmapSlider::faderChanged, this, &ChannelStrip::OnFaderMoved);
}

void ChannelStrip::NameForScreenReaders() {
    const auto say = [this](QWidget* control, const char* what) {
        control->setAccessibleName(
            SpokenNames::Control(m_setup.index, m_setup.output, QString::fromLatin1(what)));
    };
    say(m_select, "show");
    say(m_polarity, "polarity");
    say(m_eq, "EQ editor");
    say(m_channel, "channel editor");
    say(m_gainEdit, "gain");
    say(m_fader, "gain fader");
    say(m_meter, "level");
    say(m_mute, "mute");
    say(m_nameLabel, "name");
}

QString ChannelStrip::Name(const char* kind) const {
    const QString channel = m_setup.output
                                ? QStringLiteral("output%1").arg(m_setup.index + 1)
                                : QStringLiteral("input%1").arg(QChar('A' + m_setup.index));
    return channel + QString::fromLatin1(kind);
}

void ChannelStrip::ShowGain(int gain) {
    m_gain = gain;
    const QSignalBlocker editBlocker(m_gainEdit);
    const QSignalBlocker faderBlocker(m_fader);
    m_gainEdit->setValue(gain);
    m_fader->setPosition(m_setup.gainMaximum - gain);
}

void ChannelStrip::ShowPolarity(int polarity) {
    m_polarity->setText(QString::fromStdString(PolarityText(polarity)));
}

void ChannelStrip::ShowOn(int on) {
    m_mute->setOn(on);
}

void ChannelStrip::ShowState(bool enabled) {
    m_select->setText(enabled ? ChannelLabel(m_setup.index, m_setup.output)
                              : QStringLiteral("Hide"));
    m_select->setSelected(enabled);
}

void ChannelStrip::ShowName(const QString& name) {
    m_nameLabel->setText(name);
}

void ChannelStrip::ShowLevel(int levelByte) {
    m_meter->setLevel(levelByte);
}

void ChannelStrip::OnGainEdited() {
    const int gain = m_gainEdit->value();
    {
        const QSignalBlocker blocker(m_fader);
        m_fader->setPosition(m_setup.gainMaximum - gain);
    }
    ReportGain(gain);
}

void ChannelStrip::OnFaderMoved(int position) {
    const int gain = m_setup.gainMaximum - position;
    {
        const QSignalBlocker blocker(m_gainEdit);
        m_gainEdit->setValue(gain);
    }
    ReportGain(gain);
}

void ChannelStrip::ReportGain(int gain) {
    if (gain == m_gain) {
        return;
    }
    m_gain = gain;
    emit gainChanged(gain);
}
