#include "gui/graph/GraphInteraction.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/model/Filter.h"
#include "gui/graph/GraphScene.h"

#include <algorithm>

bool GraphInteraction::Move(const GraphScene& scene, CPoint point) {
    return m_current == nullptr ? FindHandle(scene, point) : TrackCurrent(scene, point);
}

void GraphInteraction::Press(const GraphScene& scene, CPoint point) {
    if (m_current == nullptr || !m_overHandle) {
        return;
    }
    if (m_current->GetBandHandle().PtInRect(point)) {
        m_drag.HoldBand(m_current->BeginDrag(point));
    } else if (HasBandwidthHandles(scene)) {
        // A shelf band has no bandwidth handles: a press where they would be starts nothing.
        if (m_current->GetLeftBandwidthHandle().PtInRect(point)) {
            m_drag.HoldBandwidth(CFilter::LeftSide,
                                 m_current->BeginBandwidthDrag(point.x, CFilter::LeftSide));
        } else if (m_current->GetRightBandwidthHandle().PtInRect(point)) {
            m_drag.HoldBandwidth(CFilter::RightSide,
                                 m_current->BeginBandwidthDrag(point.x, CFilter::RightSide));
        }
    }
}

bool GraphInteraction::Release(const GraphScene& scene, CPoint point) {
    if (m_current == nullptr) {
        return false;
    }
    m_drag.Release();
    return TrackCurrent(scene, point);
}

bool GraphInteraction::Leave() {
    if (m_current == nullptr || m_drag.IsHeld()) {
        return false;
    }
    Drop();
    return true;
}

void GraphInteraction::Drop() {
    if (m_current == nullptr) {
        return;
    }
    m_drag.Clear();
    // The index stays: a notification still due after the drag names the filter it changed.
    m_current = nullptr;
    m_overHandle = false;
}

void GraphInteraction::Forget() {
    m_drag.Clear();
    m_current = nullptr;
    m_overHandle = false;
}

bool GraphInteraction::TakeChanged() {
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}

bool GraphInteraction::FindHandle(const GraphScene& scene, CPoint point) {
    m_overHandle = false;
    const int count = scene.HandleFilterCount();
    // In the crossover mode only the high-pass and the low-pass, the last two sections, have
    // handles.
    const int first = scene.mode == GraphScene::OutputCrossover ? std::max(count - 2, 0) : 0;
    for (int index = first; index < count; ++index) {
        CFilter* filter = scene.ShownFilter(index);
        if (filter != nullptr && filter->GetBandHandle().PtInRect(point)) {
            m_current = filter;
            m_currentIndex = index;
            m_drag.Clear();
            m_drag.Hover(GraphDragState::BandHandle);
            m_overHandle = true;
            return true;
        }
    }
    return false;
}

bool GraphInteraction::TrackCurrent(const GraphScene& scene, CPoint point) {
    CFilter* filter = m_current;
    const GraphDragState::Handle held = m_drag.GetHeld();
    const bool bandwidth = HasBandwidthHandles(scene);
    const bool onBand = filter->GetBandHandle().PtInRect(point);
    const bool onLeft = bandwidth && filter->GetLeftBandwidthHandle().PtInRect(point);
    const bool onRight = bandwidth && filter->GetRightBandwidthHandle().PtInRect(point);

    if (held == GraphDragState::BandHandle || (held == GraphDragState::NoHandle && onBand)) {
        m_drag.Hover(GraphDragState::BandHandle);
        m_overHandle = true;
        if (held == GraphDragState::BandHandle) {
            const bool changed = scene.mode == GraphScene::OutputCrossover
                                     ? DragCrossover(scene, point)
                                     : filter->DragTo(point, m_drag.GetGrabOffset());
            if (changed) {
                m_changed = true;
                return true;
            }
        }
        return false;
    }
    if (held != GraphDragState::NoHandle || onLeft || onRight) {
        const bool left =
            held == GraphDragState::LeftHandle || (held == GraphDragState::NoHandle && onLeft);
        m_drag.Hover(left ? GraphDragState::LeftHandle : GraphDragState::RightHandle);
        m_overHandle = true;
        if (held != GraphDragState::NoHandle &&
            filter->DragBandwidth(point.x, m_drag.GetHeldSide())) {
            m_changed = true;
            return true;
        }
        return false;
    }
    if (bandwidth && InBandwidthReach(*filter, point)) {
        // Between the band handle and its bandwidth handles: the band stays current, so that
        // the pointer can travel to a bandwidth handle of a wide band without losing it.
        m_drag.Hover(GraphDragState::NoHandle);
        m_overHandle = false;
        return false;
    }
    Drop();
    FindHandle(scene, point);
    return true;
}

bool GraphInteraction::HasBandwidthHandles(const GraphScene& scene) const {
    return m_current != nullptr && scene.IsEqMode() && m_current->GetType() == CFilter::Peaking;
}

bool GraphInteraction::DragCrossover(const GraphScene& scene, CPoint point) {
    CAudio_OutData* output = scene.program->GetOutput(scene.selectedOutput);
    return output != nullptr &&
           ChannelEdits::DragCrossover(*output, *m_current, point, m_drag.GetGrabOffset());
}

bool GraphInteraction::InBandwidthReach(const CFilter& filter, CPoint point) {
    const CRect band = filter.GetBandHandle();
    const CRect left = filter.GetLeftBandwidthHandle();
    const CRect right = filter.GetRightBandwidthHandle();
    const CRect reach(std::min({band.left, left.left, right.left}),
                      std::min({band.top, left.top, right.top}),
                      std::max({band.right, left.right, right.right}),
                      std::max({band.bottom, left.bottom, right.bottom}));
    return reach.PtInRect(point);
}
