#pragma once

#include <QAbstractButton>

// The mute button under a panel fader: a loudspeaker drawn green while the channel plays and
// red, struck through, while it is muted. The owner sets the state after each click.
class MuteButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kSize = 23; // pixels, square

    explicit MuteButton(QWidget* parent = nullptr);

    // 1 = the channel plays, 0 = muted.
    void setOn(int on);
    int isOn() const { return m_on; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_on = 1;
};
