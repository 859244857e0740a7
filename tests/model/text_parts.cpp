#include "model/display/display.h"
#include "model/display/view.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "model/text/text_classes.h"
#include "model/parts/parttree.h"
#include "model/text/groupbox.h"
#include "model/text/meter.h"
#include "model/text/opampsupply.h"
#include "model/text/sinevalue.h"
#include "model/text/textdrawing.h"
#include "model/text/textlabel.h"
#include "model/text/value.h"
#include "model/text/valuevariants.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <memory>

namespace {

std::vector<uint8_t> Store(CObject* obj, WORD version = kCurrentVersion)
{
    CArchive out;
    out.SetVersion(version);
    out.WriteObject(obj);
    return out.GetBuffer();
}

template <class T>
std::unique_ptr<T> Load(const std::vector<uint8_t>& bytes, WORD version = kCurrentVersion)
{
    CArchive in(bytes);
    in.SetVersion(version);
    CObject* o = in.ReadNewObject(nullptr);
    auto* t = dynamic_cast<T*>(o);
    if (!t) delete o;
    return std::unique_ptr<T>(t);
}

// The CPart record of a childless part as files of that version hold it.
void WritePartRecord(CArchive& ar, const CRect& r, WORD version)
{
    ar << WORD(0);  // end of the child list
    WriteRectAsWords(ar, r);
    if (version > 2) ar << WORD(0);
    if (version > 3) ar << WORD(0);
    if (version >= 400) ar << WORD(0);
}

struct Editor : CTextEditorHost {
    QTextDocument doc;
    int opened = 0, closed = 0;
    QTextDocument* Open(CText*, const CRect&, uint32_t, bool, bool, int limit) override
    {
        ++opened;
        lastLimit = limit;
        return &doc;
    }
    void Close() override { ++closed; }
    void Move(const CRect&) override {}
    int lastLimit = -1;
};

}  // namespace

TEST(TextParts, LabelRecordRoundTripsByteForByte)
{
    EnsureTextGuiApp();
    CTextLabel label(nullptr, CPoint(10, 20), nullptr);
    EXPECT_EQ(label.m_rect, CRect(10, 20, 150, 42));
    EXPECT_EQ(label.flags, TF_MULTILINE);
    EXPECT_EQ(label.rtf.mode, 2);
    EXPECT_EQ(label.rtf.text, "Text");
    label.background = 0x00FF00;
    label.question.number = 3;
    label.question.correctAnswer = "4.7k";
    auto block = std::make_unique<CRTFData>();
    block->mode = 2;
    block->buffer = "{\\rtf1 well done}";
    block->text = "well done";
    label.responses.SetAt("Correct", std::move(block));
    label.responses.SetAt("$WRONG", std::make_unique<CRTFData>());

    const std::vector<uint8_t> bytes = Store(&label);
    auto back = Load<CTextLabel>(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_rect, label.m_rect);
    EXPECT_EQ(back->rtf.buffer, label.rtf.buffer);
    EXPECT_EQ(back->rtf.text, "Text");
    EXPECT_EQ(back->background, 0x00FF00u);
    EXPECT_EQ(back->question.number, 3);
    EXPECT_EQ(back->question.correctAnswer, "4.7k");
    ASSERT_EQ(back->responses.GetCount(), 2);
    EXPECT_EQ(back->responses.Lookup("Correct")->buffer, "{\\rtf1 well done}");
    EXPECT_EQ(back->charFormat, label.charFormat);
    EXPECT_EQ(Store(back.get()), bytes);  // nothing read is rewritten
}

