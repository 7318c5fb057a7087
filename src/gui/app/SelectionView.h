#pragma once

#include <QPixmap>
#include <QWidget>

class QPushButton;

// The model selection screen: a picture of the processor family and one button per model
// ("Fosk", "Wupa", "Jexo"). A button asks the main frame to open that model's panel.
class KeltraCaptionView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFoskButtonId = 1001;
    static constexpr int kWupaButtonId = 1086;
    static constexpr int kJexoButtonId = 1705;
    static constexpr int kLineY = 252;
    static constexpr int kPictureWidth = 200;
    static constexpr int kPictureHeight = 173;

    explicit KeltraCaptionView(QWidget* parent = nullptr);

    // The picture shown above the buttons (drawn once, our own artwork).
    static QPixmap Picture();

signals:
    // The main frame command of the chosen model (32772, 32773 or 32775).
    void commandRequested(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();

    QPixmap m_picture;
    QPushButton* m_buttons[3] = {};
};
