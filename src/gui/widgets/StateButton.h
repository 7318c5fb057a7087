#pragma once

#include <QColor>
#include <QPushButton>

// A push button with two states: 1 drawn raised, 0 drawn sunken. Every click flips the state
// before clicked() reaches the owner, so the owner reads the new state; the owner may put it
// back with setState(). Colour and caption of each state are the owner's.
class StateButton : public QPushButton {
    Q_OBJECT

public:
    explicit StateButton(QWidget* parent = nullptr);
    explicit StateButton(const QString& text, QWidget* parent = nullptr);

    int state() const { return isChecked() ? 0 : 1; }
    void setState(int state);
    // Face colours of state 1 (raised) and state 0 (sunken).
    void setStateColors(const QColor& raised, const QColor& sunken);
    QColor stateColor(int state) const { return state == 0 ? m_sunkenColor : m_raisedColor; }
    void setTextColor(const QColor& color);
    QColor textColor() const { return m_textColor; }
    // Captions of state 1 and state 0; while both are empty the button shows text().
    void setStateCaptions(const QString& raised, const QString& sunken);
    // The caption shown now.
    QString caption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_raisedColor;
    QColor m_sunkenColor;
    QColor m_textColor;
    QString m_raisedCaption;
    QString m_sunkenCaption;
};
