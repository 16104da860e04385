// The canvas: drawing and text on an image with the platform's rules.
#include "Graphics.h"

#include "QtGraphics.h"
#include "QtText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace {

std::size_t CharLength(const AnsiString& Text, std::size_t At) {
    return IsLeadByte(Text[At]) && At + 1 < Text.size() ? 2 : 1;
}

QPainter::CompositionMode CompositionOf(TPenMode Mode) {
    switch (Mode) {
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// On and off runs of the platform's one-pixel styled pens.
std::vector<int> DashPattern(TPenStyle Style) {
    switch (Style) {
    case psDash:
        return {18, 6};
    case psDot:
        return {3, 3};
    case psDashDot:
        return {9, 6, 3, 6};
    case psDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

// The pixels of a one-pixel line from From towards To, To itself left out.
std::vector<QPoint> LinePixels(TPoint From, TPoint To, TPenStyle Style) {
    std::vector<QPoint> Points;
    const std::vector<int> Pattern = DashPattern(Style);
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

QBrush HatchBrush(TBrushStyle Style, const QColor& Color) {
    switch (Style) {
    case bsHorizontal:
        return QBrush(Color, Qt::HorPattern);
    case bsVertical:
        return QBrush(Color, Qt::VerPattern);
    case bsFDiagonal:
        return QBrush(Color, Qt::FDiagPattern);
    case bsBDiagonal:
        return QBrush(Color, Qt::BDiagPattern);
    case bsCross:
        return QBrush(Color, Qt::CrossPattern);
    case bsDiagCross:
        return QBrush(Color, Qt::DiagCrossPattern);
    default:
        return QBrush(Color);
    }
}

// Text prepared for DrawText: access-key marks taken out, and lines as byte ranges.
struct TTextLines {
    AnsiString Text;
    std::size_t Accel = AnsiString::npos; // byte offset of the underlined character
    std::vector<std::pair<std::size_t, std::size_t>> Lines;
};

void StripPrefixes(const AnsiString& Source, TTextLines& Layout) {
    for (std::size_t I = 0; I < Source.size();) {
        if (Source[I] == '&' && I + 1 < Source.size() && Source[I + 1] != '&') {
            Layout.Accel = Layout.Text.size();
            ++I;
            continue;
        }
        if (Source[I] == '&')
            I += I + 1 < Source.size() ? 1 : 0;
        const std::size_t Length = CharLength(Source, I);
        Layout.Text.append(Source, I, Length);
        I += Length;
    }
}

// The paragraphs of Text, as the lines it breaks into, each from its start to its end.
std::vector<std::pair<std::size_t, std::size_t>> Paragraphs(const AnsiString& Text) {
    std::vector<std::pair<std::size_t, std::size_t>> Result;
    ForEachLine(std::string_view(Text), [&](std::string_view Line) {
        const auto Start = static_cast<std::size_t>(Line.data() - Text.data());
        Result.emplace_back(Start, Start + Line.size());
    });
    return Result;
}

// Breaks a paragraph into lines no wider than MaxWidth where it can: after spaces (which the
// break swallows) and before or after a double-byte character. A word wider than the line
// stays whole.
void WrapParagraph(const AnsiString& Text, std::size_t Start, std::size_t End, int MaxWidth,
                   const QFontMetrics& Metrics, TTextLines& Layout) {
    if (Metrics.horizontalAdvance(QtText::Decode(Text.substr(Start, End - Start))) <= MaxWidth) {
        Layout.Lines.emplace_back(Start, End);
        return;
    }
    std::size_t LineStart = Start, BreakEnd = AnsiString::npos, BreakNext = 0;
    int Width = 0;
    for (std::size_t I = Start; I < End;) {
        const std::size_t Length = CharLength(Text, I);
        const bool Space = Text[I] == ' ';
        const bool Double = Length == 2;
        if (Space) {
            if (I == LineStart || Text[I - 1] != ' ')
                BreakEnd = I;
            BreakNext = I + 1;
        } else if (Double && I > LineStart) {
            BreakEnd = BreakNext = I;
        }
        const int Advance = Metrics.horizontalAdvance(QtText::Decode(Text.substr(I, Length)));
        if (!Space && Width + Advance > MaxWidth && BreakEnd != AnsiString::npos &&
            BreakEnd > LineStart) {
            Layout.Lines.emplace_back(LineStart, BreakEnd);
            LineStart = BreakNext;
            while (LineStart < End && Text[LineStart] == ' ')
                ++LineStart;
            I = LineStart;
            Width = 0;
            BreakEnd = AnsiString::npos;
            continue;
        }
        Width += Advance;
        I += Length;
        if (Double)
            BreakEnd = BreakNext = I;
    }
    if (LineStart < End)
        Layout.Lines.emplace_back(LineStart, End);
}

} // namespace

// ---- TCanvas

namespace {

// What of a font decides its glyphs: a canvas whose font is assigned the same again (once per
// grid cell) keeps the platform font it has.
struct TFontKey {
    AnsiString Name;
    int Height = 0;
    std::uint32_t Style = 0;
    bool operator==(const TFontKey&) const = default;
};

} // namespace

// The canvas in Qt's terms: the image a paint binds it to, the clip, and the font it draws
// with, kept with its metrics until the font changes.
struct TCanvas::TState {
    explicit TState(const TCanvas& ACanvas) : Canvas(ACanvas) {}
    template <class F> void WithPainter(F&& Paint);
    const QFont& QtFont();
    const QFontMetrics& Metrics();
    void PreparePen(QPainter& P, int Width) const;
    void FillWithBrush(QPainter& P, const TRect& R) const;
    void DrawTextAt(QPainter& P, TPoint Origin, const QString& Text, int Width, bool Opaque);

    const TCanvas& Canvas;
    QImage* Image = nullptr;
    TPoint Offset;
    bool Clipped = false;
    TRect Clip;
    TFontKey FontKey;
    std::optional<QFont> Font;
    std::optional<QFontMetrics> FontMetrics;
};

TCanvas::TCanvas()
    : FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()),
      FFont(std::make_unique<TFont>()), FState(std::make_unique<TState>(*this)) {
    FBrush->OnChange = [this](TObject*) {
        FBkMode = FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
    };
}

TCanvas::~TCanvas() = default;

template <class F> void TCanvas::TState::WithPainter(F&& Paint) {
    if (!Image || Image->isNull())
        return;
    QPainter P(Image);
    P.setRenderHint(QPainter::TextAntialiasing, false);
    P.translate(Offset.X, Offset.Y);
    if (Clipped)
        P.setClipRect(ToQRect(Clip));
    Paint(P);
}

const QFont& TCanvas::TState::QtFont() {
    const TFont& F = *Canvas.FFont;
    TFontKey Key{F.Name(), F.Height(), F.Style().Bits()};
    if (!Font || !(Key == FontKey)) {
        FontKey = std::move(Key);
        Font = ToQFont(F);
        FontMetrics.emplace(*Font);
    }
    return *Font;
}

const QFontMetrics& TCanvas::TState::Metrics() {
    QtFont();
    return *FontMetrics;
}

bool TCanvas::PenDraws() const {
    return FPen->Style() != psClear && FPen->Mode() != pmNop;
}

void TCanvas::TState::PreparePen(QPainter& P, int Width) const {
    const TPen& Pen = *Canvas.FPen;
    P.setCompositionMode(CompositionOf(Pen.Mode()));
    QColor Color = ToQColor(Pen.Color());
    if (Pen.Mode() == pmBlack)
        Color = Qt::black;
    else if (Pen.Mode() == pmWhite)
        Color = Qt::white;
    P.setPen(QPen(Color, Width, Qt::SolidLine, Qt::RoundCap));
}

void TCanvas::TState::FillWithBrush(QPainter& P, const TRect& R) const {
    const TBrush& Brush = *Canvas.FBrush;
    if (Brush.Style() == bsClear || R.Width() <= 0 || R.Height() <= 0)
        return;
    if (Brush.Bitmap() && !Brush.Bitmap()->Empty())
        P.fillRect(ToQRect(R), QBrush(TGraphicsAccess::Image(*Brush.Bitmap())));
    else
        P.fillRect(ToQRect(R), HatchBrush(Brush.Style(), ToQColor(Brush.Color())));
}

void TCanvas::FillRect(const TRect& R) {
    FState->WithPainter([&](QPainter& P) { FState->FillWithBrush(P, R); });
}

void TCanvas::FrameRect(const TRect& R) {
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    FState->WithPainter([&](QPainter& P) {
        FState->FillWithBrush(P, Rect(R.Left, R.Top, R.Right, R.Top + 1));
        FState->FillWithBrush(P, Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom));
        FState->FillWithBrush(P, Rect(R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1));
        FState->FillWithBrush(P, Rect(R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1));
    });
}

// A clear pen outlines nothing and the shape loses its right column and bottom row, as on
// the platform; a visible pen of width W paints the outermost W pixels.
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    if (X1 > X2)
        std::swap(X1, X2);
    if (Y1 > Y2)
        std::swap(Y1, Y2);
    if (FPen->Mode() == pmNop)
        return;
    if (FPen->Style() == psClear) {
        FState->WithPainter([&](QPainter& P) {
            P.setCompositionMode(CompositionOf(FPen->Mode()));
            FState->FillWithBrush(P, Rect(X1, Y1, X2 - 1, Y2 - 1));
        });
        return;
    }
    const int W = std::max(FPen->Width(), 1);
    FState->WithPainter([&](QPainter& P) {
        P.setCompositionMode(CompositionOf(FPen->Mode()));
        FState->FillWithBrush(P, Rect(X1 + W, Y1 + W, X2 - W, Y2 - W));
    });
    if (W == 1) {
        const TPoint Saved = FPenPos;
        MoveTo(X1, Y1);
        LineTo(X2 - 1, Y1);
        LineTo(X2 - 1, Y2 - 1);
        LineTo(X1, Y2 - 1);
        LineTo(X1, Y1);
        FPenPos = Saved;
        return;
    }
    FState->WithPainter([&](QPainter& P) {
        FState->PreparePen(P, 1);
        const QBrush Ink(P.pen().color());
        P.fillRect(ToQRect(Rect(X1, Y1, X2, std::min(Y1 + W, Y2))), Ink);
        P.fillRect(ToQRect(Rect(X1, std::max(Y2 - W, Y1 + W), X2, Y2)), Ink);
        P.fillRect(ToQRect(Rect(X1, Y1 + W, std::min(X1 + W, X2), Y2 - W)), Ink);
        P.fillRect(ToQRect(Rect(std::max(X2 - W, X1 + W), Y1 + W, X2, Y2 - W)), Ink);
    });
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    if (FPen->Mode() == pmNop)
        return;
    FState->WithPainter([&](QPainter& P) {
        FState->PreparePen(P, std::max(FPen->Width(), 1));
        if (FPen->Style() == psClear)
            P.setPen(Qt::NoPen);
        const QColor Fill = ToQColor(FBrush->Color());
        P.setBrush(FBrush->Style() == bsClear ? QBrush() : HatchBrush(FBrush->Style(), Fill));
        P.drawEllipse(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1));
    });
}

