// The page change a clicked picture asks for: the design holds it from the
// click until the canvas view, handling the release, carries it out (opens
// the target beside this page, scrolls it, closes this page).
#pragma once

#include "platform/cstring.h"

class CPart;

struct CPageChange {
    CString target;          // the page to open, relative to the design's file
    int closeThisFile = 0;   // this page closes once the other opened
    int scrollX = 0;         // where the opened page scrolls to (0, 0: its own place)
    int scrollY = 0;
    CPart* picture = nullptr;  // the picture that asked (redrawn when the page fails)
    bool opened = false;     // whether the page opened
};
