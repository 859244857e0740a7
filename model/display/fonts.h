// The type faces of the drawing layer.  Designs store label sizes that were
// measured with Arial; Liberation Sans has the same advance widths and
// vertical metrics, so text fits where it fitted.  The faces are loaded from
// their files (Debian's fonts-liberation2) and asked for by the family name
// the file registers, with font merging off, so no other font installed on
// the machine can change a measurement.
#pragma once

#include <QFont>
#include <QString>

#include "platform/cstring.h"

// Loads the faces once (needs a QGuiApplication); false when the files are
// missing, after which text falls back to Qt's default face.
bool LoadDrawingFaces();
// Whether text can be measured and drawn (a QGuiApplication exists).
bool TextAvailable();
// The family name to use for a face a design names: Arial and the default
// face map to Liberation Sans, Times New Roman to Liberation Serif, Courier
// New to Liberation Mono; every other face to Liberation Sans.
QString FamilyForFace(const CString& face);
// The pixels per em of a font whose cell height (ascent + descent) is
// `height` pixels, rounded as TrueType scaling rounds it: the faces'
// ascent + descent is 2288 font units on a 2048-unit em.
int PixelsPerEmForCellHeight(int height);
// A Qt font of the face at a cell height (negative: character height),
// hinted and without antialiasing, as text on the canvas is drawn.
QFont MakeDrawingFont(const CString& face, int height, int weight, bool italic, bool underline);
