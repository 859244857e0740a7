// Number text that ignores the locale: the C library's %g, %f and atof, as
// the design files and the user interface expect them, built on
// std::to_chars and std::from_chars so that a German or French locale never
// turns "4.7" into "4,7" or reads "4.7" as 4.
#pragma once

#include "platform/cstring.h"

// printf("%.<precision>g", v) in the C locale.
CString FormatGeneral(double v, int precision);
// printf("%<width>.<precision>f", v) in the C locale (right-aligned, spaces).
CString FormatFixed(double v, int precision, int width = 0);
// printf("%i", v).
CString FormatInt(long long v);
// atof(text) in the C locale: leading white space, an optional sign, the
// longest prefix that is a decimal number (also "inf" and "nan"); 0 when
// there is none.  Numbers too large for a double give +-HUGE_VAL, too small
// ones +-0, like strtod.
double ParseLeadingDouble(const char* text);
