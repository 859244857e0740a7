#include "flowchart/flow_chip_link.h"

#include "flowchart/chip.h"

bool SameNameNoCase(const CString& a, const CString& b)
{
    if (a.size() != b.size()) return false;
    // ASCII letters only: names are Windows-1252 bytes and the locale is
    // not consulted.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

CFlowChipLink* FindFlowChip(const CCircuit* design, const CString& flowchartName)
{
    CChip* chip = FindChipForFlowchart(design, flowchartName);
    return chip ? chip->GetFlowLink() : nullptr;
}
