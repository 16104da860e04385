// The canvas: drawing and text on an image with the platform's rules.
#include "Graphics.h"

#include "PlatformCanvas.h"

namespace {

Platform::TRop2 Rop2Of(TPenMode Mode) {
    switch (Mode) {
    case pmBlack:
        return Platform::TRop2::Black;
    case pmWhite:
        return Platform::TRop2::White;
    case pmNop:
        return Platform::TRop2::Nop;
    case pmNot:
        return Platform::TRop2::Not;
    case pmNotCopy:
        return Platform::TRop2::NotCopy;
    case pmXor:
        return Platform::TRop2::Xor;
    default:
        return Platform::TRop2::Copy;
    }
}

Platform::TPenKind PenKindOf(TPenStyle Style) {
    switch (Style) {
    case psDash:
        return Platform::TPenKind::Dash;
    case psDot:
        return Platform::TPenKind::Dot;
    case psDashDot:
        return Platform::TPenKind::DashDot;
    case psDashDotDot:
        return Platform::TPenKind::DashDotDot;
    case psClear:
        return Platform::TPenKind::Null;
    default:
        return Platform::TPenKind::Solid;
    }
}

Platform::TBrushKind BrushKindOf(TBrushStyle Style) {
    switch (Style) {
    case bsClear:
        return Platform::TBrushKind::Null;
    case bsHorizontal:
        return Platform::TBrushKind::Horizontal;
    case bsVertical:
        return Platform::TBrushKind::Vertical;
    case bsFDiagonal:
        return Platform::TBrushKind::FDiagonal;
    case bsBDiagonal:
        return Platform::TBrushKind::BDiagonal;
    case bsCross:
        return Platform::TBrushKind::Cross;
    case bsDiagCross:
        return Platform::TBrushKind::DiagCross;
    default:
        return Platform::TBrushKind::Solid;
    }
}

// What of a font decides its glyphs: a canvas whose font is assigned the same again (once per
// grid cell) keeps the platform font it has.
bool SameFont(const Platform::TFontDesc& Desc, const TFont& Font) {
    const TFontStyles Style = Font.Style();
    return Desc.Height == Font.Height() && Desc.Charset == Font.Charset() &&
           Desc.Bold == Style.Contains(fsBold) && Desc.Italic == Style.Contains(fsItalic) &&
           Desc.Underline == Style.Contains(fsUnderline) &&
           Desc.StrikeOut == Style.Contains(fsStrikeOut) && Desc.Name == Font.Name();
}

} // namespace

// The platform's target, and the font it draws with, kept with its metrics until the font
// changes.
struct TCanvas::TState {
    Platform::TCanvasPtr Target = Platform::NewCanvas();
    Platform::TFontDesc FontDesc;
    Platform::TFontPtr Font;
    Platform::TTextMetrics Metrics;
};

TCanvas::TCanvas()
    : FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()),
      FFont(std::make_unique<TFont>()), FState(std::make_unique<TState>()) {
    FBrush->OnChange = [this](TObject*) {
        FBkMode = FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
    };
}

TCanvas::~TCanvas() = default;

TPlatformCanvas& TCanvas::Target() const {
    return *FState->Target;
}

TPlatformCanvas& TCanvas::TextTarget() const {
    TState& S = *FState;
    if (!S.Font || !SameFont(S.FontDesc, *FFont)) {
        S.FontDesc = FFont->Desc();
        Platform::TFontPtr Font = Platform::NewFont(S.FontDesc);
        Platform::SelectFont(*S.Target, *Font);
        S.Font = std::move(Font);
        S.Metrics = Platform::TextMetrics(*S.Target);
    }
    return *S.Target;
}

Platform::TPenDesc TCanvas::PenDesc() const {
    return {ColorToRGB(FPen->Color()), FPen->Width(), PenKindOf(FPen->Style()),
            Rop2Of(FPen->Mode())};
}

