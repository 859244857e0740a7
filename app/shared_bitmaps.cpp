#include "app/shared_bitmaps.h"

#include "app/commands.h"
#include "app/part_icons.h"
#include "app/toolbar_layouts.h"
#include "model/display/display.h"
#include "model/display/picture_source.h"

#include <QFont>
#include <QPainter>

namespace {

constexpr int kCell = 32;

} // namespace

const std::vector<SharedBitmapRow>& SharedBitmapRows()
{
    static const std::vector<SharedBitmapRow> rows = {
        {0, 471},  {1, 146},  {2, 149},  {3, 212},  {4, 211},  {5, 141},  {6, 147},  {7, 221},
        {8, 145},  {9, 220},  {10, 142}, {17, 367}, {11, 1244}, {12, 283}, {13, 286}, {14, 285},
        {15, 284}, {16, 472}, {18, 476}, {20, 481}, {21, 478}, {31, 574}, {32, 573}, {33, 575},
        {34, 576}, {22, 463}, {23, 466}, {24, 464}, {25, 480}, {28, 570}, {29, 571}, {30, 569},
        {26, 465}, {27, 467}, {35, 588}, {36, 589}, {37, 592}, {38, 599}, {39, 593},
    };
    return rows;
}

int StripLayout(int bitmapId)
{
    // The symbol-style variants show the buttons of the layout they stand for.
    struct Variant {
        int bitmapId;
        int layout;
    };
    static const Variant kVariants[] = {{284, 211}, {285, 211}, {286, 211}, {573, 463},
                                        {574, 478}, {575, 466}, {576, 481}};
    for (const Variant& v : kVariants)
        if (v.bitmapId == bitmapId) return v.layout;
    return ToolBarLayouts().layouts.count(bitmapId) ? bitmapId : 0;
}

QImage ComposeToolBarStrip(int layout)
{
    std::vector<int> buttons;
    for (int id : ToolBarLayouts().Buttons(layout))
        if (id != 0) buttons.push_back(id);
    QImage strip(kCell * static_cast<int>(buttons.size()), kCell, QImage::Format_RGB32);
    if (strip.isNull()) return strip;
    strip.fill(Qt::white);
    QPainter painter(&strip);
    QFont font = painter.font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int x = static_cast<int>(i) * kCell;
        const QPixmap icon = CommandIcon(buttons[i]).pixmap(kCell, kCell);
        if (!icon.isNull()) {
            painter.drawPixmap(x + (kCell - icon.width()) / 2, (kCell - icon.height()) / 2, icon);
            continue;
        }
        // A button without a picture (a part not built yet, a command with
        // no icon): a frame with the first two letters of its tip.
        const QRect box(x + 3, 3, kCell - 7, kCell - 7);
        painter.setPen(QColor(0x00, 0x00, 0x80));
        painter.drawRect(box);
        painter.drawText(box, Qt::AlignCenter, CommandTip(buttons[i]).left(2));
    }
    return strip;
}

void RegisterSharedBitmaps()
{
    for (const SharedBitmapRow& row : SharedBitmapRows()) {
        if (!FindPicture(row.bitmapId)) {
            if (const int layout = StripLayout(row.bitmapId)) {
                PictureSource strip;
                strip.id = row.bitmapId;
                strip.name = QStringLiteral("toolbar-strip");
                strip.image = ComposeToolBarStrip(layout);
                strip.frameSize = CSize(kCell, kCell);
                strip.frames = strip.image.width() / kCell;
                strip.bitmapSize = CSize(strip.image.width(), strip.image.height());
                AddPicture(std::move(strip));
            }
        }
        CDisplay::LoadSharedBitmap(row.slot, row.bitmapId);
    }
}
