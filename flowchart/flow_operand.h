// What the elements that work on the flowchart's variables share: the
// variable range, the rule by which a typed operand is a number or a
// variable name, the clean-up of typed names, the flowchart an element
// runs in, and the shortening of captions made of several parts.
#pragma once

#include "platform/cstring.h"

#include <vector>

class CCircuit;
class CFlowMeterMessage;
class CFlowObject;
class CFlowStart;
class CNumber;

// The markers a variable holds when a result left 0 .. range.
constexpr int kFlowAboveRange = -2;
constexpr int kFlowBelowRange = -10;
// A variable that has been made but holds no value yet.
constexpr int kFlowNoValue = -1;

// The design's variable range (the flowchart options' "Variable Range",
// default 255); 255 without a design.
int FlowVariableRange(const CCircuit* design);

// A number truncated towards zero to an int; values beyond the int range
// stop at its ends and an undefined number is 0.
int TruncateToInt(double v);

// An operand as typed: a non-empty text whose leading number (as atof reads
// it) is not zero, or whose first character is "0", is a number, which the
// operand's number takes within 0 .. max (no prefix) and the is-a-variable
// flag is cleared; any other text, the empty one included, becomes the
// operand's variable name and sets the flag.  Returns the number's parse
// status (CNumber::SetFromText: 0 unchanged, 1 taken, 2 clamped, 4 refused),
// 1 for a "0..." text and for a variable name.
int ClassifyOperand(const CString& text, CNumber& number, CString& name, int& isVariable, double max);

// A typed name made usable: an empty name becomes " " (the blank that marks
// an operand not given yet), any other name with a blank in it becomes
// `replacement`.
void CleanTypedName(CString& name, const char* replacement);

// The flowchart an element runs in: its start, or inside a subroutine the
// start the subroutine runs for; null when none stands in the design.
CFlowStart* RunningFlowchart(const CFlowObject& element);
// The flowchart an element writes its BASIC lines for: the exporting start
// when one asks, else the one it runs in.
CFlowStart* ExportingFlowchart(const CFlowObject& element, CFlowObject* exporting);

// Fits a caption built from parts to a message label.  While the text
// overflows, pick() names the part to lose its last character (-1: none
// may); afterwards every part that was cut loses two more characters and
// ends in "..".  build() makes the caption from the parts as they stand.
template <class Build, class Pick>
CString FitCaption(CFlowMeterMessage* message, const std::vector<CString*>& parts, Build build, Pick pick);

// One text shortened the same way: its last character while it overflows,
// then two more and "..".
CString FitWholeCaption(CFlowMeterMessage* message, const CString& text);

// ---- template body ----

bool FlowTextOverflows(CFlowMeterMessage* message, const CString& text);

template <class Build, class Pick>
CString FitCaption(CFlowMeterMessage* message, const std::vector<CString*>& parts, Build build, Pick pick)
{
    std::vector<bool> cut(parts.size(), false);
    CString caption = build();
    while (FlowTextOverflows(message, caption)) {
        const int k = pick();
        if (k < 0 || static_cast<size_t>(k) >= parts.size() || parts[static_cast<size_t>(k)]->empty()) break;
        parts[static_cast<size_t>(k)]->pop_back();
        cut[static_cast<size_t>(k)] = true;
        caption = build();
    }
    bool any = false;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (!cut[k]) continue;
        CString& p = *parts[k];
        p.erase(p.size() - (p.size() < 2 ? p.size() : 2));
        p += "..";
        any = true;
    }
    return any ? build() : caption;
}

// The error code of an assignment whose operand was never given.
constexpr int kFlowErrBadExpression = 10192;