void TCanvas::MoveTo(int X, int Y) {
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
    if (PenDraws())
        DrawLine(FPenPos, {X, Y});
    FPenPos = {X, Y};
}

void TCanvas::DrawLine(TPoint From, TPoint To) {
    if (FPen->Width() > 1) {
        FState->WithPainter([&](QPainter& P) {
            FState->PreparePen(P, FPen->Width());
            P.drawLine(From.X, From.Y, To.X, To.Y);
        });
        return;
    }
    const std::vector<QPoint> Points = LinePixels(From, To, FPen->Style());
    if (Points.empty())
        return;
    FState->WithPainter([&](QPainter& P) {
        FState->PreparePen(P, 1);
        P.drawPoints(Points.data(), static_cast<int>(Points.size()));
    });
}

int TCanvas::TextWidth(const AnsiString& Text) {
    return FState->Metrics().horizontalAdvance(QtText::Decode(Text));
}

int TCanvas::TextHeight(const AnsiString&) {
    return FState->Metrics().ascent() + FState->Metrics().descent();
}

TPoint TCanvas::TextOrigin(int X, int Y, int Width) const {
    if ((FTextAlign & TA_CENTER) == TA_CENTER)
        X -= Width / 2;
    else if (FTextAlign & TA_RIGHT)
        X -= Width;
    if ((FTextAlign & TA_BASELINE) == TA_BASELINE)
        Y -= FState->Metrics().ascent();
    else if (FTextAlign & TA_BOTTOM)
        Y -= FState->Metrics().ascent() + FState->Metrics().descent();
    return {X, Y};
}

