// The Qt back end of the canvas target: a QPainter on the bound QImage for each call, without
// antialiasing, keeping the platform's rules for edges, end points and text. Canvas coordinates
// are logical pixels; an image of a high-density screen has more device pixels to each, and
// fills and lines cover the device pixels of their logical pixels while text and images are
// drawn at the device size.
#include "PlatformCanvas.h"
#include "QtGraphics.h"
#include "QtText.h"
#include "TextLayout.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <span>
#include <vector>

struct TPlatformCanvas {
    QImage* Image = nullptr;
    TPoint Offset;     // where canvas coordinates (0, 0) lie on the image, in logical pixels
    TDeviceMap Device; // how the image's pixels lie under logical coordinates
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

void Bind(TPlatformCanvas& Canvas, QImage* Image, TPoint Offset, const TDeviceMap& Device) {
    Canvas.Image = Image;
    Canvas.Offset = Offset;
    Canvas.Device = Device;
    Canvas.Clipped = false;
}

QRect DeviceRect(const TPlatformCanvas& Canvas, const TRect& R) {
    const TPoint O = Canvas.Offset;
    return Canvas.Device.Rect(Rect(R.Left + O.X, R.Top + O.Y, R.Right + O.X, R.Bottom + O.Y));
}

QPoint DevicePoint(const TPlatformCanvas& Canvas, int X, int Y) {
    return {Canvas.Device.X(X + Canvas.Offset.X), Canvas.Device.Y(Y + Canvas.Offset.Y)};
}

// Painters start in device pixels; text, ellipses and wide lines are drawn in canvas
// coordinates, which this maps onto them.
QTransform CanvasTransform(const TPlatformCanvas& Canvas) {
    const TDeviceMap& D = Canvas.Device;
    return QTransform(D.Ratio, 0, 0, D.Ratio, D.Phase.x() + D.Ratio * Canvas.Offset.X,
                      D.Phase.y() + D.Ratio * Canvas.Offset.Y);
}

// The usual case, an unmoved canvas on an image of ratio 1, leaves the painter as it is.
void UseCanvasCoordinates(QPainter& P, const TPlatformCanvas& Canvas) {
    const QTransform ToDevice = CanvasTransform(Canvas);
    if (!ToDevice.isIdentity())
        P.setTransform(ToDevice);
}

void UseDevicePixels(QPainter& P) {
    if (!P.transform().isIdentity())
        P.resetTransform();
}

template <class F> void WithPainter(TPlatformCanvas& Canvas, F&& Paint) {
    if (!Canvas.Image || Canvas.Image->isNull())
        return;
    QPainter P(Canvas.Image);
    P.setRenderHint(QPainter::TextAntialiasing, false);
    if (Canvas.Clipped)
        P.setClipRect(DeviceRect(Canvas, Canvas.Clip));
    Paint(P);
}

// ---- Pens and brushes

QPainter::CompositionMode CompositionOf(TRop2 Rop) {
    switch (Rop) {
    case TRop2::Not:
        return QPainter::RasterOp_NotDestination;
    case TRop2::Xor:
        return QPainter::RasterOp_SourceXorDestination;
    case TRop2::NotCopy:
        return QPainter::RasterOp_NotSource;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

bool PenDraws(const TPenDesc& Pen) {
    return Pen.Kind != TPenKind::Null && Pen.Rop != TRop2::Nop;
}

void PreparePen(QPainter& P, const TPenDesc& Pen, int Width) {
    P.setCompositionMode(CompositionOf(Pen.Rop));
    QColor Color = RGBToQColor(Pen.Color);
    if (Pen.Rop == TRop2::Black)
        Color = Qt::black;
    else if (Pen.Rop == TRop2::White)
        Color = Qt::white;
    P.setPen(QPen(Color, Width, Qt::SolidLine, Qt::RoundCap));
}

// On and off runs of the platform's one-pixel styled pens.
std::span<const int> DashPattern(TPenKind Kind) {
    static constexpr int Dash[] = {18, 6};
    static constexpr int Dot[] = {3, 3};
    static constexpr int DashDot[] = {9, 6, 3, 6};
    static constexpr int DashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (Kind) {
    case TPenKind::Dash:
        return Dash;
    case TPenKind::Dot:
        return Dot;
    case TPenKind::DashDot:
        return DashDot;
    case TPenKind::DashDotDot:
        return DashDotDot;
    default:
        return {};
    }
}

// The pixels of a one-pixel line from From towards To, To itself left out.
std::vector<QPoint> LinePixels(TPoint From, TPoint To, TPenKind Kind) {
    std::vector<QPoint> Points;
    const std::span<const int> Pattern = DashPattern(Kind);
    std::size_t Run = 0;
    int InRun = 0;
    const int DX = std::abs(To.X - From.X), DY = -std::abs(To.Y - From.Y);
    const int SX = From.X < To.X ? 1 : -1, SY = From.Y < To.Y ? 1 : -1;
    int Err = DX + DY;
    for (TPoint P = From; P != To;) {
        if (Pattern.empty() || Run % 2 == 0)
            Points.emplace_back(P.X, P.Y);
        if (!Pattern.empty() && ++InRun == Pattern[Run]) {
            InRun = 0;
            Run = (Run + 1) % Pattern.size();
        }
        const int E2 = 2 * Err;
        if (E2 >= DY) {
            Err += DY;
            P.X += SX;
        }
        if (E2 <= DX) {
            Err += DX;
            P.Y += SY;
        }
    }
    return Points;
}

// Pixels of a line in runs along a row or a column, each run as one rectangle.
std::vector<TRect> PixelRuns(const std::vector<QPoint>& Points) {
    std::vector<TRect> Runs;
    for (const QPoint& P : Points) {
        if (!Runs.empty()) {
            TRect& R = Runs.back();
            const bool InRow = R.Height() == 1 && P.y() == R.Top;
            const bool InColumn = R.Width() == 1 && P.x() == R.Left;
            if (InRow && (P.x() == R.Right || P.x() == R.Left - 1)) {
                R.Left = std::min(R.Left, P.x());
                R.Right = std::max(R.Right, P.x() + 1);
                continue;
            }
            if (InColumn && (P.y() == R.Bottom || P.y() == R.Top - 1)) {
                R.Top = std::min(R.Top, P.y());
                R.Bottom = std::max(R.Bottom, P.y() + 1);
                continue;
            }
        }
        Runs.push_back(Bounds(P.x(), P.y(), 1, 1));
    }
    return Runs;
}

// A one-pixel line's pixels in the pen's colour and raster operation; at a ratio above 1 each
// covers the device pixels of its logical pixel.
void DrawPixels(QPainter& P, const TPlatformCanvas& Canvas, const std::vector<QPoint>& Points) {
    if (Canvas.Device.Identity()) {
        UseCanvasCoordinates(P, Canvas);
        P.drawPoints(Points.data(), static_cast<int>(Points.size()));
        UseDevicePixels(P);
        return;
    }
    const QColor Ink = P.pen().color();
    for (const TRect& Run : PixelRuns(Points))
        P.fillRect(DeviceRect(Canvas, Run), Ink);
}

void DrawLinePixels(QPainter& P, const TPlatformCanvas& Canvas, TPoint From, TPoint To,
                    TPenKind Kind) {
    DrawPixels(P, Canvas, LinePixels(From, To, Kind));
}

QBrush HatchBrush(TBrushKind Kind, const QColor& Color) {
    switch (Kind) {
    case TBrushKind::Horizontal:
        return QBrush(Color, Qt::HorPattern);
    case TBrushKind::Vertical:
        return QBrush(Color, Qt::VerPattern);
    case TBrushKind::FDiagonal:
        return QBrush(Color, Qt::FDiagPattern);
    case TBrushKind::BDiagonal:
        return QBrush(Color, Qt::BDiagPattern);
    case TBrushKind::Cross:
        return QBrush(Color, Qt::CrossPattern);
    case TBrushKind::DiagCross:
        return QBrush(Color, Qt::DiagCrossPattern);
    default:
        return QBrush(Color);
    }
}

QBrush ToQBrush(const TBrushDesc& Brush) {
    if (Brush.Kind == TBrushKind::Null)
        return QBrush();
    if (Brush.Pattern && !Brush.Pattern->Image.isNull())
        return QBrush(Brush.Pattern->Image);
    return HatchBrush(Brush.Kind, RGBToQColor(Brush.Color));
}

// One repeat of a hatch brush's lines, its other pixels transparent.
QImage HatchTile(const QBrush& Hatch) {
    constexpr int Repeat = 8;
    QImage Tile(Repeat, Repeat, QImage::Format_ARGB32_Premultiplied);
    Tile.fill(Qt::transparent);
    QPainter(&Tile).fillRect(Tile.rect(), Hatch);
    return Tile;
}

// Hatches and patterns tile from the canvas origin, each of their pixels as large as a logical
// pixel.
void FillWithBrush(QPainter& P, const TPlatformCanvas& Canvas, const TRect& R,
                   const TBrushDesc& Brush) {
    if (Brush.Kind == TBrushKind::Null || R.Width() <= 0 || R.Height() <= 0)
        return;
    QBrush Fill = ToQBrush(Brush);
    const QTransform Tiles = CanvasTransform(Canvas);
    if (Fill.style() != Qt::SolidPattern && !Tiles.isIdentity()) {
        // The toolkit's hatches keep their device size under a transform; a tile of one does not.
        if (Fill.style() != Qt::TexturePattern)
            Fill = QBrush(HatchTile(Fill));
        Fill.setTransform(Tiles);
    }
    P.fillRect(DeviceRect(Canvas, R), Fill);
}

// ---- Text

TPoint TextOrigin(const TPlatformCanvas& Canvas, int X, int Y, int Width, unsigned Align) {
    const QFontMetrics& M = Canvas.Font->Metrics;
    if ((Align & TA_CENTER) == TA_CENTER)
        X -= Width / 2;
    else if (Align & TA_RIGHT)
        X -= Width;
    if ((Align & TA_BASELINE) == TA_BASELINE)
        Y -= M.ascent();
    else if (Align & TA_BOTTOM)
        Y -= M.ascent() + M.descent();
    return {X, Y};
}

TRect TextCell(const TPlatformCanvas& Canvas, TPoint Origin, int Width) {
    const QFontMetrics& M = Canvas.Font->Metrics;
    return Bounds(Origin.X, Origin.Y, Width, M.ascent() + M.descent());
}

// The glyphs alone, the painter in canvas coordinates: the font engine draws them at the
// device size.
void DrawGlyphs(QPainter& P, const TPlatformCanvas& Canvas, TPoint Origin, const QString& Text,
                const TTextPaint& Paint) {
    P.setFont(Canvas.Font->Font);
    P.setPen(RGBToQColor(Paint.Color));
    P.drawText(QPoint(Origin.X, Origin.Y + Canvas.Font->Metrics.ascent()), Text);
}

// Text unturned, the painter in device pixels before and after.
void DrawTextAt(QPainter& P, const TPlatformCanvas& Canvas, TPoint Origin, const QString& Text,
                int Width, const TTextPaint& Paint, bool Opaque) {
    if (Opaque)
        P.fillRect(DeviceRect(Canvas, TextCell(Canvas, Origin, Width)),
                   RGBToQColor(Paint.Background));
    UseCanvasCoordinates(P, Canvas);
    DrawGlyphs(P, Canvas, Origin, Text, Paint);
    UseDevicePixels(P);
}

} // namespace

void Platform::TCanvasDelete::operator()(TPlatformCanvas* Canvas) const noexcept {
    delete Canvas;
}

Platform::TCanvasPtr Platform::NewCanvas() {
    return TCanvasPtr(new TPlatformCanvas);
}

void Platform::BindImage(TPlatformCanvas& Canvas, TPlatformImage* Image) {
    Bind(Canvas, Image ? &Image->Image : nullptr, {}, {});
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
    const TPoint O = Canvas.Offset;
    const TDeviceMap& D = Canvas.Device;
    const TRect Whole = Canvas.Image ? Bounds(-O.X, -O.Y, D.LogicalX(Canvas.Image->width()),
                                              D.LogicalY(Canvas.Image->height()))
                                     : TRect{};
    if (!Canvas.Clipped)
        return Whole;
    const TRect& C = Canvas.Clip;
    return Rect(std::max(C.Left, Whole.Left), std::max(C.Top, Whole.Top),
                std::min(C.Right, Whole.Right), std::min(C.Bottom, Whole.Bottom));
}

void Platform::SelectFont(TPlatformCanvas& Canvas, const TPlatformFont& Font) {
    Canvas.Font = &Font;
}

// ---- Shapes

void Platform::FillRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush) {
    WithPainter(Canvas, [&](QPainter& P) { FillWithBrush(P, Canvas, R, Brush); });
}

void Platform::FrameRect(TPlatformCanvas& Canvas, const TRect& R, const TBrushDesc& Brush) {
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    WithPainter(Canvas, [&](QPainter& P) {
        FillWithBrush(P, Canvas, Rect(R.Left, R.Top, R.Right, R.Top + 1), Brush);
        FillWithBrush(P, Canvas, Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), Brush);
        FillWithBrush(P, Canvas, Rect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1), Brush);
        FillWithBrush(P, Canvas, Rect(R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1), Brush);
    });
}

