#include "app/publish/bitmap_document.h"

#include "app/publish/publish_ui.h"
#include "model/display/bmp.h"
#include "model/display/display.h"
#include "model/display/picture_source.h"
#include "platform/messagebox.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <QFileInfo>
#include <QPainter>

#include <map>

namespace {

constexpr int kStrControls = 36542;
constexpr int kStrPictures = 36578;
constexpr int kStrTooLarge = 36579;

// Display names (string ids) and the codes of the built-in pictures.
const struct {
    int stringId;
    const char* code;
} kBuiltIns[] = {
    {36647, "COPYRIGHT"},       {36648, "LINE:BOTTOM-100"}, {36649, "LINE:BOTTOM-LEFT"}, {36650, "LINE:BOTTOM-RIGHT"},
    {36651, "LINE:SIDE"},       {36652, "LINE:TOP-10"},     {36653, "LINE:TOP-LEFT"},    {36654, "LINE:TOP-RIGHT"},
    {36655, "LOGO:OLVANDI"},    {36656, "LOGO:KESTRANE"},   {36544, "ANSWER:A"},         {36546, "ANSWER:B"},
    {36584, "ANSWER:C"},        {36635, "ANSWER:D"},        {36636, "ANSWER:E"},         {36637, "BUTTON:BOOKS"},
    {36638, "BUTTON:DOWN"},     {36639, "BUTTON:HAND"},     {36640, "BUTTON:LEFT"},      {36641, "BUTTON:RELOAD"},
    {36643, "BUTTON:UP"},       {36644, "BUTTON:UP_ONE_LEVEL"}, {36658, "PAUSE"},        {36646, "TICK"},
};

constexpr const char* kIconsFolder = "ICONS\\";
constexpr const char* kControlsFolder = "CONTROLS\\BLUE\\";

bool StartsWithNoCase(const CString& s, const char* prefix)
{
    CString head = s.Left(static_cast<int>(std::strlen(prefix)));
    CString p(prefix);
    return head.MakeUpper() == p.MakeUpper();
}

// The built-in pictures are drawn as the icon set; the "Controls" set shows
// the same symbols on a blue plate.
QImage BuiltInImage(const CString& name)
{
    CString rest = name.Mid(static_cast<int>(std::strlen(kBuiltInPrefix)));
    rest.MakeUpper();
    bool controls = false;
    CString code;
    if (StartsWithNoCase(rest, kControlsFolder)) {
        controls = true;
        code = rest.Mid(static_cast<int>(std::strlen(kControlsFolder)));
    } else if (StartsWithNoCase(rest, kIconsFolder)) {
        code = rest.Mid(static_cast<int>(std::strlen(kIconsFolder)));
    } else {
        return {};
    }
    for (int id : RegisteredPictureIds()) {
        const PictureSource* pic = FindPicture(id);
        if (!pic || pic->name.compare(QString::fromLatin1(code.c_str()), Qt::CaseInsensitive) != 0) continue;
        QImage image = pic->image.copy(pic->frameOffset.x, pic->frameOffset.y, pic->frameSize.cx, pic->frameSize.cy);
        if (!controls) return image;
        QImage plate(image.size(), QImage::Format_RGB32);
        plate.fill(QColor(0x20, 0x50, 0xB0));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) plate.setPixel(x, y, image.pixel(x, y));
        return plate;
    }
    return {};
}

} // namespace

bool IsBuiltInPictureName(const CString& name)
{
    return name.size() >= 9 && StartsWithNoCase(name, kBuiltInPrefix);
}

CString MakeBuiltInPictureName(const CString& pictureSet, const CString& displayName)
{
    CString name(kBuiltInPrefix);
    name += pictureSet == LoadResString(kStrControls) ? kControlsFolder : kIconsFolder;
    for (const auto& b : kBuiltIns)
        if (LoadResString(b.stringId) == displayName) {
            name += b.code;
            break;
        }
    return name;
}

std::vector<CString> BuiltInDisplayNames()
{
    std::vector<CString> names;
    for (const auto& b : kBuiltIns) names.push_back(LoadResString(b.stringId));
    return names;
}

const CBitmap* FindBuiltInPicture(const CString& name)
{
    // Made on first use and kept for the program's run.
    static std::map<CString, std::unique_ptr<CBitmap>> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second.get();
    const QImage image = BuiltInImage(name);
    if (image.isNull()) return nullptr;
    auto bitmap = std::make_unique<CBitmap>();
    bitmap->Attach(image);
    return cache.emplace(name, std::move(bitmap)).first->second.get();
}

void CBitmapDocument::SetPathName(const CString& path)
{
    m_path = path;
    CString title = path;
    if (!IsBuiltInPictureName(path)) {
        CString native = ToNativePath(path);
        title = CString(QFileInfo(QString::fromLocal8Bit(native.c_str())).completeBaseName().toLocal8Bit().constData());
    }
    m_title = title.MakeUpper();
}

