// Win32 glue of the graphics unit, for the Win32 back end and its tests only: what the images,
// fonts and canvases of the platform interface hold, colours as COLORREF, and the fonts native
// controls are given.
#pragma once

#include "Win32Api.h"

#include <cstdint>

// A 32-bit top-down DIB section, selected for its whole life into a memory DC of its own, so
// that it can be painted on and copied from at any time. Pixels are 0xAARRGGBB. Without
// HasAlpha the image is opaque and the top byte means nothing (GDI writes 0 there); with it
// the top byte is the alpha and the colour is premultiplied by it.
struct TPlatformImage {
    TPlatformImage() = default;
    TPlatformImage(const TPlatformImage&) = delete;
    TPlatformImage& operator=(const TPlatformImage&) = delete;
    ~TPlatformImage();

    HDC Dc = nullptr;         // null while the image is empty
    HBITMAP Bitmap = nullptr; // null while the image is empty
    std::uint32_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;
    std::int64_t Version = 0;
};

// Gives Image a new version; for code that paints on Image.Dc or writes Image.Bits itself.
void ImageChanged(TPlatformImage& Image);

// A font made for painting, with what it measures.
struct TPlatformFont {
    explicit TPlatformFont(const LOGFONTW& ALog);
    TPlatformFont(const TPlatformFont&) = delete;
    TPlatformFont& operator=(const TPlatformFont&) = delete;
    ~TPlatformFont();

    LOGFONTW Log;
    HFONT Font;
    TEXTMETRICW Metrics;
};

// A memory DC that measures text, kept for the program's life.
HDC MeasureDc();
// The LOGFONT of Desc: its height, weight, style and character set, not antialiased.
LOGFONTW LogFontOf(const Platform::TFontDesc& Desc);
// The font native controls are given (WM_SETFONT) for Font: made once for each description
// and kept for the program's life.
HFONT FontHandle(const TFont& Font);

inline COLORREF ToColorRef(TColor Color) {
    return ColorToRGB(Color);
}
inline TColor FromColorRef(COLORREF Color) {
    return static_cast<TColor>(Color & 0xFFFFFF);
}

// What the layer's platform side reaches of canvases and graphics: the images they paint on.
class TGraphicsAccess {
public:
    // Binds Canvas to Image for the time of a paint; Offset moves the origin.
    static void BeginPaint(TCanvas& Canvas, TPlatformImage& Image, TPoint Offset = {});
    static void EndPaint(TCanvas& Canvas);
    static const TPlatformImage& Image(const TGraphic& Graphic) { return Graphic.Image(); }
    static TPlatformImage& Image(TBitmap& Bitmap) { return *Bitmap.FImage; }
};
