#include "gui/app/SelectionView.h"

#include "gui/app/ScreenCommands.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/DialogUnits.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

const QColor kBackground(48, 54, 68);
const QColor kLine(0, 180, 225);
constexpr int kButtonRowY = 131;  // dialog units
constexpr int kButtonWidth = 67;  // dialog units
constexpr int kButtonHeight = 14; // dialog units
constexpr int kButtonGap = 12;    // pixels between the buttons

struct ModelButton {
    int id;
    const char* caption;
    const char* objectName;
    int command;
};

constexpr ModelButton kModelButtons[] = {
    {KeltraCaptionView::kFoskButtonId, "Fosk", "fosk", ScreenCommand::kFourByEight},
    {KeltraCaptionView::kWupaButtonId, "Wupa", "wupa", ScreenCommand::kThreeBySix},
    {KeltraCaptionView::kJexoButtonId, "Jexo", "jexo", ScreenCommand::kTwoByFour},
};

// A processor of the family seen from the front, with its response on the display.
void DrawProcessor(QPainter& p, const QRectF& box) {
    QLinearGradient face(box.topLeft(), box.bottomLeft());
    face.setColorAt(0, QColor(92, 100, 116));
    face.setColorAt(1, QColor(38, 42, 52));
    p.setPen(QPen(QColor(20, 22, 28), 1.5));
    p.setBrush(face);
    p.drawRoundedRect(box, 4, 4);

    const QRectF display(box.left() + 10, box.top() + 8, box.width() * 0.45, box.height() - 16);
    p.setBrush(Qt::black);
    p.setPen(QPen(QColor(100, 100, 100), 1));
    p.drawRect(display);
    QPainterPath curve;
    curve.moveTo(display.left() + 3, display.center().y() + 4);
    curve.cubicTo(display.left() + display.width() * 0.3, display.top() + 4,
                  display.left() + display.width() * 0.5, display.bottom() - 3, display.right() - 3,
                  display.center().y() - 2);
    p.setPen(QPen(kLine, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);

    const qreal knobY = box.center().y();
    for (int i = 0; i < 4; ++i) {
        const QPointF centre(display.right() + 16 + i * 16, knobY);
        p.setPen(QPen(QColor(15, 15, 20), 1));
        p.setBrush(QColor(200, 204, 214));
        p.drawEllipse(centre, 5.5, 5.5);
        p.setPen(QPen(QColor(30, 30, 40), 1.4));
        p.drawLine(centre, centre + QPointF(0, -4.5));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 255, 0));
    p.drawEllipse(QPointF(box.right() - 9, box.top() + 7), 2.2, 2.2);
}

} // namespace

KeltraCaptionView::KeltraCaptionView(QWidget* parent) : QWidget(parent), m_picture(Picture()) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);

    int index = 0;
    for (const ModelButton& model : kModelButtons) {
        auto* button = WithControlId(new QPushButton(model.caption, this), model.id,
                                     QString::fromLatin1(model.objectName));
        button->setFixedSize(DialogUnits::Size(kButtonWidth, kButtonHeight));
        const int command = model.command;
        connect(button, &QPushButton::clicked, this,
                [this, command] { emit commandRequested(command); });
        m_buttons[index++] = button;
    }
    PlaceControls();
}

QPixmap KeltraCaptionView::Picture() {
    QPixmap picture(kPictureWidth, kPictureHeight);
    picture.fill(kBackground);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Three processors stacked in a rack, the largest at the bottom.
    p.setPen(QPen(QColor(70, 78, 96), 2));
    p.setBrush(QColor(28, 31, 40));
    p.drawRoundedRect(QRectF(14, 6, 172, 150), 6, 6);
    DrawProcessor(p, QRectF(24, 16, 152, 38));
    DrawProcessor(p, QRectF(24, 62, 152, 38));
    DrawProcessor(p, QRectF(24, 108, 152, 38));
    p.setPen(QColor(151, 163, 175));
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 158, kPictureWidth, 14), Qt::AlignCenter, QStringLiteral("SONVEX"));
    return picture;
}

void KeltraCaptionView::PlaceControls() {
    const int rowWidth = 3 * m_buttons[0]->width() + 2 * kButtonGap;
    int x = (width() - rowWidth) / 2;
    for (QPushButton* button : m_buttons) {
        button->move(x, DialogUnits::ToPixels(kButtonRowY));
        x += button->width() + kButtonGap;
    }
}

void KeltraCaptionView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

void KeltraCaptionView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int pictureTop = DialogUnits::ToPixels(kButtonRowY) - kPictureHeight - 12;
    p.drawPixmap((width() - kPictureWidth) / 2, pictureTop, m_picture);
    p.setPen(QPen(kLine, 1, Qt::SolidLine));
    p.drawLine(10, kLineY, width() - 1 - 10, kLineY);
}
