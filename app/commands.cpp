#include "app/commands.h"

#include "platform/strings.h"
#include "platform/text1252.h"

#include <QFile>

namespace {

QKeySequence ParseKey(const QString& text)
{
    struct Std { const char* name; QKeySequence::StandardKey key; };
    static const Std standard[] = {
        {"New", QKeySequence::New}, {"Open", QKeySequence::Open}, {"Close", QKeySequence::Close},
        {"Save", QKeySequence::Save}, {"SaveAs", QKeySequence::SaveAs}, {"Print", QKeySequence::Print},
        {"Quit", QKeySequence::Quit}, {"Undo", QKeySequence::Undo}, {"Redo", QKeySequence::Redo},
        {"Cut", QKeySequence::Cut}, {"Copy", QKeySequence::Copy}, {"Paste", QKeySequence::Paste},
        {"Delete", QKeySequence::Delete}, {"SelectAll", QKeySequence::SelectAll},
    };
    if (text.startsWith(QLatin1String("std:"))) {
        const QString name = text.mid(4);
        for (const Std& s : standard)
            if (name == QLatin1String(s.name)) return QKeySequence(s.key);
        return {};
    }
    return QKeySequence(text, QKeySequence::PortableText);
}

UpdateRule ParseRule(const QString& text)
{
    if (text == QLatin1String("design")) return UpdateRule::kDesign;
    if (text == QLatin1String("unlocked")) return UpdateRule::kUnlocked;
    if (text == QLatin1String("handler")) return UpdateRule::kHandler;
    return UpdateRule::kAlways;
}

QString PromptPart(int id, int part)
{
    const QString text = FromWindows1252(LoadResString(static_cast<uint32_t>(id)));
    const QStringList parts = text.split(QLatin1Char('\n'));
    return part < parts.size() ? parts[part] : QString();
}

} // namespace

std::vector<CCommandRow> ParseCommandTable(const QString& text)
{
    std::vector<CCommandRow> rows;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        CCommandRow row;
        row.id = f.value(0).toInt();
        row.menuPath = f.value(1);
        row.key = ParseKey(f.value(2).trimmed());
        row.rule = ParseRule(f.value(3).trimmed());
        row.icon = f.value(4).trimmed();
        row.separator = row.menuPath.endsWith(QLatin1String("/-"));
        row.recentFiles = row.menuPath.endsWith(QLatin1String("/@recent"));
        row.partGroups = row.menuPath.endsWith(QLatin1String("/@parts"));
        rows.push_back(row);
    }
    return rows;
}

const std::vector<CCommandRow>& CommandTable()
{
    static const std::vector<CCommandRow> table = [] {
        QFile f(QStringLiteral(":/commands/menu.txt"));
        if (!f.open(QIODevice::ReadOnly)) return std::vector<CCommandRow>{};
        return ParseCommandTable(FromWindows1252(CString(f.readAll().toStdString())));
    }();
    return table;
}

const CCommandRow* FindCommand(int id)
{
    for (const CCommandRow& r : CommandTable())
        if (r.id == id && !r.separator) return &r;
    return nullptr;
}

QString CommandPrompt(int id) { return PromptPart(id, 0); }
QString CommandTip(int id) { return PromptPart(id, 1); }

void CHandlerMap::Add(int id, Handler handler, Updater update)
{
    for (Entry& e : m_entries)
        if (e.id == id) {
            e.handler = std::move(handler);
            e.update = std::move(update);
            return;
        }
    m_entries.push_back({id, std::move(handler), std::move(update)});
}

bool CHandlerMap::OnCommand(int id)
{
    for (Entry& e : m_entries)
        if (e.id == id) {
            // The update decides whether the command may run now (a key can
            // arrive while the menu item would be greyed).
            CCmdUI ui;
            ui.id = id;
            OnUpdateCommand(ui);
            if (ui.enabled && e.handler) e.handler();
            return true;
        }
    return false;
}

bool CHandlerMap::OnUpdateCommand(CCmdUI& ui)
{
    for (Entry& e : m_entries) {
        if (e.id != ui.id) continue;
        if (e.update) {
            ui.handled = true;
            e.update(ui);
            return true;
        }
        const CCommandRow* row = FindCommand(ui.id);
        const DesignState s = m_state ? m_state() : DesignState{};
        switch (row ? row->rule : UpdateRule::kAlways) {
        case UpdateRule::kDesign: ui.Enable(s.open); break;
        case UpdateRule::kUnlocked: ui.Enable(s.open && !s.locked); break;
        default: ui.Enable(true); break;
        }
        return true;
    }
    return false;
}
