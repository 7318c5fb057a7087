#include "gui/widgets/LevelMeter.h"

#include "gui/widgets/ControlColors.h"
#include "core/scales/MeterSegments.h"

#include <QPainter>

namespace {

QColor SegmentColor(int segment) {
    if (segment == MeterSegmentCount - 1) {
        return QColor::fromRgb(ControlColors::MeterRed);
    }
    if (segment == MeterSegmentCount - 2) {
        return QColor::fromRgb(ControlColors::MeterYellow);
    }
    return QColor::fromRgb(ControlColors::MeterGreen);
}

} // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Level meter"));
    setFocusPolicy(Qt::NoFocus);
}

void LevelMeter::setLevel(int level) {
    if (level == m_level) {
        return;
    }
    const bool changesLook = LitMeterSegments(level) != litSegments();
    m_level = level;
    if (changesLook) {
        update();
    }
}

unsigned LevelMeter::litSegments() const {
    return LitMeterSegments(m_level);
}

QSize LevelMeter::sizeHint() const {
    // Ten-pixel segments: 8 x 10 + 7 gaps of 2.
    return {8, 94};
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgb(ControlColors::MeterBackground));
    const unsigned lit = litSegments();
    for (int i = 0; i < MeterSegmentCount; ++i) {
        if ((lit & (1u << i)) == 0) {
            continue;
        }
        const CRect r = MeterSegmentLitRect(i, width(), height());
        if (!r.IsRectEmpty()) {
            painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), SegmentColor(i));
        }
    }
}
