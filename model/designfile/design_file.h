// The layout of a whole design in the archive (files of both editions, old
// circuit files, the clipboard and undo snapshots): one object, the design,
// whose record is
//   1. the version marker (a CSerializeHack written at version 2, then the
//      version word 0x20B8),
//   2. with a family: the 16 product words,
//   3. the part tree in five named groups, 4. the design's base data,
//   5. the links pass (CPartTree::SerializeTree does 3 to 5),
//   6. the design's settings (design_settings.h), the graph settings last.
#pragma once

#include "model/designfile/design_settings.h"

#include <array>

class CPartTree;

// The product family's name for messages: family 1 "Olvandi", 2 "Kestrane",
// 3 "Tiranvel", 4 "Oskery", 5 "Feldune" for words 0x1000 to 0x5FFF, else
// "Unknown".
CString GetProductLineName(WORD version);

// Raised when the file is newer than this program: the message was shown
// already, so the reader of the file shows no second one.
class CNewerDesignException : public CArchiveException {
public:
    CNewerDesignException() : CArchiveException(badSchema) {}
};

// Entry i: the lowest version of family i that can read the design.
using CProductWords = std::array<WORD, 16>;
CProductWords DefaultProductWords();

// What the design record carries besides the part tree.
struct CDesignFileData {
    CProductWords products = DefaultProductWords();
    CDesignSettings settings;
};

// Items 1 and 2.  Storing: the marker at version 2, the archive's version
// becomes 0x20B8 and the product words follow.  Loading: the marker's word
// becomes the archive's version and *storedVersion (another class leaves the
// version at 2); the product words are read with a family.  False, after
// the message, when the file is newer than this program.
bool WriteVersionMarker(CArchive& ar, CProductWords& products, WORD* storedVersion);

// The whole record (items 1 to 6) of the design.  A file newer than the
// program raises the archive's bad-schema exception.
void SerializeDesignLayout(CArchive& ar, CPartTree& design, CDesignFileData& data, CQuestionRange& range);

// Reports a read that ended in an exception: 36628 when the archive's
// version is 400 or 401, else 35122; the version is set back to 0x20B8.
void ReportDesignLoadFailure(CArchive& ar);

// Writes the bytes beside the file and renames them over it only when the
// whole write succeeded, so a failed save leaves the old file intact (the
// steps are the real file's unless a test gives its own).
class CSaveSteps;
bool SaveBytesSafely(const CString& path, const std::vector<uint8_t>& bytes, CSaveSteps* steps = nullptr);
