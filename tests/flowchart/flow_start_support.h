// Test helpers for flowcharts of the real element classes: a start whose
// microcontroller is a scripted fake, and joins by connector.
#pragma once

#include "flow_support.h"
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_start.h"

#include <map>

// A microcontroller that answers from a table: label -> (value, digital).
class CFakeChip : public CFlowChipLink {
public:
    CString GetFlowchartName() const override { return name; }
    CString GetChipClass() const override { return chipClass; }
    CString GetOutputLabels() const override { return "Out"; }
    CString GetInputLabels() const override { return "Switch\nDial"; }
    CString GetAnalogLabels() const override { return "Dial"; }
    CString GetMotorLabels() const override { return "Out"; }
    int ReadInput(const CString& label) override
    {
        auto it = inputs.find(label);
        return it == inputs.end() ? -5 : it->second.first;
    }
    int IsInputDigital(const CString& label) override
    {
        auto it = inputs.find(label);
        return it == inputs.end() ? 1 : it->second.second;
    }
    int SetOutputPin(const CString&, int) override { return 1; }
    int GetInputPinIndex(const CString& label) override { return label == "Switch" ? 2 : 50; }
    int GetAnalogPinIndex(const CString& label) override { return label == "Dial" ? 0 : 50; }
    CString GetNextOutputLabel(const CString&) override { return "Out"; }
    int GetInputCount() override { return 8; }
    void ResetPins() override { ++resets; }
    bool IsHeldInReset() override { return heldInReset; }

    CString name = "Flowchart 1";
    CString chipClass = "28 pin PIC";
    std::map<CString, std::pair<int, int>> inputs;
    int resets = 0;
    bool heldInReset = false;
};

// A start that asks the fake in place of searching the design.
class CChipStart : public CFlowStart {
public:
    CFlowChipLink* FindChip() override { return chip; }
    CFlowChipLink* chip = nullptr;
};

// A bench for elements that fit their captions to their labels, which
// measures text (a QGuiApplication, offscreen).
struct GuiBench : FlowBench {
    GuiBench() { EnsureGuiApp(); }
};

// Presses and releases the start as its button does.
inline void Press(CFlowStart* s, CCircuit& d)
{
    s->SetInputValue(&d, 1);
    s->SetInputValue(&d, 0);
}
