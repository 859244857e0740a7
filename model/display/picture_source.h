// Part pictures are kept as text (resources/pictures/*.pic) and drawn into
// bitmaps when the program first needs them.  A source names its bitmap id,
// the size and count of its frames and a palette of one-character colour
// names, then draws each frame with pixel grids and a few drawing commands
// that follow the drawing layer's own pixel rules (lines leave out their
// last pixel).  The format is described in resources/README.md.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>
#include <vector>

#include "model/display/colour.h"
#include "platform/geometry.h"

struct PictureSource {
    int id = 0;
    QString name;
    CSize frameSize;
    int frames = 1;
    CSize bitmapSize;          // frames side by side unless the source says otherwise
    CPoint frameOffset;        // where frame 0 starts in the bitmap
    int frameStep = 0;         // distance between frame origins (default: frame width)
    int firstGap = 0;          // extra pixels between frame 0 and frame 1 (pictures whose
                               // pin marks lie just outside each frame leave 2)
    int restFrame = -1;        // frames that the running design animates (glow,
                               // brightness, sound, a turning rotor): the frame
                               // shown at rest; -1 when the frames are settings
    QImage image;              // the rendered bitmap, 32-bit
};

// Parses and draws a source; false with a message (naming the line) when
// the text is not a valid picture.
bool ParsePictureSource(const QByteArray& text, PictureSource& out, QString& error);

// The pictures built into the program (":/pictures/*.pic"), by bitmap id.
// Loaded and drawn once, on first use.
const PictureSource* FindPicture(int id);
std::vector<int> RegisteredPictureIds();
// Errors met while loading the built-in pictures (empty when all are good).
QStringList PictureLoadErrors();
// Adds a picture drawn elsewhere (a test's own source); false when its id is
// taken.
bool AddPicture(PictureSource picture);
