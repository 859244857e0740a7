#include "flowchart/flow_read.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowRead, "CFlowObject", 2)

namespace {
constexpr int IDC_READ_LABEL = 36052;
constexpr int IDC_READ_NAME = 36053;
constexpr int IDC_ADD_READ = 33870;
constexpr unsigned IDS_READ = 24360;
constexpr unsigned IDS_READ_INTO = 24361;
constexpr int kCodeReadNoBasic = 2006;
} // namespace

CFlowRead::CFlowRead()
{
    m_pVisual = FlowVisual("CFlowRead");
    m_strName = "x";
    m_strCaption = LoadResString(IDS_READ) + m_strName;
    m_strMessageTag = LoadResString(IDS_READ_INTO) + m_strName;
}

void CFlowRead::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

void CFlowRead::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_bWaiting);
        return;
    }
    LONG waiting = 0;
    ar >> waiting;
    m_bWaiting = waiting ? 1 : 0;
}

// ---- running ----

int CFlowRead::AfterStep()
{
    if (m_bResetRequested && m_nResetHold == 0) m_bWaiting = 0;
    const int broken = CFlowObject::AfterStep();
    if (!GetDesign()) return broken;
    CFlowObject* owner = GetOwner();
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!owner || !flowchart) {
        // Outside a flowchart nobody can type for it: the exit stays low.
        m_bFinishing = 0;
        m_bWaiting = 0;
        return broken;
    }
    // Holding with an error (reported by the base), or handing on already.
    if (!m_bActive || m_bFinishing || m_nErrorCode != kFlowNoError) return broken;
    owner->SetCurrentElement(this);
    int code = kFlowNoError;
    const bool done = flowchart->ReadRequest(m_strName, code);
    m_bWaiting = done ? 0 : 1;
    // A count of -1 never runs out: the element holds until the number.
    m_nStepsLeft = -1;
    if (!done) return broken;
    m_nErrorCode = code;
    if (code == kFlowNoError) {
        // Control passes on at once: the exit drives in the next solve and
        // the step after it the element goes idle.
        m_bInputLatch = 0;
        m_bFinishing = 1;
        m_nStepsLeft = 0;
    }
    return broken;
}

void CFlowRead::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "' " + LoadResString(IDS_READ_INTO) + m_strName + "\n";
    if (code) *code = kCodeReadNoBasic;
}

// ---- caption and properties ----

void CFlowRead::UpdateCaption()
{
    if (m_strName.empty()) m_strName = " ";
    else if (m_strName != " " && m_strName.find(' ') != CString::npos) m_strName = "x";
    m_strMessageTag = LoadResString(IDS_READ_INTO) + m_strName;
    m_strCaption = FitWholeCaption(GetMessageLabel(), LoadResString(IDS_READ) + m_strName);
    RefreshMessage();
}

int CFlowRead::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_READ_INTO), IDC_READ_LABEL, 52));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_READ_NAME, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_READ, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowRead::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_READ_NAME, m_strName, -1);
    return 1;
}

int CFlowRead::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != IDC_READ_NAME) return CFlowObject::OnPropertyCommand(commandId, text);
    m_strName = text;
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}
