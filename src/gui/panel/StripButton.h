#pragma once

#include <QAbstractButton>

// The small picture buttons of a panel strip that open its editors: the EQ button shows a
// bell-shaped EQ curve, the channel button the two slopes of a crossover with a delay arrow.
class StripButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Picture { Eq, Channel };

    explicit StripButton(Picture picture, QWidget* parent = nullptr);

    Picture picture() const { return m_picture; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture m_picture;
};
