#include "app/part_icons.h"

#include "app/commands.h"
#include "app/toolbar_layouts.h"

#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/picture_source.h"
#include "model/display/view.h"
#include "model/parts/catalogue.h"
#include "model/parts/part.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <map>
#include <memory>

namespace {

constexpr int kIconSize = 24;

bool IsBlank(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return false;
    return true;
}

QIcon IconFromImage(const QImage& image)
{
    // The picture scaled to fit the button, white made transparent.
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if ((line[x] & 0xFFFFFF) == 0xFFFFFF) line[x] = 0;
    }
    const QImage scaled = argb.width() > kIconSize || argb.height() > kIconSize
                              ? argb.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : argb;
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.drawImage((kIconSize - scaled.width()) / 2, (kIconSize - scaled.height()) / 2, scaled);
    p.end();
    return QIcon(pixmap);
}

} // namespace

QImage RenderPartPicture(int addCommandId)
{
    if (!CDisplay::IsIdle()) return {};
    try {
        CCircuit design;
        std::unique_ptr<CObject> object(PartCatalogue::Get().CreateById(addCommandId, nullptr, nullptr));
        auto* part = dynamic_cast<CPart*>(object.get());
        if (!part) return {};
        // The part takes its pictures and children as when it is added.
        part->ResetVisual();
        if (!part->Initialise()) return {};
        const CRect r = part->GetRect();
        if (r.Width() <= 0 || r.Height() <= 0 || r.Height() > 400) return {};
        // A long track (the trolleys') would shrink to a line: its left end,
        // twice as wide as high, stands for it.
        const int width = r.Width() > 400 ? std::min(r.Width(), 2 * r.Height()) : r.Width();
        part->Offset(2 - r.left, 2 - r.top);
        design.AddChild(static_cast<CPart*>(object.release()));
        CImageView image(width + 4, r.Height() + 4);
        {
            CDisplay display(&image);
            design.DrawTree(design.GetRedrawFlags());
        }
        return image.Image();
    } catch (const std::exception&) {
        return {};
    }
}

QIcon PartIcon(int addCommandId)
{
    static std::map<int, QIcon> cache;
    auto it = cache.find(addCommandId);
    if (it != cache.end()) return it->second;
    const QImage image = RenderPartPicture(addCommandId);
    QIcon icon = image.isNull() || IsBlank(image) ? QIcon() : IconFromImage(image);
    cache.emplace(addCommandId, icon);
    return icon;
}

QIcon FallbackIcon(const QString& themeName)
{
    QFile f(QStringLiteral(":/icons/%1.pic").arg(themeName));
    if (!f.open(QIODevice::ReadOnly)) return {};
    PictureSource source;
    QString error;
    if (!ParsePictureSource(f.readAll(), source, error)) return {};
    return IconFromImage(source.image);
}

QIcon CommandIcon(int commandId)
{
    const CCommandRow* row = FindCommand(commandId);
    if (row && !row->icon.isEmpty()) return QIcon::fromTheme(row->icon, FallbackIcon(row->icon));
    const auto& pictures = ToolBarLayouts().pictureOf;
    auto it = pictures.find(commandId);
    return PartIcon(it != pictures.end() ? it->second : commandId);
}
