// Colours as the model stores and passes them: 0x00BBGGRR (red in the low
// byte), the layout design files and the drawing calls use.  Surfaces are
// 32-bit QImages (0xAARRGGBB); these helpers convert at the pixel.
#pragma once

#include <QColor>
#include <cstdint>

using COLORREF = std::uint32_t;

constexpr COLORREF ColourRGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int ColourRed(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int ColourGreen(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColourBlue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Surface pixel (opaque, 0xFFRRGGBB) of a colour, and back.
constexpr std::uint32_t PixelOf(COLORREF c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColourOf(std::uint32_t pixel)
{
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}
inline QColor QColorOf(COLORREF c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
