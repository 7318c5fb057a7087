#pragma once

#include "core/plot/Geometry.h"

#include <Qt>

#include <vector>

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

// Gap in pixels between captions pushed apart.
constexpr int kLabelSpreadGap = 2;

// Places the caption rectangles wanted (in order of priority) so that each stays readable:
// a caption is first moved sideways into plot when it sticks out of it, then, while it covers
// one placed before it, moved past that one towards the middle of the plot. Captions that cover
// nothing stay where they were wanted.
std::vector<CRect> SpreadLabels(const std::vector<CRect>& wanted, const CRect& plot);
