#include "flowchart/meter_message.h"

#include "model/circuit/circuit.h"
#include "model/parts/part_records.h"

#include <QTextDocument>

WB_IMPLEMENT_SERIAL(CFlowMeterMessage, "CText", 2)

namespace {
// Alignment codes of the drawing layer's text routine: 14 centred with the
// text's bottom on the anchor, 4 left with its top on the anchor.
constexpr int kAlignCentredBottom = 14;
constexpr int kAlignLeftTop = 4;
// MeasureText's margin: a text fits when it is 6 pixels narrower than the box.
constexpr int kFitMargin = 6;

bool g_endingEdit = false;
} // namespace

CFlowMeterMessage::CFlowMeterMessage() { rtf.Reset(); }

CFlowMeterMessage::CFlowMeterMessage(int x, int y, const CString& text, int width, int mode, int value)
{
    SetUp(CPoint(0, 0), x, y, text, width, mode, value);
}

CFlowMeterMessage::CFlowMeterMessage(int x, int y, const CString& text, int width, int height, bool keep, int value)
{
    if (!keep) rtf.Reset();
    Lay(x, y, width, height, kAlignCentredBottom);
    m_strTag = text;
    rtf.text = text;
    m_dwValue = static_cast<DWORD>(value);
}

void CFlowMeterMessage::Lay(int x, int y, int width, int height, int alignment)
{
    m_rect.SetRect(x - 25, y - 5, x + width, y + height);
    side = alignment;
    flags = TF_NO_EDIT | TF_TRANSPARENT;
    anchor = alignment == kAlignLeftTop ? CPoint(0, 0) : CPoint(m_rect.Width() / 2, m_rect.Height() - 1);
}

void CFlowMeterMessage::SetUp(CPoint ownerPlace, int x, int y, const CString& text, int width, int mode, int value)
{
    rtf.Reset();
    Lay(ownerPlace.x + x, ownerPlace.y + y, width, 9, mode == 1 ? kAlignLeftTop : kAlignCentredBottom);
    m_strTag = text;
    rtf.text = text;
    m_dwValue = static_cast<DWORD>(value);
}

void CFlowMeterMessage::Serialize(CArchive& ar)
{
    CText::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strTag;
        // Written only where the reader takes it: in an older tree these
        // bytes would be read as the next record.
        if (IsVersionAtLeast(ar.GetVersion(), 4275, 8369)) ar << m_dwValue;
        return;
    }
    // The text record drops the transparent flag on reading; a message is
    // always drawn over its owner's picture without a background.
    flags |= TF_TRANSPARENT;
    ar >> m_strTag;
    m_dwValue = 0;
    if (IsVersionAtLeast(ar.GetVersion(), 4275, 8369)) ar >> m_dwValue;
}

void CFlowMeterMessage::ShowMessage(const CString& text, DWORD drawFlags, const CString& tag)
{
    m_strTag = tag;
    if (text == rtf.text) return;
    CText::SetText(text.c_str());
    Redraw(drawFlags);
}

bool CFlowMeterMessage::TextOverflows(const CString& text)
{
    // The box less the margin: MeasureText compares with the rectangle, so
    // it is asked with the rectangle narrowed by the margin for the call.
    const CRect whole = m_rect;
    m_rect.right -= kFitMargin;
    CString probe = text;
    const bool over = m_rect.Width() <= 0 || MeasureText(&probe, 0) != 0;
    m_rect = whole;
    return over;
}

void CFlowMeterMessage::FitText()
{
    CPartTree* design = GetCircuit();
    if (!design) return;
    CString shown = m_strTag;
    bool cut = false;
    // An empty text always fits, so the loop ends whatever the box measures.
    while (!shown.empty() && TextOverflows(shown)) {
        shown.pop_back();
        cut = true;
    }
    if (cut) {
        shown.resize(shown.size() >= 2 ? shown.size() - 2 : 0);
        shown += "..";
    }
    ShowMessage(shown, design->GetOptionWord(), m_strTag);
}

void CFlowMeterMessage::PutIntoEditor()
{
    CTextEditState& ed = SharedTextEditor();
    if (ed.doc) rtf.WriteToControl(ed.doc, true, BaseFormat());
}

void CFlowMeterMessage::AfterParentPress()
{
    CPartTree* design = GetCircuit();
    auto* root = dynamic_cast<CCircuit*>(design);
    if (!root) return;
    CPart* only = nullptr;
    if (root->CountSelected(&only, 0) == 1) EditInPlace(nullptr);
}

bool CFlowMeterMessage::IsEndingEdit() { return g_endingEdit; }

int CFlowMeterMessage::EditInPlace(CString* text)
{
    if (text) return CText::EditInPlace(text);
    // Ending an edit: the shared flag tells the editor's owner that the
    // message ends it; a message with a value fits its tag to the box
    // afterwards (the shown text may differ from the tag, so it is not
    // replaced otherwise).
    g_endingEdit = true;
    const int result = CText::EditInPlace(nullptr);
    if (m_dwValue) FitText();
    g_endingEdit = false;
    return result;
}
