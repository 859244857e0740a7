// Number text that ignores the locale.  Qt sets the process locale from the
// environment, after which atof("1.5") can read 1 and printf("%f") can write
// "1,5"; design files and the property toolbar need the C forms always.
#pragma once

#include "platform/cstring.h"

#include <string_view>

// printf("%*.*f", width, precision, v): fixed notation, right-aligned in
// width characters (no padding when width <= the text's length).
CString FormatFixed(double v, int width, int precision);
// printf("%.*g", precision, v).
CString FormatGeneral(double v, int precision = 6);
// printf("%*.*e", width, precision, v) with at least two exponent digits.
CString FormatExponent(double v, int width, int precision);
// Decimal integer text.
CString FormatInt(long long v);

// Whole-text parse of a decimal number (leading and trailing blanks allowed,
// a leading '+' allowed); false when the text is not a number.
bool ParseDouble(std::string_view text, double& out);
bool ParseInt(std::string_view text, long long& out);

// atof/strtod behaviour without the locale: skips leading white space, reads
// the longest number prefix and returns it (0.0 when there is none); the
// number of characters used goes to *used when given.
double ParseDoublePrefix(std::string_view text, size_t* used = nullptr);
// atoi/strtol (base 10): the same for integers; out-of-range values clamp.
long long ParseIntPrefix(std::string_view text, size_t* used = nullptr);
