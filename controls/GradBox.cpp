#include "GradBox.h"

#include "TypInfo.h"
#include "WinApi.h"

#include <algorithm>
#include <cmath>

namespace {

// Numerator / Denominator rounded to the nearest integer, halves to the even neighbour.
int DivideHalfToEven(int Numerator, int Denominator) {
    const int Quotient = Numerator / Denominator, Twice = 2 * (Numerator % Denominator);
    if (Twice > Denominator || (Twice == Denominator && Quotient % 2 != 0))
        return Quotient + 1;
    return Quotient;
}

// The step is worked out in floating point and rounded in the default rounding mode, which
// takes halves to the even neighbour.
int BandChannel(int Start, int End, int Divisions, int Band) {
    return Start + static_cast<int>(std::nearbyint(double(End - Start) / Divisions * Band));
}

TColor BandColor(std::uint32_t Start, std::uint32_t End, int Divisions, int Band) {
    return static_cast<TColor>(RGB(BandChannel(GetRValue(Start), GetRValue(End), Divisions, Band),
                                   BandChannel(GetGValue(Start), GetGValue(End), Divisions, Band),
                                   BandChannel(GetBValue(Start), GetBValue(End), Divisions, Band)));
}

} // namespace

const std::vector<const char*>& GradDirectionNames() {
    static const std::vector<const char*> Names{"gdHorizontal", "gdVertical"};
    return Names;
}

TGradBox::TGradBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), InitSize, InitSize);
}

void TGradBox::SetGradColor(int Index, TColor Value) {
    (Index == StartColorIndex ? FStartColor : FEndColor) = Value;
    Changed();
}

void TGradBox::SetGradStep(std::uint8_t Value) {
    FGradStep = Value;
    Changed();
}

void TGradBox::SetDirection(TGradDirection Value) {
    if (Value == FDirection)
        return;
    FDirection = Value;
    Changed();
}

void TGradBox::Changed() {
    Invalidate();
    if (OnChange)
        OnChange(this);
}

// The bands are Extent / Divisions long, so the last one or two may lie beyond the far edge;
// whatever they leave short of it takes the last band's colour.
void TGradBox::Paint() {
    TCanvas* C = Canvas();
    const std::uint32_t Start = GetNearestColor(C, FStartColor);
    const std::uint32_t End = GetNearestColor(C, FEndColor);
    const int Divisions = FGradStep + 1;
    const int W = Width(), H = Height();
    const bool Stacked = FDirection == gdVertical;
    const int Extent = Stacked ? H : W;
    const int Size = std::max(1, DivideHalfToEven(Extent, Divisions));
    C->Brush()->SetStyle(bsSolid);
    int P = 0;
    for (int Band = 0; Band <= Divisions; ++Band, P += Size) {
        C->Brush()->SetColor(BandColor(Start, End, Divisions, Band));
        C->FillRect(Stacked ? Rect(0, P, W, P + Size) : Rect(P, 0, P + Size, H));
    }
    if (P < Extent)
        C->FillRect(Stacked ? Rect(0, P, W, H) : Rect(P, 0, W, H));
}

void RegisterGradBox() {
    TPublish<TGradBox>("TGradBox", "TGraphicControl")
        .Creatable()
        .Int("StartColor", &TGradBox::StartColor, &TGradBox::SetStartColor, std::nullopt,
             &ColorIdents())
        .Int("EndColor", &TGradBox::EndColor, &TGradBox::SetEndColor, std::nullopt, &ColorIdents())
        .Int("GradStep", &TGradBox::GradStep, &TGradBox::SetGradStep)
        .Enum("Direction", &TGradBox::Direction, &TGradBox::SetDirection, GradDirectionNames())
        .Event("OnChange", &TGradBox::OnChange)
        .Publish("Align");
}
