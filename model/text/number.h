// A physical quantity as a value label shows it: a number in base units, a
// chosen SI prefix, a unit text and the row of the value-limits table that
// bounds what the user may type or step to.
#pragma once

#include "platform/cstring.h"

#include <cstdint>

class CArchive;
class CNumber;

// The part that shows a number and rebuilds its text when the number changes
// (the value label).
class CNumberOwner {
public:
    virtual void OnNumberChanged(CNumber* number) = 0;

protected:
    ~CNumberOwner() = default;
};

// One row of the value-limits table: mantissa bounds in the chosen prefix
// and the range of prefix codes allowed.
struct CValueLimits {
    double min;
    double max;
    int lowPrefix;
    int highPrefix;
};

// Prefix codes 0..7 are p n µ m (none) k M G; code 4 is "no prefix".
constexpr int kPrefixNone = 4;
constexpr int kValueLimitRows = 30;
constexpr int kEditLimitsRow = 15;

// The stored letter of a prefix code (space for none and for codes outside 0-7).
char PrefixLetter(int code);
// The code of a stored letter; any unknown letter reads as 4.
int PrefixCode(char letter);
// 10^(3 x (code - 4)); 1 for codes outside 0-7.
double PrefixFactor(int code);

// The prefix code under which a value in base units reads as an engineer
// writes it: the letter that leaves a number from 1 to below 1000 once it
// is rounded to the four digits a label shows (10000 -> 10k, 1e-4 -> 100µ,
// 1000 -> 1k); 0 and values that are not finite take no prefix.  The code
// is kept within lowPrefix..highPrefix.
int EngineeringPrefix(double baseValue, int lowPrefix = 0, int highPrefix = 7);

// Whether typed text begins with a number (blanks may lead; "4.", "1e3"
// and "inf" do, "", "-", "." and "nan" do not).
bool HoldsNumber(const char* text);

// The limits row of a type code (row 5 for codes outside the table).
CValueLimits GetValueLimits(int typeCode);
// Replaces row 15, the row that mechanism and flowchart parts fill with
// limits of their own before they build a value.
void SetEditValueLimits(double min, double max, int lowPrefix, int highPrefix);

class CNumber {
public:
    CNumber() = default;
    CNumber(double mantissa, int prefixCode, const CString& unit, uint16_t typeCode);
    virtual ~CNumber() = default;
    // value, scale, prefix letter (byte), unit, type code (word).
    virtual void Serialize(CArchive& ar);
    CNumber(const CNumber&) = default;
    CNumber& operator=(const CNumber&) = default;

    // Stores mantissa x 10^(3 x (code - 4)) with the code's letter; a code
    // outside 0-7 stores the mantissa as it is, with no prefix.  Returns the
    // shown number, mantissa x scale.
    double SetValue(double mantissa, int prefixCode);
    // Stores a value given in base units under its engineering prefix
    // (EngineeringPrefix within the prefix codes of the type's row), so that
    // the text reads "10k" and not "1e+04".  Returns the shown number.
    double SetBaseValue(double baseValue);
    // The prefix code of the stored letter; *out receives the mantissa.
    int GetMantissa(double* out) const;
    // The shown number (mantissa x scale) with four significant digits, %g rules.
    void Format(CString* out) const;
    CString Format() const;
    void GetPrefixText(CString* out) const;
    void GetUnitText(CString* out) const;
    // Number, prefix and unit without separators: "4.7k" followed by the unit.
    CString GetFullText() const;

    void Assign(double mantissa, int prefixCode, const CString& unitText, uint16_t type);
    // Sets the value in base units, with no prefix.
    CNumber& operator=(double baseValue);
    void SetTypeCode(int type) { typeCode = static_cast<uint16_t>(type); }

    // Clamps the prefix code and the mantissa to the row of typeCode.
    // Returns 1 when nothing changed, 2 when something was clamped.
    int Normalise(double* mantissa, int* prefixCode) const;

    // Parse status of the three edit operations below:
    // 0 unchanged, 1 accepted, 2 clamped, 4 refused or clamped back.  A
    // text that holds no number (an emptied box, "-", letters) is refused
    // and the number kept: it is not read as 0.
    int SetFromText(const char* text, CNumberOwner* owner);
    // Whether typed text reads as the number held now ("4." and "4.70" read
    // as 4.7 does), so that a box being typed into may keep it as typed.
    bool ReadsAs(const char* text) const;
    int SetPrefixFromText(const char* text, CNumberOwner* owner);
    // Moves the prefix one code up (direction > 0) or down; 1 when it moved.
    int StepPrefix(int direction, CNumberOwner* owner);
    // Steps the shown number by amount steps of `step` shown units (0: an
    // automatic step fitted to the shown precision).  1 when it changed.
    int StepValue(int amount, CNumberOwner* owner, double step = 0.0);

    double scale = 1.0;
    double value = 0.0;
    CString unit;
    char prefix = ' ';
    uint16_t typeCode = 5;
};

CArchive& operator<<(CArchive& ar, const CNumber& n);
CArchive& operator>>(CArchive& ar, CNumber& n);