TEST(TextParts, LabelRecordOfEveryFamilyVersionReadsBackWhole)
{
    EnsureTextGuiApp();
    // The background word came with 0x10B2 / 0x20B2: records of the versions
    // before end without it, so they read back whole and save the same bytes.
    CTextLabel label;
    label.SetText("a label");
    label.background = 0x123456;
    for (WORD version : {WORD(0x10B1), WORD(0x10B2), WORD(0x20B1), WORD(0x20B2), kCurrentVersion}) {
        const bool hasBackground = version == 0x10B2 || version >= 0x20B2;
        const std::vector<uint8_t> saved = Store(&label, version);
        CArchive in(saved);
        in.SetVersion(version);
        std::unique_ptr<CObject> o(in.ReadNewObject(nullptr));
        auto* back = dynamic_cast<CTextLabel*>(o.get());
        ASSERT_TRUE(back) << std::hex << version;
        EXPECT_EQ(in.BytesLeft(), 0u) << std::hex << version;
        EXPECT_EQ(back->background, hasBackground ? 0x123456u : 0xFFFFFFu) << std::hex << version;
        back->background = 0x123456;
        EXPECT_EQ(Store(back, version), saved) << std::hex << version;
    }
}

TEST(TextParts, OldLabelRecords)
{
    EnsureTextGuiApp();
    // Version 401: no flags word in the text record, an extra flags word
    // after the resolution, no background.
    CArchive out;
    out.SetVersion(401);
    out.WriteClass(RUNTIME_CLASS(CTextLabel));
    WritePartRecord(out, CRect(0, 0, 96, 48), 401);
    out << WORD(0);                      // the design (CPartCircuit)
    WritePairAsWords(out, 2, 3);         // anchor
    out << WORD(6);                      // side
    CRTFData plain;
    plain.SetText("old");
    plain.Serialize(out);
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    SerializeCharFormat(out, &cf);
    out << WORD(0);                      // the design (label)
    out << WORD(192);                    // laid out at 192 pixels per inch
    out << WORD(TF_BORDER | TF_TRANSPARENT);
    CQuestionLink q;
    q.Serialize(out);
    out << WORD(0);                      // no responses
    auto label = Load<CTextLabel>(out.GetBuffer(), 401);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->flags, TF_BORDER | TF_TRANSPARENT);  // the extra word is not cleaned
    EXPECT_EQ(label->anchor, CPoint(2, 3));
    EXPECT_EQ(label->side, 6);
    EXPECT_EQ(label->background, 0xFFFFFFu);
    label->AfterLoad(nullptr, 0, 401);
    EXPECT_EQ(label->m_rect, CRect(0, 0, 48, 24));  // halved to the screen's 96
    EXPECT_EQ(label->pixelsPerInch, 96);

    // A stored flags word loses bit 0x200.
    CTextLabel fresh(nullptr, CPoint(0, 0), nullptr);
    fresh.flags = TF_TRANSPARENT | TF_BORDER;
    auto again = Load<CTextLabel>(Store(&fresh));
    EXPECT_EQ(again->flags, TF_BORDER);

    // Before 400: the plain text, anchor and side, nothing else.
    CArchive old;
    old.SetVersion(3);
    old.WriteClass(RUNTIME_CLASS(CTextLabel));
    WritePartRecord(old, CRect(5, 5, 50, 20), 3);
    old << CString("plain old label");
    WritePairAsWords(old, 0, 0);
    old << WORD(0);
    auto ancient = Load<CTextLabel>(old.GetBuffer(), 3);
    ASSERT_TRUE(ancient);
    EXPECT_EQ(ancient->rtf.text, "plain old label");
    EXPECT_EQ(ancient->rtf.length(), 0u);
    EXPECT_TRUE(ancient->flags & TF_MULTILINE);
    ASSERT_TRUE(ancient->GetResizeFrame());  // a new frame for every label
}

TEST(TextParts, DamagedResponseCountIsRefused)
{
    EnsureTextGuiApp();
    CTextLabel label(nullptr, CPoint(0, 0), nullptr);
    std::vector<uint8_t> bytes = Store(&label);
    // The response count is the word before the final background DWORD.
    const size_t at = bytes.size() - 4 - 2;
    bytes[at] = 0xFF;
    bytes[at + 1] = 0xFF;
    CArchive in(bytes);
    EXPECT_THROW(in.ReadNewObject(nullptr), CArchiveException);
}

