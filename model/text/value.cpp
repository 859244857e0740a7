#include "model/text/value.h"

#include "model/circuit/circuit.h"
#include "model/parts/parttree.h"
#include "model/text/placement.h"
#include "model/text/textdrawing.h"
#include "platform/text1252.h"

#include <QTextDocument>

WB_IMPLEMENT_SERIAL(CValue, "CText", 2)

CRTFData& SharedNumberBlock()
{
    static CRTFData block;
    return block;
}

CValue::CValue() { rtf.Reset(); }

CValue::CValue(double value, double scale, char prefix, const CString& unit, int sideAsked, const CRect& rect,
               int typeCode)
{
    number.value = value;
    number.scale = scale;
    number.prefix = prefix;
    number.unit = unit;
    if (rect.IsRectEmpty()) {
        m_rect = rect;
        side = 0;
    } else {
        PlaceBeside(ValueLabelWidth(unit, scale), sideAsked, rect);
    }
    OnNumberChanged(&number);
    number.SetTypeCode(typeCode);
    rtf.Reset();
}

void CValue::Serialize(CArchive& ar)
{
    CText::Serialize(ar);
    if (ar.IsStoring()) {
        number.Serialize(ar);
        return;
    }
    if (ar.GetVersion() < 4) {
        BYTE prefix = 0, unit = 0;
        ar >> number.value >> number.scale >> prefix >> unit;
        number.prefix = static_cast<char>(prefix);
        number.unit = CString(1, static_cast<char>(unit));
        // The old class name CValueBigUnits builds a CValue (through the
        // catalogue) that remembers the name as its pending variant.
        const bool big = bigUnits || (m_pPendingVariant && m_pPendingVariant->IsNamed("CValueBigUnits"));
        if (big) ar >> number.unit;
    } else {
        number.Serialize(ar);
    }
    flags = TF_VALUE;
}

void CValue::SetScale(double newScale, int redrawFlags)
{
    number.scale = newScale;
    OnNumberChanged(&number);
    if (redrawFlags) DrawTree(static_cast<DWORD>(redrawFlags));
}

void CValue::SetNumber(double mantissa, int prefixCode)
{
    number.SetValue(mantissa, prefixCode);
    OnNumberChanged(&number);
}

void CValue::SetBaseValue(double baseValue)
{
    number.SetBaseValue(baseValue);
    OnNumberChanged(&number);
}

void CValue::OnNumberChanged(CNumber* changed)
{
    SetText((changed ? changed : &number)->GetFullText().c_str());
}

CString CValue::GetPrefixText() const
{
    CString p;
    number.GetPrefixText(&p);
    return p;
}

void CValue::SetUnit(const CString& unit)
{
    number.unit = unit;
    OnNumberChanged(&number);
}

CPart* CValue::OwnerPart()
{
    CPartTree* design = GetCircuit();
    return design ? CPart::FindParentOf(design->GetFirstChild(), this) : nullptr;
}

int CValue::OnPress(CPartTree* design, int x, int y)
{
    CPart* owner = OwnerPart();
    return owner ? owner->OnPress(design, x, y) : 0;
}

int CValue::SetInputValue(CPartTree* design, int position)
{
    number.scale = 1.0 - 0.05 * position;
    OnNumberChanged(&number);
    if (design) DrawTree(design->GetRedrawFlags());
    // The component's quantity changed under a running simulation.
    if (auto* root = dynamic_cast<CCircuit*>(design)) root->ControlSimulation(SIM_SENSOR_CHANGED);
    return 0;
}

void CValue::AfterParentPress()
{
    CPartTree* design = GetCircuit();
    if (!design) return;
    int selected = 0;
    CPartIterator it(design, 0);
    while (CPart* p = it.Next())
        if (p->IsSelected()) ++selected;
    if (selected == 1) {
        CString text = rtf.text;
        EditInPlace(&text);
    }
}

bool CValue::CanMoveWhenLocked(CPartTree* design)
{
    if (CText::CanMoveWhenLocked(design)) return true;
    CPart* owner = OwnerPart();
    return owner ? owner->CanMoveWhenLocked(design) : false;
}

int CValue::Draw(DWORD drawFlags)
{
    return (drawFlags & 0x1) ? CText::Draw(drawFlags) : 0;
}

void CValue::PlaceLabel(int sideAsked, CPart* part, const CPoint* offset)
{
    if (!part) return;
    CLabelPlacement records[8];
    if (part->GetLabelPlacements(records) > 0 && records[0].pass == 1) sideAsked = 3;
    CRect r = part->m_rect;
    if (offset) r.OffsetRect(*offset);
    const int width = m_rect.IsRectEmpty() ? ValueLabelPlaceWidth(number.unit, number.scale) : m_rect.Width();
    PlaceBeside(width, sideAsked, r);
}

void CValue::SetText(const char* text)
{
    CTextEditState& ed = SharedTextEditor();
    // The box being typed into shows the number held; typed text that
    // already reads as it ("4." on the way to "4.7") stays as typed, or no
    // decimal point could be typed.
    if (ed.part == this && ed.doc && !number.ReadsAs(ToWindows1252(ed.doc->toPlainText()).c_str()))
        ed.doc->setPlainText(FromWindows1252(GetNumberText()));
    rtf.SetText(text ? text : "");
}

CRTFData* CValue::GetRTFData()
{
    return m_editingNumber ? &SharedNumberBlock() : &rtf;
}

int CValue::EditInPlace(CString* text)
{
    if (!text) return CText::EditInPlace(nullptr);
    CRTFData& block = SharedNumberBlock();
    block.Reset();
    block.text = GetNumberText();
    m_editingNumber = true;
    const int r = CText::EditInPlace(text);
    m_editingNumber = false;
    return r;
}

int CValue::ApplyEditedText()
{
    CTextEditState& ed = SharedTextEditor();
    if (ed.part != this || !ed.doc) return 0;
    rtf.text = ToWindows1252(ed.doc->toPlainText());
    return number.SetFromText(rtf.text, this);
}
