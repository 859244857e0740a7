// "Microcontroller Programmer Options" without windows: the programmer
// list (with "- Select -" only until one is chosen, "ChipTalk" only with
// its plug-in), the serial port, the default class and the two chip
// models, with the rules that enable the model fields and OK, and what the
// design keeps.
#pragma once

#include "platform/cstring.h"

#include <vector>

class CCircuit;

struct CProgrammingForm {
    std::vector<CString> programmers;
    int programmer = 0;
    // "COM 1" .. "COM 4" as 0 .. 3.
    int port = 0;
    std::vector<CString> classes;
    int defaultClass = 0;
    CString model18;
    CString model28;
    // Opened because a chip is to be programmed and no programmer has been
    // chosen yet: OK waits for a choice, and the hint says where the
    // dialog is found again.
    bool firstUse = false;

    static constexpr int kPorts = 4;
    // The models offered by Restore Defaults and by the programmers that
    // want the older parts, and by the others.
    static constexpr const char* kModel18 = "16F84";
    static constexpr const char* kModel28 = "16F873";
    static constexpr const char* kModel18A = "16F84A";
    static constexpr const char* kModel28A = "16F73";

    // plugInParent: the folder that holds "PlugIns".
    static CProgrammingForm FromDesign(const CCircuit& design, const CString& plugInParent, bool firstUse);

    const CString& Programmer() const;
    bool HasSelectEntry() const;
    // The model fields apply to the PIC programmers only.
    bool ModelsEnabled() const;
    bool OkEnabled() const;
    // The hint under the fields (a blank outside first use).
    CString Hint() const;
    // A programmer chosen from the list: "- Select -" leaves the list and
    // the models follow the programmer.
    void ChooseProgrammer(int index);
    // The first programmer entry, "COM 1", "16F84" and "16F873".
    void RestoreDefaults();
    // The design keeps the models, the programmer, the port (1-4) and the
    // default class; every flowchart refreshes its BASIC viewers; the
    // controller hears that a setting changed and the design is changed.
    void ApplyTo(CCircuit& design) const;
};

// The serial port the design's programmer uses, 1 to 4.
int ProgrammerPort(const CCircuit& design);
