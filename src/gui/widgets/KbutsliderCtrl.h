#pragma once

#include "gui/widgets/RangeControl.h"
#include "gui/widgets/WheelNotches.h"

// A rotary knob holding a position in a range. Its pointer sweeps 230 degrees from lower left
// (minimum) clockwise over the top to lower right (maximum); the sector below the centre is
// dead. Dragging reports knobDragging(), navigation keys move it and report knobKey().
// Frequency knobs map their position to a logarithmic frequency, 10 Hz at 0.
class KbutsliderCtrl : public RangeControl {
    Q_OBJECT

public:
    explicit KbutsliderCtrl(QWidget* parent = nullptr);

    // Pointer angle in degrees clockwise from straight up.
    double pointerAngle() const;
    // Step of Page Up and Page Down; a fifth of the range unless set.
    void setPageStep(int step) { m_pageStep = step; }
    int pageStep() const;

    // Logarithmic frequency use (range 0..240 spans 10 Hz to 30000 Hz).
    void setFrequency(int hz);
    int frequency() const;

    // Widget point at the given angle and distance from the knob centre (for tests and
    // labels around the knob).
    QPointF pointAt(double angle, double distance) const;

    QSize sizeHint() const override;

signals:
    void knobDragging(int position);
    void knobKey(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One notch turns the knob one position (clockwise for a turn away from the operator) and
    // is reported like an arrow key, with knobKey().
    void wheelEvent(QWheelEvent* event) override;
    // A press in the dead sector below the centre does not start a drag; a drag that enters
    // it ends there.
    bool startsDrag(const QPointF& point) const override;
    void dragStarted(const QPointF& point) override;
    void dragMoved(const QPointF& point) override;
    void dragEnded(const QPointF& point) override;

private:
    QPointF centre() const;
    qreal radius() const;
    // Sets the position from the pointer's angle and reports a move with knobDragging().
    void followPointer(const QPointF& point);
    bool inDeadSector(const QPointF& point) const;

    int m_pageStep = 0;
    WheelNotches m_wheel;
};
