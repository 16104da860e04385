// What the graphics unit needs of the platform: images, fonts and a canvas target that paints
// on an image with the platform's rules. Each call maps to one GDI call (or a few) on a memory
// DC with a DIB section selected into it.
#pragma once

#include "Classes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A 32-bit image: a DIB section on Win32. Only the back end looks into it.
struct TPlatformImage;
// A font made for painting: an HFONT on Win32.
struct TPlatformFont;
// What painting goes through, bound to an image or to nothing: a memory DC on Win32. It holds
// the image, the origin, the clip rectangle and the selected font.
struct TPlatformCanvas;

namespace Platform {

// A colour as the platform's RGB value, $00BBGGRR (a COLORREF); system colours are resolved
// before they reach the platform.
using TRGB = std::uint32_t;

// The RGB value of system colour Index (GetSysColor), from the running style's palette; 0 for
// an index the platform does not know.
TRGB SystemColor(int Index);

// ---- Images

struct TImageDelete {
    void operator()(TPlatformImage* Image) const noexcept;
};
using TImagePtr = std::unique_ptr<TPlatformImage, TImageDelete>;

// An empty image: no pixels, 0 x 0.
TImagePtr NewImage();
int ImageWidth(const TPlatformImage& Image);
int ImageHeight(const TPlatformImage& Image);
bool ImageEmpty(const TPlatformImage& Image);
// Dest becomes a copy of Source (an empty Source empties Dest), with Source's version;
// canvases bound to Dest stay bound to it.
void CopyImage(TPlatformImage& Dest, const TPlatformImage& Source);
// Resizes to Width x Height (at least 0): new pixels are white, the old pixels that still fit
// are kept, and an image with an alpha channel keeps it.
void ResizeImage(TPlatformImage& Image, int Width, int Height);
// Decodes an image file in a format the platform reads (BMP, PNG, ICO, ...) into Image, as 32
// bits with or without alpha as the file has it; false leaves Image as it was.
bool LoadImage(TPlatformImage& Image, const std::string& Bytes);
// The image as a PNG file; empty for an empty image.
std::string SaveImagePng(const TPlatformImage& Image);
// A value that changes whenever the image's pixels or size change (painting, resizing, loading,
// copying into it), unique among the images: equal values mean equal pixels.
std::int64_t ImageVersion(const TPlatformImage& Image);

// ---- Fonts

struct TFontDelete {
    void operator()(TPlatformFont* Font) const noexcept;
};
using TFontPtr = std::unique_ptr<TPlatformFont, TFontDelete>;

// A font as LOGFONT describes it. Name is code page 932 bytes; a name that is not installed
// (the platform's Japanese system fonts included) stands for an installed font. Height < 0 is
// the character height in pixels, > 0 the cell height (character plus internal leading), 0 the
// platform's default. Text drawn with it is not antialiased.
struct TFontDesc {
    AnsiString Name;
    int Height = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int Charset = 0;
    bool operator==(const TFontDesc&) const = default;
};

TFontPtr NewFont(const TFontDesc& Desc);

struct TTextMetrics {
    int Ascent = 0;  // pixels above the baseline
    int Descent = 0; // pixels below it; Ascent + Descent is the height of a line
};

// ---- The canvas target

struct TCanvasDelete {
    void operator()(TPlatformCanvas* Canvas) const noexcept;
};
using TCanvasPtr = std::unique_ptr<TPlatformCanvas, TCanvasDelete>;

// A target bound to no image: it measures text but paints nothing.
TCanvasPtr NewCanvas();
// Binds Canvas to Image (nullptr: to none) with its origin at the image's top-left corner and no
// clip. The image must outlive the binding.
void BindImage(TPlatformCanvas& Canvas, TPlatformImage* Image);
bool HasImage(const TPlatformCanvas& Canvas);
// Restricts painting to R (canvas coordinates) until ResetClip or the next binding.
void SetClipRect(TPlatformCanvas& Canvas, const TRect& R);
void ResetClip(TPlatformCanvas& Canvas);
// The area painting may reach, in canvas coordinates (GetClipBox): the clip rectangle within
// the image, or the whole image; empty when unbound.
TRect ClipBox(const TPlatformCanvas& Canvas);

// Text is measured and drawn with the selected font, which must outlive its selection. Select
// one before any call of the text part below.
void SelectFont(TPlatformCanvas& Canvas, const TPlatformFont& Font);

// Calls on a target bound to no image paint nothing. Rectangles exclude their right and bottom
// edges; an empty one paints nothing.

// Raster operations of the pen (the R2_ codes): Black and White paint that colour, Nop
// nothing, Not inverts the destination, NotCopy paints the pen colour inverted, Xor combines.
enum class TRop2 { Black, White, Nop, Not, Copy, NotCopy, Xor };
enum class TPenKind { Solid, Dash, Dot, DashDot, DashDotDot, Null };
// A pen of Width pixels (0 counts as 1). Dashed kinds apply to one-pixel pens; their pattern
// starts afresh with each line.
struct TPenDesc {
    TRGB Color = 0;
    int Width = 1;
    TPenKind Kind = TPenKind::Solid;
    TRop2 Rop = TRop2::Copy;
};
enum class TBrushKind { Solid, Null, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
// A Null brush paints nothing; a Pattern tiles that image from the canvas origin (a pattern
// brush) and takes the place of Kind and Color.
struct TBrushDesc {
    TRGB Color = 0;
    TBrushKind Kind = TBrushKind::Solid;
    const TPlatformImage* Pattern = nullptr;
};

// Fills R with Brush (FillRect).
void FillRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush);
// Paints the one-pixel border inside R with Brush (FrameRect).
void FrameRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush);
// R outlined with the pen, Width pixels inward, and the inside filled with Brush; Not, NotCopy
// and Xor apply to both. With a Null pen the shape loses its right column and bottom row.
void Rectangle(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen,
               const TBrushDesc& Brush);
