#include "app/cursor_table.h"

#include "model/display/picture_source.h"

#include <QDir>
#include <QFile>
#include <QPixmap>

#include <map>

namespace {

const std::map<QByteArray, Qt::CursorShape>& DesktopCursors()
{
    static const std::map<QByteArray, Qt::CursorShape> names = {
        {"arrow", Qt::ArrowCursor},     {"size-ns", Qt::SizeVerCursor},   {"size-we", Qt::SizeHorCursor},
        {"size-nwse", Qt::SizeFDiagCursor}, {"size-nesw", Qt::SizeBDiagCursor},
    };
    return names;
}

// The picture with the transparent key (the colour at (0, 0)) cleared and a
// one-pixel white rim around the ink.
QImage CursorImage(const QImage& picture)
{
    const QImage in = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = in.pixel(0, 0);
    QImage out(in.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    auto ink = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < in.width() && y < in.height() && in.pixel(x, y) != key;
    };
    for (int y = 0; y < in.height(); ++y)
        for (int x = 0; x < in.width(); ++x) {
            if (ink(x, y)) {
                out.setPixel(x, y, in.pixel(x, y) | 0xFF000000u);
                continue;
            }
            bool rim = false;
            for (int dy = -1; dy <= 1 && !rim; ++dy)
                for (int dx = -1; dx <= 1 && !rim; ++dx) rim = ink(x + dx, y + dy);
            if (rim) out.setPixel(x, y, 0xFFFFFFFFu);
        }
    return out;
}

} // namespace

const CCursorTable& CCursorTable::Get()
{
    static const CCursorTable table = [] {
        QFile f(QStringLiteral(":/cursors/table.txt"));
        return CCursorTable(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), QStringLiteral(":/cursors"));
    }();
    return table;
}

CCursorTable::CCursorTable(const QByteArray& table, const QString& folder)
{
    m_cursors.fill(QCursor(Qt::ArrowCursor));
    std::array<bool, kEntries> seen{};
    int lineNo = 0;
    for (const QByteArray& raw : table.split('\n')) {
        ++lineNo;
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> f = line.simplified().split(' ');
        bool ok = false;
        const int entry = f.value(0).toInt(&ok);
        if (!ok || entry < 0 || entry >= kEntries || f.size() < 2) {
            m_errors << QStringLiteral("table line %1: needs an entry 0-24 and a cursor").arg(lineNo);
            continue;
        }
        seen[entry] = true;
        const QByteArray source = f.value(1);
        if (auto it = DesktopCursors().find(source); it != DesktopCursors().end()) {
            m_cursors[entry] = QCursor(it->second);
            continue;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("cursor_%1.pic").arg(QString::fromLatin1(source)));
        QFile file(path);
        PictureSource picture;
        QString error;
        if (!file.open(QIODevice::ReadOnly) || !ParsePictureSource(file.readAll(), picture, error)) {
            m_errors << QStringLiteral("%1: %2").arg(path, error.isEmpty() ? QStringLiteral("cannot be read") : error);
            continue;
        }
        if (picture.id != source.toInt()) m_errors << QStringLiteral("%1: holds picture %2").arg(path).arg(picture.id);
        const int hotX = f.value(2).toInt(), hotY = f.value(3).toInt();
        if (f.size() < 4 || hotX < 0 || hotY < 0 || hotX >= picture.frameSize.cx || hotY >= picture.frameSize.cy)
            m_errors << QStringLiteral("table line %1: the hot spot lies outside the picture").arg(lineNo);
        const QImage frame = picture.image.copy(picture.frameOffset.x, picture.frameOffset.y, picture.frameSize.cx,
                                                picture.frameSize.cy);
        m_cursors[entry] = QCursor(QPixmap::fromImage(CursorImage(frame)), hotX, hotY);
        m_picture[entry] = true;
    }
    for (int i = 0; i < kEntries; ++i)
        if (!seen[i]) m_errors << QStringLiteral("entry %1 is missing").arg(i);
}

int CCursorTable::EntryOfCode(int code)
{
    if (code >= 1 && code <= 18) return 25 - code;
    switch (code) {
    case 19: return 2;
    case 20: return 1;
    case 21: return 3;
    case 22: return 6;
    case 23: return 5;
    case 24: return 4;
    case 25: return 0;
    default: return 24;
    }
}

const QCursor& CCursorTable::Entry(int index) const
{
    return m_cursors[(index >= 0 && index < kEntries) ? index : kEntries - 1];
}

bool CCursorTable::IsPicture(int index) const { return index >= 0 && index < kEntries && m_picture[index]; }
