#include "model/text/charformat.h"
#include "model/text/rtf_document.h"
#include "model/text/rtf_rewrite.h"
#include "model/text/number.h"
#include "model/text/rtfdata.h"
#include "platform/archive.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QTextDocument>

TEST(RtfRescale, RewritesOnlyTheSizeWords)
{
    struct Row { const char* in; double factor; const char* out; };
    const Row rows[] = {
        {"{\\rtf1\\fs20 a}", 1.28, "{\\rtf1\\fs25 a}"},
        {"{\\rtf1\\fs\\b a}", 1.28, "{\\rtf1\\fs30\\b a}"},      // no digits: 24
        {"{\\rtf1\\fs a}", 1.28, "{\\rtf1\\fs30 a}"},
        {"{\\rtf1\\fsx a}", 1.28, "{\\rtf1\\fsx a}"},            // a letter: another word
        {"{\\rtf1\\fs20\\fs16 a\\fs}", 2.0, "{\\rtf1\\fs40\\fs32 a\\fs}"},  // at the end: no follower
        {"{\\rtf1 \\\\fs20 shown}", 2.0, "{\\rtf1 \\\\fs20 shown}"},  // an escaped backslash is text
        {"{\\rtf1\\'5cfs20}", 2.0, "{\\rtf1\\'5cfs20}"},
        {"{\\rtf1\\bin4 \\fs2\\fs2 }", 2.0, "{\\rtf1\\bin4 \\fs2\\fs4 }"},
        {"{\\rtf1\\fs9999999999 x}", 2.0, "{\\rtf1\\fs9999999999 x}"},  // not a size
        {"{\\rtf1\\fs-4 x}", 2.0, "{\\rtf1\\fs-4 x}"},
        {"{\\rtf1\\fs20\r\nx}", 0.5, "{\\rtf1\\fs10\r\nx}"},
    };
    for (const Row& r : rows) EXPECT_EQ(RescaleRtfFontSizes(r.in, r.factor), r.out) << r.in;
}

TEST(RtfFontTableFix, SymbolEntriesGetCharsetTwo)
{
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Symbol;}}\\f1 a}",
         "{\\rtf1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}}\\f1 a}"},
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Symbol;}}\\f1 a}",
         "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset2 Symbol;}}\\f1 a}"},
        {"{\\rtf1{\\fonttbl{\\f1\\fnil{\\*\\panose 0}symbol;}}}",
         "{\\rtf1{\\fonttbl{\\f1\\fnil\\fcharset2{\\*\\panose 0}symbol;}}}"},
        {"{\\rtf1{\\fonttbl{\\f1\\froman\\fcharset161 Symbol;}}}",
         "{\\rtf1{\\fonttbl{\\f1\\froman\\fcharset2 Symbol;}}}"},
        // Not in the table: left alone.
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\f1\\fcharset0 Symbol text}}",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\f1\\fcharset0 Symbol text}}"},
        {"{\\rtf1 no table Symbol}", "{\\rtf1 no table Symbol}"},
        {"{\\rtf1{\\fonttbl{\\f1\\froman Symbol", "{\\rtf1{\\fonttbl{\\f1\\froman\\fcharset2 Symbol"},
    };
    for (const Row& r : rows) EXPECT_EQ(FixRtfFontTable(r.in), r.out) << r.in;
}

TEST(RtfData, ModesOfTheBlock)
{
    CRTFData d;
    EXPECT_EQ(d.mode, 4);
    d.SetText("4.7k");
    EXPECT_EQ(d.mode, 1);
    EXPECT_EQ(d.buffer, "4.7k");
    d.Reset();
    EXPECT_EQ(d.mode, 12);
    EXPECT_EQ(d.length(), 0u);
    d.SetText("10V");
    EXPECT_EQ(d.length(), 0u);  // plain-only keeps no bytes
    EXPECT_EQ(d.text, "10V");
    d.mode = 2;
    d.buffer = "{\\rtf1 x}";
    d.Empty();
    EXPECT_EQ(d.mode, 4);
    EXPECT_EQ(d.length(), 0u);
}

