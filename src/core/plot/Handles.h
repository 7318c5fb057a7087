#pragma once

#include "core/plot/Geometry.h"

// Handle rectangles of the response graph, in graph control pixels (margins included).
// width and height are the size of the plot area.

constexpr int BandHandleSize = 16;
constexpr int BandwidthHandleSize = 8;

// 16 x 16 handle of an EQ band at its frequency and gain (0 dB when flat).
CRect BandHandleRect(int hz, double gainDb, bool flat, int width, int height);

struct BandwidthHandleRects {
    CRect left;
    CRect right;
};
// 8 x 8 handles at the lower and upper band edges, 10 pixels below the band handle centre
// for a gain of 0 dB or more, 10 above for a cut.
BandwidthHandleRects BandwidthHandles(const CRect& bandHandle, int hz, double gainDb,
                                      double octaves, int width);

// 16 x 16 handle of a crossover filter (on the +5 dB line for a high-pass, -1 dB for a
// low-pass).
CRect CrossoverHandleRect(int hz, bool highPass, int width, int height);
