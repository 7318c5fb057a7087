#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// Drawing shared by the drawn buttons: a bevelled face, a centred caption and the focus mark.
namespace ButtonPainting {

void DrawBevelFace(QPainter& painter, const QRect& rect, const QColor& face, bool sunken);
// The caption moves one pixel down and right while the button is sunken.
void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                 const QColor& color, bool sunken);
// A dotted frame inside the bevel, in the caption colour so it shows on any face.
void DrawFocus(QPainter& painter, const QRect& rect, const QColor& color);

} // namespace ButtonPainting
