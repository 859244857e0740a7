// The rich text of labels between the stored RTF bytes and the Qt text
// document: a flat list of paragraphs holding runs of equally formatted
// text.  The RTF reader produces it, the writer consumes it, and
// rtf_document.h moves it in and out of a QTextDocument.
#pragma once

#include "platform/cstring.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Charsets of RTF font tables (the Windows LOGFONT numbers).
constexpr int kCharsetAnsi = 0;
constexpr int kCharsetDefault = 1;
constexpr int kCharsetSymbol = 2;
constexpr int kCharsetGreek = 161;

struct RtfCharFormat {
    CString face = "Arial";
    int charset = kCharsetAnsi;
    int pitchFamily = 0x22;  // variable pitch, swiss
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hasColor = false;   // false: the automatic (default) colour
    uint32_t color = 0;      // 0x00BBGGRR

    bool operator==(const RtfCharFormat&) const = default;
};

// Text holds U+0009 for tabs and U+2028 for line breaks inside a paragraph.
struct RtfRun {
    QString text;
    RtfCharFormat format;

    bool operator==(const RtfRun&) const = default;
};

enum class RtfAlign { Left, Center, Right, Justify };

struct RtfParagraph {
    RtfAlign align = RtfAlign::Left;
    int leftIndent = 0;   // twips
    int rightIndent = 0;  // twips
    int firstIndent = 0;  // twips, relative to leftIndent
    std::vector<int> tabs;  // tab stops in twips
    std::vector<RtfRun> runs;
    // The format at the paragraph mark: what an empty paragraph is laid out in.
    RtfCharFormat markFormat;

    bool operator==(const RtfParagraph&) const = default;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;

    bool operator==(const RtfDocument&) const = default;
    QString PlainText() const;  // paragraphs joined by "\n"
};

// Reads RTF.  Never fails: malformed input (unbalanced braces, truncated
// escapes, absurd numbers, binary junk) gives whatever text could be read.
// `base` is the format of text that names no font or size of its own.
RtfDocument ReadRtf(std::string_view bytes, const RtfCharFormat& base = {});

// Writes RTF that ReadRtf reads back to an equal document.  `base` names
// font 0, the font of \plain text.
std::string WriteRtf(const RtfDocument& doc, const RtfCharFormat& base = {});

// True when the bytes start like an RTF stream ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);