void TCanvas::TState::DrawTextAt(QPainter& P, TPoint Origin, const QString& Text, int Width,
                                 bool Opaque) {
    const QFontMetrics& M = Metrics();
    if (Opaque)
        P.fillRect(QRect(Origin.X, Origin.Y, Width, M.ascent() + M.descent()),
                   ToQColor(Canvas.FBrush->Color()));
    P.setFont(QtFont());
    P.setPen(ToQColor(Canvas.FFont->Color()));
    P.drawText(QPoint(Origin.X, Origin.Y + M.ascent()), Text);
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    const QString S = QtText::Decode(Text);
    const int Width = FState->Metrics().horizontalAdvance(S);
    const TPoint Origin = TextOrigin(X, Y, Width);
    FState->WithPainter(
        [&](QPainter& P) { FState->DrawTextAt(P, Origin, S, Width, FBkMode == OPAQUE); });
    FPenPos = {X + Width, Y};
}

// The platform fills the whole rectangle behind the text unless the brush is clear. Text that
// starts at X shows no more than reaches the rectangle's right edge, so a long text is cut to
// that before it is laid out.
void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    const bool FromLeft = (FTextAlign & TA_RIGHT) == 0;
    const QString S = FromLeft
                          ? QtText::Decode(QtText::Head(Text, QtText::BytesForWidth(R.Right - X)))
                          : QtText::Decode(Text);
    const int Width = FState->Metrics().horizontalAdvance(S);
    const TPoint Origin = TextOrigin(X, Y, Width);
    FState->WithPainter([&](QPainter& P) {
        if (FBrush->Style() != bsClear)
            P.fillRect(ToQRect(R), ToQColor(FBrush->Color()));
        P.setClipRect(ToQRect(R), Qt::IntersectClip);
        FState->DrawTextAt(P, Origin, S, Width, false);
    });
}

