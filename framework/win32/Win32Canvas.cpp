// The Win32 back end of the canvas target: GDI on the memory DC of the bound image, which
// keeps the platform's rules for edges, end points and text by itself. Each call sets up the
// DC (origin, clip, pen, brush, font) and puts it back as it was made, so the image's DC stays
// plain for anyone who copies from it or paints into it.
#include "Win32Api.h"
#include "Win32Graphics.h"
#include "Win32Text.h"

#include "TextLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

struct TPlatformCanvas {
    TPlatformImage* Image = nullptr;
    TPoint Offset; // where canvas coordinates (0, 0) lie on the image
    bool Clipped = false;
    TRect Clip;
    const TPlatformFont* Font = nullptr;
};

namespace {

using Platform::TBrushDesc;
using Platform::TBrushKind;
using Platform::TPenDesc;
using Platform::TPenKind;
using Platform::TRop2;
using Platform::TTextPaint;

void Bind(TPlatformCanvas& Canvas, TPlatformImage* Image, TPoint Offset) {
    Canvas.Image = Image;
    Canvas.Offset = Offset;
    Canvas.Clipped = false;
}

bool Bound(const TPlatformCanvas& Canvas) {
    return Canvas.Image && Canvas.Image->Bits;
}

RECT ToRECT(const TRect& R) {
    return {R.Left, R.Top, R.Right, R.Bottom};
}

TRect Intersection(const TRect& A, const TRect& B) {
    return Rect(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                std::min(A.Bottom, B.Bottom));
}

// A pen, brush or font made for one call, deleted after the DC has let go of it.
class TGdiObject {
public:
    explicit TGdiObject(HGDIOBJ AObject) : FObject(AObject) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    ~TGdiObject() { DeleteObject(FObject); } // stock objects ignore it
    HGDIOBJ Get() const { return FObject; }

private:
    HGDIOBJ FObject;
};

// GDI writes 0 into the alpha byte of every pixel it paints. On an image with alpha the
// pixels are marked opaque before a call; those that come back unmarked were painted and
// become opaque, the others get their alpha back.
class TAlphaKeeper {
public:
    explicit TAlphaKeeper(TPlatformImage* Image) : FImage(Image) {
        if (!FImage)
            return;
        GdiFlush();
        FAlpha.resize(Count());
        for (std::size_t I = 0; I < FAlpha.size(); ++I) {
            FAlpha[I] = static_cast<std::uint8_t>(FImage->Bits[I] >> 24);
            FImage->Bits[I] |= 0xFF000000u;
        }
    }
    TAlphaKeeper(const TAlphaKeeper&) = delete;
    TAlphaKeeper& operator=(const TAlphaKeeper&) = delete;
    ~TAlphaKeeper() {
        if (!FImage)
            return;
        GdiFlush();
        for (std::size_t I = 0; I < FAlpha.size(); ++I) {
            std::uint32_t& P = FImage->Bits[I];
            P = P >> 24 == 0xFF ? (P & 0xFFFFFFu) | std::uint32_t(FAlpha[I]) << 24
                                : P | 0xFF000000u;
        }
    }

private:
    std::size_t Count() const { return std::size_t(FImage->Width) * std::size_t(FImage->Height); }
    TPlatformImage* FImage;
    std::vector<std::uint8_t> FAlpha;
};

// Whether a call writes whole pixels of its own (copies and blends of images) rather than
// painting with GDI's zero alpha.
enum class TAlpha { Painted, Written };

// The font a DC holds between calls. Selecting a stock font costs more than most calls (a
// few microseconds under Wine), a made one much less.
HGDIOBJ RestingFont() {
    static const HFONT Font = [] {
        const LOGFONTW Log = LogFontOf({});
        return CreateFontIndirectW(&Log);
    }();
    return Font;
}

// Lets go of Font, which a call selected into Dc.
void ReleaseFont(HDC Dc) {
    if (GetCurrentObject(Dc, OBJ_FONT) != RestingFont())
        SelectObject(Dc, RestingFont());
}

// Puts back what the calls change, as CreateCompatibleDC made it but for the font; several
// times cheaper than SaveDC and RestoreDC, which cost more than most of the calls.
void MakePlain(HDC Dc) {
    SelectClipRgn(Dc, nullptr);
    SetViewportOrgEx(Dc, 0, 0, nullptr);
    SelectObject(Dc, GetStockObject(BLACK_PEN));
    SelectObject(Dc, GetStockObject(WHITE_BRUSH));
    ReleaseFont(Dc);
    SetROP2(Dc, R2_COPYPEN);
    SetBkMode(Dc, OPAQUE);
    SetBkColor(Dc, 0xFFFFFF);
    SetTextColor(Dc, 0);
    SetTextAlign(Dc, TA_LEFT | TA_TOP);
    SetBrushOrgEx(Dc, 0, 0, nullptr);
    SetStretchBltMode(Dc, BLACKONWHITE);
}

// Runs Paint on the DC of the bound image with the canvas's origin and clip; nothing when
// the canvas is bound to no pixels.
template <class F> void WithDc(TPlatformCanvas& Canvas, TAlpha Alpha, F&& Paint) {
    if (!Bound(Canvas))
        return;
    TPlatformImage& Image = *Canvas.Image;
    const HDC Dc = Image.Dc;
    {
        const TAlphaKeeper Keeper(Alpha == TAlpha::Painted && Image.HasAlpha ? &Image : nullptr);
        SetViewportOrgEx(Dc, Canvas.Offset.X, Canvas.Offset.Y, nullptr);
        if (Canvas.Clipped)
            IntersectClipRect(Dc, Canvas.Clip.Left, Canvas.Clip.Top, Canvas.Clip.Right,
                              Canvas.Clip.Bottom);
        Paint(Dc);
        MakePlain(Dc);
    }
    GdiFlush();
    ImageChanged(Image);
}

// The part of R (canvas coordinates) that painting reaches, in image coordinates.
TRect Reached(const TPlatformCanvas& Canvas, const TRect& R) {
    const TPoint O = Canvas.Offset;
    const TRect Whole = Bounds(0, 0, Canvas.Image->Width, Canvas.Image->Height);
    TRect Device = Rect(R.Left + O.X, R.Top + O.Y, R.Right + O.X, R.Bottom + O.Y);
    if (Canvas.Clipped)
        Device = Intersection(Device, Rect(Canvas.Clip.Left + O.X, Canvas.Clip.Top + O.Y,
                                           Canvas.Clip.Right + O.X, Canvas.Clip.Bottom + O.Y));
    return Intersection(Device, Whole);
}

// After an opaque image was copied into R of an image with alpha: R is opaque now.
void MakeOpaque(TPlatformCanvas& Canvas, const TRect& R) {
    if (!Bound(Canvas) || !Canvas.Image->HasAlpha)
        return;
    const TRect Part = Reached(Canvas, R);
    for (int Y = Part.Top; Y < Part.Bottom; ++Y)
        for (int X = Part.Left; X < Part.Right; ++X)
            Canvas.Image->Bits[std::size_t(Y) * Canvas.Image->Width + X] |= 0xFF000000u;
}

// ---- Pens and brushes

int Rop2Of(TRop2 Rop) {
    switch (Rop) {
    case TRop2::Black:
        return R2_BLACK;
    case TRop2::White:
        return R2_WHITE;
    case TRop2::Nop:
        return R2_NOP;
    case TRop2::Not:
        return R2_NOT;
    case TRop2::NotCopy:
        return R2_NOTCOPYPEN;
    case TRop2::Xor:
        return R2_XORPEN;
    default:
        return R2_COPYPEN;
    }
}

int PenStyleOf(TPenKind Kind) {
    switch (Kind) {
    case TPenKind::Dash:
        return PS_DASH;
    case TPenKind::Dot:
        return PS_DOT;
    case TPenKind::DashDot:
        return PS_DASHDOT;
    case TPenKind::DashDotDot:
        return PS_DASHDOTDOT;
    case TPenKind::Null:
        return PS_NULL;
    default:
        return PS_SOLID;
    }
}

// A pen for lines: round ends when wide; dashes only when one pixel wide.
HGDIOBJ LinePen(const TPenDesc& Pen) {
    if (Pen.Kind == TPenKind::Null)
        return GetStockObject(NULL_PEN);
    if (Pen.Width > 1)
        return CreatePen(PS_SOLID, Pen.Width, Pen.Color);
    return CreatePen(PenStyleOf(Pen.Kind), 1, Pen.Color);
}

// A pen for outlines: a wide one lies inside the shape, with square corners.
HGDIOBJ OutlinePen(const TPenDesc& Pen) {
    if (Pen.Kind == TPenKind::Null || Pen.Width <= 1)
        return LinePen(Pen);
    const LOGBRUSH Ink{BS_SOLID, Pen.Color, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_INSIDEFRAME | PS_ENDCAP_SQUARE | PS_JOIN_MITER,
                        DWORD(Pen.Width), &Ink, 0, nullptr);
}

int HatchOf(TBrushKind Kind) {
    switch (Kind) {
    case TBrushKind::Vertical:
        return HS_VERTICAL;
    case TBrushKind::FDiagonal:
        return HS_FDIAGONAL;
    case TBrushKind::BDiagonal:
        return HS_BDIAGONAL;
    case TBrushKind::Cross:
        return HS_CROSS;
    case TBrushKind::DiagCross:
        return HS_DIAGCROSS;
    default:
        return HS_HORIZONTAL;
    }
}

// A brush of the image's pixels, which GDI copies: a packed bottom-up DIB.
HGDIOBJ PatternBrush(const TPlatformImage& Pattern) {
    GdiFlush();
    const std::size_t Row = std::size_t(Pattern.Width);
    std::vector<std::uint32_t> Packed(sizeof(BITMAPINFOHEADER) / 4 + Row * Pattern.Height);
    auto* Header = reinterpret_cast<BITMAPINFOHEADER*>(Packed.data());
    Header->biSize = sizeof(BITMAPINFOHEADER);
    Header->biWidth = Pattern.Width;
    Header->biHeight = Pattern.Height;
    Header->biPlanes = 1;
    Header->biBitCount = 32;
    Header->biCompression = BI_RGB;
    std::uint32_t* Pixels = Packed.data() + sizeof(BITMAPINFOHEADER) / 4;
    for (int Y = 0; Y < Pattern.Height; ++Y)
        std::copy_n(Pattern.Bits + Row * Y, Row, Pixels + Row * (Pattern.Height - 1 - Y));
    return CreateDIBPatternBrushPt(Packed.data(), DIB_RGB_COLORS);
}

HGDIOBJ BrushOf(const TBrushDesc& Brush) {
    if (Brush.Kind == TBrushKind::Null)
        return GetStockObject(NULL_BRUSH);
    if (Brush.Pattern && Brush.Pattern->Bits)
        return PatternBrush(*Brush.Pattern);
    if (Brush.Kind == TBrushKind::Solid)
        return CreateSolidBrush(Brush.Color);
    return CreateHatchBrush(HatchOf(Brush.Kind), Brush.Color);
}

// Selects Brush with its pattern tiled from the canvas origin; hatches leave their gaps alone.
void UseBrush(HDC Dc, const TPlatformCanvas& Canvas, HGDIOBJ Brush) {
    SelectObject(Dc, Brush);
    SetBrushOrgEx(Dc, Canvas.Offset.X, Canvas.Offset.Y, nullptr);
    SetBkMode(Dc, TRANSPARENT);
}

// ---- Text

// Runs Measure on the DC that only measures, with Font selected for it.
template <class F> void Measuring(HGDIOBJ Font, F&& Measure) {
    const HDC Dc = MeasureDc();
    SelectObject(Dc, Font);
    Measure(Dc);
    ReleaseFont(Dc);
}

void PrepareText(HDC Dc, HGDIOBJ Font, const TTextPaint& Paint, bool Opaque) {
    SelectObject(Dc, Font);
    SetTextColor(Dc, Paint.Color);
    SetBkColor(Dc, Paint.Background);
    SetBkMode(Dc, Opaque ? OPAQUE : TRANSPARENT);
    SetTextAlign(Dc, Paint.Align);
}

int WidthOf(HDC Dc, const std::wstring& Text) {
    SIZE Size{};
    GetTextExtentPoint32W(Dc, Text.data(), int(Text.size()), &Size);
    return Size.cx;
}

// Measures byte ranges of one text with the selected font.
class TMeasure {
public:
    TMeasure(HDC ADc, const AnsiString& AText) : FDc(ADc), FText(AText) {}
    int operator()(std::size_t Start, std::size_t End) const {
        return WidthOf(FDc, WideOf(std::string_view(FText).substr(Start, End - Start)));
    }

private:
    HDC FDc;
    const AnsiString& FText;
};

// The corners of a text cell Width x Height whose top-left corner lies at (DX, DY) from the
// reference point (X, Y), turned Escapement tenths of a degree counter-clockwise around it.
std::array<POINT, 4> TurnedCell(int X, int Y, int DX, int DY, int Width, int Height,
                                int Escapement) {
    const double Angle = Escapement * std::numbers::pi / 1800.0;
    const double Cos = std::cos(Angle), Sin = std::sin(Angle);
    const auto Turn = [&](int PX, int PY) {
        return POINT{X + int(std::lround(PX * Cos + PY * Sin)),
                     Y + int(std::lround(PY * Cos - PX * Sin))};
    };
    return {Turn(DX, DY), Turn(DX + Width, DY), Turn(DX + Width, DY + Height),
            Turn(DX, DY + Height)};
}

} // namespace

