#pragma once

#include <QColor>
#include <QPushButton>

// The two-colour button of the panel strips: its face runs from the first colour at the top
// to the second at the bottom. A selected button shows its colours in full with a light inner
// frame; an unselected one shows them dimmed. Captions may take another colour while the
// button is held down.
class XPStyleButton : public QPushButton {
    Q_OBJECT

public:
    explicit XPStyleButton(QWidget* parent = nullptr);
    explicit XPStyleButton(const QString& text, QWidget* parent = nullptr);

    void setColors(const QColor& first, const QColor& second);
    QColor firstColor() const { return m_first; }
    QColor secondColor() const { return m_second; }
    // Caption colour, and the one while held down (the normal one when invalid).
    void setTextColors(const QColor& normal, const QColor& pressed = QColor());
    QColor textColor() const { return m_text; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_first;
    QColor m_second;
    QColor m_text;
    QColor m_pressedText;
    bool m_selected = true;
};
