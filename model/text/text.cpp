#include "model/text/text.h"

#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/parts/part_records.h"
#include "model/parts/parttree.h"
#include "model/text/markers.h"
#include "model/text/placement.h"
#include "model/text/questionlink.h"
#include "model/text/richtext.h"
#include "model/text/rtf_document.h"
#include "model/text/rtf_rewrite.h"
#include "model/text/textdrawing.h"
#include "platform/text1252.h"

#include <QFontMetrics>

WB_IMPLEMENT_SERIAL(CText, "CPartCircuit", 2)
WB_IMPLEMENT_SERIAL(CTextCallsParent, "CText", 2)

namespace {
CTextEditorHost* g_host = nullptr;
}

CTextEditorHost* CTextEditorHost::Current() { return g_host; }

CTextEditorHost* CTextEditorHost::Install(CTextEditorHost* host)
{
    CTextEditorHost* old = g_host;
    g_host = host;
    return old;
}

CTextEditState& SharedTextEditor()
{
    static CTextEditState state;
    return state;
}

CRTFData& SharedMarkerBlock()
{
    static CRTFData block;
    return block;
}

CCharFormat DesignCharFormat(CPartTree* design)
{
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    if (auto* root = dynamic_cast<CCircuit*>(design)) {
        static_assert(sizeof root->m_defaultFont >= kCharFormatBytes);
        const CCharFormat stored = CCharFormat::FromBytes(root->m_defaultFont);
        if (stored.size == kCharFormatBytes) cf = stored;
    }
    return cf;
}

double& RescaleFontFactor()
{
    static double factor = 1.28;
    return factor;
}

CText::CText() { InitDefaultCharFormat(&charFormat); }

CText::CText(const CString& text, int sideAsked, CPart* part) : CText()
{
    flags = TF_MULTILINE;
    rtf.SetText(text);
    if (part) PlaceBeside(8 * text.GetLength(), sideAsked, part->m_rect);
}

CText::~CText()
{
    CTextEditState& ed = SharedTextEditor();
    if (ed.part == this) {
        ed.part = nullptr;
        ed.doc = nullptr;
        if (g_host) g_host->Close();
    }
}

RtfCharFormat CText::BaseFormat() const { return BaseFormatOf(charFormat); }

void CText::Serialize(CArchive& ar)
{
    CPartCircuit::Serialize(ar);
    const WORD v = ar.GetVersion();
    if (ar.IsStoring()) {
        WritePairAsWords(ar, anchor.x, anchor.y);
        ar << static_cast<WORD>(side);
        rtf.Serialize(ar);
        SerializeCharFormat(ar, &charFormat);
        ar << static_cast<DWORD>(flags);
        return;
    }
    WORD w = 0;
    if (v < 400) {
        CString plain;
        ar >> plain;
        rtf.Empty();
        rtf.text = plain;
        ReadPairAsWords(ar, anchor.x, anchor.y);
        ar >> w;
        side = w;
        return;
    }
    ReadPairAsWords(ar, anchor.x, anchor.y);
    ar >> w;
    side = w;
    rtf.Serialize(ar);
    SerializeCharFormat(ar, &charFormat);
    if (v > 401) {
        DWORD f = 0;
        ar >> f;
        flags = f & ~TF_TRANSPARENT;
    }
}

void CText::RescaleFontSizes()
{
    if (rtf.length() == 0) return;
    rtf.buffer = RescaleRtfFontSizes(rtf.buffer, RescaleFontFactor());
}

void CText::FixRtfFontTable()
{
    if (rtf.length() == 0) return;
    rtf.buffer = ::FixRtfFontTable(rtf.buffer);
}

void CText::SetText(const char* text) { rtf.SetText(text ? text : ""); }

int CText::CorrectAnswerCount()
{
    CQuestionSource* q = CQuestionSource::Current();
    return q ? q->CountCorrect(GetCircuit()) : 0;
}

const CRTFData* CText::UpdateMacroText()
{
    LabelTextChoice c = ChooseTextPartText(rtf.text, CorrectAnswerCount());
    if (c.kind != LabelTextChoice::Generated) return &rtf;
    CRTFData& shared = SharedMarkerBlock();
    shared.Empty();
    shared.text = c.generated;
    return &shared;
}

void CText::EndEditing()
{
    CTextEditState& ed = SharedTextEditor();
    CText* part = ed.part;
    if (!part) return;
    QTextDocument* doc = ed.doc;
    ed.part = nullptr;
    ed.doc = nullptr;
    if (doc) {
        part->GetRTFData()->ReadFromControl(*doc, part->BaseFormat());
        part->SetPixelsPerInch(kScreenPixelsPerInch);
        part->SetText(part->GetRTFData()->text.c_str());
    }
    if (g_host) g_host->Close();
    part->OnEditEnded();
}