void Platform::TCanvasDelete::operator()(TPlatformCanvas* Canvas) const noexcept {
    delete Canvas;
}

Platform::TCanvasPtr Platform::NewCanvas() {
    return TCanvasPtr(new TPlatformCanvas);
}

void Platform::BindImage(TPlatformCanvas& Canvas, TPlatformImage* Image) {
    Bind(Canvas, Image, {});
}

bool Platform::HasImage(const TPlatformCanvas& Canvas) {
    return Canvas.Image != nullptr;
}

void Platform::SetClipRect(TPlatformCanvas& Canvas, const TRect& R) {
    Canvas.Clipped = true;
    Canvas.Clip = R;
}

void Platform::ResetClip(TPlatformCanvas& Canvas) {
    Canvas.Clipped = false;
}

TRect Platform::ClipBox(const TPlatformCanvas& Canvas) {
    if (!Canvas.Image)
        return {};
    const TRect Part = Reached(Canvas, Bounds(-Canvas.Offset.X, -Canvas.Offset.Y,
                                              Canvas.Image->Width, Canvas.Image->Height));
    return Rect(Part.Left - Canvas.Offset.X, Part.Top - Canvas.Offset.Y,
                Part.Right - Canvas.Offset.X, Part.Bottom - Canvas.Offset.Y);
}

