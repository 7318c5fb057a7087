#pragma once

// Geometry of a fader along its axis (y for a vertical fader, x for a horizontal one): where
// the thumb centre of a position lies and which position a thumb centre reads as.

struct FaderTrack {
    int minimum = 0;
    int maximum = 100;
    int length = 0;      // client height (vertical) or width (horizontal)
    int startMargin = 0; // top or left margin
    int endMargin = 0;   // bottom or right margin
    int thumbLength = 0; // thumb height (vertical) or width (horizontal)

    // Length the thumb centre travels over; never negative.
    int Usable() const;
    // Thumb centre of the first position.
    int FirstCentre() const;
    // Position clamped to [minimum, maximum].
    int Clamp(int position) const;
    // Thumb centre of position (clamped).
    int CentreOf(int position) const;
    // Thumb centre limited to the track.
    int ClampCentre(int centre) const;
    // Position a thumb centre reads as, nearest step, clamped.
    int PositionAt(int centre) const;
};