TEST(RtfData, DocumentRoundTripKeepsOrRewritesBytes)
{
    EnsureTextGuiApp();
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    const RtfCharFormat base = ToRtfFormat(cf, 200);
    EXPECT_EQ(base.halfPoints, 20);
    EXPECT_EQ(base.face, "Arial");

    CRTFData d;
    d.mode = 2;
    d.buffer = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset2 Symbol;}}\\f0\\fs20 R\\f1 W\\f0 \\par }";
    const std::string stored = d.buffer;
    QTextDocument doc;
    d.WriteToControl(&doc, false, base);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf16(u"R\u03A9"));
    EXPECT_EQ(d.buffer, stored);  // showing never rewrites

    d.ReadFromControl(doc, base);
    EXPECT_EQ(d.mode, 2);
    EXPECT_EQ(d.text, "RW");  // the Symbol run keeps its font byte
    CRTFData again = d;
    QTextDocument doc2;
    again.WriteToControl(&doc2, false, base);
    EXPECT_EQ(RtfFromTextDocument(doc2, base), RtfFromTextDocument(doc, base));

    CRTFData plain;
    plain.SetText("two\r\nlines");
    QTextDocument doc3;
    plain.WriteToControl(&doc3, false, base);
    EXPECT_EQ(doc3.blockCount(), 2);
    plain.mode = 12;
    plain.ReadFromControl(doc3, base);
    EXPECT_EQ(plain.text, "two\r\nlines");
    EXPECT_EQ(plain.mode, 12);
}

TEST(CharFormat, SixtyBytesInTheStoredLayout)
{
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    auto b = cf.ToBytes();
    EXPECT_EQ(b[0], 60);
    EXPECT_EQ(b[4], 0x0F);
    EXPECT_EQ(b[7], 0xE8);
    EXPECT_EQ(b[24], 1);
    EXPECT_EQ(b[25], 0x22);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[26])), "Arial");
    EXPECT_EQ(CCharFormat::FromBytes(b.data()), cf);
    cf.SetFace(CString(40, 'x'));
    EXPECT_EQ(cf.Face().size(), 31u);
    EXPECT_EQ(GetDefaultTextHeightTwips(11, 96), 8 * 20 - 42);
    EXPECT_EQ(GetDefaultTextHeightTwips(0, 96), 8 * 20 - 42);
    EXPECT_EQ(GetDefaultTextHeightTwips(16, 96), 12 * 20 - 42);
}

TEST(TextRecords, BlockNumberAndFormatRoundTripAndRefuseDamage)
{
    CArchive out;
    CRTFData d;
    d.mode = 2;
    d.buffer = "{\\rtf1 \x00\xFF}";
    d.buffer.push_back('\0');
    d.text = "plain";
    d.Serialize(out);
    CNumber n(4.7, 5, "\xEA", 9);
    out << n;
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    SerializeCharFormat(out, &cf);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    EXPECT_EQ(bytes.size(), 4 + 2 + d.buffer.size() + 1 + 5 + 8 + 8 + 1 + 2 + 2 + 60);

    CArchive in(bytes);
    CRTFData d2;
    d2.Serialize(in);
    EXPECT_EQ(d2.buffer, d.buffer);
    EXPECT_EQ(d2.mode, 2);
    EXPECT_EQ(d2.text, "plain");
    CNumber n2;
    in >> n2;
    EXPECT_EQ(n2.GetFullText(), "4.7k\xEA");
    EXPECT_EQ(n2.typeCode, 9);
    CCharFormat cf2;
    SerializeCharFormat(in, &cf2);
    EXPECT_EQ(cf2, cf);

    // A length past the end of the data is refused before it allocates.
    std::vector<uint8_t> huge = {0xF0, 0xFF, 0xFF, 0x7F, 2, 0, '{', '}'};
    CArchive bad(huge);
    CRTFData d3;
    EXPECT_THROW(d3.Serialize(bad), CArchiveException);
    EXPECT_EQ(d3.length(), 0u);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 8);
    CArchive shortIn(cut);
    EXPECT_THROW(d3.Serialize(shortIn), CArchiveException);
}