void Platform::SelectFont(TPlatformCanvas& Canvas, const TPlatformFont& Font) {
    Canvas.Font = &Font;
}

// ---- Shapes

void Platform::FillRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush) {
    if (Brush.Kind == TBrushKind::Null || R.Width() <= 0 || R.Height() <= 0)
        return;
    const TGdiObject Fill(BrushOf(Brush));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        UseBrush(Dc, Canvas, Fill.Get());
        const RECT Area = ToRECT(R);
        ::FillRect(Dc, &Area, static_cast<HBRUSH>(Fill.Get()));
    });
}

void Platform::FrameRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush) {
    if (Brush.Kind == TBrushKind::Null || R.Width() <= 0 || R.Height() <= 0)
        return;
    const TGdiObject Frame(BrushOf(Brush));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        UseBrush(Dc, Canvas, Frame.Get());
        const RECT Area = ToRECT(R);
        ::FrameRect(Dc, &Area, static_cast<HBRUSH>(Frame.Get()));
    });
}

void Platform::Rectangle(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen,
                         const TBrushDesc& Brush) {
    if (Pen.Rop == TRop2::Nop)
        return;
    const TGdiObject Outline(OutlinePen(Pen)), Fill(BrushOf(Brush));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        SelectObject(Dc, Outline.Get());
        UseBrush(Dc, Canvas, Fill.Get());
        SetROP2(Dc, Rop2Of(Pen.Rop));
        ::Rectangle(Dc, R.Left, R.Top, R.Right, R.Bottom);
    });
}

