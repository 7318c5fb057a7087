#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A round lamp in one colour that can blink: while blinking it goes dark and lit again each
// blink period.
class StatusLamp : public QWidget {
    Q_OBJECT

public:
    explicit StatusLamp(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    // Time between two changes of a blinking lamp, ms.
    void setBlinkPeriod(int ms);
    int blinkPeriod() const { return m_timer.interval(); }
    // Starting or stopping the blinking leaves the lamp lit.
    void setBlinking(bool blinking);
    bool isBlinking() const { return m_timer.isActive(); }
    // Whether the lamp shows its colour right now.
    bool isLit() const { return m_lit; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    bool m_lit = true;
    QTimer m_timer;
};
