// The stored text block of a text part: the bytes (RTF, or plain text that
// was streamed in as text), the transfer mode, and the plain text.  Blocks
// move into and out of a QTextDocument, which lays them out and edits them.
#pragma once

#include "model/text/rtf_model.h"
#include "platform/cstring.h"

#include <cstdint>
#include <string>

class CArchive;
class QTextDocument;

// Mode bits: the low two bits are the stream format (1 plain text, 2 RTF);
// 0x4 puts the plain text into a document instead of streaming the bytes;
// 0x8 marks a plain-only block that never streams RTF in or out.
constexpr uint16_t kRtfFormatText = 1;
constexpr uint16_t kRtfFormatRtf = 2;
constexpr uint16_t kRtfModeWindowText = 4;
constexpr uint16_t kRtfModePlainOnly = 8;

class CRTFData {
public:
    CRTFData() = default;
    CRTFData(const CRTFData&) = default;
    CRTFData& operator=(const CRTFData&) = default;
    virtual ~CRTFData() = default;
    // length DWORD, mode WORD, the bytes, the plain text.  A length larger
    // than what the archive holds is refused before anything is allocated.
    virtual void Serialize(CArchive& ar);

    uint32_t length() const { return static_cast<uint32_t>(buffer.size()); }

    // No bytes, mode 4.
    void Empty();
    // Plain-only: no bytes, mode 12.
    void Reset();
    // Stores the plain text; unless plain-only, the bytes become that text
    // streamed in as text (mode 1).
    void SetText(const CString& plain);

    // Fills the document: with the plain text when mode bit 0x4 is set or
    // `plain` is asked, else from the bytes in their stream format.  Text
    // without a format of its own takes `base`.
    void WriteToControl(QTextDocument* doc, bool plain, const RtfCharFormat& base) const;
    // Takes the document's text; unless plain-only, also its RTF (mode 2).
    void ReadFromControl(const QTextDocument& doc, const RtfCharFormat& base);

    // The block as paragraphs and runs, without a document.
    RtfDocument ToRtfDocument(bool plain, const RtfCharFormat& base) const;

    uint16_t mode = kRtfModeWindowText;
    std::string buffer;
    CString text;
};

// Plain text as the model keeps it: paragraphs and line breaks end in
// "\r\n"; characters of Symbol runs keep their font byte (an alpha is "a"),
// others are Windows-1252 with '?' for what it lacks.
CString WindowTextOf(const RtfDocument& doc);
// Paragraphs of a model plain text ("\r\n", "\n" or "\r" end a line), all
// in one format.
RtfDocument RtfFromPlainText(const CString& text, const RtfCharFormat& format);