void Platform::Ellipse(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen,
                       const TBrushDesc& Brush) {
    if (Pen.Rop == TRop2::Nop)
        return;
    const TGdiObject Outline(OutlinePen(Pen)), Fill(BrushOf(Brush));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        SelectObject(Dc, Outline.Get());
        UseBrush(Dc, Canvas, Fill.Get());
        SetROP2(Dc, Rop2Of(Pen.Rop));
        ::Ellipse(Dc, R.Left, R.Top, R.Right, R.Bottom);
    });
}

void Platform::Line(TPlatformCanvas& Canvas, TPoint From, TPoint To, const TPenDesc& Pen) {
    if (Pen.Kind == TPenKind::Null || Pen.Rop == TRop2::Nop)
        return;
    const TGdiObject Ink(LinePen(Pen));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        SelectObject(Dc, Ink.Get());
        SetROP2(Dc, Rop2Of(Pen.Rop));
        SetBkMode(Dc, TRANSPARENT);
        MoveToEx(Dc, From.X, From.Y, nullptr);
        LineTo(Dc, To.X, To.Y);
    });
}

// ---- Text

Platform::TTextMetrics Platform::TextMetrics(const TPlatformCanvas& Canvas) {
    const TEXTMETRICW& M = Canvas.Font->Metrics;
    return {int(M.tmAscent), int(M.tmDescent)};
}

