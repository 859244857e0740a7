// The record of every part in the archive and the helpers that part records
// share: version gates, 16-bit coordinate words and separators.
//
// Version word: bits 12..15 the product family (1, 2; 0 for files from before
// families), bits 0..11 the revision.  The program writes 0x20B8.
#pragma once

#include "platform/archive.h"
#include "platform/geometry.h"

// The version this program writes.
constexpr WORD kCurrentVersion = 0x20B8;

// Separators, eight raw bytes each.
extern const char kSepTree[8];       // "+_@TR#^)" after each group of the part tree
extern const char kSepGroupChild[8]; // "~$+]OB@#" after each child in a mode-1 list
extern const char kSepChild[8];      // "@:!_BM{^" after each child in a mode-2 list
extern const char kTrailer[8];       // "TestBCM\0" the trailer of a part record
extern const char kNullTree[];       // "NULLTREE" the string that ends the part tree

inline int VersionFamily(WORD v) { return v >> 12; }
inline int VersionRevision(WORD v) { return v & 0xFFF; }
inline bool HasFamily(WORD v) { return VersionFamily(v) != 0; }

// Family 1 passes when its revision reaches min1's low 12 bits, family 2
// min2's; families 3..15 always pass, family 0 never.
bool IsVersionAtLeast(WORD version, WORD min1, WORD min2);

// The child-list mode of a part record that is not a group: 2 with a family
// and revision 130 or later (separated children), else 0.
int ChildListMode(WORD version);

// Coordinates as 16-bit words (the low words on writing, sign-extended on
// reading).
void WriteRectAsWords(CArchive& ar, const CRect& r);
void WriteSizeAsWords(CArchive& ar, const CSize& s);
void WritePairAsWords(CArchive& ar, int a, int b);
void ReadRectAsWords(CArchive& ar, CRect& r);
void ReadSizeAsWords(CArchive& ar, CSize& s);
void ReadPairAsWords(CArchive& ar, int& a, int& b);
