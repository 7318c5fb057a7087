#pragma once

#include "core/plot/Geometry.h"

#include <Qt>

// Where the response graph puts a handle's caption inside the handle rectangle. The captions
// move to the side of the handle that stays inside the plot when the handle sits at either end
// of the frequency axis.

// Band number of an EQ band: left-aligned when the handle touches the right end of the plot
// (plotRight is the plot's right edge in graph control pixels), centred above 10 Hz, otherwise
// right-aligned.
Qt::Alignment BandLabelAlignment(const CRect& handle, int frequency, int plotRight);
// "H" of the high-pass and "L" of the low-pass handle: right-aligned at 10 Hz or below,
// left-aligned at 28000 Hz or above, centred between.
Qt::Alignment CrossoverLabelAlignment(int frequency);
