#pragma once

#include <string>

// Numbers in the texts the operator reads and types: always a decimal point and never a digit
// grouping, whatever the user's locale, so one value gives the same bytes on every desktop, in
// the command-line tool's output and in every file the programs write, and what one program
// prints another reads back.

// value with decimals digits after the point, rounded as printf's "%0.<decimals>f" rounds in
// the C locale (from the exact binary value, halves to even); decimals 0 gives no point.
std::string FixedText(double value, int decimals);
// value as printf's "%d" writes it.
std::string IntegerText(long long value);

// Typed numbers. A number is read as the C locale reads it: an optional sign, digits with at
// most one decimal point, an optional exponent. A comma right after the number refuses the
// text: "1,5" is neither 1 nor 1.5, so a decimal comma (or a digit grouping) is never taken for
// a different value.

// The number text starts with, after blanks; what follows it is ignored ("12.5ms" reads 12.5).
// False when the text does not start with a number.
bool ReadLeadingNumber(const std::string& text, double& number);
// The same for a whole number: "1000.7" reads 1000.
bool ReadLeadingInteger(const std::string& text, long long& number);
// Text that is one finite number and nothing else but blanks around it.
bool ReadNumber(const std::string& text, double& number);