Platform::TBrushDesc TCanvas::BrushDesc() const {
    const TBitmap* Pattern = FBrush->Bitmap();
    return {ColorToRGB(FBrush->Color()), BrushKindOf(FBrush->Style()),
            Pattern && !Pattern->Empty() ? Pattern->FImage.get() : nullptr};
}

Platform::TTextPaint TCanvas::TextPaint(bool Opaque) const {
    return {ColorToRGB(FFont->Color()), ColorToRGB(FBrush->Color()), Opaque, FTextAlign};
}

bool TCanvas::PenDraws() const {
    return FPen->Style() != psClear && FPen->Mode() != pmNop;
}

void TCanvas::FillRect(const TRect& R) {
    if (FBrush->Style() != bsClear)
        Platform::FillRect(Target(), R, BrushDesc());
}

void TCanvas::FrameRect(const TRect& R) {
    if (FBrush->Style() != bsClear)
        Platform::FrameRect(Target(), R, BrushDesc());
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Platform::Rectangle(
        Target(), Rect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2)),
        PenDesc(), BrushDesc());
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Platform::Ellipse(Target(), Rect(X1, Y1, X2, Y2), PenDesc(), BrushDesc());
}

void TCanvas::MoveTo(int X, int Y) {
    FPenPos = {X, Y};
}

void TCanvas::LineTo(int X, int Y) {
    if (PenDraws())
        Platform::Line(Target(), FPenPos, {X, Y}, PenDesc());
    FPenPos = {X, Y};
}

int TCanvas::TextWidth(const AnsiString& Text) {
    return Platform::TextWidth(TextTarget(), Text);
}

int TCanvas::TextHeight(const AnsiString&) {
    TextTarget();
    return FState->Metrics.Ascent + FState->Metrics.Descent;
}

void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
    const int Width = Platform::TextOut(TextTarget(), X, Y, Text, TextPaint(FBkMode == OPAQUE));
    FPenPos = {X + Width, Y};
}

// The platform fills the whole rectangle behind the text unless the brush is clear.
void TCanvas::TextRect(const TRect& R, int X, int Y, const AnsiString& Text) {
    Platform::TextRect(TextTarget(), R, X, Y, Text, TextPaint(FBrush->Style() != bsClear));
}

void TCanvas::TextOutRotated(int X, int Y, int Escapement, const AnsiString& Text) {
    Platform::TextOutRotated(TextTarget(), X, Y, Escapement, Text, TextPaint(FBkMode == OPAQUE));
}

int TCanvas::DrawText(const AnsiString& Text, TRect& R, unsigned Format) {
    return Platform::DrawText(TextTarget(), Text, R, Format, TextPaint(FBkMode == OPAQUE));
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
    const std::optional<Platform::TRGB> Value = Platform::Pixel(Target(), X, Y);
    return Value ? static_cast<TColor>(*Value) : clNone;
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    Platform::SetPixel(Target(), X, Y, ColorToRGB(Color));
}

void TCanvas::Draw(int X, int Y, const TGraphic* Graphic) {
    if (Graphic && !Graphic->Empty())
        Platform::DrawImage(Target(), X, Y, Graphic->Image());
}

void TCanvas::StretchDraw(const TRect& R, const TGraphic* Graphic) {
    if (Graphic && !Graphic->Empty())
        Platform::StretchImage(Target(), R, Graphic->Image());
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas* Source, const TRect& Src) {
    if (Source)
        Platform::CopyRect(Target(), Dest, Source->Target(), Src);
}

void TCanvas::SetClipRect(const TRect& R) {
    Platform::SetClipRect(Target(), R);
}

void TCanvas::ResetClip() {
    Platform::ResetClip(Target());
}

TRect TCanvas::ClipRect() const {
    return Platform::ClipBox(Target());
}

bool TCanvas::Painting() const {
    return Platform::HasImage(Target());
}
