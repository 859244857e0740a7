#include "app/programming_form.h"

#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "platform/strings.h"

#include <algorithm>

namespace {
enum : unsigned {
    IDS_SELECT = 1021,
    IDS_STAMP_CONTROLLER = 890,
    IDS_CHIP_FOUNDRY = 24425,
    IDS_QUILLON = 894,
    IDS_CHIPLAB = 893,
    IDS_PIC_FLOWLINK = 24426,
    IDS_CHIPTALK = 992,
    IDS_CANTRELL = 24427,
    IDS_STAMP = 912,
    IDS_PIC18 = 873,
    IDS_PIC28 = 874,
    IDS_HINT = 24424,
};
// Settings code 6: a setting of the design changed.
constexpr int kSettingChanged = 6;

int IndexOf(const std::vector<CString>& list, const CString& text)
{
    const auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}
} // namespace

CProgrammingForm CProgrammingForm::FromDesign(const CCircuit& design, const CString& plugInParent, bool firstUse)
{
    CProgrammingForm f;
    f.firstUse = firstUse;
    const CString select = LoadResString(IDS_SELECT);
    const bool chosen = !design.m_strProgrammerChoice.empty() && design.m_strProgrammerChoice != select;
    if (!chosen) f.programmers.push_back(select);
    for (unsigned id : {IDS_STAMP_CONTROLLER, IDS_CHIP_FOUNDRY, IDS_QUILLON, IDS_CHIPLAB, IDS_PIC_FLOWLINK}) {
        f.programmers.push_back(LoadResString(id));
    }
    CString found;
    if (FindPathNoCase(plugInParent + "/" + StoredPathToNative("PlugIns\\Tollard\\picprog.exe"), &found))
        f.programmers.push_back(LoadResString(IDS_CHIPTALK));
    f.programmers.push_back(LoadResString(IDS_CANTRELL));
    f.programmer = std::max(0, IndexOf(f.programmers, design.m_strProgrammerChoice));
    f.port = std::clamp(ProgrammerPort(design) - 1, 0, kPorts - 1);
    f.classes = {LoadResString(IDS_STAMP), LoadResString(IDS_PIC18), LoadResString(IDS_PIC28)};
    f.defaultClass = std::max(0, IndexOf(f.classes, design.m_strMicroClass));
    f.model18 = design.m_strChipType;
    f.model28 = design.m_strSecondChipName;
    return f;
}

const CString& CProgrammingForm::Programmer() const
{
    static const CString none;
    return programmer >= 0 && programmer < static_cast<int>(programmers.size())
               ? programmers[static_cast<size_t>(programmer)]
               : none;
}

bool CProgrammingForm::HasSelectEntry() const
{
    return !programmers.empty() && programmers.front() == LoadResString(IDS_SELECT);
}

bool CProgrammingForm::ModelsEnabled() const
{
    const CString& p = Programmer();
    return p != LoadResString(IDS_SELECT) && p != LoadResString(IDS_STAMP_CONTROLLER);
}

bool CProgrammingForm::OkEnabled() const { return !firstUse || Programmer() != LoadResString(IDS_SELECT); }

CString CProgrammingForm::Hint() const { return firstUse ? LoadResString(IDS_HINT) : CString(" "); }

void CProgrammingForm::ChooseProgrammer(int index)
{
    if (index < 0 || index >= static_cast<int>(programmers.size())) return;
    const CString name = programmers[static_cast<size_t>(index)];
    if (name == LoadResString(IDS_SELECT)) {
        programmer = index;
        return;
    }
    if (HasSelectEntry()) programmers.erase(programmers.begin());
    programmer = IndexOf(programmers, name);
    if (name == LoadResString(IDS_CHIPLAB) || name == LoadResString(IDS_CHIPTALK)) {
        model18 = kModel18;
        model28 = kModel28;
    } else if (name != LoadResString(IDS_STAMP_CONTROLLER)) {
        model18 = kModel18A;
        model28 = kModel28A;
    }
}

void CProgrammingForm::RestoreDefaults()
{
    programmer = 0;
    port = 0;
    model18 = kModel18;
    model28 = kModel28;
}

void CProgrammingForm::ApplyTo(CCircuit& design) const
{
    design.m_strChipType = model18;
    design.m_strSecondChipName = model28;
    design.m_strProgrammerChoice = Programmer();
    design.m_bChipOption = port + 1;
    if (defaultClass >= 0 && defaultClass < static_cast<int>(classes.size()))
        design.m_strMicroClass = classes[static_cast<size_t>(defaultClass)];
    for (CPart* p : design.CollectFlowStarts()) static_cast<CFlowStart*>(p)->RefreshBasicViewers();
    design.ControlSimulation(kSettingChanged);
    design.OnDesignChanged();
}

int ProgrammerPort(const CCircuit& design) { return std::clamp(design.m_bChipOption, 1, CProgrammingForm::kPorts); }
