#include "BoxLabl.h"

#include "TypInfo.h"
#include "WinApi.h"

#include <algorithm>

namespace BoxLabl {

namespace {

constexpr TColor DisabledTextColor = static_cast<TColor>(RGB(128, 128, 128));

// First and second colour of a bevel ring: light then dark when raised, the reverse lowered.
TColor FirstColor(TBevelStyle Bevel) {
    return Bevel == bvRaised ? clWhite : clBtnShadow;
}

TColor SecondColor(TBevelStyle Bevel) {
    return Bevel == bvRaised ? clBtnShadow : clWhite;
}

// At most MaxBytes bytes, cut before a double-byte character that would lose its second byte.
AnsiString Truncated(const AnsiString& Text, std::size_t MaxBytes) {
    if (Text.size() <= MaxBytes)
        return Text;
    std::size_t End = 0;
    while (End < MaxBytes) {
        const std::size_t Length = IsLeadByte(Text[End]) ? 2 : 1;
        if (End + Length > MaxBytes)
            break;
        End += Length;
    }
    return Text.substr(0, End);
}

} // namespace

const std::vector<const char*>& HorizontalAlignmentNames() {
    static const std::vector<const char*> Names{"haTop", "haCenter", "haBottom"};
    return Names;
}

const std::vector<const char*>& BevelStyleNames() {
    static const std::vector<const char*> Names{"bvRaised", "bvNone", "bvLowered"};
    return Names;
}

const std::vector<const char*>& BorderStyleNames() {
    static const std::vector<const char*> Names{"bsSingle", "bsNone"};
    return Names;
}

int HalfToEven(int N) {
    int Half = N >= 0 ? N / 2 : -((1 - N) / 2); // floor(N / 2)
    if (N - 2 * Half == 1 && Half % 2 != 0)
        ++Half;
    return Half;
}

TCustomBoxLabel::TCustomBoxLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(Left(), Top(), InitWidth, InitHeight);
    SetColor(InitColor);
    SetLabelText(Name());
}

void TCustomBoxLabel::SetAlignment(TAlignment Value) {
    Change(FAlignment, Value);
}

void TCustomBoxLabel::SetHorizontalAlign(THorizontalAlignment Value) {
    Change(FHorizontalAlign, Value);
}

void TCustomBoxLabel::SetTextBorder(int Value) {
    Change(FTextBorder, Value);
}

void TCustomBoxLabel::SetWordWrap(bool Value) {
    Change(FWordWrap, Value);
}

void TCustomBoxLabel::SetBorderStyle(TBorderStyle Value) {
    Change(FBorderStyle, Value);
}

void TCustomBoxLabel::SetBevelInner(TBevelStyle Value) {
    Change(FBevelInner, Value);
}

void TCustomBoxLabel::SetBevelOuter(TBevelStyle Value) {
    Change(FBevelOuter, Value);
}

void TCustomBoxLabel::SetBevelWidth(int Value) {
    Change(FBevelWidth, Value);
}

AnsiString TCustomBoxLabel::GetLabelText() const {
    return Caption();
}

void TCustomBoxLabel::SetLabelText(const AnsiString& Value) {
    SetCaption(Value);
}

// Ring I of a bevel inset by Inset: the first colour along the top and left, the second along
// the right and bottom; each line leaves out its end point.
void TCustomBoxLabel::PaintBevelRing(int I, int Inset, TBevelStyle Bevel) {
    TCanvas* C = Canvas();
    const int W = Width(), H = Height();
    const int Right = W - 1 - I - Inset, Near = Inset + I;
    const TColor SavedPen = C->Pen()->Color();
    C->Brush()->SetColor(Color());
    C->Pen()->SetColor(FirstColor(Bevel));
    C->MoveTo(Right, Near);
    C->LineTo(Near, Near);
    C->LineTo(Near, H - I - Inset);
    C->Pen()->SetColor(SecondColor(Bevel));
    C->MoveTo(Right, Near);
    C->LineTo(Right, H - 1 - I - Inset);
    C->LineTo(Near, H - 1 - I - Inset);
    C->Pen()->SetColor(SavedPen);
}

// Background, outer bevel, border and inner bevel; gives the frame inset.
int TCustomBoxLabel::PaintFrame() {
    TCanvas* C = Canvas();
    const int W = Width(), H = Height();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(Rect(0, 0, W, H));
    int Inset = 0;
    if (FBevelOuter != bvNone) {
        for (int I = 0; I < FBevelWidth; ++I)
            PaintBevelRing(I, 0, FBevelOuter);
        Inset = FBevelWidth;
    }
    if (FBorderStyle == bsSingle) {
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetColor(Color());
        C->Rectangle(Inset, Inset, W - Inset, H - Inset);
        ++Inset;
    }
    if (FBevelInner != bvNone) {
        for (int I = 0; I < FBevelWidth; ++I)
            PaintBevelRing(I, Inset, FBevelInner);
        Inset += FBevelWidth;
    }
    return Inset;
}

