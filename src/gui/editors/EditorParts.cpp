#include "gui/editors/EditorParts.h"

#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

namespace {

// Room around the characters of a field: frame and text margins.
constexpr int kEditPadding = 10;
constexpr int kDialogFontPixels = 11;
constexpr int kFaderWidth = 28;
constexpr int kFaderMarginTop = 2;
constexpr int kFaderMarginBottom = 2;

template <class W> W* Named(W* widget, int id, const QString& name) {
    if (id != 0) {
        return WithControlId(widget, id, name);
    }
    widget->setObjectName(name);
    return widget;
}

// A radio button drawn without text of its own: its caption is a label child, and the whole
// button (the caption's room too) takes the click.
class LabelledRadio : public QRadioButton {
public:
    LabelledRadio(QLabel* caption, QWidget* parent) : QRadioButton(parent), m_caption(caption) {
        m_caption->setParent(this);
        m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QSize sizeHint() const override {
        const QSize indicator = QRadioButton::sizeHint();
        const QSize caption = m_caption->sizeHint();
        return {CaptionLeft() + caption.width(), std::max(indicator.height(), caption.height())};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void resizeEvent(QResizeEvent* event) override {
        QRadioButton::resizeEvent(event);
        const int height = m_caption->sizeHint().height();
        m_caption->setGeometry(CaptionLeft(), (this->height() - height) / 2,
                               width() - CaptionLeft(), height);
    }

private:
    int CaptionLeft() const {
        return style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
               style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    }

    QLabel* m_caption;
};

} // namespace

namespace EditorParts {

QGroupBox* Frame(QWidget* parent, const QString& title, int id, const QString& name) {
    return Named(new QGroupBox(title, parent), id, name);
}

QLabel* Label(QWidget* parent, const QString& text, int id, const QString& name) {
    return Named(new QLabel(text, parent), id, name);
}

QRadioButton* Radio(QWidget* parent, const QString& text, int id, const QString& name) {
    return Named(new QRadioButton(text, parent), id, name);
}

QRadioButton* CaptionedRadio(QWidget* parent, const QString& text, int id, int captionId,
                             const QString& name) {
    QLabel* caption = Label(nullptr, text, captionId, name + QStringLiteral("Caption"));
    auto* radio = Named(new LabelledRadio(caption, parent), id, name);
    radio->setAccessibleName(text);
    return radio;
}

BitmapSlider* Fader(QWidget* parent, int maximum, int id, const QString& name) {
    auto* fader = Named(new BitmapSlider(parent), id, name);
    fader->setVertical(true);
    fader->setMargin(0, kFaderMarginTop, 0, kFaderMarginBottom);
    fader->setRange(0, maximum);
    fader->setFixedWidth(kFaderWidth);
    return fader;
}

NumEdit* Edit(QWidget* parent, int mode, int maximum, int id, const QString& name, int characters) {
    auto* edit = Named(new NumEdit(parent), id, name);
    edit->setRange(0, maximum);
    edit->setMode(mode);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('0'))) +
        kEditPadding);
    return edit;
}

QFont DialogFont() {
    QFont font;
    font.setPixelSize(kDialogFontPixels);
    return font;
}

} // namespace EditorParts