TEST(TextParts, ValueRecordsOldAndNew)
{
    EnsureTextGuiApp();
    CValue v(4700, 1.0, 'k', "\xEA", 1, CRect(0, 0, 40, 20), 5);
    EXPECT_EQ(v.rtf.text, "4.7k\xEA");
    EXPECT_EQ(v.rtf.mode, 12);
    EXPECT_EQ(v.rtf.length(), 0u);
    EXPECT_EQ(v.m_rect, CRect(41, 3, 81, 17));  // 32 + 8 for the unit
    EXPECT_DOUBLE_EQ(v.GetValue(), 4700);
    auto back = Load<CValue>(Store(&v));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->number.GetFullText(), "4.7k\xEA");
    EXPECT_EQ(back->flags, TF_VALUE);
    EXPECT_EQ(back->number.typeCode, 5);

    for (bool bigUnits : {false, true}) {
        CArchive old;
        old.SetVersion(3);
        old.WriteClass(bigUnits ? CRuntimeClass::FromName("CValueBigUnits") : RUNTIME_CLASS(CValue));
        WritePartRecord(old, CRect(0, 0, 30, 14), 3);
        old << CString("10V");
        WritePairAsWords(old, 0, 0);
        old << WORD(0);
        old << 10.0 << 1.0 << BYTE(' ') << BYTE('V');
        if (bigUnits) old << CString("Volts");
        auto ov = Load<CValue>(old.GetBuffer(), 3);
        ASSERT_TRUE(ov);
        EXPECT_EQ(ov->GetRuntimeClass(), RUNTIME_CLASS(CValue));  // the old name builds a CValue
        EXPECT_EQ(ov->number.unit, bigUnits ? "Volts" : "V");
        EXPECT_DOUBLE_EQ(ov->GetValue(), 10.0);
        EXPECT_EQ(ov->flags, TF_VALUE);
    }
}

TEST(TextParts, ValueEditingAndStepping)
{
    EnsureTextGuiApp();
    Editor editor;
    CTextEditorHost* was = CTextEditorHost::Install(&editor);
    CPartTree design;
    CValue v(4700, 1.0, 'k', "R", 1, CRect(0, 0, 40, 20), 5);
    v.m_pCircuit = &design;
    CString text = v.rtf.text;
    ASSERT_EQ(v.EditInPlace(&text), 1);
    EXPECT_EQ(editor.lastLimit, 8);
    EXPECT_EQ(editor.doc.toPlainText(), "4.7");  // the number alone
    editor.doc.setPlainText("2.2");
    EXPECT_EQ(v.ApplyEditedText(), 1);
    EXPECT_DOUBLE_EQ(v.GetValue(), 2200);
    EXPECT_EQ(editor.doc.toPlainText(), "2.2");
    editor.doc.setPlainText("99");  // typed but never applied
    v.EditInPlace(nullptr);
    EXPECT_EQ(editor.closed, 1);
    EXPECT_EQ(v.rtf.text, "2.2kR");  // the full text again
    EXPECT_EQ(v.StepValue(1), 1);
    EXPECT_EQ(v.rtf.text, "2.21kR");

    design.m_bTemporary = 1;  // a temporary design refuses editing
    EXPECT_EQ(v.EditInPlace(&text), 0);
    design.m_bTemporary = 0;
    CFixedValue fixed(10, 1.0, ' ', "V", 1, CRect(0, 0, 40, 20), 3);
    fixed.m_pCircuit = &design;
    EXPECT_EQ(fixed.EditInPlace(&text), 0);  // never edited in place
    CTextEditorHost::Install(was);

    v.SetInputValue(nullptr, 10);
    EXPECT_DOUBLE_EQ(v.number.scale, 0.5);
    EXPECT_EQ(v.rtf.text, "1.105kR");
}