void TCanvas::TextOutRotated(int X, int Y, int Escapement, const AnsiString& Text) {
    const QString S = QtText::Decode(Text);
    const int Width = FState->Metrics().horizontalAdvance(S);
    const TPoint Origin = TextOrigin(0, 0, Width);
    FState->WithPainter([&](QPainter& P) {
        P.translate(X, Y);
        P.rotate(-Escapement / 10.0);
        FState->DrawTextAt(P, Origin, S, Width, FBkMode == OPAQUE);
    });
}

int TCanvas::DrawText(const AnsiString& Text, TRect& R, unsigned Format) {
    TTextLines Layout;
    if (Format & DT_NOPREFIX)
        Layout.Text = Text;
    else
        StripPrefixes(Text, Layout);
    const QFontMetrics& M = FState->Metrics();
    if (Format & DT_SINGLELINE) {
        if (!Layout.Text.empty())
            Layout.Lines.emplace_back(0, Layout.Text.size());
    } else {
        for (const auto& [Start, End] : Paragraphs(Layout.Text)) {
            if (Format & DT_WORDBREAK)
                WrapParagraph(Layout.Text, Start, End, R.Width(), M, Layout);
            else
                Layout.Lines.emplace_back(Start, End);
        }
    }
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
    FState->WithPainter([&](QPainter& P) {
        if (!(Format & DT_NOCLIP))
            P.setClipRect(ToQRect(R), Qt::IntersectClip);
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            const int Width = M.horizontalAdvance(Lines[I]);
            int X = R.Left;
            if (Format & DT_CENTER)
                X = R.Left + (R.Width() - Width) / 2;
            else if (Format & DT_RIGHT)
                X = R.Right - Width;
            const int Y = Top + LineHeight * static_cast<int>(I);
            FState->DrawTextAt(P, {X, Y}, Lines[I], Width, FBkMode == OPAQUE);
            const auto [Start, End] = Layout.Lines[I];
            if (Layout.Accel < Start || Layout.Accel >= End)
                continue;
            const QString Before = QtText::Decode(Layout.Text.substr(Start, Layout.Accel - Start));
            const QString Key = QtText::Decode(
                Layout.Text.substr(Layout.Accel, CharLength(Layout.Text, Layout.Accel)));
            const int UnderlineX = X + M.horizontalAdvance(Before);
            const int UnderlineY = Y + M.ascent() + M.underlinePos();
            P.fillRect(QRect(UnderlineX, UnderlineY, M.horizontalAdvance(Key), M.lineWidth()),
                       ToQColor(FFont->Color()));
        }
    });
    return Top - R.Top + Height;
}

