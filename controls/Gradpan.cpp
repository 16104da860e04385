#include "Gradpan.h"

#include "TypInfo.h"
#include "WinApi.h"

namespace {

// How a gradient mode lays out its table: which colour it runs from, which axis its bands
// follow, and whether the colours run to the middle and back.
struct TGradientLayout {
    bool FromEnd;
    bool Stacked; // bands from top to bottom; otherwise side by side
    bool Mirrored;
};

constexpr TGradientLayout GradientLayouts[] = {
    {false, true, false},  // bdUp
    {true, true, false},   // bdDown
    {false, false, false}, // bdLeft
    {true, false, false},  // bdRight
    {false, true, true},   // bdHorzIn
    {true, true, true},    // bdHorzOut
    {false, false, true},  // bdVertIn
    {true, false, true},   // bdVertOut
};

// A pass of a caption effect, drawn before the main pass at its offset; the first colour is
// ColorShadow, the second black.
struct TEffectPass {
    int DX;
    int DY;
    bool Second;
};

const std::vector<TEffectPass>& EffectPasses(TTextEffect Effect) {
    static const std::vector<TEffectPass> Passes[] = {
        {},
        {{1, 1, false}},
        {{-1, 0, false}, {0, -1, false}, {1, 0, true}, {0, 1, true}},
        {{1, 0, false}, {0, 1, false}, {-1, 0, true}, {0, -1, true}},
        {{-1, 0, false}, {1, 0, false}, {0, -1, false}, {0, 1, false}},
    };
    return Passes[Effect];
}

constexpr TColor EffectSecondColor = clBlack;
constexpr TColor BevelLightColor = clWhite;
constexpr TColor BevelDarkColor = clGray;
constexpr TColor InitImageInk = clBlack;
constexpr TColor InitImagePaper = clWhite;
// The reference text whose height places the caption.
constexpr const char* MeasureText = "^_";
constexpr int TenthsPerDegree = 10;
constexpr int UpAngle = 90;
constexpr int DownAngle = 270;

int MirroredEntry(int Band) {
    constexpr int Half = TGradPan::ColorTableSize / 2;
    return Band < Half ? 2 * Band + 1 : 2 * (TGradPan::ColorTableSize - 1) - 2 * Band;
}

int GradientChannel(int From, int To, int Entry) {
    return static_cast<int>(From + Entry * (To - From) / double(TGradPan::ColorTableSize));
}

// At most MaxBytes bytes of Text, without splitting a double-byte character.
AnsiString LeadingBytes(const AnsiString& Text, std::size_t MaxBytes) {
    std::size_t End = 0;
    while (End < Text.size()) {
        const std::size_t Next = End + (IsLeadByte(Text[End]) ? 2 : 1);
        if (Next > MaxBytes)
            break;
        End = Next;
    }
    return Text.substr(0, std::min(End, Text.size()));
}

} // namespace

const std::vector<const char*>& DirectionNames() {
    static const std::vector<const char*> Names{
        "bdFlat",  "bdStretchImage", "bdTileImage", "bdUp",     "bdDown",   "bdLeft",
        "bdRight", "bdHorzIn",       "bdHorzOut",   "bdVertIn", "bdVertOut"};
    return Names;
}

const std::vector<const char*>& TextEffectNames() {
    static const std::vector<const char*> Names{"tenone", "teShadow", "teRaised", "teLowered",
                                                "teEmbossed"};
    return Names;
}

const std::vector<const char*>& TextRotationNames() {
    static const std::vector<const char*> Names{"trNone", "TrUp", "TrDown"};
    return Names;
}

const std::vector<const char*>& VertAlignNames() {
    static const std::vector<const char*> Names{"vlTop", "vlCenter", "VlBottom"};
    return Names;
}

// The default picture is a white square with a black outline that leaves its last row and
// column white.
TGradPan::TGradPan(TComponent* AOwner)
    : TPanel(AOwner), FBitmap(std::make_unique<TBitmap>(InitImageSize, InitImageSize)) {
    TCanvas* C = FBitmap->Canvas();
    C->Pen()->SetColor(InitImageInk);
    C->Brush()->SetColor(InitImagePaper);
    C->Rectangle(0, 0, InitImageSize - 1, InitImageSize - 1);
    FBitmap->OnChange = [this](TObject*) { ImageChanged(); };
}

