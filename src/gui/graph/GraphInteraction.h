#pragma once

#include "core/plot/Geometry.h"
#include "gui/graph/GraphDragState.h"

class CFilter;
struct GraphScene;

// The mouse side of the response graph: finds the handle under the pointer, keeps the filter it
// belongs to current, and turns drags into the model's drag operations. Points are in graph
// control pixels. The operations that change what the graph shows return true when the graph
// must be redrawn.
class GraphInteraction {
public:
    // Pointer moved to point with the editor mode of scene showing.
    bool Move(const GraphScene& scene, CPoint point);
    // Left button pressed at point: starts a drag of the handle under it.
    void Press(const GraphScene& scene, CPoint point);
    // Left button released at point: ends the drag; the filter stays current while the pointer
    // is still on one of its handles.
    bool Release(const GraphScene& scene, CPoint point);
    // Pointer left the control: drops the current filter unless a drag holds it.
    bool Leave();

    // Drops the current filter, keeping its index for a notification still due.
    void Drop();
    // Forgets the current filter without touching it (its program may be gone already).
    void Forget();

    const CFilter* GetCurrent() const { return m_current; }
    int GetCurrentIndex() const { return m_currentIndex; }
    bool IsOverHandle() const { return m_overHandle; }
    const GraphDragState& GetDragState() const { return m_drag; }
    // True once when a drag changed the model since the last call.
    bool TakeChanged();

private:
    bool FindHandle(const GraphScene& scene, CPoint point);
    bool TrackCurrent(const GraphScene& scene, CPoint point);
    bool HasBandwidthHandles(const GraphScene& scene) const;
    // A drag of the shown output's high-pass or low-pass, bounded by the other one.
    bool DragCrossover(const GraphScene& scene, CPoint point);
    // Inside the rectangle that spans the band handle and both bandwidth handles.
    static bool InBandwidthReach(const CFilter& filter, CPoint point);

    CFilter* m_current = nullptr;
    int m_currentIndex = 0;
    bool m_overHandle = false;
    bool m_changed = false;
    GraphDragState m_drag;
};
