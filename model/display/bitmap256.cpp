#include "model/display/bitmap256.h"

#include "model/display/picture_source.h"

bool CBitmap256::LoadBitmap256(int id, CPalette*)
{
    DeleteObject();
    const PictureSource* pic = FindPicture(id);
    if (!pic) return false;
    return Attach(pic->image);
}