void TGradPan::SetBackGroundEffect(TDirection Value) {
    FBackGroundEffect = Value;
    Repaint();
}

void TGradPan::SetVertAlign(TVertAlign Value) {
    FVertAlign = Value;
    Repaint();
}

void TGradPan::SetColorEnd(TColor Value) {
    FColorEnd = Value;
    Repaint();
}

void TGradPan::SetColorStart(TColor Value) {
    FColorStart = Value;
    Repaint();
}

void TGradPan::SetColorShadow(TColor Value) {
    FColorShadow = Value;
    Repaint();
}

void TGradPan::SetTextEffect(TTextEffect Value) {
    FTextEffect = Value;
    Repaint();
}

void TGradPan::SetTextRotation(TTextRotation Value) {
    FTextRotation = Value;
    Repaint();
}

void TGradPan::SetCtl3D(bool Value) {
    FCtl3D = Value;
    Repaint();
}

void TGradPan::SetBitmap(const TBitmap* Value) {
    FBitmap->Assign(Value);
}

void TGradPan::ImageChanged() {
    if (FBackGroundEffect == bdStretchImage || FBackGroundEffect == bdTileImage)
        Repaint();
}

void TGradPan::DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    if (Msg == WM_MOVE && OnPanelMove)
        OnPanelMove(this);
    TPanel::DispatchMessage(Msg, WParam, LParam);
}

// ---- Painting

void TGradPan::Paint() {
    TCanvas* C = Canvas();
    C->SetFont(Font());
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    TPanel::Paint();
    PaintFace();
    C->SetBkMode(TRANSPARENT);
    PaintCaption();
    PaintFrame();
}

void TGradPan::PaintFace() {
    switch (FBackGroundEffect) {
    case bdFlat:
        FillFlat();
        break;
    case bdStretchImage:
    case bdTileImage:
        PaintImage();
        break;
    default:
        PaintGradient();
        break;
    }
}

void TGradPan::FillFlat() {
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(FColorStart);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
}

// System colours are resolved first, so that a gradient between them runs between the
// colours the screen shows for them.
void TGradPan::FillColorTable(TColor From, TColor To) {
    const std::uint32_t F = ColorToRGB(From), T = ColorToRGB(To);
    for (int I = 0; I < ColorTableSize; ++I)
        FColorTable[I] = static_cast<TColor>(RGB(GradientChannel(GetRValue(F), GetRValue(T), I),
                                                 GradientChannel(GetGValue(F), GetGValue(T), I),
                                                 GradientChannel(GetBValue(F), GetBValue(T), I)));
}

void TGradPan::PaintGradient() {
    const TGradientLayout& L = GradientLayouts[FBackGroundEffect - bdUp];
    FillColorTable(L.FromEnd ? FColorEnd : FColorStart, L.FromEnd ? FColorStart : FColorEnd);
    const int W = Width(), H = Height();
    const int Extent = L.Stacked ? H : W;
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    for (int Band = 0; Band < ColorTableSize; ++Band) {
        const int From = MulDiv(Band, Extent, ColorTableSize);
        const int To = MulDiv(Band + 1, Extent, ColorTableSize);
        C->Brush()->SetColor(FColorTable[L.Mirrored ? MirroredEntry(Band) : Band]);
        C->FillRect(L.Stacked ? Rect(0, From, W, To) : Rect(From, 0, To, H));
    }
}

void TGradPan::PaintImage() {
    if (FBitmap->Empty()) {
        FillFlat();
        return;
    }
    const int Inset = FCtl3D ? 2 * BevelWidth() + BorderWidth() : 0;
    const int W = Width(), H = Height();
    TCanvas* C = Canvas();
    if (FBackGroundEffect == bdStretchImage) {
        C->StretchDraw(Rect(Inset, Inset, W - Inset - 1, H - Inset - 1), FBitmap.get());
        return;
    }
    const int TileW = FBitmap->Width(), TileH = FBitmap->Height();
    const int Cols = (W - 2 * Inset) / TileW + 1;
    const int Rows = (H - 2 * Inset) / TileH + 1;
    for (int Col = 0; Col < Cols; ++Col)
        for (int Row = 0; Row < Rows; ++Row)
            C->Draw(Inset + TileW * Col, Inset + TileH * Row, FBitmap.get());
}

