#include "model/text/textlabel.h"

#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/display/part_resize.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "model/parts/parttree.h"
#include "model/text/richtext.h"
#include "model/text/symbols.h"
#include "model/text/textdrawing.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include "model/display/bitmap256.h"

#include <QTextDocument>

WB_IMPLEMENT_SERIAL(CTextLabel, "CText", 2)

namespace {

constexpr uint32_t kStrDefaultLabel = 36555;
constexpr uint32_t kStrAutomatic = 36594;
constexpr unsigned kStrInsert = 5025;
constexpr int kLabelBitmap = 344;
constexpr int kLabelBitmapIds[] = {36101, 36108, 36105, 36102, 36103, 36104, 36074};

CLabelCommandHost* g_commands = nullptr;

// Each stored response takes at least its key's length byte, the block's
// length and mode and its text's length byte.
constexpr size_t kMinResponseBytes = 1 + 4 + 2 + 1;

void MakeResizeFrame(CPart* label)
{
    label->AddChild(new CPartResize(label));
}

// The question range of a design (the design root's), or null.
CQuestionRange* RangeOf(CPartTree* design)
{
    auto* hook = CQuestionRange::RangeOfDesign();
    return design && hook ? hook(design) : nullptr;
}

int CountSelected(CPartTree* design)
{
    int n = 0;
    CPartIterator it(design, 0);
    while (CPart* p = it.Next())
        if (p->IsSelected()) ++n;
    return n;
}

}  // namespace

CLabelCommandHost* CLabelCommandHost::Current() { return g_commands; }

CLabelCommandHost* CLabelCommandHost::Install(CLabelCommandHost* host)
{
    CLabelCommandHost* old = g_commands;
    g_commands = host;
    return old;
}

CString& PaletteSelection()
{
    static CString selection = "a";
    return selection;
}

CTextLabel::CTextLabel() { question.owner = this; }

CTextLabel::CTextLabel(CPartTree* design, CPoint topLeft, const CCharFormat* designFormat) : CTextLabel()
{
    m_pCircuit = design;
    m_rect = CRect(topLeft.x, topLeft.y, topLeft.x + 140, topLeft.y + 22);
    flags = TF_MULTILINE;
    pixelsPerInch = kScreenPixelsPerInch;
    charFormat = designFormat ? *designFormat : DesignCharFormat(design);
    RenderRichText(&rtf, LoadResString(kStrDefaultLabel), &charFormat);
}

void CTextLabel::Serialize(CArchive& ar)
{
    if (ar.IsStoring() && IsBeingEdited() && SharedTextEditor().doc) {
        rtf.ReadFromControl(*SharedTextEditor().doc, BaseFormat());
        SetText(rtf.text.c_str());
    }
    CText::Serialize(ar);
    const WORD v = ar.GetVersion();
    // A label's frame frames the label: a record naming another part (which
    // the reader may drop again) would leave the frame pointing at it.
    if (!ar.IsStoring())
        if (auto* frame = dynamic_cast<CPartResize*>(GetResizeFrame())) frame->m_framed = this;
    if (ar.IsStoring()) {
        ar.WriteObjectRef(m_pCircuit);
        ar << static_cast<WORD>(pixelsPerInch);
        question.Serialize(ar);
        ar << static_cast<WORD>(responses.GetCount());
        for (const CResponseMap::Entry& e : responses.Entries()) {
            ar << e.first;
            e.second->Serialize(ar);
        }
        // Only where reading takes it: written into an older family's
        // record it would be read as the start of the next one.
        if (IsVersionAtLeast(v, 4274, 8370)) ar << static_cast<DWORD>(background);
        return;
    }
    if (v < 400) {
        // Labels of these files carry nothing more; they get a frame.
        if (!GetResizeFrame()) MakeResizeFrame(this);
        flags |= TF_MULTILINE;
        return;
    }
    CObject* owner = ar.ReadObjectRef("CCircuit");
    if (owner) {
        auto* design = dynamic_cast<CPartTree*>(owner);
        if (!design) throw CArchiveException(CArchiveException::badClass);
        m_pCircuit = design;
    }
    WORD w = 0;
    ar >> w;
    pixelsPerInch = w;
    if (v <= 401) {
        ar >> w;
        flags |= w;
    }
    question.Serialize(ar);
    WORD count = 0;
    ar >> count;
    if (static_cast<size_t>(count) * kMinResponseBytes > ar.BytesLeft())
        throw CArchiveException(CArchiveException::endOfFile);
    responses.RemoveAll();
    for (WORD i = 0; i < count; ++i) {
        CString key;
        ar >> key;
        CRTFData block;
        block.Serialize(ar);
        responses.SetAt(key, std::make_unique<CRTFData>(block));
    }
    if (IsVersionAtLeast(v, 4274, 8370)) {
        DWORD bg = 0;
        ar >> bg;
        background = bg;
    }
}

