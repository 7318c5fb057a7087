#include "gui/panel/MuteButton.h"

#include "gui/widgets/ButtonPainting.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kPlayingFace(0x1f, 0x8a, 0x3c);
const QColor kMutedFace(0xc8, 0x1e, 0x1e);
const QColor kSymbol(0xff, 0xff, 0xff);

// A loudspeaker in the left half of box, with sound waves or a cross in the right half.
void DrawSpeaker(QPainter& painter, const QRectF& box, bool on) {
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath speaker;
    speaker.moveTo(box.left() + w * 0.12, box.top() + h * 0.38);
    speaker.lineTo(box.left() + w * 0.28, box.top() + h * 0.38);
    speaker.lineTo(box.left() + w * 0.48, box.top() + h * 0.18);
    speaker.lineTo(box.left() + w * 0.48, box.top() + h * 0.82);
    speaker.lineTo(box.left() + w * 0.28, box.top() + h * 0.62);
    speaker.lineTo(box.left() + w * 0.12, box.top() + h * 0.62);
    speaker.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSymbol);
    painter.drawPath(speaker);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kSymbol, 1.4, Qt::SolidLine, Qt::RoundCap));
    if (on) {
        const QPointF centre(box.left() + w * 0.46, box.center().y());
        for (const qreal radius : {w * 0.2, w * 0.34}) {
            painter.drawArc(
                QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), -40 * 16,
                80 * 16);
        }
    } else {
        painter.drawLine(QPointF(box.left() + w * 0.6, box.top() + h * 0.34),
                         QPointF(box.left() + w * 0.88, box.top() + h * 0.66));
        painter.drawLine(QPointF(box.left() + w * 0.6, box.top() + h * 0.66),
                         QPointF(box.left() + w * 0.88, box.top() + h * 0.34));
    }
}

} // namespace

MuteButton::MuteButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Mute"));
    setFixedSize(kSize, kSize);
}

void MuteButton::setOn(int on) {
    const int normalised = on != 0 ? 1 : 0;
    if (normalised == m_on) {
        return;
    }
    m_on = normalised;
    setAccessibleDescription(m_on != 0 ? tr("playing") : tr("muted"));
    update();
}

QSize MuteButton::sizeHint() const {
    return {kSize, kSize};
}

void MuteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool sunken = isDown();
    ButtonPainting::DrawBevelFace(painter, rect(), m_on != 0 ? kPlayingFace : kMutedFace, sunken);
    const QRectF box =
        QRectF(rect()).adjusted(2, 2, -2, -2).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    DrawSpeaker(painter, box, m_on != 0);
    if (hasFocus()) {
        ButtonPainting::DrawFocus(painter, rect(), kSymbol);
    }
}
