#pragma once

#include <QFont>
#include <QString>

class BitmapSlider;
class NumEdit;
class QGroupBox;
class QLabel;
class QRadioButton;
class QWidget;

// The pieces the channel dialogs are built from, each with its control id (0: none) and a
// readable name. Frames, labels and radio captions are white on the editors' dark background
// (the editor window's palette); faders are vertical.
namespace EditorParts {

// Characters of a numeric field.
constexpr int kFieldCharacters = 9;

QGroupBox* Frame(QWidget* parent, const QString& title, int id, const QString& name);
QLabel* Label(QWidget* parent, const QString& text, int id, const QString& name);
QRadioButton* Radio(QWidget* parent, const QString& text, int id, const QString& name);
// A radio whose caption is a label of its own with id captionId (white, beside the indicator);
// a click on the caption chooses the radio, and the radio carries the caption as its accessible
// name.
QRadioButton* CaptionedRadio(QWidget* parent, const QString& text, int id, int captionId,
                             const QString& name);
// A vertical fader over 0..maximum; its position is maximum minus the value it shows.
BitmapSlider* Fader(QWidget* parent, int maximum, int id, const QString& name);
// A numeric field over 0..maximum in display mode mode, wide enough for characters characters.
NumEdit* Edit(QWidget* parent, int mode, int maximum, int id, const QString& name,
              int characters = kFieldCharacters);
// The font of the channel dialogs: small enough for the output dialog's many frames.
QFont DialogFont();

} // namespace EditorParts
