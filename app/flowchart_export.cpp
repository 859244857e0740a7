#include "app/flowchart_export.h"

#include "flowchart/flow_export.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "platform/strings.h"

#include <cctype>

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

bool CFlowExportResult::Writes() const { return code == 0 || IsFlowExportWarning(code); }

CFlowExportResult ExportChosenFlowchart(CCircuit& design)
{
    CFlowExportResult r;
    r.code = ExportFlowchartText(design, design.m_strExportFlowchart, &r.text);
    return r;
}

bool CanExportAssembler(const CString& microcontrollerClass)
{
    for (unsigned id : {874u, 988u, 873u})
        if (microcontrollerClass == LoadResString(id)) return true;
    return false;
}

CProgrammerLaunch PlanCompilerLaunch(const CString& microcontrollerClass)
{
    CProgrammerLaunch launch;
    launch.program = "PlugIns\\Haverstock\\CStamp16.exe";
    const bool pins18 = microcontrollerClass == LoadResString(873);
    launch.arguments = {"-c", pins18 ? "-t18" : "-t28", CString("-f") + kCompilerInput};
    return launch;
}

bool ReadToolLog(const CString& log, CString* message)
{
    const CString pass = "PASS";
    bool passed = log.size() >= pass.size();
    for (size_t i = 0; passed && i < pass.size(); ++i)
        passed = std::toupper(static_cast<unsigned char>(log[i])) == pass[i];
    if (passed) return true;
    CString text = log.substr(0, 200);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    const size_t feed = text.find('\n');
    if (feed != CString::npos) text.erase(feed > 0 && text[feed - 1] == '\r' ? feed - 1 : feed);
    if (message) *message = text;
    return false;
}
