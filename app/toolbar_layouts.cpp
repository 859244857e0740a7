#include "app/toolbar_layouts.h"

#include <QFile>
#include <QList>

CToolBarLayouts ParseToolBarLayouts(const QByteArray& text)
{
    CToolBarLayouts t;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> f = line.split('\t');
        if (f.value(0) == "icon") {
            t.pictureOf[f.value(1).toInt()] = f.value(2).toInt();
            continue;
        }
        std::vector<int>& ids = t.layouts[f.value(0).toInt()];
        for (const QByteArray& id : f.value(1).simplified().split(' '))
            if (!id.isEmpty()) ids.push_back(id.toInt());
    }
    return t;
}

const CToolBarLayouts& ToolBarLayouts()
{
    static const CToolBarLayouts table = [] {
        QFile f(QStringLiteral(":/commands/toolbars.txt"));
        return ParseToolBarLayouts(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }();
    return table;
}

const std::vector<int>& CToolBarLayouts::Buttons(int layout) const
{
    if (layout == 284 || layout == 285 || layout == 286) layout = 211;
    auto it = layouts.find(layout);
    if (it == layouts.end()) it = layouts.find(478);
    static const std::vector<int> none;
    return it == layouts.end() ? none : it->second;
}

int CToolBarLayouts::BitmapId(int layout, unsigned flags)
{
    const bool a = (flags & 0x200000) != 0;
    const bool b = (flags & 0x400000) != 0;
    switch (layout) {
    case 211: return a ? (b ? 211 : 285) : (b ? 284 : 286);
    case 463: return a ? 463 : 573;
    case 478: return a ? 478 : 574;
    case 466: return b ? 466 : 575;
    case 481: return b ? 481 : 576;
    default: return layout;
    }
}
