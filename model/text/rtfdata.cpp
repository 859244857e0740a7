#include "model/text/rtfdata.h"

#include "model/text/rtf_codepage.h"
#include "model/text/rtf_document.h"
#include "platform/archive.h"
#include "platform/text1252.h"

#include <new>

void CRTFData::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(buffer.size()) << static_cast<WORD>(mode);
        ar.Write(buffer.data(), buffer.size());
        ar << text;
        return;
    }
    DWORD len = 0;
    WORD m = 0;
    ar >> len >> m;
    if (len > ar.BytesLeft()) throw CArchiveException(CArchiveException::endOfFile);
    std::string bytes;
    try {
        bytes.resize(len);
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
    ar.ReadExact(bytes.data(), len);
    CString plain;
    ar >> plain;
    buffer = std::move(bytes);
    mode = m;
    text = std::move(plain);
}

void CRTFData::Empty()
{
    buffer.clear();
    buffer.shrink_to_fit();
    mode = kRtfModeWindowText;
}

void CRTFData::Reset()
{
    if (length()) Empty();
    mode = kRtfModeWindowText | kRtfModePlainOnly;
}

void CRTFData::SetText(const CString& plain)
{
    text = plain;
    if (mode & kRtfModePlainOnly) return;
    buffer.assign(plain.begin(), plain.end());
    mode = kRtfFormatText;
}

RtfDocument CRTFData::ToRtfDocument(bool plain, const RtfCharFormat& base) const
{
    if ((mode & kRtfModeWindowText) || plain) return RtfFromPlainText(text, base);
    if ((mode & 3) == kRtfFormatRtf) return ReadRtf(buffer, base);
    return RtfFromPlainText(CString(buffer), base);
}

void CRTFData::WriteToControl(QTextDocument* doc, bool plain, const RtfCharFormat& base) const
{
    RtfToTextDocument(ToRtfDocument(plain, base), doc);
}

void CRTFData::ReadFromControl(const QTextDocument& doc, const RtfCharFormat& base)
{
    RtfDocument d = RtfFromTextDocument(doc, base);
    text = WindowTextOf(d);
    if (mode & kRtfModePlainOnly) return;
    buffer = WriteRtf(d, base);
    mode = kRtfFormatRtf;
}

CString WindowTextOf(const RtfDocument& doc)
{
    CString out;
    for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
        if (i) out += "\r\n";
        for (const RtfRun& r : doc.paragraphs[i].runs) {
            const bool symbol = r.format.charset == kCharsetSymbol;
            for (QChar qc : r.text) {
                const char16_t c = qc.unicode();
                if (c == 0x2028) { out += "\r\n"; continue; }
                std::string b;
                if (symbol && EncodeCharset(kCharsetSymbol, c, &b)) out += b;
                else out += ToWindows1252(QString(qc));
            }
        }
    }
    return out;
}

RtfDocument RtfFromPlainText(const CString& text, const RtfCharFormat& format)
{
    RtfDocument d;
    RtfParagraph p;
    p.markFormat = format;
    std::string line;
    auto take = [&] {
        if (!line.empty()) p.runs.push_back({FromWindows1252(line), format});
        d.paragraphs.push_back(p);
        p.runs.clear();
        line.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            take();
        } else {
            line.push_back(c);
        }
    }
    take();
    return d;
}
