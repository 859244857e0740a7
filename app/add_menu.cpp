#include "app/add_menu.h"

#include "app/commands.h"
#include "app/toolbar_layouts.h"
#include "app/view_commands.h"
#include "model/parts/catalogue.h"

#include <algorithm>

namespace {

// A toolbar's buttons can lead back to a toolbar already open on the way
// (the flowchart and microcontroller toolbars point at each other); a group
// is never entered twice along one path, and the nesting stays shallow.
constexpr int kMaxDepth = 4;

const CNavigationRow* FindNavigation(const std::vector<CNavigationRow>& rows, int id)
{
    for (const CNavigationRow& r : rows)
        if (r.command == id) return &r;
    return nullptr;
}

void Collect(const CAddMenuSource& s, int toolbar, const QStringList& path, std::vector<int>& open,
             std::vector<CAddMenuEntry>& out)
{
    open.push_back(toolbar);
    for (int id : s.layouts->Buttons(toolbar)) {
        if (const CNavigationRow* nav = FindNavigation(*s.navigation, id)) {
            if (int(open.size()) >= kMaxDepth || std::find(open.begin(), open.end(), nav->toolbar) != open.end())
                continue;
            Collect(s, nav->toolbar, path + QStringList{s.title(id)}, open, out);
            continue;
        }
        if (!IsAddPartCommand(id) || IsQuickAddCommand(id) || s.hasOwnRow(id) || !s.canCreate(id)) continue;
        const bool again = std::any_of(out.begin(), out.end(),
                                       [&](const CAddMenuEntry& e) { return e.id == id && e.path == path; });
        if (!again) out.push_back({path, id});
    }
    open.pop_back();
}

} // namespace

int AddCommandPartKind(int id)
{
    struct Range { int from, to, kind; };
    static const Range ranges[] = {
        {32793, 32793, 3}, {33520, 33528, 0}, {33701, 33701, 5}, {33700, 33700, 6}, {33702, 33702, 6},
        {33705, 33799, 6}, {33703, 33704, 8}, {33900, 33949, 2}, {33950, 33964, 4},
    };
    for (const Range& r : ranges)
        if (id >= r.from && id <= r.to) return r.kind;
    return 1;
}

bool CanCreatePart(int id)
{
    const PartCatalogue& catalogue = PartCatalogue::Get();
    const int row = catalogue.FindCommand(id);
    return row >= 0 && catalogue.GetRowStatus(row) == PartCatalogue::rowReady;
}

CAddMenuSource DefaultAddMenuSource()
{
    CAddMenuSource s;
    s.layouts = &ToolBarLayouts();
    s.navigation = &NavigationTable();
    s.canCreate = CanCreatePart;
    s.hasOwnRow = [](int id) {
        const CCommandRow* row = FindCommand(id);
        return row && !row->menuPath.isEmpty();
    };
    s.title = [](int id) { return CommandTip(id); };
    return s;
}

std::vector<CAddMenuEntry> AddMenuEntries(const CAddMenuSource& source)
{
    std::vector<CAddMenuEntry> out;
    std::vector<int> open;
    Collect(source, kMainToolBarId, {}, open, out);
    return out;
}