void CTextLabel::ApplyQuestionSettings(WORD number, const CString& correctAnswer, int mode,
                                       const CResponseMap& dialogResponses, bool border)
{
    const int oldMode = GetResponseMode();
    question.number = number;
    question.correctAnswer = correctAnswer;
    if (mode != 0) {
        CopyResponses(dialogResponses, &responses);
    } else {
        responses.RemoveAll();
        if (oldMode != 0) rtf.SetText(LoadResString(kStrDefaultLabel));
    }
    flags = border ? (flags | TF_BORDER) : (flags & ~TF_BORDER);
    flags = mode == 2 ? (flags | TF_QUESTION) : (flags & ~TF_QUESTION);
    SetAutomaticText();
    SetText(rtf.text.c_str());
    // The numbers changed: the range that scores them numbers them again.
    if (CQuestionRange* range = RangeOf(GetCircuit()))
        if (CQuestionRange* master = range->GetMasterRange()) master->CheckQuestionNumbers();
    // The design stops and starts again as after any edit.
    if (auto* root = dynamic_cast<CCircuit*>(GetCircuit())) {
        root->OnSimulationStopped();
        root->ResetRun(1);
    }
}

CPart* CTextLabel::GetResizeFrame() const
{
    CPart* first = GetFirstChild();
    return first && first->IsKindOf("CPartResize") ? first : nullptr;
}

bool CTextLabel::ChooseWholeTextFont()
{
    if (!g_commands) return false;
    const RtfCharFormat base = BaseFormat();
    RtfCharFormat font = base;
    if (rtf.length()) {
        const RtfDocument doc = rtf.ToRtfDocument(false, base);
        if (!doc.paragraphs.empty())
            font = doc.paragraphs[0].runs.empty() ? doc.paragraphs[0].markFormat : doc.paragraphs[0].runs[0].format;
    }
    if (!g_commands->ChooseTextFont(&font)) return false;
    ApplyFontToText(font);
    return true;
}

void CTextLabel::ApplyFontToText(const RtfCharFormat& font)
{
    auto take = [&font](RtfCharFormat& f) {
        if (f.charset == kCharsetSymbol) return;
        const bool hasColor = f.hasColor;
        const uint32_t color = f.color;
        f = font;
        f.hasColor = hasColor;
        f.color = color;
    };
    if (rtf.length() == 0 || (rtf.mode & kRtfModePlainOnly)) {
        charFormat.SetFace(font.face);
        charFormat.charset = static_cast<uint8_t>(font.charset);
        charFormat.pitchAndFamily = static_cast<uint8_t>(font.pitchFamily);
        charFormat.height = font.halfPoints * 10;
        uint32_t effects = charFormat.effects & ~(kCfeBold | kCfeItalic | kCfeUnderline | kCfeStrikeOut);
        if (font.bold) effects |= kCfeBold;
        if (font.italic) effects |= kCfeItalic;
        if (font.underline) effects |= kCfeUnderline;
        if (font.strike) effects |= kCfeStrikeOut;
        charFormat.effects = effects;
        charFormat.mask |= kCfmBold | kCfmItalic | kCfmUnderline | kCfmStrikeOut | kCfmFace | kCfmSize | kCfmCharset;
        return;
    }
    const RtfCharFormat base = BaseFormat();
    RtfDocument doc = rtf.ToRtfDocument(false, base);
    for (RtfParagraph& p : doc.paragraphs) {
        take(p.markFormat);
        for (RtfRun& r : p.runs) take(r.format);
    }
    rtf.buffer = WriteRtf(doc, base);
    rtf.mode = kRtfFormatRtf;
    rtf.text = WindowTextOf(doc);
}