void Platform::Rectangle(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen,
                         const TBrushDesc& Brush) {
    if (Pen.Rop == TRop2::Nop)
        return;
    const int X1 = R.Left, Y1 = R.Top, X2 = R.Right, Y2 = R.Bottom;
    if (Pen.Kind == TPenKind::Null) {
        WithPainter(Canvas, [&](QPainter& P) {
            P.setCompositionMode(CompositionOf(Pen.Rop));
            FillWithBrush(P, Canvas, Rect(X1, Y1, X2 - 1, Y2 - 1), Brush);
        });
        return;
    }
    const int W = std::max(Pen.Width, 1);
    WithPainter(Canvas, [&](QPainter& P) {
        P.setCompositionMode(CompositionOf(Pen.Rop));
        FillWithBrush(P, Canvas, Rect(X1 + W, Y1 + W, X2 - W, Y2 - W), Brush);
        PreparePen(P, Pen, 1);
        if (W == 1) {
            DrawLinePixels(P, Canvas, {X1, Y1}, {X2 - 1, Y1}, Pen.Kind);
            DrawLinePixels(P, Canvas, {X2 - 1, Y1}, {X2 - 1, Y2 - 1}, Pen.Kind);
            DrawLinePixels(P, Canvas, {X2 - 1, Y2 - 1}, {X1, Y2 - 1}, Pen.Kind);
            DrawLinePixels(P, Canvas, {X1, Y2 - 1}, {X1, Y1}, Pen.Kind);
            return;
        }
        const QBrush Ink(P.pen().color());
        P.fillRect(DeviceRect(Canvas, Rect(X1, Y1, X2, std::min(Y1 + W, Y2))), Ink);
        P.fillRect(DeviceRect(Canvas, Rect(X1, std::max(Y2 - W, Y1 + W), X2, Y2)), Ink);
        P.fillRect(DeviceRect(Canvas, Rect(X1, Y1 + W, std::min(X1 + W, X2), Y2 - W)), Ink);
        P.fillRect(DeviceRect(Canvas, Rect(std::max(X2 - W, X1 + W), Y1 + W, X2, Y2 - W)), Ink);
    });
}

