#pragma once

// The logarithmic frequency scale of the frequency faders and knobs: step k stands for
// trunc(10 * b^k) Hz with b = 3000^(1/240), so steps 0..240 run from 10 Hz to 30000 Hz.
// A fader counts its steps from its maximum (its top end is the highest frequency), a knob
// from zero.

constexpr int LogFrequencySteps = 240;

// Frequency in whole Hz of step k.
int LogStepToFrequency(int k);
// Step of frequency hz: trunc(ln(trunc(hz / 10)) / ln b); 0 below 20 Hz.
int FrequencyToLogStep(int hz);

int FaderFrequency(int position, int maximum);
// Fader position showing hz, clamped to the fader's range.
int FaderPositionOfFrequency(int hz, int minimum, int maximum);
int KnobFrequency(int position);
// Knob position showing hz, clamped to the knob's range.
int KnobPositionOfFrequency(int hz, int minimum, int maximum);
