// Options/Choose File Type Associations: three boxes on the association
// mask (older circuits: bits 0x30; Kestrane designs: bit 0x02; Olvandi
// designs: bit 0x01).  Each box shows its own bits, so what is ticked is
// what the mask associates.
#pragma once

struct CFileTypeBoxes {
    bool older = false;
    bool kestrane = false;
    bool olvandi = false;
};

CFileTypeBoxes BoxesFromMask(int mask);
int MaskFromBoxes(const CFileTypeBoxes& boxes);

class QWidget;
// Runs the dialog; on OK writes the mask and registers the types.  True on OK.
bool RunFileTypeDialog(QWidget* parent);
