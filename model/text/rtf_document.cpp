#include "model/text/rtf_document.h"

#include "platform/text1252.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace {

// The font-table facts that QFont has no place for.
constexpr int kCharsetProperty = QTextFormat::UserProperty + 0x160;
constexpr int kPitchFamilyProperty = QTextFormat::UserProperty + 0x161;

QTextBlockFormat ToQtBlock(const RtfParagraph& p)
{
    QTextBlockFormat b;
    switch (p.align) {
    case RtfAlign::Left: b.setAlignment(Qt::AlignLeft); break;
    case RtfAlign::Center: b.setAlignment(Qt::AlignHCenter); break;
    case RtfAlign::Right: b.setAlignment(Qt::AlignRight); break;
    case RtfAlign::Justify: b.setAlignment(Qt::AlignJustify); break;
    }
    b.setLeftMargin(p.leftIndent / kTwipsPerLayoutUnit);
    b.setRightMargin(p.rightIndent / kTwipsPerLayoutUnit);
    b.setTextIndent(p.firstIndent / kTwipsPerLayoutUnit);
    QList<QTextOption::Tab> tabs;
    for (int t : p.tabs) tabs.append(QTextOption::Tab(t / kTwipsPerLayoutUnit, QTextOption::LeftTab));
    b.setTabPositions(tabs);
    return b;
}

int Twips(qreal units)
{
    return static_cast<int>(std::lround(units * kTwipsPerLayoutUnit));
}

}  // namespace

QTextCharFormat ToQtFormat(const RtfCharFormat& f)
{
    QTextCharFormat q;
    q.setFontFamilies(QStringList{FromWindows1252(f.face)});
    q.setFontPointSize(f.halfPoints / 2.0);
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strike);
    if (f.hasColor)
        q.setForeground(QColor(int(f.color & 0xFF), int((f.color >> 8) & 0xFF), int((f.color >> 16) & 0xFF)));
    q.setProperty(kCharsetProperty, f.charset);
    q.setProperty(kPitchFamilyProperty, f.pitchFamily);
    return q;
}

RtfCharFormat FromQtFormat(const QTextCharFormat& q, const RtfCharFormat& base)
{
    RtfCharFormat f = base;
    const QStringList families = q.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) {
        f.face = ToWindows1252(families.front());
        f.charset = q.hasProperty(kCharsetProperty) ? q.intProperty(kCharsetProperty) : kCharsetAnsi;
        f.pitchFamily = q.hasProperty(kPitchFamilyProperty) ? q.intProperty(kPitchFamilyProperty) : 0;
    }
    if (q.hasProperty(QTextFormat::FontPointSize) && q.fontPointSize() > 0)
        f.halfPoints = static_cast<int>(std::lround(q.fontPointSize() * 2));
    if (q.hasProperty(QTextFormat::FontWeight)) f.bold = q.fontWeight() > QFont::Medium;
    if (q.hasProperty(QTextFormat::FontItalic)) f.italic = q.fontItalic();
    if (q.hasProperty(QTextFormat::TextUnderlineStyle) || q.hasProperty(QTextFormat::FontUnderline))
        f.underline = q.fontUnderline();
    if (q.hasProperty(QTextFormat::FontStrikeOut)) f.strike = q.fontStrikeOut();
    if (q.hasProperty(QTextFormat::ForegroundBrush)) {
        const QBrush b = q.foreground();
        f.hasColor = b.style() != Qt::NoBrush;
        const QColor c = b.color();
        f.color = f.hasColor ? uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16 : 0;
    }
    return f;
}

void RtfToTextDocument(const RtfDocument& rtf, QTextDocument* doc)
{
    doc->clear();
    QTextCursor cursor(doc);
    bool first = true;
    for (const RtfParagraph& p : rtf.paragraphs) {
        if (first) {
            cursor.setBlockFormat(ToQtBlock(p));
            cursor.setBlockCharFormat(ToQtFormat(p.markFormat));
            first = false;
        } else {
            cursor.insertBlock(ToQtBlock(p), ToQtFormat(p.markFormat));
        }
        for (const RtfRun& r : p.runs) cursor.insertText(r.text, ToQtFormat(r.format));
    }
}

RtfDocument RtfFromTextDocument(const QTextDocument& doc, const RtfCharFormat& base)
{
    RtfDocument out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        RtfParagraph p;
        const QTextBlockFormat bf = b.blockFormat();
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter) p.align = RtfAlign::Center;
        else if (a & Qt::AlignJustify) p.align = RtfAlign::Justify;
        else if (a & Qt::AlignRight) p.align = RtfAlign::Right;
        p.leftIndent = Twips(bf.leftMargin());
        p.rightIndent = Twips(bf.rightMargin());
        p.firstIndent = Twips(bf.textIndent());
        for (const QTextOption::Tab& t : bf.tabPositions()) p.tabs.push_back(Twips(t.position));
        p.markFormat = FromQtFormat(b.charFormat(), base);
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            RtfCharFormat f = FromQtFormat(frag.charFormat(), base);
            if (!p.runs.empty() && p.runs.back().format == f) p.runs.back().text += frag.text();
            else p.runs.push_back({frag.text(), f});
        }
        out.paragraphs.push_back(std::move(p));
    }
    return out;
}
