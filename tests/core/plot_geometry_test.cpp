#include "core/plot/Geometry.h"

#include <gtest/gtest.h>

TEST(PlotGeometry, ColourPacksRedInTheLowByte) {
    constexpr COLORREF c = RGB(48, 54, 68);
    EXPECT_EQ(c, 0x443630u);
    EXPECT_EQ(GetRValue(c), 48u);
    EXPECT_EQ(GetGValue(c), 54u);
    EXPECT_EQ(GetBValue(c), 68u);
}

TEST(PlotGeometry, RectSizeAndHitTest) {
    CRect r(10, 20, 26, 36);
    EXPECT_EQ(r.Width(), 16);
    EXPECT_EQ(r.Height(), 16);
    EXPECT_TRUE(r.PtInRect({10, 20}));
    EXPECT_FALSE(r.PtInRect({26, 20}));
    EXPECT_EQ(r.CenterPoint(), CPoint(18, 28));
    EXPECT_TRUE(CRect().IsRectEmpty());
}
