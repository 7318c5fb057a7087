#pragma once

#include <QRgb>
#include <QString>

class QGridLayout;
class QWidget;
class XPStyleButton;

// The look shared by the Connect and Device dialogs: the panels' dark background with white
// labels, and the blue filled buttons with white captions.
namespace DialogLook {

constexpr QRgb kBackground = qRgb(48, 54, 68);
constexpr QRgb kLabel = qRgb(255, 255, 255);
constexpr QRgb kButtonFace = qRgb(6, 144, 221);
constexpr QRgb kButtonCaption = qRgb(255, 255, 255);

// Paints dialog's background and gives its labels and radio buttons white text.
void ApplyBackground(QWidget* dialog);
// A button filled with the button face colour and captioned in white.
XPStyleButton* FilledButton(const QString& text, QWidget* parent);
// An empty grid for a dialog's labelled controls.
QGridLayout* ControlGrid();
// Lays dialog out: the grid of its controls, below it extra (when given), and ok centred at
// the bottom; the dialog keeps the size this gives.
void Arrange(QWidget* dialog, QGridLayout* controls, QWidget* ok, QWidget* extra = nullptr);

} // namespace DialogLook
