#pragma once

#include <QWidget>

// A rotary knob holding a position in a range. Its pointer sweeps 230 degrees from lower left
// (minimum) clockwise over the top to lower right (maximum); the sector below the centre is
// dead. Dragging reports knobDragging(), navigation keys move it and report knobKey().
// Frequency knobs map their position to a logarithmic frequency, 10 Hz at 0.
class KbutsliderCtrl : public QWidget {
    Q_OBJECT

public:
    explicit KbutsliderCtrl(QWidget* parent = nullptr);

    // The position is kept inside the new range.
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Clamped to the range.
    void setPosition(int position);
    int position() const { return m_position; }
    // Pointer angle in degrees clockwise from straight up.
    double pointerAngle() const;
    // Step of Page Up and Page Down; a fifth of the range unless set.
    void setPageStep(int step) { m_pageStep = step; }
    int pageStep() const;

    // Logarithmic frequency use (range 0..240 spans 10 Hz to 30000 Hz).
    void setFrequency(int hz);
    int frequency() const;

    bool isDragging() const { return m_dragging; }
    // Widget point at the given angle and distance from the knob centre (for tests and
    // labels around the knob).
    QPointF pointAt(double angle, double distance) const;

    QSize sizeHint() const override;

signals:
    void knobDragging(int position);
    void knobKey(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QPointF centre() const;
    qreal radius() const;
    // Sets the position from the pointer's angle; false when the point gives no angle.
    bool followPointer(const QPointF& point, bool& moved);
    bool inDeadSector(const QPointF& point) const;

    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    int m_pageStep = 0;
    bool m_dragging = false;
};
