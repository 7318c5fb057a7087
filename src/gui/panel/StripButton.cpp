#include "gui/panel/StripButton.h"

#include "gui/widgets/ButtonPainting.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kFace(0x5a, 0x63, 0x7a);
const QColor kEqCurve(0x8c, 0xf0, 0xff);
const QColor kChannelCurve(0xff, 0xd2, 0x6e);
const QColor kBaseLine(0xb4, 0xbc, 0xcc);

void DrawEq(QPainter& painter, const QRectF& box) {
    painter.setPen(QPen(kBaseLine, 1));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    QPainterPath bell;
    bell.moveTo(box.left(), box.center().y());
    bell.cubicTo(box.left() + box.width() * 0.35, box.center().y(), box.left() + box.width() * 0.38,
                 box.top(), box.center().x(), box.top());
    bell.cubicTo(box.left() + box.width() * 0.62, box.top(), box.left() + box.width() * 0.65,
                 box.center().y(), box.right(), box.center().y());
    painter.setPen(QPen(kEqCurve, 1.6));
    painter.drawPath(bell);
}

void DrawChannel(QPainter& painter, const QRectF& box) {
    // High-pass rising on the left, low-pass falling on the right.
    QPainterPath pass;
    pass.moveTo(box.left(), box.bottom());
    pass.cubicTo(box.left() + box.width() * 0.2, box.top() + box.height() * 0.2,
                 box.left() + box.width() * 0.25, box.top(), box.left() + box.width() * 0.4,
                 box.top());
    pass.lineTo(box.left() + box.width() * 0.6, box.top());
    pass.cubicTo(box.left() + box.width() * 0.75, box.top(), box.left() + box.width() * 0.8,
                 box.top() + box.height() * 0.2, box.right(), box.bottom());
    painter.setPen(QPen(kChannelCurve, 1.6));
    painter.drawPath(pass);
    painter.setPen(QPen(kBaseLine, 1));
    painter.drawLine(QPointF(box.left(), box.bottom()), QPointF(box.right(), box.bottom()));
}

} // namespace

StripButton::StripButton(Picture picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(picture == Picture::Eq ? tr("EQ editor") : tr("Channel editor"));
}

QSize StripButton::sizeHint() const {
    return {42, 20};
}

void StripButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool sunken = isDown();
    ButtonPainting::DrawBevelFace(painter, rect(), kFace, sunken);
    const qreal shift = sunken ? 1 : 0;
    const QRectF box = QRectF(rect()).adjusted(7 + shift, 4 + shift, -7 + shift, -4 + shift);
    if (m_picture == Picture::Eq) {
        DrawEq(painter, box);
    } else {
        DrawChannel(painter, box);
    }
    if (hasFocus()) {
        ButtonPainting::DrawFocus(painter, rect(), kBaseLine);
    }
}
