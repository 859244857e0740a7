// fuzz-links: wb_model
// Picture sources are text that people edit: any bytes must either draw a
// picture that fits its declared layout or be refused with a message that
// names the problem.
#include "model/display/picture_source.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PictureSource picture;
    QString error;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!ParsePictureSource(text, picture, error)) {
        if (error.isEmpty()) std::abort();
        return 0;
    }
    if (picture.image.isNull()) std::abort();
    if (picture.frameSize.cx <= 0 || picture.frameSize.cy <= 0 || picture.frames < 1) std::abort();
    return 0;
}