TEST(TextParts, MeterReadingAndKinds)
{
    EnsureTextGuiApp();
    CMeter m;
    WORD code = 0;
    EXPECT_EQ(m.SetReading(0.0005, &code, 0x400), 1);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(m.rtf.text, "  500");
    EXPECT_EQ(m.SetReading(0.0006, &code, 0x400), 0);
    EXPECT_EQ(m.rtf.text, "  600");
    auto back = Load<CMeter>(Store(&m));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rtf.text, "  600");

    CDummyValue hidden(1000, 1.0, ' ', "F", 5);
    EXPECT_TRUE(hidden.m_rect.IsRectEmpty());
    CPart owner(CRect(0, 0, 20, 20));
    hidden.PlaceLabel(2, &owner, nullptr);
    EXPECT_TRUE(hidden.m_rect.IsRectEmpty());

    CSineValue sine(2, CRect(0, 0, 40, 40), 6);
    EXPECT_EQ(sine.rtf.text, "500Hz");
    EXPECT_EQ(sine.amplitude.GetFullText(), "5V");
    sine.ApplyAdvanced(250, 0, 90);
    EXPECT_DOUBLE_EQ(sine.dcOffset, 0.25);
    EXPECT_EQ(sine.amplitude.GetFullText(), "5mV");
    auto s2 = Load<CSineValue>(Store(&sine));
    ASSERT_TRUE(s2);
    EXPECT_EQ(s2->amplitude.GetFullText(), "5mV");
    EXPECT_DOUBLE_EQ(s2->phase, 90);
    EXPECT_EQ(s2->unitChoice, 0);
}

TEST(TextParts, OpampSupplyKeepsItsOpampReference)
{
    EnsureTextGuiApp();
    auto* opamp = new CPart(CRect(100, 100, 140, 140));
    auto* supply = new COpampSupply(opamp);
    opamp->AppendChild(supply);
    EXPECT_EQ(supply->rtf.text, "9V");
    EXPECT_EQ(supply->negative.GetFullText(), "-9V");
    EXPECT_EQ(supply->ChildCount(), 2);
    EXPECT_EQ(supply->GetFirstChild()->m_rect, CRect(104, 129, 136, 143));
    auto back = Load<CPart>(Store(opamp));
    ASSERT_TRUE(back);
    auto* s = dynamic_cast<COpampSupply*>(back->GetFirstChild());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->opamp, back.get());
    EXPECT_EQ(s->negative.GetFullText(), "-9V");
    delete opamp;
}

TEST(TextParts, OpampSupplyOfAnOldFileSavesTheSameBytesAfterEveryLoad)
{
    EnsureTextGuiApp();
    // Files before version 4 keep the rails as two words after the part
    // record.  Read from there the supply is a value like any other, so the
    // record saved from it and read again saves the same bytes.
    CArchive old;
    old.SetVersion(3);
    old.WriteClass(RUNTIME_CLASS(COpampSupply));
    WritePartRecord(old, CRect(4, 4, 4, 4), 3);
    old << WORD(12) << WORD(5);
    auto first = Load<COpampSupply>(old.GetBuffer(), 3);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->number.GetFullText(), "12V");
    EXPECT_EQ(first->negative.GetFullText(), "-5V");
    EXPECT_EQ(first->flags, DWORD(TF_VALUE));
    const std::vector<uint8_t> saved = Store(first.get());
    auto second = Load<COpampSupply>(saved);
    ASSERT_TRUE(second);
    EXPECT_EQ(Store(second.get()), saved);
}

