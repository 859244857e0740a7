// Programming a real microcontroller from a flowchart start's record
// button: the programmer dialog when none has been chosen yet, the
// flowchart's BASIC into "KEProg.bas" beside the "PlugIns" folder, the
// programmer program started with an argument list (never a shell), the
// "Programming in progress ...." window until the programmer's
// "KEProg.log" appears (Cancel ends the programmer), its result, and the
// working files removed.
#pragma once

#include "flowchart/flow_programmer.h"
#include "platform/cstring.h"

class CCircuit;
class QWidget;

// Writes the program to "KEProg.bas" in the folder; false after 905.
bool WriteProgrammerBasic(const CString& folder, const CString& program);
// Runs the design's programmer on the file for the class and waits for
// its log, showing the progress window; false when nothing was started.
bool RunChipProgrammer(const CCircuit& design, const CString& microcontrollerClass, const CString& file,
                       QWidget* parent);
// Removes the programmer's working files from the folder.
void DeleteProgrammerFiles(const CString& folder);

class CQtProgrammerHost : public CFlowProgrammerHost {
public:
    explicit CQtProgrammerHost(QWidget* parent);
    ~CQtProgrammerHost() override;
    void Program(CFlowStart& start) override;

private:
    QWidget* m_parent;
    CFlowProgrammerHost* m_previous;
};

// Installed for the life of the main window.
void InstallChipProgramming(QWidget* mainWindow);
