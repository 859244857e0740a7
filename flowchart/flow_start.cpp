#include "flowchart/flow_start.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_visuals.h"
#include "flowchart/meter_message.h"
#include "flowchart/panel_buttons.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/strings.h"

#include <string>

WB_IMPLEMENT_SERIAL(CFlowStart, "CFlowObject", 2)

namespace {
// Property-toolbar ids.
constexpr int IDC_FLOW_NAME = 36053;
constexpr int IDC_FLOW_BUTTON_LABEL = 36052;
constexpr int IDC_FLOW_BUTTON_CHOICE = 36059;
constexpr int IDC_FLOW_NAME_RTF = 36089;
constexpr int IDC_ADD_START = 33851;
// The choice that shows or hides the record button.
constexpr int kChoiceRecordButton = 3;
// Where the name label stands (meter message arguments).
constexpr int kNameX = -18, kNameY = -42, kNameWidth = 64;
// Picture side on which the buttons stand (left of the start).
constexpr int kButtonSide = 3;
} // namespace

CFlowStart::CFlowStart()
{
    m_pVisual = FlowVisual("CFlowStart");
    m_strCaption = LoadResString(IDS_FLOW_START);
    m_strMessageTag = m_strCaption;
    m_strName = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    m_strDisplayName = m_strName;
    m_strProgramButton = LoadResString(IDS_FLOW_YES);
    m_strChoices = LoadResString(IDS_FLOW_YES_NO);
}

CFlowStart::~CFlowStart() = default;

// ---- archive ----

void CFlowStart::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        for (const Variable& v : m_variables) ar << v.name << static_cast<LONG>(v.value);
        for (const ErrorEntry& e : m_errors) ar << static_cast<LONG>(e.code);
        ar << m_strDisplayName;
        ar << static_cast<LONG>(m_nCheckResult) << static_cast<LONG>(m_nWord2) << static_cast<DWORD>(m_nErrorCount)
           << static_cast<DWORD>(m_nVariableCount) << static_cast<DWORD>(m_nCallDepth)
           << static_cast<DWORD>(m_nExportWarning);
        for (int i = 0; i < 4; ++i) ar << static_cast<LONG>(m_words[i]) << static_cast<LONG>(m_words[4 + i]);
        ar << static_cast<LONG>(m_bPendingRequest) << static_cast<DWORD>(m_nPendingValue)
           << static_cast<DWORD>(m_nInputBoxCount) << static_cast<LONG>(m_bHasRecordButton)
           << static_cast<LONG>(m_bReadyToProgram);
        ar << static_cast<DWORD>(m_nAppendedRoutines) << m_strProgramButton;
        return;
    }
    auto readInt = [&ar]() {
        LONG v = 0;
        ar >> v;
        return static_cast<int>(v);
    };
    auto readUnsigned = [&ar]() {
        DWORD v = 0;
        ar >> v;
        return static_cast<unsigned>(v);
    };
    for (Variable& v : m_variables) {
        ar >> v.name;
        v.value = readInt();
    }
    // The error list's codes are stored but name no element: not used.
    for (int i = 0; i < kFlowErrorSlots; ++i) readInt();
    ar >> m_strDisplayName;
    m_nCheckResult = readInt();
    m_nWord2 = readInt();
    m_nErrorCount = readUnsigned();
    m_nVariableCount = readUnsigned();
    m_nCallDepth = readUnsigned();
    m_nExportWarning = readUnsigned();
    for (int i = 0; i < 4; ++i) {
        m_words[i] = readInt();
        m_words[4 + i] = readInt();
    }
    const WORD version = static_cast<WORD>(ar.GetVersion());
    if (IsVersionAtLeast(version, 0x10B3, 0x20B6)) {
        m_bPendingRequest = readInt();
        m_nPendingValue = readUnsigned();
        m_nInputBoxCount = readUnsigned();
        m_bHasRecordButton = readInt();
        m_bReadyToProgram = readInt();
    } else {
        m_bReadyToProgram = 1;
    }
    if (IsVersionAtLeast(version, 0x10B3, 0x20B7)) {
        m_nAppendedRoutines = static_cast<int>(readUnsigned());
        ar >> m_strProgramButton;
    } else {
        m_nAppendedRoutines = 0;
    }
    // Counts from a file index the tables only within their room; the call
    // stack's entries are pointers that no record carries, so a loaded
    // start has no calls and no errors listed.
    if (m_nVariableCount > kFlowVariableSlots) m_nVariableCount = kFlowVariableSlots;
    m_nCallDepth = 0;
    m_nErrorCount = 0;
    m_bFreshName = false;
}

void CFlowStart::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CFlowObject::DropDeadLinks(gone);
    if (gone.count(m_pCurrent)) m_pCurrent = nullptr;
    if (gone.count(m_pPressed)) m_pPressed = nullptr;
    for (Call& c : m_calls) {
        if (gone.count(c.caller)) c.caller = nullptr;
        if (gone.count(c.called)) c.called = nullptr;
    }
    for (ErrorEntry& e : m_errors)
        if (gone.count(e.element)) e = ErrorEntry{};
}

// ---- children and naming ----

void CFlowStart::TakeUniqueName(const CCircuit* design)
{
    if (!design) return;
    const CString prefix = LoadResString(IDS_FLOW_NAME_PREFIX);
    int n = 1;
    auto taken = [&](const CString& name) {
        for (CPart* p : design->CollectFlowStarts())
            if (p != this && static_cast<CFlowStart*>(p)->m_strName == name) return true;
        return false;
    };
    if (!taken(m_strName)) return;
    do {
        m_strName = prefix + std::to_string(n++);
    } while (taken(m_strName));
    m_strDisplayName = m_strName;
}

