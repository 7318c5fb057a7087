#include "gui/editors/EditorParts.h"

#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

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
