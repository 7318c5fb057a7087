#pragma once

#include <QWidget>

// The 8-segment level meter beside each panel fader: a level byte from the device lights
// green segments from the bottom, a yellow seventh and a red top one (MeterSegments.h).
class LevelMeter : public QWidget {
    Q_OBJECT

public:
    explicit LevelMeter(QWidget* parent = nullptr);

    void setLevel(int level);
    int level() const { return m_level; }
    // Bit i set = segment i (0 = bottom) lit.
    unsigned litSegments() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_level = 0;
};
