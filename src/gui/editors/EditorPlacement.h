#pragma once

#include <QHash>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a new editor window goes on the screen. It takes its preferred place as it is when no
// open editor is there; otherwise the free place nearest to it, next to or above or below the
// open ones, or anywhere on a grid over the screen, each keeping the window inside the screen's
// available area (as far as the window is not larger than the area). When no free place is
// left, the window goes down and to the right of the preferred place by a step for every open
// editor, so that the title bars of the others stay in sight.
namespace EditorPlacement {

// Between the frames of two editors put side by side.
constexpr int kGap = 4;
// Grid of the places looked at beyond the ones next to open editors.
constexpr int kGridStep = 16;
// Steps of the fallback when the screen holds no free place.
constexpr int kCascadeStep = 28;

// Top left corner for a window frame of size frame; taken are the frames of the open editors,
// area the screen's available area.
QPoint FreeSpot(const QSize& frame, const QPoint& preferred, const QList<QRect>& taken,
                const QRect& area);

} // namespace EditorPlacement

// Where the operator last put each editor of a panel, by a key of the panel's choosing, for as
// long as the panel lives: an editor that is opened again goes back there.
class EditorPlaces {
public:
    void Remember(int key, const QPoint& place) { m_places.insert(key, place); }
    bool Has(int key) const { return m_places.contains(key); }
    QPoint At(int key) const { return m_places.value(key); }

private:
    QHash<int, QPoint> m_places;
};