// The ellipse inscribed in R (right and bottom edges excluded), outlined and filled.
void Ellipse(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen, const TBrushDesc& Brush);
// A line from From towards To, To itself left out (LineTo); a pen wider than a pixel has round
// ends and paints both end points.
void Line(TPlatformCanvas& Canvas, TPoint From, TPoint To, const TPenDesc& Pen);

// ---- Text

// How text is painted: in Color, with its cell filled with Background first when Opaque (the
// background mode); Align holds the TA_ flags of Graphics.h, placing the reference point.
struct TTextPaint {
    TRGB Color = 0;
    TRGB Background = 0;
    bool Opaque = false;
    unsigned Align = 0;
};

TTextMetrics TextMetrics(const TPlatformCanvas& Canvas);
// The advance width of Text (code page 932 bytes) in pixels (GetTextExtentPoint32).
int TextWidth(const TPlatformCanvas& Canvas, const AnsiString& Text);
// Text with its reference point at (X, Y) (TextOut); returns its width.
int TextOut(TPlatformCanvas& Canvas, int X, int Y, const AnsiString& Text, const TTextPaint& Paint);
// Text clipped to R, R filled with Paint.Background first when Paint.Opaque; the text itself
// is drawn without a background (ExtTextOut with ETO_CLIPPED, ETO_OPAQUE).
void TextRect(TPlatformCanvas& Canvas, const TRect& R, int X, int Y, const AnsiString& Text,
              const TTextPaint& Paint);
// Text turned Escapement tenths of a degree counter-clockwise around its reference point
// (X, Y) (TextOut with a font of that escapement).
void TextOutRotated(TPlatformCanvas& Canvas, int X, int Y, int Escapement, const AnsiString& Text,
                    const TTextPaint& Paint);
// Text laid out in R by the DT_ flags of Graphics.h (DrawText): lines broken at line breaks,
// and with DT_WORDBREAK after spaces or at double-byte characters; "&" marks the next
// character as underlined and "&&" stands for "&" unless DT_NOPREFIX. Each line's cell is
// filled when Paint.Opaque; Paint.Align is not used. Returns the height of the text drawn
// (with DT_VCENTER or DT_BOTTOM on a single line: from R.Top to the text's bottom); with
// DT_CALCRECT draws nothing and sets R.Right and R.Bottom to the text's extent.
int DrawText(TPlatformCanvas& Canvas, const AnsiString& Text, TRect& R, unsigned Format,
             const TTextPaint& Paint);

// ---- Pixels and images

// The pixel at (X, Y), nothing outside the image.
std::optional<TRGB> Pixel(const TPlatformCanvas& Canvas, int X, int Y);
// Sets the pixel at (X, Y) within the image and the clip rectangle.
void SetPixel(TPlatformCanvas& Canvas, int X, int Y, TRGB Color);
// Image with its top-left corner at (X, Y), blended by its alpha (BitBlt, AlphaBlend).
void DrawImage(TPlatformCanvas& Canvas, int X, int Y, const TPlatformImage& Image);
// Image stretched to fill R (StretchBlt).
void StretchImage(TPlatformCanvas& Canvas, const TRect& R, const TPlatformImage& Image);
// Source's pixels in SourceRect copied into DestRect of Canvas, stretched to fit and replacing
// what was there (StretchBlt with SRCCOPY); Source may be Canvas itself.
void CopyRect(TPlatformCanvas& Canvas, const TRect& DestRect, const TPlatformCanvas& Source,
              const TRect& SourceRect);

} // namespace Platform
