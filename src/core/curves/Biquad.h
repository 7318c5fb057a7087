#pragma once

// One biquad section with normalised coefficients (a0 = 1), as the response curves use it.
struct Biquad {
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// 2 pi and ln 2 exactly as the drawn curves use them.
constexpr double CurveTwoPi = 6.2831852;
constexpr double CurveLn2 = 0.69314718;

// Level in dB of a section on the unit circle at angle w.
double BiquadLevelDb(const Biquad& section, double w);

// Divides every coefficient by a0 (a0 of exactly 0 is taken as 1e-10).
Biquad NormaliseBiquad(double b0, double b1, double b2, double a0, double a1, double a2);
