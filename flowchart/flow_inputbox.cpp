#include "flowchart/flow_inputbox.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_panel_texts.h"
#include "flowchart/flow_start.h"
#include "flowchart/panel_buttons.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

#include <cstdlib>
#include <string>

WB_IMPLEMENT_SERIAL(CInputBox, "CTextLabel", 2)

namespace {
constexpr int IDC_PANEL_LABEL = 36052;
constexpr int IDC_PANEL_FLOWCHART = 36053;
constexpr int IDC_ADD_INPUTBOX = 33872;
constexpr int kInputBoxBitmap = 584;
constexpr int kWidth = 120, kHeight = 20;
// The side of the box on which the submit button stands (right).
constexpr int kButtonSide = 1;
// SetInputValue: the button went down, and came up (submit).
constexpr int kButtonDown = 1;
constexpr int kSubmit = 0;
} // namespace

CInputBox::CInputBox()
{
    m_rect.SetRect(0, 0, kWidth, kHeight);
    flags = kInputBoxDisarmed;
    m_strFlowchart = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    m_strLabel = LoadResString(IDS_PANEL_SUBMITS_TO) + m_strFlowchart;
    CText::SetText(m_strValue.c_str());
}

CInputBox::~CInputBox() = default;

void CInputBox::Serialize(CArchive& ar)
{
    CTextLabel::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strReserved << m_strLabel << m_strFlowchart << m_strValue << static_cast<LONG>(m_bArmed);
        return;
    }
    LONG armed = 0;
    ar >> m_strReserved >> m_strLabel >> m_strFlowchart >> m_strValue >> armed;
    // No start waits on a box read from a file: it comes back disarmed
    // (armed, it would take typing that no read element asked for).
    m_bArmed = 0;
    (void)armed;
    m_pWaiting = nullptr;
    flags = (flags & ~kInputBoxArmed & ~kInputBoxDisarmed) | kInputBoxDisarmed;
}

void CInputBox::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CTextLabel::DropDeadLinks(gone);
    if (gone.count(m_pWaiting)) m_pWaiting = nullptr;
}

void CInputBox::CreateChildren()
{
    CTextLabel::CreateChildren();
    if (!GetSubmitButton()) AddChild(new CFlowSubmitButton(kButtonSide, this));
}

CFlowSubmitButton* CInputBox::GetSubmitButton() const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* b = dynamic_cast<CFlowSubmitButton*>(c)) return b;
    return nullptr;
}

// ---- arming and submitting ----

void CInputBox::Arm(CFlowStart* start)
{
    m_pWaiting = start;
    m_bArmed = 1;
    flags = (flags & ~kInputBoxDisarmed) | kInputBoxArmed;
    const DWORD redraw = GetCircuit() ? GetCircuit()->GetRedrawFlags() : 0;
    if (CFlowSubmitButton* b = GetSubmitButton()) b->SetEnabled(true, redraw);
    Redraw(redraw);
}

void CInputBox::Disarm()
{
    // Typing still open in the box ends with it.
    if (IsBeingEdited()) EndEditing();
    m_bArmed = 0;
    m_pWaiting = nullptr;
    flags = (flags & ~kInputBoxArmed) | kInputBoxDisarmed;
    const DWORD redraw = GetCircuit() ? GetCircuit()->GetRedrawFlags() : 0;
    if (CFlowSubmitButton* b = GetSubmitButton()) b->SetEnabled(false, redraw);
    Redraw(redraw);
}

int CInputBox::SetInputValue(CPartTree*, int value)
{
    if (!m_bArmed || value == kButtonDown) return 1;
    // The typed text, from the editor while it is still open.
    if (IsBeingEdited() && SharedTextEditor().doc) rtf.ReadFromControl(*SharedTextEditor().doc, BaseFormat());
    const int number = std::atoi(rtf.text.c_str());
    m_strValue = std::to_string(number);
    if (IsBeingEdited()) EndEditing();
    CText::SetText(m_strValue.c_str());
    CFlowStart* start = m_pWaiting;
    m_pWaiting = nullptr;
    if (value == kSubmit && start) {
        // The start may be gone since it armed the box.
        const auto* design = dynamic_cast<const CCircuit*>(GetCircuit());
        bool stands = false;
        if (design)
            for (CPart* p : design->CollectFlowStarts()) stands = stands || p == start;
        if (stands) start->SubmitInput(number);
    }
    Disarm();
    return 1;
}

void CInputBox::RefreshText()
{
    if (m_strFlowchart.empty()) m_strFlowchart = " ";
    m_strLabel = LoadResString(IDS_PANEL_SUBMITS_TO) + m_strFlowchart;
}

// ---- info and properties ----

int CInputBox::BuildInfo(CString& text, UINT, CPoint)
{
    text = m_strLabel;
    return 1;
}

int CInputBox::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_PANEL_SUBMITS_TO), IDC_PANEL_LABEL, 55));
    CString names;
    if (const auto* design = dynamic_cast<const CCircuit*>(GetCircuit()))
        for (CPart* p : design->CollectFlowStarts()) {
            if (!names.empty()) names += "\n";
            names += p->GetLinkName() ? p->GetLinkName() : "";
        }
    if (names.empty()) names = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    items.Add(CControlItem(CI_DROPLIST, names, IDC_PANEL_FLOWCHART, 120));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_INPUTBOX, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CInputBox::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_PANEL_FLOWCHART, m_strFlowchart, -1);
    return 1;
}

int CInputBox::GetPropertyBitmap(int id) { return id == IDC_ADD_INPUTBOX ? kInputBoxBitmap : 0; }

int CInputBox::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign({IDC_ADD_INPUTBOX});
    if (bitmap && !AttachPicture(bitmap, kInputBoxBitmap)) return -1;
    return 1;
}

int CInputBox::IsPropertyChecked(int commandId, int& flag)
{
    flag = 1;
    return CTextLabel::IsPropertyChecked(commandId, flag);
}

int CInputBox::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != IDC_PANEL_FLOWCHART) return CTextLabel::OnPropertyCommand(commandId, text);
    if (!GetCircuit()) return 0;
    m_strFlowchart = text;
    RefreshText();
    return 65;
}