int TCanvas::SetBkMode(int Mode) {
    const int Old = FBkMode;
    FBkMode = Mode;
    return Old;
}

unsigned TCanvas::SetTextAlign(unsigned Align) {
    const unsigned Old = FTextAlign;
    FTextAlign = Align;
    return Old;
}

TColor TCanvas::Pixel(int X, int Y) const {
    const int IX = X + FState->Offset.X, IY = Y + FState->Offset.Y;
    if (!FState->Image || !FState->Image->valid(IX, IY))
        return clNone;
    const QRgb C = FState->Image->pixel(IX, IY);
    return static_cast<TColor>(RGB(qRed(C), qGreen(C), qBlue(C)));
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    const int IX = X + FState->Offset.X, IY = Y + FState->Offset.Y;
    if (!FState->Image || !FState->Image->valid(IX, IY))
        return;
    const TRect& C = FState->Clip;
    if (FState->Clipped && (X < C.Left || X >= C.Right || Y < C.Top || Y >= C.Bottom))
        return;
    const std::uint32_t Value = ColorToRGB(Color);
    FState->Image->setPixel(IX, IY, qRgb(GetRValue(Value), GetGValue(Value), GetBValue(Value)));
}

void TCanvas::Draw(int X, int Y, const TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    FState->WithPainter([&](QPainter& P) { P.drawImage(X, Y, TGraphicsAccess::Image(*Graphic)); });
}

void TCanvas::StretchDraw(const TRect& R, const TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    FState->WithPainter(
        [&](QPainter& P) { P.drawImage(ToQRect(R), TGraphicsAccess::Image(*Graphic)); });
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas* Source, const TRect& Src) {
    if (!Source || !Source->FState->Image)
        return;
    const TPoint O = Source->FState->Offset;
    // A copy, because the source may be this canvas's own image.
    const QImage Part = Source->FState->Image->copy(ToQRect(Src).translated(O.X, O.Y));
    FState->WithPainter([&](QPainter& P) {
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(ToQRect(Dest), Part);
    });
}

void TCanvas::SetClipRect(const TRect& R) {
    FState->Clipped = true;
    FState->Clip = R;
}

void TCanvas::ResetClip() {
    FState->Clipped = false;
}

TRect TCanvas::ClipRect() const {
    const TPoint O = FState->Offset;
    const TRect Whole = FState->Image
                            ? Bounds(-O.X, -O.Y, FState->Image->width(), FState->Image->height())
                            : TRect{};
    if (!FState->Clipped)
        return Whole;
    const TRect& C = FState->Clip;
    return Rect(std::max(C.Left, Whole.Left), std::max(C.Top, Whole.Top),
                std::min(C.Right, Whole.Right), std::min(C.Bottom, Whole.Bottom));
}

bool TCanvas::Painting() const {
    return FState->Image != nullptr;
}

void TGraphicsAccess::BeginPaint(TCanvas& Canvas, QImage& Image, TPoint Offset) {
    Canvas.FState->Image = &Image;
    Canvas.FState->Offset = Offset;
    Canvas.FState->Clipped = false;
}

void TGraphicsAccess::EndPaint(TCanvas& Canvas) {
    Canvas.FState->Image = nullptr;
    Canvas.FState->Offset = {};
    Canvas.FState->Clipped = false;
}
