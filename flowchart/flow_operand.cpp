#include "flowchart/flow_operand.h"

#include "flowchart/flow_start.h"
#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/text/number.h"
#include "platform/numtext.h"

#include <climits>
#include <cmath>

int FlowVariableRange(const CCircuit* design) { return design ? design->m_nVariableRange : 255; }

int TruncateToInt(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

int ClassifyOperand(const CString& text, CNumber& number, CString& name, int& isVariable, double max)
{
    const double reading = ParseDoublePrefix(text);
    if (!text.empty() && reading != 0.0 && !std::isnan(reading)) {
        // Whole numbers from 0 to the limit, without a prefix: the row that
        // bounds typed values is set for this parse.
        SetEditValueLimits(0.0, max, kPrefixNone, kPrefixNone);
        number.SetTypeCode(kEditLimitsRow);
        const int status = number.SetFromText(text.c_str(), nullptr);
        isVariable = 0;
        return status;
    }
    if (!text.empty() && text[0] == '0') {
        number.SetValue(0.0, kPrefixNone);
        isVariable = 0;
        return 1;
    }
    name = text;
    isVariable = 1;
    return 1;
}

void CleanTypedName(CString& name, const char* replacement)
{
    if (name.empty()) name = " ";
    else if (name != " " && name.find(' ') != CString::npos) name = replacement;
}

CFlowStart* RunningFlowchart(const CFlowObject& element)
{
    CFlowObject* owner = element.GetOwner();
    if (!owner) return nullptr;
    if (auto* start = dynamic_cast<CFlowStart*>(owner)) return start;
    // Inside a subroutine: the flowchart the subroutine runs for, while it
    // stands in the design.
    const CCircuit* design = element.GetDesign();
    if (!design || !owner->m_pFlowStart) return nullptr;
    for (CPart* p : design->CollectFlowStarts())
        if (p == owner->m_pFlowStart) return static_cast<CFlowStart*>(p);
    return nullptr;
}

CFlowStart* ExportingFlowchart(const CFlowObject& element, CFlowObject* exporting)
{
    if (auto* start = dynamic_cast<CFlowStart*>(exporting)) return start;
    return RunningFlowchart(element);
}

bool FlowTextOverflows(CFlowMeterMessage* message, const CString& text)
{
    // An empty text always fits, so shortening ends whatever the box measures.
    return message && !text.empty() && message->TextOverflows(text);
}

CString FitWholeCaption(CFlowMeterMessage* message, const CString& text)
{
    CString shown = text;
    return FitCaption(message, {&shown}, [&shown] { return shown; }, [] { return 0; });
}