int Platform::TextWidth(const TPlatformCanvas& Canvas, const AnsiString& Text) {
    int Width = 0;
    Measuring(Canvas.Font->Font, [&](HDC Dc) { Width = WidthOf(Dc, WideOf(Text)); });
    return Width;
}

int Platform::TextOut(TPlatformCanvas& Canvas, int X, int Y, const AnsiString& Text,
                      const TTextPaint& Paint) {
    const std::wstring Wide = WideOf(Text);
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        PrepareText(Dc, Canvas.Font->Font, Paint, Paint.Opaque);
        TextOutW(Dc, X, Y, Wide.data(), int(Wide.size()));
    });
    return TextWidth(Canvas, Text);
}

void Platform::TextRect(TPlatformCanvas& Canvas, const TRect& R, int X, int Y,
                        const AnsiString& Text, const TTextPaint& Paint) {
    const std::wstring Wide = WideOf(Text);
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        PrepareText(Dc, Canvas.Font->Font, Paint, false);
        const RECT Area = ToRECT(R);
        ExtTextOutW(Dc, X, Y, ETO_CLIPPED | (Paint.Opaque ? ETO_OPAQUE : 0), &Area, Wide.data(),
                    UINT(Wide.size()), nullptr);
    });
}

// GDI leaves the background of turned text to the driver (Wine paints none, and places the
// glyphs of some angles a pixel outside their cell), so the turned cell is filled here and
// the text kept within it.
void Platform::TextOutRotated(TPlatformCanvas& Canvas, int X, int Y, int Escapement,
                              const AnsiString& Text, const TTextPaint& Paint) {
    LOGFONTW Log = Canvas.Font->Log;
    Log.lfEscapement = Log.lfOrientation = Escapement;
    const TGdiObject Turned(CreateFontIndirectW(&Log)), Back(CreateSolidBrush(Paint.Background));
    const std::wstring Wide = WideOf(Text);
    const TEXTMETRICW& M = Canvas.Font->Metrics;
    const int Width = TextWidth(Canvas, Text);
    int DX = 0, DY = 0;
    if ((Paint.Align & TA_CENTER) == TA_CENTER)
        DX = -Width / 2;
    else if (Paint.Align & TA_RIGHT)
        DX = -Width;
    if ((Paint.Align & TA_BASELINE) == TA_BASELINE)
        DY = -M.tmAscent;
    else if (Paint.Align & TA_BOTTOM)
        DY = -M.tmHeight;
    const std::array<POINT, 4> Cell = TurnedCell(X, Y, DX, DY, Width, M.tmHeight, Escapement);
    std::array<POINT, 4> OnImage = Cell;
    for (POINT& P : OnImage) {
        P.x += Canvas.Offset.X;
        P.y += Canvas.Offset.Y;
    }
    const TGdiObject Within(CreatePolygonRgn(OnImage.data(), int(OnImage.size()), WINDING));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        if (Paint.Opaque) {
            SelectObject(Dc, GetStockObject(NULL_PEN));
            SelectObject(Dc, Back.Get());
            Polygon(Dc, Cell.data(), int(Cell.size()));
        }
        ExtSelectClipRgn(Dc, static_cast<HRGN>(Within.Get()), RGN_AND);
        PrepareText(Dc, Turned.Get(), Paint, false);
        TextOutW(Dc, X, Y, Wide.data(), int(Wide.size()));
    });
}