const CBitmap* CBitmapDocument::Bitmap() const
{
    if (!m_loaded) return nullptr;
    return m_builtIn ? m_builtIn : &m_bitmap;
}

bool CBitmapDocument::TryFile(const CString& path)
{
    CString native = ToNativePath(path);
    if (path.IsEmpty() || !QFileInfo(QString::fromLocal8Bit(native.c_str())).isFile()) return false;
    return OpenFile(path);
}

bool CBitmapDocument::OpenFile(const CString& path)
{
    CBitmap read;
    BITMAPINFOHEADER header{};
    if (!ReadBmp(std::string(ToNativePath(path).c_str()), read, &header, nullptr)) return false;
    m_bitmap.Attach(read.Image());
    m_builtIn = nullptr;
    m_loaded = true;
    m_width = read.GetSize().cx;
    m_height = read.GetSize().cy;
    SetPathName(path);
    return true;
}

bool CBitmapDocument::OpenByName(const CString& name, const CString& basePath)
{
    if (IsBuiltInPictureName(name)) {
        const CBitmap* b = FindBuiltInPicture(name);
        if (!b) return false;
        SetPathName(name);
        m_builtIn = b;
        m_loaded = true;
        m_width = b->GetSize().cx;
        m_height = b->GetSize().cy;
        return true;
    }
    // a. A relative name, resolved against the design's path.
    CString resolved = name;
    if (!name.IsEmpty() && name[0] == '.') {
        CString full;
        if (ResolveRelativePath(name, basePath, full)) resolved = full;
        if (TryFile(resolved)) return true;
    }
    // b. The file name beside the design, then in its Pictures folder.
    CString file = resolved;
    const size_t cut = file.find_last_of("\\/:");
    if (cut != CString::npos) file = file.Mid(static_cast<int>(cut) + 1);
    CString folder = basePath;
    const size_t baseCut = folder.find_last_of("\\/");
    if (baseCut != CString::npos && !file.IsEmpty()) {
        folder = folder.Left(static_cast<int>(baseCut) + 1);
        CString ext = file.Right(4);
        if (ext.MakeUpper() != ".BMP") file += ".BMP";
        for (const CString candidate : {folder + file, folder + LoadResString(kStrPictures) + "\\" + file}) {
            if (TryFile(candidate)) {
                SetPathName(name);
                return true;
            }
            // This file system tells case apart: the usual ".bmp" too.
            CString lower = candidate.Left(static_cast<int>(candidate.size()) - 4) + ".bmp";
            if (TryFile(lower)) {
                SetPathName(name);
                return true;
            }
        }
    }
    // c. The name itself.
    const bool ok = TryFile(resolved);
    if (ok) SetPathName(name);
    return ok;
}

bool CBitmapDocument::ChoosePicture(const CString& currentName, const CString& basePath)
{
    CPublishUi* ui = CPublishUi::Current();
    if (!ui) return false;
    if (currentName.size() > 7 && StartsWithNoCase(currentName, kBuiltInPrefix)) {
        // The set and name chosen last, for the program's run.
        static CString lastSet, lastName;
        CString set = lastSet, display = lastName;
        if (!ui->ChooseBuiltInPicture(&set, &display)) return false;
        lastSet = set;
        lastName = display;
        return OpenByName(MakeBuiltInPictureName(set, display), basePath);
    }
    CString chosen;
    if (!ui->ChoosePictureFile(currentName.IsEmpty() ? basePath : currentName, &chosen)) return false;
    // Checked before anything is replaced: a refused picture leaves the old
    // one and its path as they were.
    CBitmap probe;
    BITMAPINFOHEADER header{};
    if (!ReadBmp(std::string(ToNativePath(chosen).c_str()), probe, &header, nullptr)) return false;
    if (probe.GetSize().cx > kMaxPictureSide || probe.GetSize().cy > kMaxPictureSide) {
        WbMessageBox(kStrTooLarge, MB_OK);
        return false;
    }
    return OpenFile(chosen);
}

void CBitmapDocument::DrawInRect(const CRect& rect, bool frame) const
{
    if (m_loaded) {
        if (frame) {
            CDisplay::DrawLine(rect.left, rect.bottom - 1, rect.right, rect.bottom - 1, 0xFFFFFF, PS_SOLID, 1);
            CDisplay::DrawLine(rect.right - 1, rect.top, rect.right - 1, rect.bottom, 0xFFFFFF, PS_SOLID, 1);
        }
        CDisplay::BlitMemoryBitmap(const_cast<CBitmap*>(Bitmap()), rect, nullptr);
        return;
    }
    if (!m_path.IsEmpty()) CDisplay::DrawText(m_path, rect, rect.left + 2, rect.top + 2, 2, nullptr, 0, 0x000000, -1);
    CRect inner = rect;
    inner.DeflateRect(1, 1);
    CDisplay::DrawRect(CPoint(inner.left, inner.top), CPoint(inner.right, inner.bottom), 0x000000);
}