TEST(TextParts, TextCallsParentWritesTheReferenceItReads)
{
    EnsureTextGuiApp();
    CTextCallsParent t;
    CArchive out;
    t.SerializeLinks(out);
    EXPECT_EQ(out.GetBuffer(), (std::vector<uint8_t>{0, 0}));  // a null reference
    CArchive in(out.GetBuffer());
    t.SerializeLinks(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
}

TEST(TextParts, GroupBoxMarksExactlyThePartsInside)
{
    EnsureTextGuiApp();
    CPartTree design;
    design.CreateMissingGroups();
    auto* inside = new CPart(CRect(10, 10, 20, 20));
    auto* outside = new CPart(CRect(100, 100, 120, 120));
    auto* box = new CGroupBox();
    box->m_rect = CRect(0, 0, 50, 50);
    box->m_pCircuit = &design;
    design.AddChild(inside);
    design.AddChild(outside);
    design.AddChild(box);
    box->SetGrouping(1);
    EXPECT_TRUE(inside->HasFlag(PF_ANCHORED));
    EXPECT_FALSE(outside->HasFlag(PF_ANCHORED));
    EXPECT_EQ(box->IsGrouping(), 1);
    auto* later = new CPart(CRect(30, 30, 40, 40));
    design.AddChild(later);
    EXPECT_FALSE(later->HasFlag(PF_ANCHORED));  // not until the state is set again
    EXPECT_EQ(box->OnPropertyCommand(IDC_GROUPBOX_FIXED, ""), 32);
    EXPECT_FALSE(inside->HasFlag(PF_ANCHORED));
    int flag = -1;
    box->IsPropertyChecked(IDC_GROUPBOX_FIXED, flag);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(box->PtInPart(CPoint(25, 25)), 0);  // a fixed box is not hit inside
}

// A group box draws its own white-then-black frame, not the label's border,
// so the border flag (as a file may hold it) leaves its picture unchanged,
// and its border button is greyed and pressing it changes nothing.
TEST(TextParts, GroupBoxIgnoresTheBorderFlag)
{
    EnsureTextGuiApp();
    auto render = [](DWORD textFlags) {
        CDisplay::ResetForTest();
        CImageView view(80, 80);
        QImage img;
        {
            CDisplay display(&view);
            CGroupBox box(nullptr, nullptr);
            box.m_rect = CRect(20, 20, 60, 60);
            box.flags = textFlags;
            box.Draw(0);
            img = view.Image().copy();
        }
        CDisplay::ResetForTest();
        return img;
    };
    const QImage plain = render(TF_MULTILINE);
    const QImage bordered = render(TF_MULTILINE | TF_BORDER);
    EXPECT_EQ(plain, bordered);
    // The box's own dashed frame runs on (right - 1, bottom - 1); nothing is
    // drawn on the label border's line one pixel outside the box.
    auto dark = [&](int x0, int y0, int dx, int dy) {
        int n = 0;
        for (int i = 0; i < 40; ++i) n += qGray(bordered.pixel(x0 + i * dx, y0 + i * dy)) < 128;
        return n;
    };
    EXPECT_GT(dark(59, 20, 0, 1), 10);
    EXPECT_GT(dark(20, 59, 1, 0), 10);
    EXPECT_EQ(dark(19, 19, 0, 1), 0);
    EXPECT_EQ(dark(19, 19, 1, 0), 0);

    CGroupBox box(nullptr, nullptr);
    int enabled = -1;
    EXPECT_EQ(box.IsPropertyChecked(IDC_LABEL_BORDER, enabled), 0);
    EXPECT_EQ(enabled, 0);
    const DWORD before = box.flags;
    EXPECT_EQ(box.OnPropertyCommand(IDC_LABEL_BORDER, ""), 0);
    EXPECT_EQ(box.flags, before);
    // A text box with the same flag does draw the border.
    CTextLabel label(nullptr, CPoint(0, 0), nullptr);
    enabled = -1;
    label.IsPropertyChecked(IDC_LABEL_BORDER, enabled);
    EXPECT_EQ(enabled, 0);  // not being edited
    EXPECT_EQ(label.OnPropertyCommand(IDC_LABEL_BORDER, "") & 1, 1);
    EXPECT_TRUE(label.flags & TF_BORDER);
}

TEST(TextParts, LabelValueAndMeterRenderHeadless)
{
    EnsureTextGuiApp();
    QImage img(300, 120, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    CPainterTextDrawing drawing(&p);
    CTextDrawingScope scope(&drawing);

    CTextLabel label(nullptr, CPoint(10, 10), nullptr);
    label.flags |= TF_BORDER;
    label.Draw(0);
    CValue value(4700, 1.0, 'k', "R", 1, CRect(10, 60, 50, 80), 5);
    value.Draw(0);  // values draw only with flag 0x1
    CMeter meter;
    meter.m_rect = CRect(200, 60, 260, 80);
    WORD code = 0;
    meter.SetReading(1.234, &code, 0);
    meter.Draw(0x4);
    p.end();

    auto ink = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(img.pixel(x, y)) < 128) ++n;
        return n;
    };
    EXPECT_GT(ink(QRect(10, 10, 140, 22)), 20);   // "Text"
    EXPECT_EQ(QColor(img.pixel(9, 9)), QColor(Qt::black));  // the border
    EXPECT_EQ(ink(QRect(51, 60, 40, 20)), 0);     // the value was not drawn
    EXPECT_GT(ink(QRect(200, 60, 60, 20)), 20);   // " 1.23"

    QImage img2(300, 120, QImage::Format_RGB32);
    img2.fill(Qt::white);
    QPainter p2(&img2);
    CPainterTextDrawing drawing2(&p2);
    CTextDrawingScope scope2(&drawing2);
    value.Draw(0x1);
    p2.end();
    int n = 0;
    for (int y = 55; y < 85; ++y)
        for (int x = 45; x < 100; ++x)
            if (qGray(img2.pixel(x, y)) < 128) ++n;
    EXPECT_GT(n, 20);  // "4.7kR" beside the part
}

