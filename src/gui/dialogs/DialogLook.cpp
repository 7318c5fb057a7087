#include "gui/dialogs/DialogLook.h"

#include "gui/widgets/XPStyleButton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPalette>
#include <QVBoxLayout>
#include <QWidget>

namespace DialogLook {

void ApplyBackground(QWidget* dialog) {
    dialog->setAutoFillBackground(true);
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, QColor(kBackground));
    palette.setColor(QPalette::WindowText, QColor(kLabel));
    dialog->setPalette(palette);
}

XPStyleButton* FilledButton(const QString& text, QWidget* parent) {
    auto* button = new XPStyleButton(text, parent);
    button->setColors(QColor(kButtonFace), QColor(kButtonFace));
    button->setTextColors(QColor(kButtonCaption));
    button->setMinimumSize(90, 28);
    return button;
}

QGridLayout* ControlGrid() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    return grid;
}

void Arrange(QWidget* dialog, QGridLayout* controls, QWidget* ok, QWidget* extra) {
    auto* okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(ok);
    okRow->addStretch(1);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(12);
    layout->addLayout(controls);
    if (extra != nullptr) {
        layout->addWidget(extra);
    }
    layout->addLayout(okRow);
    dialog->setFixedSize(dialog->sizeHint());
}

} // namespace DialogLook
