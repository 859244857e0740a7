// "Export Flowchart" without windows: which of the design's flowcharts to
// export and in which language, and the exported text of a flowchart by
// its name.  The assembler language is offered only when the compiler
// plug-in ("PlugIns\Haverstock\CStamp16.exe" beside the program) is there.
// Also the command's rules: which codes go on to write the file, the
// assembler's class test, the compiler's launch and its log.
#pragma once

#include "model/designfile/programmer.h"
#include "platform/cstring.h"

#include <vector>

class CCircuit;

struct CFlowExportForm {
    // The program names of the design's starts ("Flowchart 1" when there
    // are none); the first chosen.
    std::vector<CString> flowcharts;
    // "BASIC C1", "BASIC C2" and, with the plug-in, "Assembly".
    std::vector<CString> languages;
    int flowchart = 0;
    int language = 0;

    // plugInParent: the folder that holds "PlugIns".
    static CFlowExportForm FromDesign(const CCircuit& design, const CString& plugInParent);
    // The design keeps the chosen flowchart as its export name and the
    // chosen language; true when the assembler was chosen.
    bool ApplyTo(CCircuit& design) const;
};

// The text of the named flowchart and the export's code; without such a
// flowchart 823 and the text "Error in export".
int ExportFlowchartText(CCircuit& design, const CString& name, CString* text);

// The export command's result for the chosen flowchart (the design's export
// name): 0 writes the text; a warning (2001-2099) shows its message and
// writes; any other code only shows its message.
struct CFlowExportResult {
    int code = 0;
    CString text;
    bool Writes() const;
    // The message to show first (0: none).
    unsigned Message() const { return static_cast<unsigned>(code); }
};
CFlowExportResult ExportChosenFlowchart(CCircuit& design);

// The assembler is made only for the PIC classes; 986 for the others.
bool CanExportAssembler(const CString& microcontrollerClass);

// The working files of the compiler, in the folder that holds "PlugIns".
constexpr const char* kCompilerInput = "KEExport.bas";
constexpr const char* kCompilerLog = "KEExport.log";
constexpr const char* kCompilerOutput = "KEExport.asm";

// The compiler and its arguments for a class: "-c", the pin count, and the
// BASIC file ("PlugIns\Haverstock\CStamp16.exe -c -t18 -fKEExport.bas").
CProgrammerLaunch PlanCompilerLaunch(const CString& microcontrollerClass);

// A compiler's or programmer's log: true when it starts with "PASS" (any
// case); otherwise *message holds its first line (at most 200 bytes read,
// trailing white space and the carriage return before the line feed
// dropped).
bool ReadToolLog(const CString& log, CString* message);