void Platform::Ellipse(TPlatformCanvas& Canvas, const TRect& R, const TPenDesc& Pen,
                       const TBrushDesc& Brush) {
    if (Pen.Rop == TRop2::Nop)
        return;
    WithPainter(Canvas, [&](QPainter& P) {
        UseCanvasCoordinates(P, Canvas);
        PreparePen(P, Pen, std::max(Pen.Width, 1));
        if (Pen.Kind == TPenKind::Null)
            P.setPen(Qt::NoPen);
        P.setBrush(ToQBrush(Brush));
        P.drawEllipse(QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1));
    });
}

void Platform::Line(TPlatformCanvas& Canvas, TPoint From, TPoint To, const TPenDesc& Pen) {
    if (!PenDraws(Pen))
        return;
    if (Pen.Width > 1) {
        WithPainter(Canvas, [&](QPainter& P) {
            UseCanvasCoordinates(P, Canvas);
            PreparePen(P, Pen, Pen.Width);
            P.drawLine(From.X, From.Y, To.X, To.Y);
        });
        return;
    }
    const std::vector<QPoint> Points = LinePixels(From, To, Pen.Kind);
    if (Points.empty())
        return;
    WithPainter(Canvas, [&](QPainter& P) {
        PreparePen(P, Pen, 1);
        DrawPixels(P, Canvas, Points);
    });
}

