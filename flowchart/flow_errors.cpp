#include "flowchart/flow_errors.h"

#include "model/circuit/circuit.h"
#include "platform/strings.h"

namespace {
struct ErrorRow {
    int code;
    unsigned stringId;
};
constexpr ErrorRow kErrors[] = {
    {0, 24200},    {1, 24201},    {2, 24202},    {3, 24202},    {4, 24202},    {7, 24207},
    {8, 24208},    {10, 24210},   {16, 24216},   {32, 24232},   {64, 24264},   {128, 24265},
    {256, 24266},  {258, 24267},  {512, 24268},  {1024, 24269}, {2048, 24270}, {3000, 24271},
    {3001, 24272}, {5096, 24273}, {6000, 24274}, {6010, 24275}, {6020, 24276}, {6030, 24277},
    {6040, 24278}, {6045, 24279}, {6050, 24280}, {10192, 24281},
};
} // namespace

CString FlowErrorText(int code)
{
    for (const ErrorRow& r : kErrors)
        if (r.code == code) return LoadResString(r.stringId);
    return CString();
}

FlowDialect GetFlowDialect(const CCircuit* design)
{
    const int word = design ? design->m_nProgramLanguage : 1;
    if (word == 0) return FlowDialect::BasicC2;
    if (word == 2) return FlowDialect::Assembly;
    return FlowDialect::BasicC1;
}
