#pragma once

#include <QRgb>

// Colours and sizes of the shared controls that the panels and editors rely on, in one place.
namespace ControlColors {

// Panels and editors.
constexpr QRgb PanelBackground = qRgb(48, 54, 68);

// Fader and knob: the focus mark, and the red of the cap line of a fader being moved and of
// the knob's pointer.
constexpr QRgb RangeFocus = qRgb(255, 230, 255);
constexpr QRgb RangePointer = qRgb(255, 83, 83);

// Numeric edit: idle and editing looks.
constexpr QRgb EditIdleText = qRgb(255, 230, 255);
constexpr QRgb EditIdleBackground = PanelBackground;
constexpr QRgb EditEditingText = qRgb(255, 83, 83);
constexpr QRgb EditEditingBackground = qRgb(255, 255, 255);

// Level meter.
constexpr QRgb MeterBackground = qRgb(76, 85, 118);
constexpr QRgb MeterGreen = qRgb(0, 255, 0);
constexpr QRgb MeterYellow = qRgb(255, 255, 0);
constexpr QRgb MeterRed = qRgb(255, 0, 0);

// Status lamp of the panels.
constexpr QRgb LampRed = qRgb(255, 0, 0);

// State buttons of the output channel dialog: source buttons and filter family buttons
// (state 1 raised, state 0 sunken).
constexpr QRgb SourceOn = qRgb(0, 148, 65);
constexpr QRgb SourceOff = qRgb(255, 0, 0);
constexpr QRgb SourceCaption = qRgb(255, 255, 255);
constexpr QRgb HighPassFamily = qRgb(119, 196, 238);
constexpr QRgb HighPassFamilySelected = qRgb(14, 123, 164);
constexpr QRgb LowPassFamily = qRgb(235, 156, 162);
constexpr QRgb LowPassFamilySelected = qRgb(219, 115, 26);
constexpr QRgb FamilyCaption = qRgb(0, 0, 0);

// Two-colour buttons of the panel strips.
constexpr QRgb PolarityFirst = qRgb(207, 207, 215);
constexpr QRgb PolaritySecond = qRgb(128, 128, 128);
constexpr QRgb PolarityText = qRgb(255, 0, 0);
constexpr QRgb PolarityPressedText = qRgb(255, 255, 255);

} // namespace ControlColors

namespace ControlSizes {

// Characters a numeric edit accepts.
constexpr int NumEditMaxLength = 9;
// Blink period of the panel's status lamp, ms.
constexpr int LampBlinkPeriodMs = 600;
// While a spin button is held its owner hears of the value at most this often, ms.
constexpr int SpinNotifyPeriodMs = 400;

} // namespace ControlSizes
