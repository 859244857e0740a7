// Starting an external microcontroller programmer: the design names the
// programmer and the chip type; the programmer's program in the "PlugIns"
// folder beside this program is started as a process with an argument
// list (never through a shell) and given the exported program file.
#pragma once

#include "platform/cstring.h"

#include <vector>

struct CProgrammerLaunch {
    // The program relative to the plug-in folder's parent, '\\'-separated
    // as the plug-ins are installed ("PlugIns\\Brackley\\chiplab.exe").
    CString program;
    std::vector<CString> arguments;
};

// The launch for a programmer and chip type (names as the string table
// gives them) and the exported program file; false with the refusal's
// string id in *message when this programmer cannot program this chip.
bool PlanProgrammerLaunch(const CString& programmer, const CString& chipType, const CString& exportedFile,
                          CProgrammerLaunch* out, unsigned* message);

// The folder that holds "PlugIns": the program's own folder, unless
// overridden (tests, or a program run from its build folder).
CString PlugInParentFolder();
void SetPlugInParentFolder(const CString& folder);

// Plans and starts the programmer, detached, in the exported file's folder;
// shows the refusal or 899 "Cannot find plug-in." and returns false when
// nothing was started.
bool ProgramChip(const CString& programmer, const CString& chipType, const CString& exportedFile);
