// The main toolbar's layouts (resources/commands/toolbars.txt): the buttons
// of each layout, and which part picture a category button shows.
#pragma once

#include <QByteArray>

#include <map>
#include <vector>

struct CToolBarLayouts {
    std::map<int, std::vector<int>> layouts;  // layout id -> command ids, 0 = separator
    std::map<int, int> pictureOf;             // button id -> Add command whose part it shows

    // The buttons of a layout: 284, 285 and 286 share 211's; ids not listed
    // show 478.
    const std::vector<int>& Buttons(int layout) const;
    // The picture set a layout loads with the symbol-style flags
    // (0x200000, 0x400000).
    static int BitmapId(int layout, unsigned flags);
};

CToolBarLayouts ParseToolBarLayouts(const QByteArray& text);
const CToolBarLayouts& ToolBarLayouts();
