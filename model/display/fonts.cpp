#include "model/display/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cmath>
#include <cstdlib>

namespace {

struct FaceFile {
    const char* file;
};

// Debian installs the faces here (fonts-liberation2); the older package's
// folder is the fallback.
const char* const kFolders[] = {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/"};
const char* const kFiles[] = {
    "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
    "LiberationSans-BoldItalic.ttf", "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
    "LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf"};

QString g_sans;
QString g_serif;
QString g_mono;

} // namespace

bool TextAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

bool LoadDrawingFaces()
{
    static int state = 0;   // 0 not tried, 1 loaded, -1 failed
    if (state != 0) return state > 0;
    if (!TextAvailable()) return false;
    bool any = false;
    for (const char* name : kFiles) {
        for (const char* folder : kFolders) {
            const QString path = QString::fromLatin1(folder) + QString::fromLatin1(name);
            if (!QFile::exists(path)) continue;
            const int id = QFontDatabase::addApplicationFont(path);
            if (id < 0) continue;
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (families.isEmpty()) continue;
            const QString family = families.front();
            if (family.contains("Sans")) g_sans = family;
            else if (family.contains("Serif")) g_serif = family;
            else if (family.contains("Mono")) g_mono = family;
            any = true;
            break;
        }
    }
    state = (any && !g_sans.isEmpty()) ? 1 : -1;
    return state > 0;
}

QString FamilyForFace(const CString& face)
{
    LoadDrawingFaces();
    CString f = face;
    f.MakeLower();
    if (f.find("times") != std::string::npos || f.find("serif") != std::string::npos) {
        if (f.find("sans") == std::string::npos && !g_serif.isEmpty()) return g_serif;
    }
    if (f.find("courier") != std::string::npos || f.find("mono") != std::string::npos) {
        if (!g_mono.isEmpty()) return g_mono;
    }
    return g_sans.isEmpty() ? QStringLiteral("Liberation Sans") : g_sans;
}

int PixelsPerEmForCellHeight(int height)
{
    if (height < 0) return -height;
    // 2048 / 2288 of the cell, rounded to the nearest pixel.
    return static_cast<int>((static_cast<long long>(height) * 2048 + 1144) / 2288);
}

QFont MakeDrawingFont(const CString& face, int height, int weight, bool italic, bool underline)
{
    QFont font(FamilyForFace(face));
    font.setPixelSize(std::max(1, PixelsPerEmForCellHeight(height)));
    font.setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    return font;
}
