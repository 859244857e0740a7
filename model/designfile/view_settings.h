// The data and rules of the small settings dialogs that the view commands
// open: logic family, title, page size, locked constraints, sound length,
// the font-rescale factor and the gravity switch.  The windows belong to
// the application; everything they check and store is here, so the rules
// run without windows.
#pragma once

#include "platform/cstring.h"
#include "platform/archive.h"
#include "platform/geometry.h"

#include <vector>

class CCircuit;
class CPart;

// Logic Options: family 0 74ACT, 1 74HC, 2 4000B; one supply field per
// family that has one (74ACT always runs at 5 V).
struct CLogicDlgData {
    int family = 0;
    double hcSupply = 5.0;   // 2..6 V
    double cmosSupply = 5.0; // 3..15 V

    static CLogicDlgData FromDesign(const CCircuit& design);
    // The supply of the chosen family.
    double ChosenSupply() const;
    // 0 when valid, else the id of the first field out of range (150 the
    // 74HC field, 149 the 4000B field).
    int FirstInvalidField() const;
    // OK: family and chosen supply stored, the controller told that a
    // setting changed, the design changed.  False (nothing stored) when a
    // field is out of range.
    bool ApplyTo(CCircuit& design) const;
};

// The title of a design: at most 80 characters.
constexpr int kMaxTitleLength = 80;
bool IsValidTitle(const CString& title);

// Enter Page Size: 0 means no limit.
struct CPageSizeDlgData {
    long long width = 0;  // 0..999999
    long long height = 0; // 0..9999999
    static CPageSizeDlgData FromDesign(const CCircuit& design);
    bool IsValid() const;
};
constexpr long long kMaxPageWidth = 999999;
constexpr long long kMaxPageHeight = 9999999;

// Locked Constraints: three part flag bits over the selected parts; each
// box is 0, 1 or 2 (the parts differ).
struct CLockedConstraintsData {
    static constexpr WORD kBits[3] = {0x1, 0x2, 0x4}; // moving and rotation, value changes, control bar
    int state[3] = {0, 0, 0};

    static CLockedConstraintsData FromParts(const std::vector<CPart*>& parts);
    // Writes every box that differs from `before` (and is not 2) to every
    // part; returns true when something was written.
    bool ApplyTo(const std::vector<CPart*>& parts, const CLockedConstraintsData& before) const;
};

// Sound Sampling: the sample length in seconds and the auto-play length in
// milliseconds.
struct CSoundLengthDlgData {
    double lengthSeconds = 2.0;
    int autoPlayMs = 50;

    static CSoundLengthDlgData FromDesign(const CCircuit& design);
    // 0 when valid, else the id of the field out of range (167 length
    // 0.001..1000 s, 170 auto-play 1..min(999, length in ms)).
    int FirstInvalidField() const;
    // Stores the auto-play frames and, when the length changed, the sample
    // limit.  False (nothing stored) when a field is out of range.
    bool ApplyTo(CCircuit& design) const;
};

// Font Rescale Options: the program-wide factor, 0.01 to 100.
bool IsValidRescaleFactor(double factor);

// Round up gravity: exactly 10 becomes 9.81, anything else 10.
double ToggledGravity(double gravity);

// Parses a number typed into a dialog field (the C locale, surrounding
// blanks allowed); false when the text is not wholly a number.
bool ParseDialogNumber(const CString& text, double* value);