TEST(TextParts, DrawOnTheDrawingLayer)
{
    EnsureTextGuiApp();
    CDisplay::ResetForTest();
    {
        CImageView view(300, 120);
        view.m_scroll = CPoint(100, 0);  // the design scrolled 100 pixels to the right
        CDisplay display(&view);
        CTextLabel label(nullptr, CPoint(110, 10), nullptr);
        label.flags |= TF_BORDER;
        label.Draw(0);
        CValue value(4700, 1.0, 'k', "R", 1, CRect(110, 60, 150, 80), 5);
        value.Draw(0x1);
        int labelInk = 0, valueInk = 0, elsewhere = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 300; ++x) {
                if (qGray(view.Image().pixel(x, y)) >= 128) continue;
                if (x >= 9 && x <= 150 && y >= 9 && y <= 32) ++labelInk;
                else if (x >= 50 && x < 100 && y >= 55 && y < 85) ++valueInk;
                else ++elsewhere;
            }
        EXPECT_GT(labelInk, 20 + 2 * 140);  // text and border, 100 pixels left of the design place
        EXPECT_GT(valueInk, 20);
        EXPECT_EQ(elsewhere, 0);
    }
    CDisplay::ResetForTest();
}

TEST(TextParts, ClassesAreRegisteredAndInTheCatalogue)
{
    EXPECT_TRUE(TextPartClassesRegistered());
    for (const char* name : {"CTextLabel", "CGroupBox"}) {
        const int row = PartCatalogue::Get().FindClass(name);
        ASSERT_GE(row, 0) << name;
        EXPECT_EQ(PartCatalogue::Get().GetRowStatus(row), PartCatalogue::rowReady) << name;
    }
}

TEST(TextParts, DocumentWideTextCommandsReachEveryLabel)
{
    EnsureTextGuiApp();
    CPart root;
    auto* group = new CPart;
    root.AppendChild(group);
    auto* a = new CTextLabel(nullptr, CPoint(0, 0), nullptr);
    auto* b = new CGroupBox(nullptr, nullptr);
    group->AppendChild(a);
    group->AppendChild(b);
    a->rtf.mode = 2;
    a->rtf.buffer = "{\\rtf1{\\fonttbl{\\f0\\froman Symbol;}}\\fs20 a}";
    const std::string bBefore = b->rtf.buffer;
    EXPECT_EQ(RescaleAllLabelFonts(&root), 2);
    EXPECT_EQ(a->rtf.buffer, "{\\rtf1{\\fonttbl{\\f0\\froman Symbol;}}\\fs25 a}");
    EXPECT_NE(b->rtf.buffer, bBefore);
    EXPECT_EQ(FixAllLabelFontTables(&root), 2);
    EXPECT_EQ(a->rtf.buffer, "{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset2 Symbol;}}\\fs25 a}");
}

TEST(TextParts, MeasureTextTellsWhenTheTextDoesNotFit)
{
    EnsureTextGuiApp();
    CText t("4.7k", 1, nullptr);
    t.flags = 0;
    t.m_rect = CRect(0, 0, 200, 14);
    EXPECT_EQ(t.MeasureText(nullptr, 0), 0);
    CString longer(60, 'W');
    EXPECT_EQ(t.MeasureText(&longer, 0), 1);
    CDisplay::ResetForTest();
    {
        CImageView view(300, 50);
        CDisplay display(&view);
        EXPECT_EQ(t.MeasureText(nullptr, 0), 0);
        EXPECT_EQ(t.MeasureText(&longer, 0), 1);
    }
    CDisplay::ResetForTest();
}
