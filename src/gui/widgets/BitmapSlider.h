#pragma once

#include "core/scales/FaderTrack.h"

#include <QMargins>
#include <QSize>
#include <QWidget>

// A fader: a track with a thumb, vertical or horizontal, holding a position in a range
// (the minimum at the top or left end). Pressing on the track moves the thumb under the
// pointer; dragging reports faderDragging(), the release faderChanged(). Navigation keys do
// not move the fader; they report faderChanged() with the current position. Frequency
// faders map their position to a logarithmic frequency, the highest at the minimum end.
class BitmapSlider : public QWidget {
    Q_OBJECT

public:
    explicit BitmapSlider(QWidget* parent = nullptr);

    // The position is kept inside the new range.
    void setRange(int minimum, int maximum, bool redraw = true);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Clamped to the range.
    void setPosition(int position);
    int position() const { return m_position; }
    // Swaps the thumb size along with the orientation.
    void setVertical(bool vertical);
    bool isVertical() const { return m_vertical; }
    // Pixels kept free inside the widget at each side.
    void setMargin(int left, int top, int right, int bottom);
    QMargins margins() const { return m_margins; }
    // Thumb width and height as drawn in the current orientation.
    void setThumbSize(const QSize& size);
    QSize thumbSize() const { return m_thumb; }
    // Whether the release of a drag reports faderChanged() (on by default).
    void setNotifyOnRelease(bool notify) { m_notifyOnRelease = notify; }
    bool notifiesOnRelease() const { return m_notifyOnRelease; }

    // Logarithmic frequency use (range 0..240 spans 30000 Hz at the top to 10 Hz).
    void setFrequency(int hz);
    int frequency() const;

    bool isDragging() const { return m_dragging; }
    // Centre of the thumb along the track, in widget pixels.
    int thumbCentre() const;
    // The thumb rectangle in widget pixels.
    QRect thumbRect() const;

    QSize sizeHint() const override;

signals:
    void faderDragging(int position);
    void faderChanged(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    FaderTrack track() const;
    int along(const QPointF& point) const;
    // Cross-axis centre of the track.
    qreal crossCentre() const;
    void dragTo(int pointer);

    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    bool m_vertical = false;
    QMargins m_margins;
    QSize m_thumb;
    bool m_notifyOnRelease = true;
    bool m_dragging = false;
    int m_grabOffset = 0;
};
