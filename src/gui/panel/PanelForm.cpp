#include "gui/panel/PanelForm.h"

#include "core/model/Variant.h"
#include "core/scales/FaderTrack.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DialogUnits.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>

#include <string>
#include <vector>

namespace {

using PanelGeometry::UnitRect;

const QColor kDisplayBackground(236, 238, 242);
const QColor kDisplayText(0, 0, 0);

constexpr int kScaleLabelPixelHeight = 10;
// Room between two scale labels, beyond half a digit.
constexpr int kScaleLabelGap = 1;

// The dB value of a fader scale label such as "-10dB".
int ScaleLabelDb(const std::string& label) {
    return std::stoi(label);
}

} // namespace

namespace PanelForm {

QRect Pixels(const UnitRect& rect) {
    return DialogUnits::Rect(rect.x, rect.y, rect.width, rect.height);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* AddLabel(QWidget* panel, int id, const QString& text, const QString& name,
                 const UnitRect& rect) {
    auto* label = new QLabel(text, panel);
    if (id != 0) {
        SetControlId(label, id, name);
    } else {
        label->setObjectName(name);
    }
    SetTextColour(label, Qt::white);
    label->setGeometry(Pixels(rect));
    return label;
}

QLabel* AddDisplay(QWidget* panel, int id, const QString& text, const QString& name,
                   const UnitRect& rect) {
    auto* display = WithControlId(new QLabel(text, panel), id, name);
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

void AddGroups(QWidget* panel, const PanelIds& ids) {
    using namespace PanelGeometry;
    const struct {
        int id;
        const char* title;
        const char* name;
        UnitRect rect;
    } groups[] = {{ids.inputFrame, "INPUT", "inputFrame", kInputFrame},
                  {ids.outputFrame, "OUTPUT", "outputFrame", kOutputFrame}};
    const struct {
        const char* caption;
        UnitRect row;
    } rows[] = {{"Polar", kPolarity}, {"EQ", kEq}, {"Curve", kChannel}, {"Gain", kGainEdit}};
    for (const auto& group : groups) {
        auto* frame = WithControlId(new QGroupBox(QString::fromLatin1(group.title), panel),
                                    group.id, QString::fromLatin1(group.name));
        SetTextColour(frame, Qt::white);
        frame->setGeometry(Pixels(group.rect));
        for (const auto& row : rows) {
            AddLabel(panel, 0, QString::fromLatin1(row.caption),
                     QString::fromLatin1(group.name) + QString::fromLatin1(row.caption) +
                         QStringLiteral("Row"),
                     {group.rect.x + kRowLabelX, row.row.y + 2, kRowLabelWidth, 9});
        }
    }
}

void AddScaleLabels(QWidget* panel, const ChannelStrip& first, const Variant& variant,
                    int firstId) {
    const bool output = first.IsOutput();
    const BitmapSlider* fader = first.Fader();
    const std::vector<std::string>& labels =
        output ? variant.outputScaleLabels : variant.inputScaleLabels;
    const FaderTrack track{fader->minimum(),          fader->maximum(),
                           fader->height(),           fader->margins().top(),
                           fader->margins().bottom(), fader->thumbSize().height()};
    const QPoint faderTopLeft = first.mapToParent(fader->geometry().topLeft());
    const int width = DialogUnits::ToPixels(PanelGeometry::kScaleLabelWidth);
    std::vector<QLabel*> made;
    std::vector<int> centres;
    for (int k = 0; k < static_cast<int>(labels.size()); ++k) {
        const std::string& text = labels[static_cast<std::size_t>(k)];
        const int gain = variant.zeroDbGainIndex + ScaleLabelDb(text) * 10;
        centres.push_back(faderTopLeft.y() + track.CentreOf(fader->maximum() - gain));
        auto* label = new QLabel(QString::fromStdString(text), panel);
        SetControlId(label, firstId + k,
                     QStringLiteral("%1Scale%2").arg(output ? "output" : "input").arg(k + 1));
        SetTextColour(label, Qt::white);
        QFont font = label->font();
        font.setPixelSize(kScaleLabelPixelHeight);
        label->setFont(font);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        made.push_back(label);
    }
    if (made.empty()) {
        return;
    }
    // A label 6 dB from its neighbour (6dB over 0dB, -36dB under -30dB) sits much closer to it
    // than the others to theirs: the two move apart, each by half of what is missing.
    const QFontMetrics metrics = made.front()->fontMetrics();
    const int height = metrics.height();
    const int pitch = height + metrics.capHeight() / 2 + kScaleLabelGap;
    for (std::size_t k = 1; k < centres.size(); ++k) {
        const int missing = pitch - (centres[k] - centres[k - 1]);
        if (missing > 0) {
            centres[k - 1] -= missing / 2;
            centres[k] += missing - missing / 2;
        }
    }
    for (std::size_t k = 0; k < made.size(); ++k) {
        made[k]->setGeometry(faderTopLeft.x() - width - 2, centres[k] - height / 2, width, height);
    }
}

} // namespace PanelForm