int CText::EditInPlace(CString* text)
{
    CTextEditState& ed = SharedTextEditor();
    // A change the property toolbar made to the text being left becomes one
    // modification, with one undo step, before editing moves on.
    if (!text || (ed.part && ed.part != this))
        if (auto* root = dynamic_cast<CCircuit*>(GetCircuit()))
            if (root->GetPendingRefresh()) root->OnDesignChanged();
    if (ed.part && (!text || ed.part != this)) EndEditing();
    if (!text) return 0;
    CPartTree* design = GetCircuit();
    if (!design || design->IsTemporary() || (design->GetOptionWord() & 0x100) || !CanMoveWhenLocked(design)) return 0;
    if (ed.part == this) return 1;
    if (!g_host) return 0;
    const uint32_t f = GetTextFlags();
    QTextDocument* doc = g_host->Open(this, m_rect, background, (f & TF_MULTILINE) != 0, (f & TF_NUMBERS) != 0,
                                      GetTextLimit());
    if (!doc) return 0;
    GetRTFData()->WriteToControl(doc, false, BaseFormat());
    ed.part = this;
    ed.doc = doc;
    Select(0x80000);
    return 1;
}

int CText::MeasureText(CString* text, int)
{
    const CString& s = text ? *text : rtf.text;
    // With a drawing scope open, the drawing layer's text routine measures
    // (limit 0: 0 when the text is at least as wide as the rectangle).
    if (CDisplay::GetTextDC() && !(flags & TF_MULTILINE)) {
        const CPoint at = AnchorPoint();
        return CDisplay::DrawText(s, m_rect, at.x, at.y, side, nullptr, 0, 0, 0) ? 0 : 1;
    }
    const RtfCharFormat f = BaseFormat();
    QFont font = ToQtFormat(f).font();
    font.setPixelSize(std::max(1, f.halfPoints * kScreenPixelsPerInch / 144));
    const QFontMetrics fm(font);
    const QString q = FromWindows1252(s);
    if (flags & TF_MULTILINE) {
        const QRect need = fm.boundingRect(QRect(0, 0, std::max(1, m_rect.Width()), 100000), Qt::TextWordWrap, q);
        return need.height() > m_rect.Height() ? 1 : 0;
    }
    return fm.horizontalAdvance(q) >= m_rect.Width() ? 1 : 0;
}

int CText::GetPixelsPerInch() { return kScreenPixelsPerInch; }

int CText::IsWindowShown() { return IsBeingEdited() ? 1 : 0; }

int CText::Draw(DWORD)
{
    CTextDrawing* d = CTextDrawing::Current();
    if (!d) return 0;
    if (IsBeingEdited() && d->IsScreen()) return 0;
    if (rtf.length()) {
        const CRTFData* shown = UpdateMacroText();
        d->DrawRichText(*shown, charFormat, m_rect, (flags & TF_TRANSPARENT) ? kNoBackground : background,
                        PrintPlacement{GetPixelsPerInch(), IsSelected()});
    } else {
        d->DrawPlainText(rtf.text, m_rect, AnchorPoint(), side, charFormat, (flags & TF_MULTILINE) != 0);
    }
    return 1;
}

void CText::Deselect(DWORD drawFlags)
{
    if (IsBeingEdited()) EndEditing();
    CPartCircuit::Deselect(drawFlags);
}

void CText::RefreshState()
{
    if (IsBeingEdited()) EndEditing();
    CPartCircuit::RefreshState();
}

void CText::OnRunStateChanged()
{
    if (IsBeingEdited()) EndEditing();
    CPartCircuit::OnRunStateChanged();
}

void CText::OnViewChanged(int code, void* view)
{
    if (IsBeingEdited()) EndEditing();
    CPartCircuit::OnViewChanged(code, view);
}

int CText::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {1, 3, 1};
    records[1] = {1, 0, 1};
    return 2;
}

void CText::PlaceLabel(int sideAsked, CPart* part, const CPoint* offset)
{
    if (!part) return;
    CRect r = part->m_rect;
    if (offset) r.OffsetRect(*offset);
    PlaceBeside(8 * rtf.text.GetLength(), sideAsked, r);
}

void CText::PlaceBeside(int width, int sideAsked, const CRect& rect)
{
    auto p = ::PlaceBeside(width, sideAsked, rect);
    if (!p) return;
    m_rect = p->rect;
    side = p->side;
    anchor = CPoint(p->anchor.x - m_rect.left, p->anchor.y - m_rect.top);
}

void CTextCallsParent::SerializeLinks(CArchive& ar)
{
    CText::SerializeLinks(ar);
    if (ar.IsStoring())
        ar.WriteObjectRef(nullptr);
    else
        ar.ReadObjectRef(static_cast<const char*>(nullptr));
}
