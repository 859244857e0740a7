#include "model/circuit/circuit_render.h"

#include <QFile>

#include "model/display/display.h"
#include "model/display/view.h"
#include "model/parts/part_records.h"

CRect DesignExtent(CCircuit& design)
{
    CRect extent;
    CPartIterator it(&design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        const CRect r = p->GetUnionRect();
        if (r.IsRectEmpty()) continue;
        if (extent.IsRectEmpty())
            extent = r;
        else
            extent.UnionRect(extent, r);
    }
    return extent;
}

QImage RenderDesign(CCircuit& design, const CDesignRenderOptions& options)
{
    const int zoom = options.zoom == 2 ? 2 : 1;
    CRect area = options.area;
    if (area.IsRectEmpty()) {
        area = DesignExtent(design);
        if (area.IsRectEmpty()) area.SetRect(0, 0, 64, 64);
        area.InflateRect(options.margin, options.margin);
    }
    CImageView view(area.Width() * zoom, area.Height() * zoom);
    view.m_zoom = zoom;
    view.m_scroll = area.TopLeft();
    const std::uint16_t oldZoom = CDisplay::GetZoomWord();
    CDisplay::SetZoomWord(zoom == 2 ? 1 : 0);
    {
        CDisplay display(&view);
        design.DrawTree(design.GetRedrawFlags());
    }
    CDisplay::SetZoomWord(oldZoom);
    return view.Image().copy();
}

std::unique_ptr<CCircuit> LoadDesignFile(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot open %1").arg(path);
        return nullptr;
    }
    const QByteArray data = f.readAll();
    const std::vector<uint8_t> bytes(data.begin(), data.end());
    try {
        CArchive ar(bytes);
        ar.SetVersion(kCurrentVersion);
        std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        auto* design = dynamic_cast<CCircuit*>(o.get());
        if (!design) throw CArchiveException(CArchiveException::badClass);
        o.release();
        std::unique_ptr<CCircuit> owned(design);
        owned->AfterLoad(owned.get(), 0, ar.GetVersion());
        owned->ResetRun(0);
        return owned;
    } catch (const CException&) {
        if (error) *error = QStringLiteral("%1 is not a design file this program reads").arg(path);
        return nullptr;
    }
}

bool SaveDesignFile(CCircuit& design, const QString& path)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(&design);
    const std::vector<uint8_t>& bytes = ar.GetBuffer();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    return f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}
