#include "core/plot/Handles.h"

#include "core/plot/PlotGrid.h"

#include <algorithm>
#include <cmath>

namespace {

CRect Shifted(CRect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

CRect CentredSquare(int cx, int cy, int size) {
    return {cx - size / 2, cy - size / 2, cx + size / 2, cy + size / 2};
}

} // namespace

CRect BandHandleRect(int hz, double gainDb, bool flat, int width, int height) {
    const int half = BandHandleSize / 2;
    int x = std::max(FreqToX(hz, width) - half, -half);
    int y = std::max(DbToY(flat ? 0.0 : gainDb, height) - half, 0);
    if (x + BandHandleSize > width + half) {
        x = width + half - BandHandleSize;
    }
    if (y + BandHandleSize > height + half) {
        y = height + half - BandHandleSize;
    }
    return Shifted({x, y, x + BandHandleSize, y + BandHandleSize}, GraphLeftMargin, GraphTopMargin);
}

BandwidthHandleRects BandwidthHandles(const CRect& bandHandle, int hz, double gainDb,
                                      double octaves, int width) {
    const CPoint centre = bandHandle.CenterPoint();
    const int cy = centre.y + (gainDb >= 0.0 ? 10 : -10);
    const double k = std::pow(2.0, octaves);
    BandwidthHandleRects rects;
    rects.left = CentredSquare(FreqToX(hz / k, width) + GraphLeftMargin, cy, BandwidthHandleSize);
    rects.right = CentredSquare(FreqToX(hz * k, width) + GraphLeftMargin, cy, BandwidthHandleSize);
    return rects;
}

CRect CrossoverHandleRect(int hz, bool highPass, int width, int height) {
    const int half = BandHandleSize / 2;
    int x = FreqToX(std::min(hz, PlotHighestFrequency), width) - half;
    const int y = DbToY(highPass ? 5.0 : -1.0, height);
    if (x < -7) {
        x = -half;
    }
    if (x + BandHandleSize > width) {
        x = width - half;
    }
    return Shifted({x, y, x + BandHandleSize, y + BandHandleSize}, GraphLeftMargin, GraphTopMargin);
}