// Laid out here rather than by DrawTextW, whose breaks, measures and centring differ between
// Windows and Wine.
int Platform::DrawText(TPlatformCanvas& Canvas, const AnsiString& Text, TRect& R, unsigned Format,
                       const TTextPaint& Paint) {
    TTextLines Layout;
    std::vector<int> Widths;
    Measuring(Canvas.Font->Font, [&](HDC Dc) {
        const TMeasure Measure(Dc, Layout.Text);
        LayOutText(Text, Format, R.Width(), Measure, Layout);
        for (const auto& [Start, End] : Layout.Lines)
            Widths.push_back(Measure(Start, End));
    });
    const TEXTMETRICW& M = Canvas.Font->Metrics;
    const int LineHeight = M.tmHeight;
    const int Height = LineHeight * static_cast<int>(Layout.Lines.size());
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + (Widths.empty() ? 0 : *std::max_element(Widths.begin(), Widths.end()));
        R.Bottom = R.Top + Height;
        return Height;
    }
    int Top = R.Top;
    if ((Format & DT_SINGLELINE) && (Format & DT_VCENTER))
        Top = R.Top + (R.Height() - LineHeight) / 2;
    else if ((Format & DT_SINGLELINE) && (Format & DT_BOTTOM))
        Top = R.Bottom - LineHeight;
    const TGdiObject Ink(CreateSolidBrush(Paint.Color));
    WithDc(Canvas, TAlpha::Painted, [&](HDC Dc) {
        PrepareText(Dc, Canvas.Font->Font, Paint, Paint.Opaque);
        SetTextAlign(Dc, TA_LEFT | TA_TOP);
        if (!(Format & DT_NOCLIP))
            IntersectClipRect(Dc, R.Left, R.Top, R.Right, R.Bottom);
        const TMeasure Measure(Dc, Layout.Text);
        for (std::size_t I = 0; I < Layout.Lines.size(); ++I) {
            const auto [Start, End] = Layout.Lines[I];
            int X = R.Left;
            if (Format & DT_CENTER)
                X = R.Left + (R.Width() - Widths[I]) / 2;
            else if (Format & DT_RIGHT)
                X = R.Right - Widths[I];
            const int Y = Top + LineHeight * static_cast<int>(I);
            const std::wstring Line =
                WideOf(std::string_view(Layout.Text).substr(Start, End - Start));
            TextOutW(Dc, X, Y, Line.data(), int(Line.size()));
            if (Layout.Accel < Start || Layout.Accel >= End)
                continue;
            const int KeyX = X + Measure(Start, Layout.Accel);
            const int KeyWidth =
                Measure(Layout.Accel, Layout.Accel + CharLength(Layout.Text, Layout.Accel));
            const RECT Underline{KeyX, Y + M.tmAscent + 1, KeyX + KeyWidth, Y + M.tmAscent + 2};
            ::FillRect(Dc, &Underline, static_cast<HBRUSH>(Ink.Get()));
        }
    });
    return Top - R.Top + Height;
}

// ---- Pixels and images

