#include "app/flowchart_export.h"

#include "flowchart/flow_export.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "platform/strings.h"

CFlowExportForm CFlowExportForm::FromDesign(const CCircuit& design, const CString& plugInParent)
{
    CFlowExportForm f;
    for (CPart* p : design.CollectFlowStarts()) {
        CString name;
        static_cast<CFlowStart*>(p)->GetProgramName(name);
        f.flowcharts.push_back(name);
    }
    if (f.flowcharts.empty()) f.flowcharts.push_back(LoadResString(24301) + "1");
    f.languages = {"BASIC C1", "BASIC C2"};
    CString found;
    if (FindPathNoCase(plugInParent + "/" + StoredPathToNative("PlugIns\\Haverstock\\CStamp16.exe"), &found))
        f.languages.push_back("Assembly");
    return f;
}

bool CFlowExportForm::ApplyTo(CCircuit& design) const
{
    if (flowchart >= 0 && flowchart < static_cast<int>(flowcharts.size()))
        design.m_strExportFlowchart = flowcharts[static_cast<size_t>(flowchart)];
    if (language >= 0 && language < static_cast<int>(languages.size()))
        design.SetProgramLanguage(languages[static_cast<size_t>(language)]);
    return language == 2;
}

int ExportFlowchartText(CCircuit& design, const CString& name, CString* text)
{
    auto* start = dynamic_cast<CFlowStart*>(design.FindFlowStart(name));
    if (!start) {
        *text = LoadResString(IDS_FLOW_EXPORT_FAILED);
        return FLOW_EXPORT_NO_FLOWCHART;
    }
    int code = 0;
    start->ExportBasic(*text, &code);
    return code;
}
