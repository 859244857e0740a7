// "Export Flowchart" without windows: which of the design's flowcharts to
// export and in which language, and the exported text of a flowchart by
// its name.  The assembler language is offered only when the compiler
// plug-in ("PlugIns\Haverstock\CStamp16.exe" beside the program) is there.
#pragma once

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
