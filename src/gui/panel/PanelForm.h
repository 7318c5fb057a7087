#pragma once

#include "gui/panel/PanelLayout.h"

#include <QColor>
#include <QRect>
#include <QString>

class ChannelStrip;
class QLabel;
class QWidget;
struct Variant;

// The fixed parts of a panel's form, made on the panel widget: its labels and text displays,
// the frames of the input and output groups with their row captions, and the gain scale beside
// the first fader of a group. The panel view builds the rest and wires it.
namespace PanelForm {

// A rectangle of the form, from dialog units to pixels.
QRect Pixels(const PanelGeometry::UnitRect& rect);
void SetTextColour(QWidget* widget, const QColor& colour);

// A white label; id 0 gives it no control id, only its name.
QLabel* AddLabel(QWidget* panel, int id, const QString& text, const QString& name,
                 const PanelGeometry::UnitRect& rect);
// A sunken display that only shows text.
QLabel* AddDisplay(QWidget* panel, int id, const QString& text, const QString& name,
                   const PanelGeometry::UnitRect& rect);
// The "INPUT" and "OUTPUT" frames and the captions of their rows.
void AddGroups(QWidget* panel, const PanelIds& ids);
// The scale labels of the input or output group beside the fader of the group's first strip,
// each at the height of its gain; the first carries firstId, the next firstId + 1, ...
void AddScaleLabels(QWidget* panel, const ChannelStrip& first, const Variant& variant, int firstId);

} // namespace PanelForm