std::optional<Platform::TRGB> Platform::Pixel(const TPlatformCanvas& Canvas, int X, int Y) {
    const int IX = X + Canvas.Offset.X, IY = Y + Canvas.Offset.Y;
    if (!Bound(Canvas) || IX < 0 || IY < 0 || IX >= Canvas.Image->Width ||
        IY >= Canvas.Image->Height)
        return std::nullopt;
    GdiFlush();
    const std::uint32_t P = Canvas.Image->Bits[std::size_t(IY) * Canvas.Image->Width + IX];
    const unsigned Alpha = Canvas.Image->HasAlpha ? P >> 24 : 255;
    const auto Channel = [&](int Shift) {
        const unsigned C = (P >> Shift) & 0xFF;
        return Alpha ? int(std::min(255u, (C * 255 + Alpha / 2) / Alpha)) : 0;
    };
    return RGB(Channel(16), Channel(8), Channel(0));
}

void Platform::SetPixel(TPlatformCanvas& Canvas, int X, int Y, TRGB Color) {
    if (!Bound(Canvas) || Reached(Canvas, Bounds(X, Y, 1, 1)).Width() <= 0)
        return;
    GdiFlush();
    TPlatformImage& Image = *Canvas.Image;
    Image.Bits[std::size_t(Y + Canvas.Offset.Y) * Image.Width + X + Canvas.Offset.X] =
        0xFF000000u | std::uint32_t(GetRValue(Color)) << 16 | std::uint32_t(GetGValue(Color)) << 8 |
        std::uint32_t(GetBValue(Color));
    ImageChanged(Image);
}

namespace {

// Image into R: blended by its alpha, else copied.
void Blit(TPlatformCanvas& Canvas, const TRect& R, const TPlatformImage& Image) {
    if (!Image.Bits || R.Width() <= 0 || R.Height() <= 0)
        return;
    WithDc(Canvas, TAlpha::Written, [&](HDC Dc) {
        if (Image.HasAlpha) {
            const BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(Dc, R.Left, R.Top, R.Width(), R.Height(), Image.Dc, 0, 0, Image.Width,
                       Image.Height, Blend);
            return;
        }
        SetStretchBltMode(Dc, COLORONCOLOR);
        StretchBlt(Dc, R.Left, R.Top, R.Width(), R.Height(), Image.Dc, 0, 0, Image.Width,
                   Image.Height, SRCCOPY);
    });
    if (!Image.HasAlpha)
        MakeOpaque(Canvas, R);
}

} // namespace

void Platform::DrawImage(TPlatformCanvas& Canvas, int X, int Y, const TPlatformImage& Image) {
    Blit(Canvas, Bounds(X, Y, Image.Width, Image.Height), Image);
}

void Platform::StretchImage(TPlatformCanvas& Canvas, const TRect& R, const TPlatformImage& Image) {
    Blit(Canvas, R, Image);
}

void Platform::CopyRect(TPlatformCanvas& Canvas, const TRect& DestRect,
                        const TPlatformCanvas& Source, const TRect& SourceRect) {
    if (!Bound(Source) || SourceRect.Width() <= 0 || SourceRect.Height() <= 0)
        return;
    // A copy of the part first, because the source may be this canvas's own image.
    const TImagePtr Part = NewImage();
    ResizeImage(*Part, SourceRect.Width(), SourceRect.Height());
    BitBlt(Part->Dc, 0, 0, Part->Width, Part->Height, Source.Image->Dc,
           SourceRect.Left + Source.Offset.X, SourceRect.Top + Source.Offset.Y, SRCCOPY);
    WithDc(Canvas, TAlpha::Written, [&](HDC Dc) {
        SetStretchBltMode(Dc, COLORONCOLOR);
        StretchBlt(Dc, DestRect.Left, DestRect.Top, DestRect.Width(), DestRect.Height(), Part->Dc,
                   0, 0, Part->Width, Part->Height, SRCCOPY);
    });
    if (!Source.Image->HasAlpha)
        MakeOpaque(Canvas, DestRect);
}

// ---- What the rest of the back end binds canvases to

void TGraphicsAccess::BeginPaint(TCanvas& Canvas, TPlatformImage& Image, TPoint Offset) {
    Bind(Canvas.Target(), &Image, Offset);
}

void TGraphicsAccess::EndPaint(TCanvas& Canvas) {
    Bind(Canvas.Target(), nullptr, {});
}
