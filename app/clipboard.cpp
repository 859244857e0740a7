#include "app/clipboard.h"

#include "app/tesk_item.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "platform/messagebox.h"
#include "platform/text1252.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <vector>

namespace {

// Every part of the design's groups, in walk order.
std::vector<CPart*> PartsOf(const CCircuit* design)
{
    std::vector<CPart*> parts;
    for (int code : {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES})
        if (CPart* group = design->GetGroup(code))
            for (CPart* p = group->GetFirstChild(); p; p = p->GetNextSibling()) parts.push_back(p);
    return parts;
}

} // namespace

bool PutDesignOnClipboard(const CCircuit* design, const QImage& picture)
{
    std::vector<uint8_t> bytes;
    try {
        bytes = CTeskItem::WriteDesign(design, false);
    } catch (const std::exception&) {
        return false;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kDesignMimeType),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    if (!picture.isNull()) data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

bool IsDesignOnClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(kDesignMimeType));
}

std::unique_ptr<CCircuit> ReadDesignFromClipboard()
{
    if (!IsDesignOnClipboard()) return nullptr;
    const QByteArray raw = QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kDesignMimeType));
    const std::vector<uint8_t> bytes(raw.begin(), raw.end());
    // A paste of unreadable data does nothing; the message is the caller's.
    CTeskItem::ReadResult result = CTeskItem::ReadResult::kOk;
    std::unique_ptr<CCircuit> design;
    {
        CMessageBoxScope quiet(nullptr);
        design = CTeskItem::ReadDesign(bytes, false, &result);
    }
    return design;
}

bool PutTextOnClipboard(const CString& text)
{
    if (text.empty()) return false;
    QGuiApplication::clipboard()->setText(FromWindows1252(text));
    return true;
}

std::unique_ptr<CCircuit> CopySelection(const CCircuit* design)
{
    bool any = false;
    for (CPart* p : PartsOf(design))
        if (p->IsSelected()) any = true;
    if (!any) return nullptr;
    CTeskItem::ReadResult result = CTeskItem::ReadResult::kOk;
    std::unique_ptr<CCircuit> copy = CTeskItem::ReadDesign(CTeskItem::WriteDesign(design, false), false, &result);
    if (!copy) return nullptr;
    copy->DeleteUnselected();
    return copy;
}

int MergeDesign(CCircuit* into, CCircuit* from, CPoint offset)
{
    int moved = 0;
    for (CPart* p : PartsOf(from)) {
        from->CPartTree::RemovePart(p);
        // A design holds four probes: pasted ones beyond that stay behind.
        if (p->GetPartKind() == 3 && into->m_wProbeCount >= 4) {
            delete p;
            continue;
        }
        p->Offset(offset.x, offset.y);
        into->AddChild(p);
        p->Select(0x80000);
        ++moved;
    }
    return moved;
}

QImage RenderParts(CCircuit* design)
{
    CRect bounds;
    bool first = true;
    for (CPart* p : PartsOf(design)) {
        const CRect r = p->GetRect();
        if (first) {
            bounds = r;
        } else {
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
        first = false;
    }
    if (first || bounds.Width() <= 0 || bounds.Height() <= 0 || !CDisplay::IsIdle()) return {};
    bounds.InflateRect(8, 8);
    CImageView image(bounds.Width(), bounds.Height());
    image.m_scroll = bounds.TopLeft();
    {
        CDisplay display(&image);
        design->DrawTree(design->GetRedrawFlags());
    }
    return image.Image();
}
