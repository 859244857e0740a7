// The y scaling of a graph: CScopeLimits moves one end of the range to a
// value that divides well (three significant digits, rounded outward), and
// ScaleGraph turns a graph's maximum and minimum into division lines whose
// labels are round numbers under one SI prefix.
//
// A record holds a value as sign x result x 10^(exponent - 3), the result
// being a whole number below the multiplier (1000: three digits).
#pragma once

#include "platform/cstring.h"

class CScopeLimits {
public:
    CScopeLimits() { Set(0.0, 1, false); }
    CScopeLimits(double value, int multiplier, bool upward) { Set(value, multiplier, upward); }

    // Keeps the multiplier; a negative value rounds with the flag inverted,
    // so that both ends of a range move outward (a negative maximum moves
    // toward zero).
    void Set(double value, int multiplier, bool upward);
    // Exponent + n: the mantissa loses n digits, and the result is rounded
    // again.
    void Shift(int n);

    double GetMantissa() const { return m_dMantissa; }
    int GetResult() const { return m_nResult; }
    int GetSignedResult() const { return m_nSign * m_nResult; }
    int GetSign() const { return m_nSign; }
    int GetExponent() const { return m_nExponent; }
    bool IsUpward() const { return m_bUpward; }
    int GetMultiplier() const { return m_nMultiplier; }
    // sign x result x 10^exponent / multiplier.
    double GetValue() const;

private:
    // Mantissa into [0.1, 1) with the decimal exponent; 0 gives exponent -20.
    void Normalise(double value);
    void Step();

    double m_dMantissa = 0.0;
    int m_nResult = 0;
    int m_nSign = 1;
    int m_nExponent = 0;
    bool m_bUpward = false;
    int m_nMultiplier = 1;
};

// The step that n units per division are rounded up to: 1-5 as they are,
// then 10, 15, 20, 25, multiples of 10 up to 60, 75, multiples of 50.
int NiceStep(int n);

// What a graph keeps of its y scaling.
struct CGraphScale {
    // Label of the bottom line and label step per division, in the
    // prefixed unit of the caption.
    double labelBottom = 0.0;
    double labelStep = 1.0;
    // In base units: the value at the bottom line and per pixel (20 pixels
    // to a division).
    double bottomValue = 0.0;
    double unitsPerPixel = 0.05;
    // Decimals of the labels: 0, 1 or 2.
    int decimals = 0;
    int divisions = 1;
    // The common decimal exponent of both ends.
    int exponent = 0;
    // The prefix letter of the labels ("", "m", "µ" as Windows-1252, "k", ...)
    // and its scale (1e-6 ... 1e9).
    CString prefix;
    double prefixScale = 1.0;
    // Both ends as rounded: upper and lower records.
    CScopeLimits upper;
    CScopeLimits lower;
};

constexpr int kPixelsPerYDivision = 20;

// The scaling of a graph height pixels high from a maximum and a minimum
// given as mantissas under one SI prefix code (0 p ... 4 none ... 7 G).
CGraphScale ScaleGraph(double maxMantissa, double minMantissa, int prefixCode, int height);

// The caption "Voltage (mV)": the quantity name, the prefix of the scale
// and the unit.
CString GraphCaption(const CString& quantityName, const CGraphScale& scale, const CString& unit);

// printf-style text of a label value with the graph's decimals.
CString FormatGraphLabel(double value, int decimals);
