#pragma once

// Angles of the rotary knob. Angles are in degrees at the knob centre, 0 straight up,
// increasing clockwise. The knob sweeps 230 degrees from 245 (its minimum) clockwise through
// 0 to 115 (its maximum); the sector below the centre between 120 and 240 degrees is dead.

constexpr double KnobMinimumAngle = 245.0;
constexpr double KnobSweep = 230.0;

// Pointer angle of position, in [0, 360).
double KnobAngleOfPosition(int position, int minimum, int maximum);
// Position of a pointer angle, nearest step, clamped to the range.
int KnobPositionOfAngle(double angle, int minimum, int maximum);
// Angle of the point (dx, dy) from the knob centre, with dy growing downwards.
double KnobAngleOfPoint(double dx, double dy);
// True when (dx, dy) lies in the dead sector below the centre: its distance below the centre
// exceeds half its distance from the centre.
bool InKnobDeadSector(double dx, double dy);
