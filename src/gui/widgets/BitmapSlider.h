#pragma once

#include "core/scales/FaderTrack.h"

#include "gui/widgets/RangeControl.h"
#include "gui/widgets/WheelNotches.h"

#include <QMargins>
#include <QSize>

// A fader: a track with a thumb, vertical or horizontal, holding a position in a range
// (the minimum at the top or left end). Pressing on the track moves the thumb under the
// pointer; dragging reports faderDragging(), the release faderChanged(). Navigation keys do
// not move the fader; they report faderChanged() with the current position. Frequency
// faders map their position to a logarithmic frequency, the highest at the minimum end.
class BitmapSlider : public RangeControl {
    Q_OBJECT

public:
    explicit BitmapSlider(QWidget* parent = nullptr);

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
    void keyPressEvent(QKeyEvent* event) override;
    // One notch moves the thumb one position up (or right) for a turn away from the operator,
    // and is reported like a key, with faderChanged().
    void wheelEvent(QWheelEvent* event) override;
    void dragStarted(const QPointF& point) override;
    void dragMoved(const QPointF& point) override;
    void dragEnded(const QPointF& point) override;

private:
    FaderTrack track() const;
    int along(const QPointF& point) const;
    // Cross-axis centre of the track.
    qreal crossCentre() const;
    void dragTo(int pointer);

    bool m_vertical = false;
    QMargins m_margins;
    QSize m_thumb;
    bool m_notifyOnRelease = true;
    int m_grabOffset = 0;
    WheelNotches m_wheel;
};