// ---- Text

Platform::TTextMetrics Platform::TextMetrics(const TPlatformCanvas& Canvas) {
    const QFontMetrics& M = Canvas.Font->Metrics;
    return {M.ascent(), M.descent()};
}

int Platform::TextWidth(const TPlatformCanvas& Canvas, const AnsiString& Text) {
    return Canvas.Font->Metrics.horizontalAdvance(QtText::Decode(Text));
}

int Platform::TextOut(TPlatformCanvas& Canvas, int X, int Y, const AnsiString& Text,
                      const TTextPaint& Paint) {
    const QString S = QtText::Decode(Text);
    const int Width = Canvas.Font->Metrics.horizontalAdvance(S);
    const TPoint Origin = TextOrigin(Canvas, X, Y, Width, Paint.Align);
    WithPainter(Canvas,
                [&](QPainter& P) { DrawTextAt(P, Canvas, Origin, S, Width, Paint, Paint.Opaque); });
    return Width;
}

// Text that starts at X shows no more than reaches the rectangle's right edge, so a long text
// is cut to that before it is laid out.
void Platform::TextRect(TPlatformCanvas& Canvas, const TRect& R, int X, int Y,
                        const AnsiString& Text, const TTextPaint& Paint) {
    const bool FromLeft = (Paint.Align & TA_RIGHT) == 0;
    const QString S = FromLeft
                          ? QtText::Decode(QtText::Head(Text, QtText::BytesForWidth(R.Right - X)))
                          : QtText::Decode(Text);
    const int Width = Canvas.Font->Metrics.horizontalAdvance(S);
    const TPoint Origin = TextOrigin(Canvas, X, Y, Width, Paint.Align);
    WithPainter(Canvas, [&](QPainter& P) {
        if (Paint.Opaque)
            P.fillRect(DeviceRect(Canvas, R), RGBToQColor(Paint.Background));
        P.setClipRect(DeviceRect(Canvas, R), Qt::IntersectClip);
        DrawTextAt(P, Canvas, Origin, S, Width, Paint, false);
    });
}

