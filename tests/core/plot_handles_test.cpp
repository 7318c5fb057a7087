#include "core/plot/Handles.h"

#include "core/plot/PlotGrid.h"

#include <gtest/gtest.h>

namespace {

constexpr int kW = 600;
constexpr int kH = 300;

TEST(PlotBandHandle, StaysWithinHalfAHandleOfThePlot) {
    struct Case {
        int hz;
        double gain;
        bool flat;
        CRect expected; // before the margins are added
    };
    const int x1k = FreqToX(1000, kW);
    const Case cases[] = {
        {1000, 0.0, false, {x1k - 8, 92, x1k + 8, 108}},          // 0 dB line at y 100
        {1000, -20.0, true, {x1k - 8, 92, x1k + 8, 108}},         // flat draws at 0 dB
        {10, 12.0, false, {-8, 32, 8, 48}},                       // left edge
        {5, 12.0, false, {-8, 32, 8, 48}},                        // raised to -8
        {30000, 12.0, false, {kW - 8, 32, kW + 8, 48}},           // right edge
        {1000, 20.0, false, {x1k - 8, 0, x1k + 8, 16}},           // top: raised to 0
        {1000, -45.0, false, {x1k - 8, kH - 8, x1k + 8, kH + 8}}, // bottom: moved up
    };
    for (const Case& c : cases) {
        const CRect expected(c.expected.left + GraphLeftMargin, c.expected.top + GraphTopMargin,
                             c.expected.right + GraphLeftMargin,
                             c.expected.bottom + GraphTopMargin);
        EXPECT_EQ(BandHandleRect(c.hz, c.gain, c.flat, kW, kH), expected)
            << c.hz << " Hz " << c.gain << " dB";
    }
}

TEST(PlotBandwidthHandles, SitAtTheBandEdgesAboveOrBelowTheCentre) {
    const CRect band = BandHandleRect(1000, 6.0, false, kW, kH);
    const BandwidthHandleRects up = BandwidthHandles(band, 1000, 6.0, 2.0, kW);
    EXPECT_EQ(up.left, CRect(FreqToX(250, kW) + 31, band.CenterPoint().y + 6, FreqToX(250, kW) + 39,
                             band.CenterPoint().y + 14));
    EXPECT_EQ(up.right.CenterPoint(),
              CPoint(FreqToX(4000, kW) + GraphLeftMargin, band.CenterPoint().y + 10));
    const BandwidthHandleRects down = BandwidthHandles(band, 1000, -0.1, 2.0, kW);
    EXPECT_EQ(down.left.CenterPoint().y, band.CenterPoint().y - 10);
}

TEST(PlotCrossoverHandle, LinesAndEdges) {
    const int y5 = DbToY(5.0, kH) + GraphTopMargin;
    const int y1 = DbToY(-1.0, kH) + GraphTopMargin;
    EXPECT_EQ(CrossoverHandleRect(1000, true, kW, kH),
              CRect(FreqToX(1000, kW) - 8 + 35, y5, FreqToX(1000, kW) + 8 + 35, y5 + 16));
    EXPECT_EQ(CrossoverHandleRect(1000, false, kW, kH).top, y1);
    EXPECT_EQ(CrossoverHandleRect(10, true, kW, kH).left, -8 + 35);
    EXPECT_EQ(CrossoverHandleRect(40000, false, kW, kH).right, kW + 8 + 35);
    EXPECT_EQ(CrossoverHandleRect(30000, false, kW, kH).right, kW + 8 + 35);
}

} // namespace
