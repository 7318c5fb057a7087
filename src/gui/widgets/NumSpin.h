#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "gui/widgets/WheelNotches.h"

class NumEdit;

// Up-down buttons bound to a NumEdit (the buddy): each step moves the value by one within the
// range and shows it in the buddy. A click tells the owner once (committed()); while a button
// is held it repeats, and the owner hears of the value at most every 400 ms, plus once at the
// release when the value moved since.
class NumSpin : public QWidget {
    Q_OBJECT

public:
    explicit NumSpin(QWidget* parent = nullptr);

    void setBuddy(NumEdit* edit);
    NumEdit* buddy() const { return m_buddy; }
    // Stores the range and gives it to the buddy.
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Reads the buddy's value (converting typed text) and keeps it.
    int value();
    // Outside the range: reports "Pos设定错误" and changes nothing. Otherwise stores v and
    // shows it in the buddy.
    void setValue(int v);
    // True while the left button holds one of the arrows down.
    bool isHeld() const { return m_held; }

    QSize sizeHint() const override;

signals:
    // The value was stepped; read it with value().
    void committed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One notch is one step, up for a turn away from the operator, like an arrow key.
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void stepBy(int delta);
    void notifyIfChanged();

    QPointer<NumEdit> m_buddy;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
    bool m_held = false;
    bool m_changed = false;
    int m_heldDelta = 0;
    QTimer m_notifyTimer;
    QTimer m_repeatTimer;
    WheelNotches m_wheel;
};
