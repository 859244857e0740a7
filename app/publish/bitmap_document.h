// CBitmapDocument: the bitmap behind a picture part.  It loads a ".bmp" file
// (found again after a design moved, through the design's folder and its
// "Pictures" subfolder), or one of the program's built-in pictures, whose
// names begin "<LOCAL>=" followed by a picture set folder and a code.
// No widget code: the picture dialogs are reached through CPublishUi.
#pragma once

#include "model/display/gdi.h"
#include "platform/cstring.h"

#include <memory>

class CArchive;

// The built-in name prefix.
constexpr const char* kBuiltInPrefix = "<LOCAL>=";
// Pictures wider or higher than this are refused.
constexpr int kMaxPictureSide = 800;

// True for a built-in name: at least 9 characters beginning "<LOCAL>=".
bool IsBuiltInPictureName(const CString& name);
// The built-in name for a picture set ("Controls" or any other: icons) and
// a display name ("Button: Left", ...); no code for a display name of no row.
CString MakeBuiltInPictureName(const CString& pictureSet, const CString& displayName);
// The display names of the built-in pictures, in the dialog's order.
std::vector<CString> BuiltInDisplayNames();

class CBitmapDocument {
public:
    CBitmapDocument() = default;
    CBitmapDocument(const CBitmapDocument&) = delete;
    CBitmapDocument& operator=(const CBitmapDocument&) = delete;

    // Finds and loads a picture by name (built-in, or a file tried against
    // the design's path basePath); returns whether it loaded.
    bool OpenByName(const CString& name, const CString& basePath);
    // Loads a BMP file as it is named; false (nothing changed) when it
    // cannot be read.
    bool OpenFile(const CString& path);
    // Lets the user choose another picture (a built-in one when the current
    // name is built in, else a file); false when nothing changed.  A picture
    // over 800 x 800 is refused before anything is replaced.
    bool ChoosePicture(const CString& currentName, const CString& basePath);
    // Draws the picture into rect (with frame: a white line inside its
    // bottom and right edges), or its path in a black frame when it is not
    // loaded.
    void DrawInRect(const CRect& rect, bool frame) const;

    bool IsLoaded() const { return m_loaded; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const CString& GetPathName() const { return m_path; }
    // The path name (the picture's name) and its title, without loading.
    void SetPathName(const CString& path);
    const CString& GetTitle() const { return m_title; }
    // The picture as drawn (the built-in one when in use).
    const CBitmap* Bitmap() const;

    bool reportErrors = false;

private:
    bool TryFile(const CString& path);

    CBitmap m_bitmap;
    const CBitmap* m_builtIn = nullptr;
    bool m_loaded = false;
    int m_width = 0;
    int m_height = 0;
    CString m_path;
    CString m_title;
};

// The built-in picture of a name (cached for the program's run), or null.
const CBitmap* FindBuiltInPicture(const CString& name);
