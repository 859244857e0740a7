// The part groups of the Add menu, made from the main toolbar's layouts so
// that the menu and the part toolbars always offer the same parts in the
// same groups: a category button of the main toolbar (and a sub-category
// button of a part toolbar) becomes a submenu named by the button's short
// name; an Add command becomes a row when the part catalogue can create its
// part in this program.  The quick-add commands (33950-33964) have no menu
// entry, ids that have a row of their own in the command table stay there,
// and groups left without rows are not shown.
#pragma once

#include <QStringList>

#include <functional>
#include <vector>

struct CToolBarLayouts;
struct CNavigationRow;

struct CAddMenuEntry {
    QStringList path; // submenu titles below the Add menu
    int id = 0;       // the Add command
};

// What the entries are made from; the program's tables by default.
struct CAddMenuSource {
    const CToolBarLayouts* layouts = nullptr;
    const std::vector<CNavigationRow>* navigation = nullptr;
    // Whether the part of an Add command can be made (catalogue row ready).
    std::function<bool(int id)> canCreate;
    // Whether the id has its own row in the command table (kept there).
    std::function<bool(int id)> hasOwnRow;
    // The submenu title of a category command.
    std::function<QString(int id)> title;
};

CAddMenuSource DefaultAddMenuSource();
std::vector<CAddMenuEntry> AddMenuEntries(const CAddMenuSource& source);

// An Add-part command id (the canvas view asks the catalogue for these).
constexpr bool IsAddPartCommand(int id) { return id >= 32768 && id <= 33999; }
// The quick-add commands of the picture toolbar.
constexpr bool IsQuickAddCommand(int id) { return id >= 33950 && id <= 33964; }
// The kind of part an Add command adds, as the design's CanAddPart weighs
// it: 0 annotation (33520-33528), 5 (33701), 6 (33700, 33702, 33705-33799),
// 8 (33703, 33704), 2 mechanism (33900-33949), 4 quick-add (33950-33964),
// 3 the probe (32793), 1 every other part.
int AddCommandPartKind(int id);
// Whether the catalogue can make the part of an Add command in this program.
bool CanCreatePart(int id);