// The reference point lies on the top edge of the character cell, which a turned caption has
// on its left (reading upwards) or right (reading downwards).
TPoint TGradPan::CaptionPosition(int T) const {
    const int W = Width(), H = Height();
    const int Edge = BorderWidth() + BevelWidth();
    const TAlignment A = Alignment();
    const auto ByAlignment = [A](int Left, int Right, int Center) {
        return A == taLeftJustify ? Left : A == taRightJustify ? Right : Center;
    };
    const auto ByVertAlign = [this](int Top, int Center, int Bottom) {
        return FVertAlign == vlTop ? Top : FVertAlign == vlCenter ? Center : Bottom;
    };
    switch (FTextRotation) {
    case TrUp:
        return {ByAlignment(Edge + 2, W - Edge - T - 1, W / 2 - T / 2),
                ByVertAlign(Edge + 2, H / 2 - T / 2, H - Edge - 1)};
    case TrDown:
        return {ByAlignment(T + Edge + 1, W - Edge - 2, W / 2 + T / 2),
                ByVertAlign(Edge + 1, H / 2 - T / 2, H - Edge - 2)};
    default:
        return {ByAlignment(Edge + 2, W - Edge - 2, W / 2),
                ByVertAlign(Edge + 2, H / 2 - T / 2, H - Edge - T - 1)};
    }
}

// Unturned, the caption aligns by Alignment; turned, along its reading direction by
// VertAlign, so that its upper end sits at the top and its lower end at the bottom.
unsigned TGradPan::CaptionAlignMode() const {
    static constexpr unsigned ByAlignment[] = {TA_LEFT, TA_RIGHT, TA_CENTER};
    static constexpr unsigned UpByVertAlign[] = {TA_RIGHT, TA_CENTER, TA_LEFT};
    static constexpr unsigned DownByVertAlign[] = {TA_LEFT, TA_CENTER, TA_RIGHT};
    switch (FTextRotation) {
    case TrUp:
        return UpByVertAlign[FVertAlign];
    case TrDown:
        return DownByVertAlign[FVertAlign];
    default:
        return ByAlignment[Alignment()];
    }
}

void TGradPan::PaintCaption() {
    TCanvas* C = Canvas();
    const TPoint P = CaptionPosition(C->TextHeight(MeasureText));
    C->SetTextAlign(CaptionAlignMode());
    const TColor FontColor = C->Font()->Color();
    for (const TEffectPass& Pass : EffectPasses(FTextEffect))
        CaptionPass(P.X + Pass.DX, P.Y + Pass.DY, Pass.Second ? EffectSecondColor : FColorShadow);
    CaptionPass(P.X, P.Y, FontColor);
}

void TGradPan::CaptionPass(int X, int Y, TColor Color) {
    TCanvas* C = Canvas();
    C->Font()->SetColor(Color);
    if (FTextRotation == trNone) {
        C->TextOut(X, Y, Caption());
        return;
    }
    const int Angle = FTextRotation == TrUp ? UpAngle : DownAngle;
    C->TextOutRotated(X, Y, Angle * TenthsPerDegree, LeadingBytes(Caption(), MaxRotatedCaption));
}

// One-pixel lines, each without its end point.
void TGradPan::PaintFrame() {
    const int V = BevelWidth(), B = BorderWidth();
    int Offset = 1;
    if (BevelOuter() != bvNone) {
        PaintOuterBevel();
        Offset = V;
    }
    Offset += B;
    if (BevelInner() == bvNone)
        return;
    PaintInnerBevel(Offset);
    if (!FCtl3D)
        return;
    const int W = Width(), H = Height();
    const int P = BevelOuter() != bvNone ? V - 1 : 0;
    TCanvas* C = Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    for (int K = 1; K <= B; ++K)
        C->FrameRect(Rect(K + P, K + P, W - K - P, H - K - P));
}

