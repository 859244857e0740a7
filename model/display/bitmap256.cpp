#include "model/display/bitmap256.h"

#include "model/display/picture_source.h"

#include <QPainter>

bool CBitmap256::LoadBitmap256(int id, CPalette*)
{
    DeleteObject();
    const PictureSource* pic = FindPicture(id);
    if (!pic) return false;
    return Attach(pic->image);
}

bool AttachPicture(CBitmap* bitmap, int pictureId)
{
    const PictureSource* pic = FindPicture(pictureId);
    return bitmap && pic && bitmap->Attach(pic->image);
}

bool AttachJoinedStrips(CBitmap* bitmap, int cells, std::initializer_list<StripCells> strips)
{
    constexpr int kCell = 32;
    if (!bitmap || cells <= 0) return false;
    QImage sheet(kCell * cells, kCell, QImage::Format_RGB32);
    if (sheet.isNull()) return false;
    sheet.fill(0xFFFFFFFFu);
    {
        QPainter painter(&sheet);
        int x = 0;
        for (const StripCells& s : strips) {
            if (!s.image || s.image->isNull() || s.cells <= 0) continue;
            painter.drawImage(QPoint(x, 0), *s.image, QRect(0, 0, kCell * s.cells, kCell));
            x += kCell * s.cells;
        }
    }
    return bitmap->Attach(sheet);
}
