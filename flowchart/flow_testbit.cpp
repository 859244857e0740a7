#include "flowchart/flow_testbit.h"

#include "flowchart/flow_decision.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "platform/numtext.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowTestBit, "CFlowObject", 2)

namespace {
constexpr int IDC_BIT_NAME = 36053;
constexpr int IDC_BIT_LABEL = 36052;
constexpr int IDC_BIT_NUMBER = 36059;
constexpr int IDC_BIT_STATE = 36065;
constexpr int IDC_BIT_QUESTION = 36080;
constexpr int IDC_ADD_BIT = 33894;
constexpr unsigned IDS_HAS_BIT = 24369;
constexpr unsigned IDS_BITS = 24370;
constexpr unsigned IDS_BIT = 24371;
constexpr unsigned IDS_COLON = 24372;
constexpr unsigned IDS_QUESTION_MARK = 24344;
constexpr int kChoiceName = 1, kChoiceBit = 2, kChoiceState = 3;
constexpr int kHighestBit = 7;
} // namespace

CFlowTestBit::CFlowTestBit()
{
    m_pVisual = FlowVisual("CFlowTestBit");
    m_strName = "x";
    m_strState = LoadResString(IDS_FLOW_ON);
    m_strChoices = LoadResString(IDS_FLOW_ON_OFF);
    m_bit.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_strCaption = m_strName + LoadResString(IDS_COLON) + LoadResString(IDS_BIT) + "0 " + m_strState +
                   LoadResString(IDS_QUESTION_MARK);
    m_strMessageTag = m_strCaption;
}

void CFlowTestBit::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

void CFlowTestBit::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nChosenExit) << m_strState << static_cast<LONG>(m_bTestForOn);
        ar << m_bit;
        return;
    }
    DWORD exit = 2;
    LONG forOn = 1;
    ar >> exit >> m_strState >> forOn;
    ar >> m_bit;
    // Only the two exits exist.
    m_nChosenExit = exit == 1 ? 1 : 2;
    m_bTestForOn = forOn ? 1 : 0;
}

// ---- running ----

int CFlowTestBit::GetBit() const
{
    const int bit = TruncateToInt(m_bit.value);
    return bit < 0 ? 0 : bit > kHighestBit ? kHighestBit : bit;
}

bool CFlowTestBit::IsBitSet(int value, int bit)
{
    const int mask = 1 << bit;
    return (mask & value) == mask;
}

CString CFlowTestBit::MaskText(int bit)
{
    CString out = "%";
    for (int k = kHighestBit; k >= 0; --k) out += k == bit ? '1' : '0';
    return out;
}

int CFlowTestBit::Validate()
{
    const CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    const int v = flowchart->GetVariable(m_strName);
    if (v == kFlowNoValue) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    const bool holds = IsBitSet(v, GetBit()) == (m_bTestForOn != 0);
    m_nChosenExit = static_cast<unsigned>(CFlowDecision::ExitFor(holds, m_nOrientation));
    return m_nErrorCode = kFlowNoError;
}

// ---- export ----

void CFlowTestBit::GetBasicText(CString& out, int* code, CFlowObject*)
{
    const CString bit = LoadResString(IDS_BIT);
    out = "let " + bit + " = " + m_strName + " & " + MaskText(GetBit()) + "\n" + CString(13, ' ') + "if " + bit +
          (m_bTestForOn ? " > " : " = ") + "0" + " then ";
    if (code) *code = 0;
}

void CFlowTestBit::GetBasicDeclarations(CString& out, int* kind, CFlowObject*)
{
    out = LoadResString(IDS_BIT);
    if (kind) *kind = 1;
}

// ---- caption and properties ----

void CFlowTestBit::UpdateCaption()
{
    const CString number = FormatInt(GetBit());
    const CString tail = LoadResString(IDS_COLON) + LoadResString(IDS_BIT) + number + " " + m_strState +
                         LoadResString(IDS_QUESTION_MARK);
    m_strMessageTag =
        m_strName + LoadResString(IDS_HAS_BIT) + number + " " + m_strState + " " + LoadResString(IDS_QUESTION_MARK);
    CString name = m_strName;
    m_strCaption = FitCaption(
        GetMessageLabel(), {&name}, [&] { return name + tail; }, [&] { return name.size() > 1 ? 0 : -1; });
    RefreshMessage();
}

int CFlowTestBit::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_BIT_NAME, 100));
    items.Add(CControlItem(CI_STATIC, " " + LoadResString(IDS_HAS_BIT), IDC_BIT_LABEL, 50));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_BITS), IDC_BIT_NUMBER, 40));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_FLOW_ON_OFF), IDC_BIT_STATE, 50));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_QUESTION_MARK), IDC_BIT_QUESTION, 12));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_BIT, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowTestBit::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_BIT_NAME, m_strName, -1);
    items.SetItemText(IDC_BIT_NUMBER, FormatInt(GetBit()), -1);
    items.SetItemText(IDC_BIT_STATE, m_strState, -1);
    return 3;
}

int CFlowTestBit::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    switch (commandId) {
    case IDC_BIT_NAME:
        m_strName = text;
        choice = kChoiceName;
        break;
    case IDC_BIT_NUMBER:
        // Bits 0 to 7 of a byte, whole numbers without a prefix.
        SetEditValueLimits(0.0, kHighestBit, kPrefixNone, kPrefixNone);
        m_bit.SetTypeCode(kEditLimitsRow);
        m_bit.SetFromText(text.c_str(), nullptr);
        choice = kChoiceBit;
        break;
    case IDC_BIT_STATE:
        m_strState = text;
        choice = kChoiceState;
        break;
    default: return CFlowObject::OnPropertyCommand(commandId, text);
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowTestBit::ApplyControlChoice(int choice)
{
    if (choice == kChoiceName) {
        if (m_strName.empty() || m_strName.find(' ') != CString::npos) m_strName = "x";
    } else if (choice == kChoiceState) {
        m_bTestForOn = m_strState == LoadResString(IDS_FLOW_ON) ? 1 : 0;
    }
}