bool CTextLabel::SetAutomaticText()
{
    if (responses.IsEmpty() || (flags & TF_QUESTION)) return false;
    const CString text = LoadResString(kStrAutomatic);
    rtf.SetText(text);
    CTextEditState& ed = SharedTextEditor();
    if (ed.part == this && ed.doc) ed.doc->setPlainText(FromWindows1252(text));
    return true;
}

void CTextLabel::SetText(const char*)
{
    SetAutomaticText();
    question.userAnswer = TrimAnswer(rtf.text);
}

const CRTFData* CTextLabel::UpdateMacroText()
{
    QuestionState q;
    const QuestionState* found = nullptr;
    if (CQuestionSource* src = CQuestionSource::Current())
        if (src->Lookup(GetCircuit(), question.number, &q)) found = &q;
    LabelTextChoice c = ChooseLabelText(flags, rtf.text, responses, found, CorrectAnswerCount());
    switch (c.kind) {
    case LabelTextChoice::Generated: {
        CRTFData& shared = SharedMarkerBlock();
        shared.Empty();
        shared.text = c.generated;
        return &shared;
    }
    case LabelTextChoice::Response: return c.response;
    case LabelTextChoice::Own: break;
    }
    return &rtf;
}

void CTextLabel::CreateChildren()
{
    if (!GetResizeFrame()) MakeResizeFrame(this);
}

void CTextLabel::AfterLoad(CPartTree* design, DWORD loadFlags, WORD version)
{
    CText::AfterLoad(design, loadFlags, version);
    const int screen = kScreenPixelsPerInch;
    // A label laid out at another resolution keeps its size in inches; a
    // stored resolution of 0 says nothing and leaves the size alone.
    if (pixelsPerInch > 0 && pixelsPerInch != screen) {
        const int w = m_rect.Width() * screen / pixelsPerInch;
        const int h = m_rect.Height() * screen / pixelsPerInch;
        const CRect r(m_rect.left, m_rect.top, m_rect.left + w, m_rect.top + h);
        if (HasResizeFrame()) SetRectRecursive(r);
        else m_rect = r;
    }
    scale = 1.0;
    pixelsPerInch = screen;
    // The question takes its entry in the range read with the design; a
    // number beyond the range waits for the range to be checked.
    if (question.number)
        if (CQuestionRange* range = RangeOf(design ? design : GetCircuit())) range->SetRange(&question);
}

int CTextLabel::OnPress(CPartTree* design, int x, int y)
{
    if (CPart* frame = GetResizeFrame())
        if (int r = frame->OnPress(design, x, y)) return r;
    if (!(flags & TF_NO_EDIT)) {
        CString text = rtf.text;
        EditInPlace(&text);
    }
    return 0;
}

CRect CTextLabel::OnDrag(CPartTree* design, CPoint point)
{
    if (CPart* frame = GetResizeFrame()) return frame->OnDrag(design, point);
    return CText::OnDrag(design, point);
}

int CTextLabel::OnRelease(CPartTree* design, int x, int y)
{
    // The frame answers only for a release that ends a resize; any other
    // release (a new label following the mouse, a moved label) is the
    // text's own, so the label is dropped.
    if (CPart* frame = GetResizeFrame())
        if (int r = frame->OnRelease(design, x, y)) return r;
    return CText::OnRelease(design, x, y);
}

int CTextLabel::PtInPart(CPoint point)
{
    if (CPart* frame = GetResizeFrame())
        if (frame->PtInPart(point)) return 1;
    return CText::PtInPart(point);
}

int CTextLabel::ShowInfo(CPoint point, CString& bubbleText)
{
    if (CPart* frame = GetResizeFrame())
        if (frame->PtInPart(point)) return frame->ShowInfo(point, bubbleText);
    return CText::ShowInfo(point, bubbleText);
}

