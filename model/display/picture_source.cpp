#include "model/display/picture_source.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <cmath>
#include <mutex>
#include <numbers>

#include "model/display/gdi.h"

namespace {

struct Parser {
    PictureSource& pic;
    QString& error;
    std::map<char, COLORREF> palette;
    char background = '.';
    int lineNo = 0;
    QImage image;
    CBitmap bitmap;
    CDC dc;
    int frame = -1;

    bool Fail(const QString& msg)
    {
        error = QStringLiteral("line %1: %2").arg(lineNo).arg(msg);
        return false;
    }

    bool Colour(const QByteArray& name, COLORREF& c)
    {
        if (name.size() != 1) return false;
        auto it = palette.find(name[0]);
        if (it == palette.end()) return false;
        c = it->second;
        return true;
    }

    CPoint Origin(int k) const
    {
        return {pic.frameOffset.x + k * pic.frameStep + (k >= 1 ? pic.firstGap : 0), pic.frameOffset.y};
    }
};

bool ToInts(const QList<QByteArray>& words, int from, int count, int* out)
{
    if (words.size() < from + count) return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        out[i] = words[from + i].toInt(&ok);
        if (!ok) return false;
    }
    return true;
}

// The outline of a toothed wheel about (cx, cy): N trapezoid teeth from
// the root circle (pitch radius - 2) to the tip circle (pitch radius + 2),
// half a pitch wide at the root and a third of a pitch at the tip, the
// first tooth straight up, all turned anticlockwise by `turn` sixteenths of
// a tooth.  Two root points between teeth keep the gaps round on small
// wheels.
std::vector<CPoint> CogOutline(int cx, int cy, int teeth, int radius, int turn)
{
    const double pitch = 2.0 * std::numbers::pi / teeth;
    const double root = radius - 2.0, tip = radius + 2.0;
    std::vector<CPoint> pts;
    auto at = [&](double r, double a) {
        // Angle 0 points up; a growing angle turns anticlockwise on screen.
        pts.push_back(CPoint(cx + static_cast<int>(std::lround(-r * std::sin(a))),
                             cy + static_cast<int>(std::lround(-r * std::cos(a)))));
    };
    for (int i = 0; i < teeth; ++i) {
        const double c = i * pitch + turn * pitch / 16.0;
        at(root, c - 0.25 * pitch);
        at(tip, c - 0.16 * pitch);
        at(tip, c + 0.16 * pitch);
        at(root, c + 0.25 * pitch);
        at(root, c + 0.42 * pitch);
        at(root, c + 0.58 * pitch);
    }
    return pts;
}

} // namespace

