#include "model/text/rtf_codepage.h"
#include "model/text/rtf_document.h"
#include "model/text/rtf_model.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>

namespace {

RtfCharFormat Base()
{
    RtfCharFormat f;
    f.face = "Arial";
    f.charset = 0;
    f.pitchFamily = 0x22;
    f.halfPoints = 20;
    return f;
}

// Every control word the reader supports, by hand.
const char* kAllWords =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720\\uc1"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
    "{\\f2\\fswiss\\fcharset161{\\*\\panose 020b0604020202020204}Arial Greek;}{\\f3\\fmodern Courier New;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
    "{\\stylesheet{\\s0 Normal;}}{\\info{\\title secret}}"
    "{\\*\\generator Hand;}"
    "\\pard\\qc\\li720\\ri360\\fi-180\\tx1440\\tx2880\\plain\\f0\\fs20 Plain \\b bold\\b0  \\i italic\\i0  "
    "\\ul under\\ulnone  \\strike gone\\strike0  \\cf1 red\\cf0  \\fs32 big\\fs20\\par\r\n"
    "\\pard\\qr\\f1 abg\\f0 -\\f2\\'e1\\'e2\\f0  caf\\'e9 \\u8364? x\\tab y\\line z \\{\\}\\\\\\~!\\par\n"
    "\\pard\\qj\\f3\\cf2 mono {\\b inner} after\\par\n"
    "\\pard last}";

}  // namespace

TEST(RtfRead, EveryControlWordGivesTheRightRuns)
{
    RtfDocument d = ReadRtf(kAllWords, Base());
    ASSERT_EQ(d.paragraphs.size(), 4u);

    const RtfParagraph& p0 = d.paragraphs[0];
    EXPECT_EQ(p0.align, RtfAlign::Center);
    EXPECT_EQ(p0.leftIndent, 720);
    EXPECT_EQ(p0.rightIndent, 360);
    EXPECT_EQ(p0.firstIndent, -180);
    EXPECT_EQ(p0.tabs, (std::vector<int>{1440, 2880}));
    ASSERT_EQ(p0.runs.size(), 12u);
    EXPECT_EQ(p0.runs[0].text, "Plain ");
    EXPECT_EQ(p0.runs[0].format.halfPoints, 20);
    EXPECT_EQ(p0.runs[0].format.face, "Arial");
    EXPECT_EQ(p0.runs[1].text, "bold");
    EXPECT_TRUE(p0.runs[1].format.bold);
    EXPECT_TRUE(p0.runs[3].format.italic);
    EXPECT_TRUE(p0.runs[5].format.underline);
    EXPECT_TRUE(p0.runs[7].format.strike);
    EXPECT_EQ(p0.runs[9].text, "red");
    EXPECT_TRUE(p0.runs[9].format.hasColor);
    EXPECT_EQ(p0.runs[9].format.color, 0x0000FFu);
    EXPECT_EQ(p0.runs[11].text, "big");
    EXPECT_EQ(p0.runs[11].format.halfPoints, 32);

    const RtfParagraph& p1 = d.paragraphs[1];
    EXPECT_EQ(p1.align, RtfAlign::Right);
    EXPECT_EQ(p1.leftIndent, 0);  // \pard reset
    EXPECT_EQ(p1.runs[0].text, QString::fromUtf16(u"\u03B1\u03B2\u03B3"));
    EXPECT_EQ(p1.runs[0].format.face, "Symbol");
    EXPECT_EQ(p1.runs[0].format.charset, kCharsetSymbol);
    EXPECT_EQ(p1.runs[0].format.pitchFamily, 0x12);
    EXPECT_EQ(p1.runs[2].text, QString::fromUtf16(u"\u03B1\u03B2"));
    EXPECT_EQ(p1.runs[2].format.face, "Arial Greek");
    EXPECT_EQ(p1.runs[2].format.charset, kCharsetGreek);
    EXPECT_EQ(p1.runs[3].text, QString::fromUtf16(u" caf\u00E9 \u20AC x\ty\u2028z {}\\\u00A0!"));

    const RtfParagraph& p2 = d.paragraphs[2];
    EXPECT_EQ(p2.align, RtfAlign::Justify);
    ASSERT_EQ(p2.runs.size(), 3u);
    EXPECT_EQ(p2.runs[0].format.face, "Courier New");
    EXPECT_EQ(p2.runs[0].format.pitchFamily, 0x30);
    EXPECT_EQ(p2.runs[0].format.color, 0xFF0000u);
    EXPECT_TRUE(p2.runs[1].format.bold);
    EXPECT_FALSE(p2.runs[2].format.bold);  // the group restored it
    EXPECT_EQ(d.paragraphs[3].runs[0].text, "last");
    EXPECT_EQ(d.PlainText().indexOf("secret"), -1);
    EXPECT_EQ(d.PlainText().indexOf("Normal"), -1);
    EXPECT_EQ(d.PlainText().indexOf("Hand"), -1);
}

