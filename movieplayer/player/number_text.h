// The movie scripts' numbers travel as text: the conversions both ways, and
// the truth test of host command arguments.
#pragma once

#include <string>

namespace movie {

// Up to 15 significant digits, rounded; plain notation for decimal
// exponents -5..14, else "d.ddde[-]x"; trailing zeros dropped.  Infinities
// and NaN, which the scripts can make by overflow, read "Infinity",
// "-Infinity" and "NaN".
std::string NumberToText(double v);

// [+|-]digits[.digits][(e|E)[+|-]digits] and nothing else; false (and 0) for
// any other text, the empty text included.
bool TextToNumber(const char* text, double* out);
// The number a popped value stands for: 0 when it is not a number.
double TextNumber(const char* text);

// A number is true when not 0; other texts when "true" or "yes" (any case).
bool TextIsTrue(const char* text);

// Names of variables, labels and instances compare without case (ASCII only).
bool EqualNoCase(const char* a, const char* b);
bool EqualNoCase(const std::string& a, const std::string& b);
bool StartsWithNoCase(const std::string& s, const char* prefix);

}  // namespace movie
