#pragma once

#include <QWidget>

// What the fader and the knob share: a focusable widget holding a position in a range, kept
// inside it, redrawn on every move and every change of focus. A left-button press that the
// control takes starts a drag (the control takes the focus), moves while the button is held
// go on with it and the release ends it; the control says what each step does.
class RangeControl : public QWidget {
    Q_OBJECT

public:
    // The position is kept inside the new range; redraw false leaves the repaint to a later one.
    void setRange(int minimum, int maximum, bool redraw = true);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Clamped to the range.
    void setPosition(int position) { storePosition(position); }
    int position() const { return m_position; }

    bool isDragging() const { return m_dragging; }

protected:
    RangeControl(const QString& accessibleName, QWidget* parent);

    // Stores position clamped to the range and redraws; false when that changes nothing.
    bool storePosition(int position);
    // Ends a drag before its release (the release then goes on to QWidget).
    void cancelDrag();

    // Whether a left-button press at point starts a drag; every press does unless overridden.
    virtual bool startsDrag(const QPointF& point) const;
    virtual void dragStarted(const QPointF& point) = 0;
    virtual void dragMoved(const QPointF& point) = 0;
    // Called once the drag has ended.
    virtual void dragEnded(const QPointF& point) = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int clamped(int position) const;

    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    bool m_dragging = false;
};