void Platform::TextOutRotated(TPlatformCanvas& Canvas, int X, int Y, int Escapement,
                              const AnsiString& Text, const TTextPaint& Paint) {
    const QString S = QtText::Decode(Text);
    const int Width = Canvas.Font->Metrics.horizontalAdvance(S);
    const TPoint Origin = TextOrigin(Canvas, 0, 0, Width, Paint.Align);
    WithPainter(Canvas, [&](QPainter& P) {
        UseCanvasCoordinates(P, Canvas);
        P.translate(X, Y);
        P.rotate(-Escapement / 10.0);
        if (Paint.Opaque)
            P.fillRect(ToQRect(TextCell(Canvas, Origin, Width)), RGBToQColor(Paint.Background));
        DrawGlyphs(P, Canvas, Origin, S, Paint);
    });
}

int Platform::DrawText(TPlatformCanvas& Canvas, const AnsiString& Text, TRect& R, unsigned Format,
                       const TTextPaint& Paint) {
    const QFontMetrics& M = Canvas.Font->Metrics;
    TTextLines Layout;
    LayOutText(
        Text, Format, R.Width(),
        [&](std::size_t Start, std::size_t End) {
            return M.horizontalAdvance(QtText::Decode(Layout.Text.substr(Start, End - Start)));
        },
        Layout);
    const int LineHeight = M.ascent() + M.descent();
    const int Height = LineHeight * static_cast<int>(Layout.Lines.size());
    std::vector<QString> Lines;
    int MaxWidth = 0;
    for (const auto& [Start, End] : Layout.Lines) {
        Lines.push_back(QtText::Decode(Layout.Text.substr(Start, End - Start)));
        MaxWidth = std::max(MaxWidth, M.horizontalAdvance(Lines.back()));
    }
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + MaxWidth;
        R.Bottom = R.Top + Height;
        return Height;
    }
    int Top = R.Top;
    if ((Format & DT_SINGLELINE) && (Format & DT_VCENTER))
        Top = R.Top + (R.Height() - LineHeight) / 2;
    else if ((Format & DT_SINGLELINE) && (Format & DT_BOTTOM))
        Top = R.Bottom - LineHeight;
    WithPainter(Canvas, [&](QPainter& P) {
        if (!(Format & DT_NOCLIP))
            P.setClipRect(DeviceRect(Canvas, R), Qt::IntersectClip);
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            const int Width = M.horizontalAdvance(Lines[I]);
            int X = R.Left;
            if (Format & DT_CENTER)
                X = R.Left + (R.Width() - Width) / 2;
            else if (Format & DT_RIGHT)
                X = R.Right - Width;
            const int Y = Top + LineHeight * static_cast<int>(I);
            DrawTextAt(P, Canvas, {X, Y}, Lines[I], Width, Paint, Paint.Opaque);
            const auto [Start, End] = Layout.Lines[I];
            if (Layout.Accel < Start || Layout.Accel >= End)
                continue;
            const QString Before = QtText::Decode(Layout.Text.substr(Start, Layout.Accel - Start));
            const QString Key = QtText::Decode(
                Layout.Text.substr(Layout.Accel, CharLength(Layout.Text, Layout.Accel)));
            const int UnderlineX = X + M.horizontalAdvance(Before);
            const int UnderlineY = Y + M.ascent() + M.underlinePos();
            P.fillRect(DeviceRect(Canvas, Bounds(UnderlineX, UnderlineY, M.horizontalAdvance(Key),
                                                 M.lineWidth())),
                       RGBToQColor(Paint.Color));
        }
    });
    return Top - R.Top + Height;
}

