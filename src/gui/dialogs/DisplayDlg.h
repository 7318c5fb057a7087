#pragma once

#include <QColor>
#include <QDialog>
#include <QTimer>

class PanelLink;
class QLabel;
class QProgressBar;

// The "transmitting Data" window a panel runs modally while a whole-program transfer goes out.
// Every 200 ms it looks at the panel: while the panel is busy the text changes between dark
// blue and red, at the first look at which it is not the window closes as with OK. The operator
// cannot close it (close box, Esc and Enter do nothing). A bar under the text shows the records
// of the transfer done out of its total.
class DisplayDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTextId = 1187;
    static constexpr int kTickIntervalMs = 200;
    static constexpr QRgb kDarkBlue = qRgb(0, 0, 128);
    static constexpr QRgb kRed = qRgb(255, 0, 0);

    explicit DisplayDlg(PanelLink& panel, QWidget* parent = nullptr);

    // Colour of the text right now.
    QColor TextColor() const;

    // Only the end of the transfer closes the window.
    void reject() override {}
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Tick();
    void ShowProgress(int remaining, int total);
    void SetTextColor(QRgb color);

    PanelLink& m_panel;
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
    QTimer m_tick;
};
