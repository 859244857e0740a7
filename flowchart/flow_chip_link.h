// CFlowChipLink: what a flowchart's start element asks of the
// microcontroller part that runs its flowchart.  The microcontroller part
// implements it beside its component base; the start finds it anew for
// every question through FindFlowChip, so a microcontroller added, renamed
// or deleted between two questions is seen at the next one.
#pragma once

#include "platform/cstring.h"

class CCircuit;

class CFlowChipLink {
public:
    virtual ~CFlowChipLink() = default;

    // The flowchart name the microcontroller runs (compared without case).
    virtual CString GetFlowchartName() const = 0;
    // "STAMP", "18 pin PIC", "28 pin PIC", "28 pin PIC (USART)" or "Generic".
    virtual CString GetChipClass() const = 0;
    // Pin-name lists for the property toolbar, joined by "\n".
    virtual CString GetOutputLabels() const = 0;
    virtual CString GetInputLabels() const = 0;
    virtual CString GetAnalogLabels() const = 0;
    virtual CString GetMotorLabels() const = 0;
    // The value of an input: 0 or the analogue range for a digital pin,
    // 0 .. range for an analogue one; -5 when there is no input of that name.
    virtual int ReadInput(const CString& label) = 0;
    // 1 when the input is digital, 0 when analogue.
    virtual int IsInputDigital(const CString& label) = 0;
    // Drives the output pin (value 0 low, otherwise high); 1 when done.
    virtual int SetOutputPin(const CString& label, int value) = 0;
    // Pin numbers of an input and an analogue input (50 no such pin).
    virtual int GetInputPinIndex(const CString& label) = 0;
    virtual int GetAnalogPinIndex(const CString& label) = 0;
    // The output label after this one.
    virtual CString GetNextOutputLabel(const CString& label) = 0;
    virtual int GetInputCount() = 0;
    // Every output pin from one bit of the value (bit j: output j); 1 when
    // done.  The base refuses (0).
    virtual int SetOutputsFromBits(int /*bits*/) { return 0; }
    // The motor on the output pin of this name and the one after it:
    // direction 0 forwards (lower high, upper low), 1 halt (both low), 2
    // backwards (lower low, upper high); 1 when done.  The base refuses (0).
    virtual int DriveMotorPins(const CString& /*lowerPin*/, int /*direction*/) { return 0; }
    // The pin number of the output of this name (its place in the chip's
    // pin order, the inputs first), 50 when no output has it; the number
    // of the first output; how many outputs there are.  The bases answer
    // as a chip whose outputs follow its inputs.
    virtual int GetOutputPinNumber(const CString& /*label*/) { return 50; }
    virtual int GetOutputPinOffset() { return GetInputCount(); }
    virtual int GetOutputCount() { return 0; }
    // Every output pin back to its rest level (a new run starts).
    virtual void ResetPins() = 0;
    // The microcontroller has a reset input that is not high: no run starts.
    virtual bool IsHeldInReset() = 0;
    // The serial line.  The digital inputs as one byte; analogue input i
    // (-2 not an analogue input); the Receive pin (0 or 1, 50 none); the
    // Send pin's port (50 none); the bit frames of six values (-1 not sent)
    // started: 1 | bit count << 16, 0 when serial communications are off.
    // The base has no line.
    virtual int ReadDigitalByte() { return 0; }
    virtual int ReadAnalogInput(int /*i*/) { return -2; }
    virtual int ReadReceivePin() { return 50; }
    virtual int GetSendPinIndex() { return 50; }
    virtual int StartTransmission(const int* /*values*/, bool /*whole*/) { return 0; }
};

// The first microcontroller of the design whose flowchart name equals the
// name (case-insensitive); null when there is none.  The one place where a
// start element meets the microcontroller part.
CFlowChipLink* FindFlowChip(const CCircuit* design, const CString& flowchartName);

// Case-insensitive equality of two names (ASCII letters).
bool SameNameNoCase(const CString& a, const CString& b);
