#include "core/scales/MeterSegments.h"

namespace {

constexpr unsigned kAll = 0xFFu;
constexpr unsigned kTop = 0x80u;

// The bottom n segments.
constexpr unsigned Bottom(int n) {
    return (1u << n) - 1u;
}

} // namespace

unsigned LitMeterSegments(int level) {
    if (level <= 0) {
        return 0;
    }
    if (level <= 7) {
        return Bottom(level);
    }
    if (level == 8) {
        return Bottom(7);
    }
    if (level <= 15) {
        return kAll;
    }
    if (level == 16) {
        return kTop;
    }
    if (level <= 22) {
        return Bottom(level - 16) | kTop;
    }
    return kAll;
}

CRect MeterSegmentCell(int segment, int width, int height) {
    const int room = height - (MeterSegmentCount - 1) * MeterSegmentGap;
    const int segmentHeight = room > 0 ? room / MeterSegmentCount : 0;
    const int bottom = height - segment * (segmentHeight + MeterSegmentGap);
    return {0, bottom - segmentHeight, width, bottom};
}

CRect MeterSegmentLitRect(int segment, int width, int height) {
    CRect cell = MeterSegmentCell(segment, width, height);
    cell.left += 1;
    cell.top += 1;
    cell.right -= 1;
    return cell;
}