void CTextLabel::OnSimulationStopped()
{
    // The frame keeps the rectangle a handle drag started from, so that the
    // reset after the edit can redraw both places.
    if (CPart* frame = GetResizeFrame()) frame->OnSimulationStopped();
    CText::OnSimulationStopped();
}

void CTextLabel::OnSimulationReset()
{
    if (CPart* frame = GetResizeFrame()) frame->OnSimulationReset();
    CPartTree* design = GetCircuit();
    if (design && IsSelected() && CountSelected(design) == 1 && !(flags & TF_NO_EDIT)) {
        CString text = rtf.text;
        EditInPlace(&text);
    } else if (IsBeingEdited()) {
        EditInPlace(nullptr);
    }
}

const char* CTextLabel::GetLinkName() { return (flags & TF_QUESTION) ? "Question" : nullptr; }

void CTextLabel::SetRect(const CRect& rect)
{
    CText::SetRect(rect);
    if (IsBeingEdited())
        if (CTextEditorHost* host = CTextEditorHost::Current()) host->Move(rect);
}

int CTextLabel::IsInRect(const CRect& rect, int whole)
{
    CRect drawn = m_rect;
    if (flags & TF_BORDER) drawn.InflateRect(1, 1);
    CRect inter;
    if (!inter.IntersectRect(rect, drawn)) return 0;
    return whole ? inter == drawn : 1;
}

void CTextLabel::DrawTreeInRect(DWORD drawFlags, int mode, const CRect& rect, CPart* except)
{
    if (this == except) return;
    if ((mode & kRedrawAnswerTexts) && !(drawFlags & 0x80000) && LabelDependsOnAnswers(flags, rtf.text, responses)) {
        // The text shown changes with the answers: what was drawn goes
        // first, as rich text paints over its rectangle without filling it.
        EraseTree();
        DrawTree(drawFlags);
        return;
    }
    CText::DrawTreeInRect(drawFlags, mode, rect, except);
}

void CTextLabel::OnEditEnded()
{
    if (!(flags & TF_QUESTION)) return;
    if (CPartTree* design = GetCircuit()) RedrawAnswerTexts(design, this);
}

void RedrawAnswerTexts(CPartTree* design, CPart* except)
{
    if (design) design->DrawTreeInRect(design->GetRedrawFlags(), kRedrawAnswerTexts, CRect(), except);
}

void CTextLabel::EraseTree()
{
    if (!(flags & TF_BORDER)) {
        CText::EraseTree();
        return;
    }
    CRect r = m_rect;
    r.InflateRect(1, 1);
    if (CPartDrawing* d = CPartDrawing::Current()) d->EraseRect(r);
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->EraseTree();
}

int CTextLabel::Draw(DWORD drawFlags)
{
    int r = CText::Draw(drawFlags);
    if ((flags & TF_BORDER) && CTextDrawing::Current())
        CTextDrawing::Current()->DrawFrame(CPoint(m_rect.left - 1, m_rect.top - 1), CPoint(m_rect.right, m_rect.bottom),
                                           0x000000, 0);
    return r;
}

int CTextLabel::FillProperties(CControlItemList& items)
{
    const bool editing = IsBeingEdited();
    auto button = [&](int id, bool alwaysEnabled) {
        CControlItem item(CI_TOOLBUTTON, CString(), id, DefaultItemWidth(CI_TOOLBUTTON));
        if (!alwaysEnabled && !editing) item.SetFlag2(true);
        items.Add(item);
    };
    auto separator = [&] { items.Add(CControlItem(CI_SEPARATOR, CString(), 0, DefaultItemWidth(CI_SEPARATOR))); };
    button(IDC_LABEL_BORDER, false);
    button(IDC_LABEL_BACKGROUND, false);
    button(IDC_LABEL_FONT, true);
    separator();
    button(IDC_LABEL_BOLD, false);
    button(IDC_LABEL_ITALIC, false);
    button(IDC_LABEL_UNDERLINE, false);
    separator();
    CControlItem palette(CI_DROPLIST, CString(kSymbolPalette), IDC_LABEL_SYMBOLS, DefaultItemWidth(CI_DROPLIST));
    if (!editing) palette.SetFlag2(true);
    items.Add(palette);
    CControlItem insert(CI_PUSHBUTTON_LOCKED, kStrInsert, IDC_LABEL_INSERT_SYMBOL,
                        DefaultItemWidth(CI_PUSHBUTTON_LOCKED));
    if (!editing) insert.SetFlag2(true);
    items.Add(insert);
    separator();
    button(IDC_LABEL_QUESTION, false);
    return 0;
}

