#include "core/scales/FaderTrack.h"
#include "core/scales/KnobDial.h"
#include "core/scales/MeterSegments.h"
#include "core/scales/LogFrequencyScale.h"

#include <gtest/gtest.h>

namespace {

TEST(LevelMeter, LevelBytesLightTheirSegments) {
    struct Case {
        int level;
        unsigned lit; // bit 0 = bottom segment
    };
    const Case cases[] = {
        {0, 0x00},  {1, 0x01},  {5, 0x1F},  {7, 0x7F},  {8, 0x7F},  {9, 0xFF},   {15, 0xFF},
        {16, 0x80}, {17, 0x81}, {20, 0x8F}, {22, 0xBF}, {23, 0xFF}, {255, 0xFF}, {-1, 0x00},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LitMeterSegments(c.level), c.lit) << "level " << c.level;
    }
}

TEST(LevelMeter, SegmentsStackFromTheBottomWithTwoPixelGaps) {
    // 94 pixels high: (94 - 14) / 8 = 10 pixel segments, 8 x 10 + 7 x 2 = 94.
    EXPECT_EQ(MeterSegmentCell(0, 6, 94), CRect(0, 84, 6, 94));
    EXPECT_EQ(MeterSegmentCell(1, 6, 94), CRect(0, 72, 6, 82));
    EXPECT_EQ(MeterSegmentCell(7, 6, 94), CRect(0, 0, 6, 10));
    EXPECT_EQ(MeterSegmentLitRect(0, 6, 94), CRect(1, 85, 5, 94));
    // 100 pixels: 10 pixel segments again, the spare pixels stay at the top.
    EXPECT_EQ(MeterSegmentCell(7, 6, 100), CRect(0, 6, 6, 16));
    // Too small a meter gets empty cells instead of inverted ones.
    EXPECT_TRUE(MeterSegmentCell(3, 6, 10).IsRectEmpty());
    EXPECT_GE(MeterSegmentCell(3, 6, 10).Height(), 0);
}

TEST(FaderTrack, ThumbCentreAndPositionFollowTheUsableLength) {
    // 160 high, margins 0 / 2, thumb 10: usable 148, centre runs 5 .. 153.
    const FaderTrack track{0, 460, 160, 0, 2, 10};
    EXPECT_EQ(track.Usable(), 148);
    EXPECT_EQ(track.CentreOf(0), 5);
    EXPECT_EQ(track.CentreOf(460), 153);
    EXPECT_EQ(track.CentreOf(230), 79);
    EXPECT_EQ(track.CentreOf(999), 153); // clamped
    EXPECT_EQ(track.CentreOf(-5), 5);
    EXPECT_EQ(track.PositionAt(5), 0);
    EXPECT_EQ(track.PositionAt(153), 460);
    EXPECT_EQ(track.PositionAt(79), 230);
    EXPECT_EQ(track.PositionAt(-40), 0);
    EXPECT_EQ(track.PositionAt(400), 460);
    EXPECT_EQ(track.ClampCentre(0), 5);
    EXPECT_EQ(track.ClampCentre(200), 153);
    // Where pixels outnumber the steps every position reads back as itself.
    const FaderTrack fine{0, 3, 100, 4, 0, 10};
    for (int p = 0; p <= 3; ++p) {
        EXPECT_EQ(fine.PositionAt(fine.CentreOf(p)), p) << p;
    }
}

TEST(FaderTrack, DegenerateTracksStayAtTheMinimum) {
    const FaderTrack flat{5, 5, 100, 0, 0, 10};
    EXPECT_EQ(flat.CentreOf(5), 5);
    EXPECT_EQ(flat.PositionAt(90), 5);
    const FaderTrack tiny{0, 100, 8, 0, 0, 10}; // thumb longer than the client
    EXPECT_EQ(tiny.Usable(), 0);
    EXPECT_EQ(tiny.PositionAt(50), 0);
}

TEST(LogFrequencyScale, FaderAndKnobEnds) {
    EXPECT_EQ(FaderFrequency(0, 240), 30000);
    EXPECT_EQ(FaderFrequency(240, 240), 10);
    EXPECT_EQ(FaderFrequency(102, 240), 998);
    EXPECT_EQ(FaderPositionOfFrequency(1000, 0, 240), 102);
    EXPECT_EQ(FaderPositionOfFrequency(30000, 0, 240), 1);
    EXPECT_EQ(FaderPositionOfFrequency(10, 0, 240), 240);
    EXPECT_EQ(FaderPositionOfFrequency(0, 0, 240), 240);
    EXPECT_EQ(FaderPositionOfFrequency(-50, 0, 240), 240);
    EXPECT_EQ(FaderPositionOfFrequency(2000000000, 0, 240), 0);
    EXPECT_EQ(KnobFrequency(0), 10);
    EXPECT_EQ(KnobFrequency(240), 30000);
    EXPECT_EQ(KnobPositionOfFrequency(1000, 0, 240), 138);
    EXPECT_EQ(KnobPositionOfFrequency(5, 0, 240), 0);
    EXPECT_EQ(KnobPositionOfFrequency(2000000000, 0, 240), 240);
}

TEST(KnobDial, PositionsAndAngles) {
    EXPECT_DOUBLE_EQ(KnobAngleOfPosition(225, 0, 450), 0.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPosition(0, 0, 450), 245.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPosition(450, 0, 450), 115.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPosition(500, 0, 450), 115.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPosition(3, 3, 3), 245.0);
    struct Case {
        double angle;
        int position;
    };
    const Case cases[] = {
        {0.0, 225}, {245.0, 0},   {115.0, 450}, {90.0, 401},  {270.0, 49},
        {240.0, 0}, {120.0, 450}, {200.0, 0},   {160.0, 450}, {359.9, 225},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KnobPositionOfAngle(c.angle, 0, 450), c.position) << c.angle;
    }
    for (int p = 0; p <= 450; ++p) {
        EXPECT_EQ(KnobPositionOfAngle(KnobAngleOfPosition(p, 0, 450), 0, 450), p) << p;
    }
}

TEST(KnobDial, PointsAroundTheCentre) {
    EXPECT_DOUBLE_EQ(KnobAngleOfPoint(0, -10), 0.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPoint(10, 0), 90.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPoint(0, 10), 180.0);
    EXPECT_DOUBLE_EQ(KnobAngleOfPoint(-10, 0), 270.0);
    EXPECT_TRUE(InKnobDeadSector(0, 10));
    EXPECT_TRUE(InKnobDeadSector(5, 10));   // about 153 degrees
    EXPECT_FALSE(InKnobDeadSector(10, 5));  // about 117 degrees
    EXPECT_TRUE(InKnobDeadSector(-10, 10)); // 225 degrees
    EXPECT_FALSE(InKnobDeadSector(-10, 5)); // about 243 degrees
    EXPECT_FALSE(InKnobDeadSector(0, -10));
}

} // namespace
