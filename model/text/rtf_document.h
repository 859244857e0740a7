// Moves rich text between the reader's and writer's paragraph list and a
// QTextDocument, the layout engine that renders, measures and edits labels.
#pragma once

#include "model/text/rtf_model.h"

#include <QTextCharFormat>

class QTextDocument;

// Replaces the document's content.
void RtfToTextDocument(const RtfDocument& rtf, QTextDocument* doc);
// Reads the document back; text without a format of its own takes `base`.
RtfDocument RtfFromTextDocument(const QTextDocument& doc, const RtfCharFormat& base = {});

QTextCharFormat ToQtFormat(const RtfCharFormat& f);
RtfCharFormat FromQtFormat(const QTextCharFormat& f, const RtfCharFormat& base);

// Twips per layout unit of the document (1/96 inch): lengths in twips go in
// as twips / 15 and come back exactly.
constexpr double kTwipsPerLayoutUnit = 15.0;
