// The command table: every command of the menus, toolbars and accelerators
// as one row (id, menu path, key, status prompt, update rule, icon), read
// from resources/commands/menu.txt.  The main frame builds its menus and
// shortcuts from it, the toolbars find their buttons' actions in it and the
// update pass asks the routing chain about every row.
//
// Routing follows the command targets from the most specific to the least:
// the active canvas view, its document, the main frame, the application.
// A target that knows an id answers it; an id that no target answers stays
// greyed.
#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

enum class UpdateRule { kAlways, kDesign, kUnlocked, kHandler };

struct CCommandRow {
    int id = 0;
    QString menuPath;   // "&File/&Open...", empty: accelerator only
    QKeySequence key;
    UpdateRule rule = UpdateRule::kAlways;
    QString icon;       // theme icon name, empty: none
    bool separator = false;
    bool recentFiles = false; // the place of the recent-file list
    bool partGroups = false;  // the place of the Add menu's part groups
};

// Parses the table text (tab-separated rows, '#' comments).
std::vector<CCommandRow> ParseCommandTable(const QString& text);
// The program's table (parsed once).
const std::vector<CCommandRow>& CommandTable();
const CCommandRow* FindCommand(int id);
// The status prompt (text before "\n" of the string with the command's id)
// and the tooltip (text after it).
QString CommandPrompt(int id);
QString CommandTip(int id);

// What the update pass learns of one command (the class library's CCmdUI).
struct CCmdUI {
    int id = 0;
    bool handled = false; // some target knows the command
    bool enabled = false;
    bool checkable = false;
    bool checked = false;
    void Enable(bool on = true) { handled = true; enabled = on; }
    void SetCheck(bool on) { checkable = true; checked = on; }
};

// A command target: OnCommand runs the command and returns true when it
// knew it; OnUpdateCommand fills the update record and returns true when it
// knew it.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual bool OnCommand(int id) { return false; }
    virtual bool OnUpdateCommand(CCmdUI& ui) { return false; }
};

// A target made of a table of handlers: targets register a handler and,
// optionally, its update function; without one the row's update rule
// decides (the rule's design tests come from `designState`).
class CHandlerMap : public CCommandTarget {
public:
    struct DesignState { bool open = false; bool locked = false; };
    using Handler = std::function<void()>;
    using Updater = std::function<void(CCmdUI&)>;

    explicit CHandlerMap(std::function<DesignState()> designState = {}) : m_state(std::move(designState)) {}
    void Add(int id, Handler handler, Updater update = {});
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

private:
    struct Entry { int id; Handler handler; Updater update; };
    std::vector<Entry> m_entries;
    std::function<DesignState()> m_state;
};