TEST(RtfRead, TextWithoutFormatTakesTheBase)
{
    RtfDocument d = ReadRtf("{\\rtf1 hello}", Base());
    ASSERT_EQ(d.paragraphs.size(), 1u);
    ASSERT_EQ(d.paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(d.paragraphs[0].runs[0].format, Base());
    // A final \par ends the last paragraph; it opens no empty one.
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\par }").paragraphs.size(), 1u);
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\par\\par }").paragraphs.size(), 2u);
    EXPECT_EQ(ReadRtf("").paragraphs.size(), 1u);
    // \plain returns to the base, \uc0 skips nothing, \uc2 two stand-ins.
    RtfDocument u = ReadRtf("{\\rtf1\\uc0\\u945 a\\uc2\\u946\\'3f\\'3fb\\b x\\plain y}", Base());
    EXPECT_EQ(u.PlainText(), QString::fromUtf16(u"\u03B1a\u03B2bxy"));
    EXPECT_FALSE(u.paragraphs[0].runs.back().format.bold);
    // A Symbol face that its table calls ANSI is still the Symbol font.
    RtfDocument s = ReadRtf("{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset0 Symbol;}}\\f0 p}");
    EXPECT_EQ(s.PlainText(), QString::fromUtf16(u"\u03C0"));
}

TEST(RtfRead, MalformedInputNeverBreaksTheReader)
{
    const std::string cases[] = {
        "{\\rtf1 {{{{ unbalanced",
        "}}}}{\\rtf1 text}}}}",
        "{\\rtf1\\fs99999999999999999999 huge\\li-99999999999999 x\\u99999999999 y}",
        "{\\rtf1 truncated \\'4",
        "{\\rtf1 truncated \\",
        "{\\rtf1 \\'zz bad hex}",
        "{\\rtf1\\bin999999 {}}",
        "{\\rtf1\\cf99 colour index past the table\\f77 font past the table}",
        "{\\rtf1{\\colortbl;;;;}\\cf-1 x}",
        std::string("{\\rtf1 nul\0byte}", 16),
        std::string(5000, '{') + "deep" + std::string(5000, '}'),
        "{\\rtf1\\uc99999\\u65 swallowed}",
        "{\\rtf1\\verylongcontrolwordthatgoesonandonandonandonandonandon123 x}",
    };
    for (const std::string& c : cases) {
        RtfDocument d = ReadRtf(c, Base());
        EXPECT_FALSE(d.paragraphs.empty());
    }
    RtfDocument big = ReadRtf("{\\rtf1\\fs99999999999999999999 huge\\li-99999999999999 x}");
    EXPECT_EQ(big.paragraphs[0].runs[0].format.halfPoints, 3276);
    EXPECT_EQ(ReadRtf("{\\rtf1\\bin999999 {}}").PlainText(), "");
    EXPECT_EQ(ReadRtf(std::string(5000, '{') + "deep" + std::string(5000, '}')).PlainText(), "");
    std::string pars = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i) pars += "x\\par ";
    EXPECT_EQ(ReadRtf(pars + "}").paragraphs.size(), 10000u);
}

TEST(RtfWrite, WrittenRtfReadsBackToTheSameDocument)
{
    RtfDocument d = ReadRtf(kAllWords, Base());
    std::string once = WriteRtf(d, Base());
    RtfDocument back = ReadRtf(once, Base());
    EXPECT_EQ(back, d);
    EXPECT_EQ(WriteRtf(back, Base()), once);

    // Characters the run's charset has no byte for go out as \u.
    RtfDocument u;
    RtfParagraph p;
    p.runs.push_back({QString::fromUtf16(u"\u4E2D \u03C9 \u00E9\\{}"), Base()});
    u.paragraphs.push_back(p);
    std::string w = WriteRtf(u, Base());
    EXPECT_NE(w.find("\\u20013?"), std::string::npos) << w;
    EXPECT_NE(w.find("\\'e9"), std::string::npos) << w;
    EXPECT_NE(w.find("\\\\\\{\\}"), std::string::npos) << w;
    EXPECT_EQ(ReadRtf(w, Base()), u);

    // In a symbol font a private-use character U+F000 + byte reads back only
    // where that byte reads as it: not for control bytes (read as control
    // characters, dropped) nor for bytes the symbol table maps (read as the
    // mapped character).  Those go out as \u; the others as their byte.
    RtfDocument s = ReadRtf("{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset2 Symbol;}}\\f0 a}", Base());
    ASSERT_EQ(s.paragraphs.size(), 1u);
    ASSERT_EQ(s.paragraphs[0].runs.size(), 1u);
    ASSERT_EQ(s.paragraphs[0].runs[0].format.charset, kCharsetSymbol);
    s.paragraphs[0].runs[0].text = QString::fromUtf16(u"\uF000\uF001\uF009\uF041\u03B1\uF0F0");
    const std::string sw = WriteRtf(s, Base());
    EXPECT_NE(sw.find("\\u-4096?\\u-4095?\\u-4087?\\u-4031?a\\'f0"), std::string::npos) << sw;
    EXPECT_EQ(ReadRtf(sw, Base()), s);
}