// The text's rectangle: measured, placed by both alignments and kept inside the frame.
TRect TCustomBoxLabel::PlaceText(const AnsiString& Text, int Inset) {
    const int W = Width(), H = Height();
    TRect R = Rect(0, 0, W, H);
    Canvas()->DrawText(Text, R, DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    const int TextWidth = R.Width(), TextHeight = R.Height();
    switch (FHorizontalAlign) {
    case haTop:
        R.Top = Inset;
        break;
    case haCenter:
        R.Top = HalfToEven(H - TextHeight);
        break;
    case haBottom:
        R.Top = H - TextHeight - Inset;
        break;
    }
    R.Bottom = R.Top + TextHeight;
    switch (FAlignment) {
    case taLeftJustify:
        R.Left = 2 * Inset;
        R.Right = TextWidth + 2 * Inset;
        break;
    case taRightJustify:
        R.Left = W - TextWidth - 2 * Inset - 1;
        R.Right = W - 2 * Inset - 1;
        break;
    case taCenter:
        R.Left = Inset;
        R.Right = W - Inset;
        break;
    }
    R.Left = std::max(R.Left, Inset);
    R.Top = std::max(R.Top, Inset);
    R.Right = std::min(R.Right, W - Inset);
    R.Bottom = std::min(R.Bottom, H - Inset);
    return R;
}

unsigned TCustomBoxLabel::DrawFlags() const {
    unsigned Flags = DT_CENTER;
    if (FAlignment == taLeftJustify)
        Flags = DT_LEFT;
    else if (FAlignment == taRightJustify)
        Flags = DT_RIGHT;
    return Flags | (FWordWrap ? DT_WORDBREAK : 0);
}

// Disabled: a white copy one pixel right and down, under a grey copy without background.
void TCustomBoxLabel::DrawLabelText(const AnsiString& Text, TRect R, unsigned Flags) {
    TCanvas* C = Canvas();
    if (Enabled()) {
        C->DrawText(Text, R, Flags);
        return;
    }
    TFont* Font = C->Font();
    const TColor SavedColor = Font->Color();
    const TBrushStyle SavedStyle = C->Brush()->Style();
    Font->SetColor(clWhite);
    TRect Shifted = Rect(R.Left + 1, R.Top + 1, R.Right, R.Bottom);
    C->DrawText(Text, Shifted, Flags);
    Font->SetColor(DisabledTextColor);
    C->Brush()->SetStyle(bsClear);
    C->DrawText(Text, R, Flags);
    Font->SetColor(SavedColor);
    C->Brush()->SetStyle(SavedStyle);
}

void TCustomBoxLabel::Paint() {
    const int Inset = PaintFrame();
    const AnsiString Text = Truncated(GetLabelText(), MaxTextBytes);
    Canvas()->SetFont(Font());
    DrawLabelText(Text, PlaceText(Text, Inset), DrawFlags());
}

void RegisterBoxLabl() {
    TPublish<TCustomBoxLabel>("TCustomBoxLabel", "TGraphicControl")
        .Held()
        .Enum("Alignment", &TCustomBoxLabel::Alignment, &TCustomBoxLabel::SetAlignment,
              AlignmentNames())
        .Enum("HorizontalAlign", &TCustomBoxLabel::HorizontalAlign,
              &TCustomBoxLabel::SetHorizontalAlign, HorizontalAlignmentNames())
        .Int("TextBorder", &TCustomBoxLabel::TextBorder, &TCustomBoxLabel::SetTextBorder)
        .Bool("WordWrap", &TCustomBoxLabel::WordWrap, &TCustomBoxLabel::SetWordWrap)
        .Enum("BorderStyle", &TCustomBoxLabel::BorderStyle, &TCustomBoxLabel::SetBorderStyle,
              BorderStyleNames())
        .Int("Decimals", &TCustomBoxLabel::Decimals, &TCustomBoxLabel::SetDecimals)
        .Enum("BevelInner", &TCustomBoxLabel::BevelInner, &TCustomBoxLabel::SetBevelInner,
              BevelStyleNames())
        .Enum("BevelOuter", &TCustomBoxLabel::BevelOuter, &TCustomBoxLabel::SetBevelOuter,
              BevelStyleNames())
        .Int("BevelWidth", &TCustomBoxLabel::BevelWidth, &TCustomBoxLabel::SetBevelWidth)
        .Str("FormatString", &TCustomBoxLabel::FormatString, &TCustomBoxLabel::SetFormatString);
    TPublish<TBoxLabel>("TBoxLabel", "TCustomBoxLabel")
        .Creatable()
        .Publish({"Alignment",    "HorizontalAlign", "Caption",    "TextBorder", "BevelInner",
                  "BevelOuter",   "BevelWidth",      "Align",      "Enabled",    "Font",
                  "FormatString", "Color",           "DragCursor", "DragMode",   "OnClick",
                  "OnDblClick",   "OnDragDrop",      "OnDragOver", "OnEndDrag",  "OnMouseDown",
                  "OnMouseMove",  "OnMouseUp",       "PopUpMenu",  "ParentFont", "ParentShowHint",
                  "ParentColor",  "Width",           "Height",     "WordWrap",   "BorderStyle",
                  "Decimals",     "Visible"});
}

} // namespace BoxLabl