namespace {

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2) {
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

TColor BevelFirstColor(TPanelBevel Bevel) {
    return Bevel == bvRaised ? BevelLightColor : BevelDarkColor;
}

TColor BevelSecondColor(TPanelBevel Bevel) {
    return Bevel == bvRaised ? BevelDarkColor : BevelLightColor;
}

} // namespace

void TGradPan::PaintOuterBevel() {
    const int W = Width(), H = Height(), V = BevelWidth();
    TCanvas* C = Canvas();
    C->Pen()->SetColor(BevelFirstColor(BevelOuter()));
    for (int I = 0; I < V; ++I) {
        Line(C, I, I, W, I);
        Line(C, I, I, I, H);
    }
    C->Pen()->SetColor(BevelSecondColor(BevelOuter()));
    for (int I = 0; I < V; ++I) {
        Line(C, I, H - 1 - I, W - I, H - 1 - I);
        Line(C, W - 1 - I, H - 1 - I, W - 1 - I, I);
    }
}

void TGradPan::PaintInnerBevel(int O) {
    const int W = Width(), H = Height(), V = BevelWidth();
    TCanvas* C = Canvas();
    C->Pen()->SetColor(BevelFirstColor(BevelInner()));
    for (int I = 0; I < V; ++I) {
        Line(C, O + I, O + I, W - O - I, O + I);
        Line(C, O + I, O + I, O + I, H - O - I);
    }
    C->Pen()->SetColor(BevelSecondColor(BevelInner()));
    for (int I = 0; I < V; ++I) {
        Line(C, O + I, H - O - I - 1, W - O - I, H - O - I - 1);
        Line(C, W - O - I - 1, H - O - 1, W - O - I - 1, O + I);
    }
}

// ---- Hit testing

int TGradPan::WMNCHitTest(TPoint Screen) {
    if (ComponentState().Contains(csDesigning))
        return TPanel::WMNCHitTest(Screen);
    if (!FMoveable)
        return HTNOWHERE;
    return HitZone(ScreenToClient(Screen));
}

// Corners first, then the edges, then the inner area, which drags the panel.
int TGradPan::HitZone(TPoint P) const {
    const int M = FMarge, W = Width(), H = Height();
    const bool Left = P.X < M, Right = W - P.X < M, Top = P.Y < M, Bottom = H - P.Y < M;
    if (Left)
        return Top ? HTTOPLEFT : Bottom ? HTBOTTOMLEFT : HTLEFT;
    if (Right)
        return Top ? HTTOPRIGHT : Bottom ? HTBOTTOMRIGHT : HTRIGHT;
    if (Top)
        return HTTOP;
    if (Bottom)
        return HTBOTTOM;
    return HTCAPTION;
}

// ---- Published properties

void RegisterGradpan() {
    TPublish<TGradPan>("TGradPan", "TPanel")
        .Creatable()
        .Enum("BackGroundEffect", &TGradPan::BackGroundEffect, &TGradPan::SetBackGroundEffect,
              DirectionNames())
        .Enum("VertAlign", &TGradPan::VertAlign, &TGradPan::SetVertAlign, VertAlignNames())
        .Int("ColorEnd", &TGradPan::ColorEnd, &TGradPan::SetColorEnd, std::nullopt, &ColorIdents())
        .Int("ColorStart", &TGradPan::ColorStart, &TGradPan::SetColorStart, std::nullopt,
             &ColorIdents())
        .Int("ColorShadow", &TGradPan::ColorShadow, &TGradPan::SetColorShadow, std::nullopt,
             &ColorIdents())
        .Enum("TextEffect", &TGradPan::TextEffect, &TGradPan::SetTextEffect, TextEffectNames())
        .Enum("TextRotation", &TGradPan::TextRotation, &TGradPan::SetTextRotation,
              TextRotationNames())
        .Bool("Ctl3D", &TGradPan::Ctl3D, &TGradPan::SetCtl3D)
        .Object("Bitmap", TTypeKind::Class, &TGradPan::Bitmap)
        .Int("Marge", &TGradPan::Marge, &TGradPan::SetMarge)
        .Event("OnPanelMove", &TGradPan::OnPanelMove)
        .Bool("Moveable", &TGradPan::Moveable, &TGradPan::SetMoveable);
}
