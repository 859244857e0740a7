// Programming a real microcontroller from a flowchart start's record
// button.  The work (the programmer dialog on first use, the export, the
// programmer's files and program, its progress window) belongs to the user
// interface, which installs its host for the life of the main window;
// without one the button does nothing.
#pragma once

class CFlowStart;

class CFlowProgrammerHost {
public:
    virtual ~CFlowProgrammerHost() = default;
    // Programs the chip with the flowchart's program.
    virtual void Program(CFlowStart& start) = 0;
    static CFlowProgrammerHost* Current();
    // The previous host, for the installer to put back.
    static CFlowProgrammerHost* Install(CFlowProgrammerHost* host);
};