// ---- Pixels and images

// A logical pixel is read at the top-left of its device pixels.
std::optional<Platform::TRGB> Platform::Pixel(const TPlatformCanvas& Canvas, int X, int Y) {
    const QPoint At = DevicePoint(Canvas, X, Y);
    if (!Canvas.Image || !Canvas.Image->valid(At))
        return std::nullopt;
    const QRgb C = Canvas.Image->pixel(At);
    return RGB(qRed(C), qGreen(C), qBlue(C));
}

void Platform::SetPixel(TPlatformCanvas& Canvas, int X, int Y, TRGB Color) {
    const TRect& C = Canvas.Clip;
    if (!Canvas.Image ||
        (Canvas.Clipped && (X < C.Left || X >= C.Right || Y < C.Top || Y >= C.Bottom)))
        return;
    const QRgb Value = qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color));
    const QRect Device = DeviceRect(Canvas, Bounds(X, Y, 1, 1)) & Canvas.Image->rect();
    for (int IY = Device.top(); IY <= Device.bottom(); ++IY)
        for (int IX = Device.left(); IX <= Device.right(); ++IX)
            Canvas.Image->setPixel(IX, IY, Value);
}

// Images are drawn at the device size, from their larger picture where they have one, smoothly
// scaled where the sizes differ.
void Platform::DrawImage(TPlatformCanvas& Canvas, int X, int Y, const TPlatformImage& Image) {
    StretchImage(Canvas, Bounds(X, Y, Image.Image.width(), Image.Image.height()), Image);
}

void Platform::StretchImage(TPlatformCanvas& Canvas, const TRect& R, const TPlatformImage& Image) {
    WithPainter(Canvas, [&](QPainter& P) {
        P.setRenderHint(QPainter::SmoothPixmapTransform, Canvas.Device.Ratio != 1);
        P.drawImage(DeviceRect(Canvas, R), Image.Picture(Canvas.Device.Ratio));
    });
}

void Platform::CopyRect(TPlatformCanvas& Canvas, const TRect& DestRect,
                        const TPlatformCanvas& Source, const TRect& SourceRect) {
    if (!Source.Image)
        return;
    // A copy, because the source may be this canvas's own image.
    const QImage Part = Source.Image->copy(DeviceRect(Source, SourceRect));
    WithPainter(Canvas, [&](QPainter& P) {
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(DeviceRect(Canvas, DestRect), Part);
    });
}

// ---- What the rest of the back end binds canvases to

void TGraphicsAccess::BeginPaint(TCanvas& Canvas, QImage& Image, TPoint Offset,
                                 const TDeviceMap& Device) {
    Bind(Canvas.Target(), &Image, Offset, Device);
}

void TGraphicsAccess::EndPaint(TCanvas& Canvas) {
    Bind(Canvas.Target(), nullptr, {}, {});
}