int CTextLabel::GetPropertyBitmap(int id)
{
    for (int known : kLabelBitmapIds)
        if (known == id) return kLabelBitmap;
    return 0;
}

// The button pictures of the toolbar: one strip, a cell per id in order.
int CTextLabel::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign(std::begin(kLabelBitmapIds), std::end(kLabelBitmapIds));
    if (bitmap && !AttachPicture(bitmap, kLabelBitmap)) return -1;
    return static_cast<int>(ids.size());
}

int CTextLabel::IsPropertyChecked(int commandId, int& flag)
{
    // The result is the check state; flag says whether the item is enabled.
    // Every button but the font button acts on the text being edited.
    const bool editing = IsBeingEdited();
    switch (commandId) {
    case IDC_LABEL_BORDER: flag = editing; return (flags & TF_BORDER) ? 1 : 0;
    case IDC_LABEL_TRANSPARENT: flag = editing; return (flags & TF_TRANSPARENT) ? 1 : 0;
    case IDC_LABEL_BOLD:
    case IDC_LABEL_ITALIC:
    case IDC_LABEL_UNDERLINE:
        flag = editing;
        return editing && g_commands && g_commands->IsStyleChecked(commandId) ? 1 : 0;
    case IDC_LABEL_FONT: flag = 1; return 0;
    default: return CText::IsPropertyChecked(commandId, flag);
    }
}

int CTextLabel::OnPropertyCommand(int commandId, const CString& text)
{
    bool changed = false;
    switch (commandId) {
    case IDC_LABEL_BORDER:
        flags ^= TF_BORDER;
        changed = true;
        break;
    case IDC_LABEL_TRANSPARENT:
        flags ^= TF_TRANSPARENT;
        changed = true;
        break;
    case IDC_LABEL_BACKGROUND: {
        uint32_t colour = background;
        if (g_commands && g_commands->ChooseColour(&colour)) {
            background = colour;
            changed = true;
        }
        break;
    }
    case IDC_LABEL_FONT:
        if (g_commands) changed = IsBeingEdited() ? g_commands->ChooseFont() : ChooseWholeTextFont();
        break;
    case IDC_LABEL_BOLD:
    case IDC_LABEL_ITALIC:
    case IDC_LABEL_UNDERLINE: changed = g_commands && IsBeingEdited() && g_commands->ToggleStyle(commandId); break;
    case IDC_LABEL_SYMBOLS: PaletteSelection() = text; break;
    case IDC_LABEL_INSERT_SYMBOL:
        if (g_commands && IsBeingEdited()) {
            g_commands->InsertSymbol(PaletteCode(PaletteSelection()));
            changed = true;
        }
        break;
    case IDC_LABEL_QUESTION:
        // A cancelled dialog changed nothing, so the document stays
        // unmodified (bit 0x20 alone marks it changed).
        if (!g_commands || !g_commands->EditQuestion(this)) return 0;
        changed = true;
        break;
    default: return CText::OnPropertyCommand(commandId, text);
    }
    return 0x20 | (changed ? 1 : 0);
}

namespace {
template <class F>
int ForEachLabel(CPart* part, F&& f)
{
    int n = 0;
    for (CPart* c = part ? part->GetFirstChild() : nullptr; c; c = c->GetNextSibling()) {
        if (auto* label = dynamic_cast<CTextLabel*>(c)) {
            f(label);
            ++n;
        }
        n += ForEachLabel(c, f);
    }
    return n;
}
}  // namespace

int RescaleAllLabelFonts(CPart* design)
{
    return ForEachLabel(design, [](CTextLabel* l) { l->RescaleFontSizes(); });
}

int FixAllLabelFontTables(CPart* design)
{
    return ForEachLabel(design, [](CTextLabel* l) { l->FixRtfFontTable(); });
}
