#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The screens are laid out in dialog units, as their templates give them. One conversion turns
// them into pixels everywhere: 3 pixels for every 2 units across and down, which puts the
// largest panel (678 x 449 units) inside the fixed main window with room for the menu bar.
namespace DialogUnits {

constexpr int kNumerator = 3;
constexpr int kDenominator = 2;

constexpr int ToPixels(int units) {
    return units * kNumerator / kDenominator;
}

inline QPoint Point(int x, int y) {
    return {ToPixels(x), ToPixels(y)};
}

inline QSize Size(int width, int height) {
    return {ToPixels(width), ToPixels(height)};
}

inline QRect Rect(int x, int y, int width, int height) {
    return {Point(x, y), Size(width, height)};
}

} // namespace DialogUnits
