#pragma once

#include "core/plot/Geometry.h"

// The 8-segment level meters of the panels: which segments a received level byte lights, and
// where each segment lies in the meter.

constexpr int MeterSegmentCount = 8;
constexpr int MeterSegmentGap = 2; // pixels between two segments

// Bit i set = segment i lit, segment 0 at the bottom, segment 7 at the top.
unsigned LitMeterSegments(int level);

// Cell of segment i (0 = bottom) in a meter of the given client size. The segment height is
// (height - 14) / 8; the cells are stacked from the bottom edge with a 2-pixel gap.
CRect MeterSegmentCell(int segment, int width, int height);
// The part of a cell painted when the segment is lit: one pixel inside on the left, top and
// right.
CRect MeterSegmentLitRect(int segment, int width, int height);
