#include "gui/widgets/ButtonPainting.h"

#include <QPainter>

namespace ButtonPainting {

void DrawBevelFace(QPainter& painter, const QRect& rect, const QColor& face, bool sunken) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect r = rect.adjusted(0, 0, -1, -1);
    painter.fillRect(rect, face);
    const QColor light = face.lighter(150);
    const QColor dark = face.darker(170);
    const QColor topLeft = sunken ? dark : light;
    const QColor bottomRight = sunken ? light : dark;
    painter.setPen(QColor(0x10, 0x12, 0x18));
    painter.drawRect(r);
    for (int i = 1; i <= 2; ++i) {
        const QRect inner = r.adjusted(i, i, -i, -i);
        painter.setPen(topLeft);
        painter.drawLine(inner.topLeft(), inner.topRight());
        painter.drawLine(inner.topLeft(), inner.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(inner.bottomLeft(), inner.bottomRight());
        painter.drawLine(inner.topRight(), inner.bottomRight());
    }
    painter.restore();
}

void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                 const QColor& color, bool sunken) {
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    const QRect area = sunken ? rect.translated(1, 1) : rect;
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void DrawFocus(QPainter& painter, const QRect& rect, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(4, 4, -5, -5));
    painter.restore();
}

} // namespace ButtonPainting
