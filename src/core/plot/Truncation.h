#pragma once

// Truncation toward zero that stays defined for NaN and values beyond the int range
// (NaN gives 0, the rest is clamped to the int range).
int TruncToInt(double value);
