// Drawing a whole design into an image, headless, exactly as the canvas
// draws it: a CImageView prepared with the scroll position and zoom, one
// CDisplay scope on it, and the design's DrawTree with its redraw flags.
// The design renderer tool (components/tools/design_render.cpp), the tests
// and the redraw benchmark use it.
#pragma once

#include <QImage>
#include <memory>

#include "model/circuit/circuit.h"

struct CDesignRenderOptions {
    int zoom = 1;       // 1, or 2 for the double-size view
    CRect area;         // logical area to draw; empty: the parts' extent + margin
    int margin = 16;    // around the parts' extent
};

// The logical extent of every part of the design (empty for an empty design).
CRect DesignExtent(CCircuit& design);

// Draws the design's area into a new white image of area x zoom pixels.
QImage RenderDesign(CCircuit& design, const CDesignRenderOptions& options = {});

// Reads a design file (any edition or old circuit file the archive reads),
// runs the after-load fix-ups and resets the run; null with a message in
// *error on failure.
std::unique_ptr<CCircuit> LoadDesignFile(const QString& path, QString* error);
// Writes the design to a file in the current format; false on failure.
bool SaveDesignFile(CCircuit& design, const QString& path);
