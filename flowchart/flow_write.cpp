#include "flowchart/flow_write.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowWrite, "CFlowObject", 2)

namespace {
constexpr int IDC_WRITE_LABEL = 36052;
constexpr int IDC_WRITE_TEXT = 36053;
constexpr int IDC_WRITE_MODE = 36059;
constexpr int IDC_ADD_WRITE = 33869;
constexpr unsigned IDS_DISPLAY = 24362;
constexpr unsigned IDS_WRITE_MODES = 24363;
constexpr unsigned IDS_WRITE_MODE_FIRST = 24364; // "value of", "text", "new line"
constexpr unsigned IDS_DISPLAY_LABEL = 24367;
constexpr int kCodeWriteNoBasic = 2007;
constexpr unsigned kModeCount = 3;
} // namespace

CFlowWrite::CFlowWrite()
{
    m_pVisual = FlowVisual("CFlowWrite");
    m_strName = "x";
    m_strModeText = LoadResString(IDS_WRITE_MODE_FIRST);
    m_strCaption = LoadResString(IDS_DISPLAY) + m_strName;
    m_strMessageTag = m_strCaption;
}

void CFlowWrite::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

void CFlowWrite::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nMode) << m_strModeText;
        return;
    }
    DWORD mode = kModeValue;
    ar >> mode >> m_strModeText;
    // Only the three modes exist; another number prints the variable.
    m_nMode = mode < kModeCount ? static_cast<unsigned>(mode) : kModeValue;
}

// ---- running ----

int CFlowWrite::Validate()
{
    m_nErrorCode = kFlowNoError;
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode;
    if (m_nMode == kModeText) {
        flowchart->WriteText(m_strName);
    } else if (m_nMode == kModeNewLine) {
        flowchart->WriteText("\n");
    } else if (flowchart->GetVariable(m_strName) == kFlowNoValue) {
        m_nErrorCode = FLOW_ERR_NO_VALUE;
    } else {
        flowchart->WriteValue(m_strName);
    }
    return m_nErrorCode;
}

void CFlowWrite::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "' " + m_strCaption + "\n";
    if (code) *code = kCodeWriteNoBasic;
}

// ---- caption and properties ----

void CFlowWrite::UpdateCaption()
{
    for (unsigned k = 0; k < kModeCount; ++k)
        if (m_strModeText == LoadResString(IDS_WRITE_MODE_FIRST + k)) m_nMode = k;
    if (m_strName.empty()) m_strName = " ";
    if (m_nMode == kModeValue && m_strName != " " && m_strName.find(' ') != CString::npos) m_strName = "x";
    const CString display = LoadResString(IDS_DISPLAY);
    if (m_nMode == kModeNewLine) {
        m_strCaption = display + LoadResString(IDS_WRITE_MODE_FIRST + kModeNewLine);
        m_strMessageTag = m_strCaption;
        RefreshMessage();
        return;
    }
    m_strMessageTag = display + m_strName + (m_nMode == kModeText ? "\"" : "");
    // A text is cut one character at a time while it overflows; then three
    // more go for the "..".
    CString shown = m_strName;
    bool cut = false;
    while (!shown.empty() && FlowTextOverflows(GetMessageLabel(), display + shown)) {
        shown.pop_back();
        cut = true;
    }
    if (cut) {
        shown.resize(shown.size() >= 3 ? shown.size() - 3 : 0);
        shown += "..";
    }
    m_strCaption = display + shown;
    RefreshMessage();
}

int CFlowWrite::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_DISPLAY_LABEL), IDC_WRITE_LABEL, 45));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_WRITE_MODES), IDC_WRITE_MODE, 70));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_WRITE_TEXT, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_WRITE, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowWrite::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_WRITE_TEXT, m_strName, -1);
    items.SetItemText(IDC_WRITE_MODE, m_strModeText, -1);
    return 2;
}

int CFlowWrite::IsPropertyChecked(int commandId, int& enabled)
{
    const int checked = CFlowObject::IsPropertyChecked(commandId, enabled);
    if (m_nMode == kModeNewLine && commandId == IDC_WRITE_TEXT) enabled = 0;
    return checked;
}

int CFlowWrite::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_WRITE_TEXT) m_strName = text;
    else if (commandId == IDC_WRITE_MODE) m_strModeText = text;
    else return CFlowObject::OnPropertyCommand(commandId, text);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}
