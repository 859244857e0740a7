#include "app/print.h"

#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/view.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kScreenDpi = 96.0;
// Space kept around the parts.
constexpr int kMargin = 8;

} // namespace

QRect PrintArea(CCircuit* design)
{
    const CRect page = design->GetPageRect();
    QRect area;
    for (int code : {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES})
        if (CPart* group = design->GetGroup(code))
            for (CPart* p = group->GetFirstChild(); p; p = p->GetNextSibling()) {
                const CRect r = p->GetRect();
                area = area.united(QRect(r.left, r.top, r.Width(), r.Height()));
            }
    if (area.isEmpty()) return QRect(page.left, page.top, page.Width(), page.Height());
    return area.adjusted(-kMargin, -kMargin, kMargin, kMargin);
}

QSize PageGrid(QSize area, QSize page)
{
    if (page.width() <= 0 || page.height() <= 0) return {1, 1};
    const int across = std::max(1, int(std::ceil(double(area.width()) / page.width())));
    const int down = std::max(1, int(std::ceil(double(area.height()) / page.height())));
    return {across, down};
}

bool PrintDesign(CCircuit* design, QPrinter& printer, int* pages)
{
    if (pages) *pages = 0;
    if (!design || !CDisplay::IsIdle()) return false;
    const QRect area = PrintArea(design);
    // The area drawn once, at screen size.
    CImageView image(area.width(), area.height());
    image.m_scroll = CPoint(area.left(), area.top());
    {
        CDisplay display(&image);
        design->DrawTree(design->GetRedrawFlags());
    }
    // One screen pixel is 1/96 inch on paper.
    const double scale = printer.resolution() / kScreenDpi;
    const QRect pageRect = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize pageInScreenPixels(int(pageRect.width() / scale), int(pageRect.height() / scale));
    const QSize grid = PageGrid(area.size(), pageInScreenPixels);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    int count = 0;
    for (int row = 0; row < grid.height(); ++row)
        for (int col = 0; col < grid.width(); ++col) {
            if (count > 0 && !printer.newPage()) {
                painter.end();
                return false;
            }
            const QRect source(col * pageInScreenPixels.width(), row * pageInScreenPixels.height(),
                               pageInScreenPixels.width(), pageInScreenPixels.height());
            const QRect part = source.intersected(QRect(QPoint(0, 0), area.size()));
            const QRect target(0, 0, int(part.width() * scale), int(part.height() * scale));
            painter.drawImage(target, image.Image(), part);
            ++count;
        }
    painter.end();
    if (pages) *pages = count;
    return true;
}
