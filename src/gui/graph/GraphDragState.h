#pragma once

#include "core/model/Filter.h"
#include "core/plot/Geometry.h"

// What the pointer does with the handles of the graph's current filter: which handle it is over,
// which one a drag holds, and where that drag grabbed it. The filter itself keeps no trace of a
// drag; the graph hands these values to its drag operations on every step.
class GraphDragState {
public:
    enum Handle { NoHandle = 0, BandHandle = 1, LeftHandle = 2, RightHandle = 3 };

    // Nothing hovered, nothing held.
    void Clear() { *this = GraphDragState(); }

    void Hover(Handle handle) { m_hovered = handle; }
    Handle GetHovered() const { return m_hovered; }

    // A drag of the band (or crossover) handle, grabbed at grabOffset from its centre.
    void HoldBand(CPoint grabOffset) {
        m_held = BandHandle;
        m_grabOffset = grabOffset;
    }
    // A drag of a bandwidth handle, grabbed grabOffset pixels from its inner edge.
    void HoldBandwidth(CFilter::BandwidthSide side, int grabOffset) {
        m_held = side == CFilter::LeftSide ? LeftHandle : RightHandle;
        m_bandwidthGrabOffset = grabOffset;
    }
    // Ends whatever drag is active; the hovered handle stays.
    void Release() { m_held = NoHandle; }

    Handle GetHeld() const { return m_held; }
    bool IsHeld() const { return m_held != NoHandle; }
    bool IsBandHeld() const { return m_held == BandHandle; }
    // The bandwidth handle a drag holds, NoSide when none is.
    CFilter::BandwidthSide GetHeldSide() const {
        return m_held == LeftHandle    ? CFilter::LeftSide
               : m_held == RightHandle ? CFilter::RightSide
                                       : CFilter::NoSide;
    }
    CPoint GetGrabOffset() const { return m_grabOffset; }
    int GetBandwidthGrabOffset() const { return m_bandwidthGrabOffset; }

private:
    Handle m_hovered = NoHandle;
    Handle m_held = NoHandle;
    CPoint m_grabOffset;
    int m_bandwidthGrabOffset = 0;
};