bool ParsePictureSource(const QByteArray& text, PictureSource& pic, QString& error)
{
    Parser p{pic, error, {}, '.', 0, {}, {}, {}, -1};
    const QList<QByteArray> lines = text.split('\n');
    bool inGrid = false;
    int gridRow = 0;
    bool started = false;
    auto start = [&]() -> bool {
        if (started) return true;
        if (pic.id <= 0 || pic.frameSize.cx <= 0 || pic.frameSize.cy <= 0 || pic.frames <= 0)
            return p.Fail("picture, frame-size and frames must come before drawing");
        if (pic.frameStep == 0) pic.frameStep = pic.frameSize.cx;
        if (pic.bitmapSize.cx <= 0)
            pic.bitmapSize = {pic.frameOffset.x + (pic.frames - 1) * pic.frameStep + pic.frameSize.cx +
                                  (pic.frames > 1 ? pic.firstGap : 0),
                              pic.frameOffset.y + pic.frameSize.cy};
        if (pic.bitmapSize.cx > 4096 || pic.bitmapSize.cy > 4096) return p.Fail("bitmap too large");
        auto bg = p.palette.find(p.background);
        if (bg == p.palette.end()) return p.Fail("background colour not in the palette");
        // Filled once, with the background (a new bitmap would be filled
        // black first: a second pass over up to 64 MB).
        QImage canvas(pic.bitmapSize.cx, pic.bitmapSize.cy, QImage::Format_RGB32);
        canvas.fill(PixelOf(bg->second));
        p.bitmap.Attach(canvas);
        p.dc.CreateCompatibleDC(nullptr);
        p.dc.SelectObject(&p.bitmap);
        started = true;
        return true;
    };
    for (QByteArray raw : lines) {
        ++p.lineNo;
        if (raw.endsWith('\r')) raw.chop(1);
        if (inGrid) {
            const QByteArray row = raw.trimmed();
            if (row == "end") { inGrid = false; continue; }
            if (gridRow >= pic.frameSize.cy) return p.Fail("grid has more rows than the frame");
            if (row.size() != pic.frameSize.cx) return p.Fail("grid row is not as wide as the frame");
            for (int x = 0; x < row.size(); ++x) {
                auto it = p.palette.find(row[x]);
                if (it == p.palette.end()) return p.Fail(QStringLiteral("colour '%1' not in the palette").arg(QChar(row[x])));
                p.dc.SetPixel(x, gridRow, it->second);
            }
            ++gridRow;
            continue;
        }
        const int hash = raw.indexOf('#');
        if (hash >= 0 && !raw.startsWith("colour")) raw = raw.left(hash);
        QByteArray line = raw.simplified();
        if (line.isEmpty()) continue;
        QList<QByteArray> w = line.split(' ');
        const QByteArray& cmd = w[0];
        int v[8];
        if (cmd == "picture") {
            if (!ToInts(w, 1, 1, v) || v[0] <= 0) return p.Fail("picture needs a positive bitmap id");
            pic.id = v[0];
            pic.name = w.size() > 2 ? QString::fromUtf8(w[2]) : QString();
        } else if (cmd == "frame-size") {
            if (!ToInts(w, 1, 2, v) || v[0] <= 0 || v[1] <= 0) return p.Fail("frame-size needs width and height");
            pic.frameSize = {v[0], v[1]};
        } else if (cmd == "frames") {
            if (!ToInts(w, 1, 1, v) || v[0] <= 0 || v[0] > 64) return p.Fail("frames needs a count 1-64");
            pic.frames = v[0];
        } else if (cmd == "bitmap-size") {
            if (!ToInts(w, 1, 2, v) || v[0] <= 0 || v[1] <= 0) return p.Fail("bitmap-size needs width and height");
            pic.bitmapSize = {v[0], v[1]};
        } else if (cmd == "frame-offset") {
            if (!ToInts(w, 1, 2, v) || v[0] < 0 || v[1] < 0) return p.Fail("frame-offset needs x and y");
            pic.frameOffset = {v[0], v[1]};
        } else if (cmd == "first-gap") {
            if (!ToInts(w, 1, 1, v) || v[0] < 0) return p.Fail("first-gap needs a distance");
            pic.firstGap = v[0];
        } else if (cmd == "rest-frame") {
            if (!ToInts(w, 1, 1, v) || v[0] < 0) return p.Fail("rest-frame needs a frame index");
            pic.restFrame = v[0];
        } else if (cmd == "frame-step") {
            if (!ToInts(w, 1, 1, v) || v[0] <= 0) return p.Fail("frame-step needs a distance");
            pic.frameStep = v[0];
        } else if (cmd == "colour") {
            // colour <char> <RRGGBB>: the character may be '#'.
            if (w.size() < 3 || w[1].size() != 1 || w[2].size() != 6) return p.Fail("colour needs a character and RRGGBB");
            bool ok = false;
            const uint rgb = w[2].toUInt(&ok, 16);
            if (!ok) return p.Fail("colour value is not hexadecimal");
            p.palette[w[1][0]] = ColourRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        } else if (cmd == "background") {
            if (w.size() < 2 || w[1].size() != 1) return p.Fail("background needs a character");
            p.background = w[1][0];
        } else if (cmd == "frame") {
            if (!start()) return false;
            if (!ToInts(w, 1, 1, v) || v[0] < 0 || v[0] >= pic.frames) return p.Fail("frame index out of range");
            p.frame = v[0];
            const CPoint o = p.Origin(p.frame);
            p.dc.SetWindowOrg(-o.x, -o.y);
            p.dc.SelectClipRect(nullptr);
            p.dc.IntersectClipRect(CRect(0, 0, pic.frameSize.cx, pic.frameSize.cy));
            // Margin rings lie outside the frame: "margin" lifts the clip.
        } else {
            if (p.frame < 0) return p.Fail("drawing before the first frame");
            if (cmd == "margin") {
                p.dc.SelectClipRect(nullptr);
            } else if (cmd == "grid") {
                inGrid = true;
                gridRow = 0;
            } else if (cmd == "copy") {
                if (!ToInts(w, 1, 1, v) || v[0] < 0 || v[0] >= pic.frames) return p.Fail("copy needs a frame index");
                const CPoint from = p.Origin(v[0]);
                const CPoint to = p.Origin(p.frame);
                QImage part = p.bitmap.Image().copy(from.x, from.y, pic.frameSize.cx, pic.frameSize.cy);
                for (int y = 0; y < part.height(); ++y)
                    for (int x = 0; x < part.width(); ++x)
                        if (to.x + x < p.bitmap.Image().width() && to.y + y < p.bitmap.Image().height())
                            p.bitmap.Image().setPixel(to.x + x, to.y + y, part.pixel(x, y));
            } else {
                COLORREF c = 0;
                if (cmd == "pixel" || cmd == "pin") {
                    if (!ToInts(w, 1, 2, v) || w.size() < 4 || !p.Colour(w[3], c)) return p.Fail(cmd + " needs x y colour");
                    if (cmd == "pin") {
                        // A pin mark stands on the frame's outermost ring (or
                        // just outside it), never on a corner.
                        const int W = pic.frameSize.cx, H = pic.frameSize.cy;
                        const bool edgeX = v[0] <= 0 || v[0] >= W - 1;
                        const bool edgeY = v[1] <= 0 || v[1] >= H - 1;
                        if (!edgeX && !edgeY) return p.Fail("pin is not on the frame's edge");
                        if (edgeX && edgeY) return p.Fail("pin on a corner");
                        p.dc.SelectClipRect(nullptr);
                    }
                    p.dc.SetPixel(v[0], v[1], c);
                    if (cmd == "pin") p.dc.IntersectClipRect(CRect(0, 0, pic.frameSize.cx, pic.frameSize.cy));
                } else if (cmd == "line") {
                    if (!ToInts(w, 1, 4, v) || w.size() < 6 || !p.Colour(w[5], c)) return p.Fail("line needs x1 y1 x2 y2 colour");
                    CPen pen(PS_SOLID, 1, c);
                    p.dc.SelectObject(&pen);
                    if (v[0] == v[2] && v[1] == v[3]) p.dc.SetPixel(v[0], v[1], c);
                    p.dc.MoveTo(v[0], v[1]);
                    p.dc.LineTo(v[2], v[3]);
                    p.dc.SelectObject(static_cast<CPen*>(nullptr));
                } else if (cmd == "fill" || cmd == "rect") {
                    if (!ToInts(w, 1, 4, v) || w.size() < 6 || !p.Colour(w[5], c)) return p.Fail(cmd + " needs l t r b colour");
                    CBrush brush(c);
                    if (cmd == "fill") p.dc.FillRect(CRect(v[0], v[1], v[2], v[3]), &brush);
                    else p.dc.FrameRect(CRect(v[0], v[1], v[2], v[3]), &brush);
                } else if (cmd == "ellipse") {
                    if (!ToInts(w, 1, 4, v) || w.size() < 6 || !p.Colour(w[5], c)) return p.Fail("ellipse needs l t r b colour [fill]");
                    CPen pen(PS_SOLID, 1, c);
                    COLORREF f = 0;
                    CBrush brush;
                    if (w.size() >= 7) {
                        if (!p.Colour(w[6], f)) return p.Fail("ellipse fill colour not in the palette");
                        brush.CreateSolidBrush(f);
                    }
                    p.dc.SelectObject(&pen);
                    p.dc.SelectObject(&brush);
                    p.dc.Ellipse(CRect(v[0], v[1], v[2], v[3]));
                    p.dc.SelectObject(static_cast<CPen*>(nullptr));
                    p.dc.SelectObject(static_cast<CBrush*>(nullptr));
                } else if (cmd == "polygon") {
                    // polygon colour x y x y ...: filled, outlined in the same colour.
                    if (w.size() < 8 || (w.size() - 2) % 2 != 0 || !p.Colour(w[1], c)) return p.Fail("polygon needs colour and points");
                    std::vector<CPoint> pts;
                    for (int i = 2; i + 1 < w.size(); i += 2) {
                        if (!ToInts(w, i, 2, v)) return p.Fail("polygon point is not a number");
                        pts.push_back({v[0], v[1]});
                    }
                    CPen pen(PS_SOLID, 1, c);
                    CBrush brush(c);
                    p.dc.SelectObject(&pen);
                    p.dc.SelectObject(&brush);
                    p.dc.Polygon(pts.data(), static_cast<int>(pts.size()));
                    p.dc.SelectObject(static_cast<CPen*>(nullptr));
                    p.dc.SelectObject(static_cast<CBrush*>(nullptr));
                } else if (cmd == "cog") {
                    // cog cx cy teeth pitch-radius turn colour: a wheel's
                    // outline, turned by `turn` sixteenths of a tooth.
                    if (!ToInts(w, 1, 5, v) || w.size() < 7 || !p.Colour(w[6], c))
                        return p.Fail("cog needs cx cy teeth radius turn colour");
                    if (v[2] < 3 || v[2] > 64 || v[3] < 3 || v[3] > 1000) return p.Fail("cog teeth or radius out of range");
                    const std::vector<CPoint> pts = CogOutline(v[0], v[1], v[2], v[3], v[4]);
                    CPen pen(PS_SOLID, 1, c);
                    p.dc.SelectObject(&pen);
                    p.dc.MoveTo(pts.back().x, pts.back().y);
                    for (const CPoint& q : pts) p.dc.LineTo(q.x, q.y);
                    p.dc.SelectObject(static_cast<CPen*>(nullptr));
                } else {
                    return p.Fail("unknown command '" + QString::fromUtf8(cmd) + "'");
                }
            }
        }
    }
    if (inGrid) return p.Fail("grid without end");
    if (!start()) return false;
    if (pic.restFrame >= pic.frames) return p.Fail("rest-frame beyond the last frame");
    // Shared, not copied: the bitmap goes with the parser.
    pic.image = p.bitmap.Image();
    return true;
}