CPart* CFlowStart::FindChildOfClass(const char* className) const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (c->IsKindOf(className)) return c;
    return nullptr;
}

CFlowMeterMessage* CFlowStart::GetNameLabel() const
{
    // The name label is the message whose value is 1; the caption's is 0.
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* m = dynamic_cast<CFlowMeterMessage*>(c))
            if (m->GetValue() == 1) return m;
    return nullptr;
}

void CFlowStart::CreateChildren()
{
    if (!m_terminals.empty()) return;
    TakeUniqueName(GetDesign());
    CreateTerminals(3);
    const CPoint middle(m_rect.left + m_rect.Width() / 2, m_rect.top);
    AddChild(new CFlowStartButton(kButtonSide, this));
    auto* name = new CFlowMeterMessage;
    name->SetUp(middle, kNameX, kNameY, m_strDisplayName, kNameWidth, 0, 1);
    AddChild(name);
    const LabelPlace p = GetLabelPlace();
    auto* caption = new CFlowMeterMessage;
    caption->SetUp(middle, p.x, p.y, m_strCaption, p.width, p.mode, p.value);
    caption->SetTag(m_strMessageTag);
    AddChild(caption);
    if (m_bHasRecordButton) AddChild(new CFlowRecordButton(kButtonSide, this));
    ClearRunTables();
}

void CFlowStart::Drop(CPartTree* design)
{
    // The floating design that carries a new part to its place is not the
    // design it joins: the name is taken where the part lands.
    auto* circuit = dynamic_cast<CCircuit*>(design);
    if (m_bFreshName && circuit && !circuit->IsTemporary()) {
        m_bFreshName = false;
        const CString before = m_strName;
        TakeUniqueName(circuit);
        if (m_strName != before) UpdateCaption();
    }
    CFlowObject::Drop(design);
}

bool CFlowStart::IsNameTaken(const CString& name) const
{
    const CCircuit* design = GetDesign();
    if (!design) return false;
    for (CPart* p : design->CollectFlowStarts())
        if (p != this && static_cast<CFlowStart*>(p)->m_strName == name) return true;
    return false;
}

void CFlowStart::UpdateCaption()
{
    if (m_strName.empty()) m_strName = " ";
    CFlowMeterMessage* label = GetNameLabel();
    CString shown = m_strName;
    bool cut = false;
    while (label && !shown.empty() && label->TextOverflows(shown)) {
        shown.pop_back();
        cut = true;
    }
    if (cut) {
        shown.resize(shown.size() >= 2 ? shown.size() - 2 : 0);
        shown += "..";
    }
    m_strDisplayName = shown;
    if (label) label->ShowMessage(m_strDisplayName, GetDrawFlags(), m_strName);
    ApplyNameRule();
}

void CFlowStart::ApplyNameRule()
{
    const CCircuit* design = GetDesign();
    if (!design) return;
    if (!IsNameTaken(m_strName) && m_nErrorCode == FLOW_ERR_NAME_EXISTS) {
        m_nErrorCode = kFlowNoError;
        m_nCheckResult = 0;
        SetLook(FLOW_LOOK_IDLE);
        RefreshMessage();
    }
    for (CPart* p : design->CollectFlowStarts()) {
        auto* other = static_cast<CFlowStart*>(p);
        if (other == this || other->m_nErrorCode != FLOW_ERR_NAME_EXISTS || other->IsNameTaken(other->m_strName))
            continue;
        other->m_nErrorCode = kFlowNoError;
        other->SetLook(FLOW_LOOK_IDLE);
        other->RefreshMessage();
        other->CheckFlowchart();
    }
}

void CFlowStart::ApplyControlChoice(int choice)
{
    if (choice != kChoiceRecordButton) return;
    const bool wanted = m_strProgramButton == LoadResString(IDS_FLOW_YES);
    CPart* button = FindChildOfClass("CFlowRecordButton");
    m_bHasRecordButton = wanted ? 1 : 0;
    if (wanted && !button) {
        AddChild(new CFlowRecordButton(kButtonSide, this));
    } else if (!wanted && button) {
        if (m_pPressed == button) m_pPressed = nullptr;
        button->EraseTree();
        RemoveChild(button);
        delete button;
    }
}

// ---- properties ----

int CFlowStart::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_FLOW_NAME, 120));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_FLOW_PROGRAM_BUTTON), IDC_FLOW_BUTTON_LABEL, 80));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_FLOW_YES_NO), IDC_FLOW_BUTTON_CHOICE, 50));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_START, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowStart::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_FLOW_NAME, m_strName, -1);
    items.SetItemText(IDC_FLOW_BUTTON_CHOICE, m_strProgramButton, -1);
    return 2;
}

int CFlowStart::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    if (commandId == IDC_FLOW_NAME || commandId == IDC_FLOW_NAME_RTF) {
        // A name another start has already is refused: the old one stays.
        if (text == m_strName || IsNameTaken(text)) return 0;
        m_strName = text;
        choice = 1;
    } else if (commandId == IDC_FLOW_BUTTON_CHOICE) {
        if (text == m_strProgramButton) return 0;
        m_strProgramButton = text;
        choice = kChoiceRecordButton;
    } else {
        return CFlowObject::OnPropertyCommand(commandId, text);
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowStart::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = LoadResString(IDS_FLOW_MAIN) + ":    ";
    // The first statement stands on the label's line.
    m_export.indentPending = false;
    if (code) *code = 0;
}