TEST(RtfWrite, ShapeOfTheOutput)
{
    RtfDocument d;
    RtfParagraph p;
    RtfCharFormat bold = Base();
    bold.bold = true;
    p.runs.push_back({"Hi ", Base()});
    p.runs.push_back({"there", bold});
    p.markFormat = bold;
    d.paragraphs.push_back(p);
    EXPECT_EQ(WriteRtf(d, Base()),
              "{\\rtf1\\ansi\\deff0\\uc1{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
              "\\pard\\plain\\fs20 Hi \\plain\\fs20\\b there\\par\r\n}");
}

TEST(RtfDocumentBridge, QtDocumentCarriesTheRuns)
{
    EnsureTextGuiApp();
    RtfDocument d = ReadRtf(kAllWords, Base());
    QTextDocument doc;
    RtfToTextDocument(d, &doc);
    EXPECT_EQ(doc.blockCount(), 4);
    QTextBlock b0 = doc.begin();
    EXPECT_EQ(b0.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(b0.blockFormat().leftMargin(), 48.0);  // 720 twips at 96 per inch
    int fragments = 0;
    for (QTextBlock::iterator it = b0.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        if (f.text() == "bold") { EXPECT_EQ(f.charFormat().fontWeight(), QFont::Bold); }
        if (f.text() == "italic") { EXPECT_TRUE(f.charFormat().fontItalic()); }
        if (f.text() == "under") { EXPECT_TRUE(f.charFormat().fontUnderline()); }
        if (f.text() == "gone") { EXPECT_TRUE(f.charFormat().fontStrikeOut()); }
        if (f.text() == "red") { EXPECT_EQ(f.charFormat().foreground().color(), QColor(255, 0, 0)); }
        if (f.text() == "big") { EXPECT_DOUBLE_EQ(f.charFormat().fontPointSize(), 16.0); }
        ++fragments;
    }
    EXPECT_EQ(fragments, 12);
    EXPECT_EQ(b0.next().text().left(3), QString::fromUtf16(u"\u03B1\u03B2\u03B3"));

    RtfDocument back = RtfFromTextDocument(doc, Base());
    EXPECT_EQ(back, d);

    // An edit made through the document writes RTF that reads back to it.
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertText(" typed", italic);
    RtfDocument edited = RtfFromTextDocument(doc, Base());
    std::string w = WriteRtf(edited, Base());
    QTextDocument again;
    RtfToTextDocument(ReadRtf(w, Base()), &again);
    EXPECT_EQ(again.toPlainText(), doc.toPlainText());
    EXPECT_EQ(RtfFromTextDocument(again, Base()), edited);
}

TEST(RtfCodepage, SymbolAndGreek)
{
    EXPECT_EQ(SymbolToUnicode('a'), u'\u03B1');
    EXPECT_EQ(SymbolToUnicode('W'), u'\u03A9');
    EXPECT_EQ(SymbolToUnicode(0xB3), u'\u2265');
    EXPECT_EQ(SymbolToUnicode(0xF0), u'\uF0F0');
    std::string out;
    EXPECT_TRUE(EncodeCharset(kCharsetSymbol, u'\u03C9', &out));
    EXPECT_TRUE(EncodeCharset(kCharsetSymbol, u'\uF0F0', &out));
    EXPECT_FALSE(EncodeCharset(kCharsetSymbol, u'a', &out));
    EXPECT_EQ(out, "w\xF0");
    EXPECT_EQ(DecodeCharset(kCharsetGreek, "\xC1\xE1\xF7\xB5"), QString::fromUtf16(u"\u0391\u03B1\u03C7\u00B5"));
    out.clear();
    EXPECT_TRUE(EncodeCharset(kCharsetGreek, u'\u03C9', &out));
    EXPECT_EQ(out, "\xF9");
    EXPECT_EQ(DecodeCharset(204, "\xC0"), QString::fromUtf16(u"\u0410"));  // Cyrillic through Qt
    EXPECT_EQ(DecodeCharset(0, "\x80"), QString::fromUtf16(u"\u20AC"));
}
