// The clipboard of designs.  A copy offers, in this order, the design
// archive under the program's own format (kDesignMimeType, the "Marrowgate
// Circuit" format), a bitmap of the copied parts, and for probe data plain
// text.  Paste reads the archive back and checks that it holds a design.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"

#include <QImage>

#include <memory>

class CCircuit;

inline constexpr const char* kDesignMimeType = "application/x-marrowgate-circuit";

// Puts the design (archive bytes) and its picture on the clipboard; false
// when the design cannot be stored.
bool PutDesignOnClipboard(const CCircuit* design, const QImage& picture);
bool IsDesignOnClipboard();
// The design on the clipboard, or null (nothing there, damaged, or not a
// design).
std::unique_ptr<CCircuit> ReadDesignFromClipboard();
// Text on the clipboard (the probe data), Windows-1252 bytes.
bool PutTextOnClipboard(const CString& text);

// The selected parts of a design as a design of their own (a copy through
// the archive, its unselected parts deleted); null when nothing is selected.
std::unique_ptr<CCircuit> CopySelection(const CCircuit* design);
// Moves every part of `from` into `into`, shifted by offset, selected;
// returns how many parts moved.  Probes beyond the four channels of `into`
// are deleted.
int MergeDesign(CCircuit* into, CCircuit* from, CPoint offset);
// The parts of a design drawn on white, cut to the parts' bounds plus a
// margin of 8 pixels; null without parts.
QImage RenderParts(CCircuit* design);