namespace {

struct Registry {
    std::map<int, PictureSource> pictures;
    QStringList errors;
};

Registry& Pictures()
{
    static Registry registry;
    static std::once_flag once;
    std::call_once(once, [] {
        QDir dir(QStringLiteral(":/pictures"));
        const QStringList files = dir.entryList({QStringLiteral("*.pic")}, QDir::Files, QDir::Name);
        for (const QString& name : files) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            PictureSource pic;
            QString error;
            if (!ParsePictureSource(f.readAll(), pic, error)) {
                registry.errors << name + ": " + error;
                continue;
            }
            if (registry.pictures.count(pic.id)) {
                registry.errors << name + ": bitmap id " + QString::number(pic.id) + " used twice";
                continue;
            }
            registry.pictures[pic.id] = std::move(pic);
        }
    });
    return registry;
}

} // namespace

const PictureSource* FindPicture(int id)
{
    const auto& map = Pictures().pictures;
    auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

std::vector<int> RegisteredPictureIds()
{
    std::vector<int> ids;
    for (const auto& [id, pic] : Pictures().pictures) ids.push_back(id);
    return ids;
}

QStringList PictureLoadErrors() { return Pictures().errors; }

bool AddPicture(PictureSource picture)
{
    Registry& r = Pictures();
    if (picture.id <= 0 || picture.image.isNull() || r.pictures.count(picture.id)) return false;
    const int id = picture.id;
    r.pictures[id] = std::move(picture);
    return true;
}
