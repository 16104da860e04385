// The box label: a windowless caption on a box with an outer bevel, a one-pixel border and an
// inner bevel, its text placed by two alignments and embossed in grey while disabled.
#pragma once

#include "Controls.h"

#include <cstdint>
#include <vector>

// The unit's own enumerations share names with the layer's, hence the unit's namespace.
namespace BoxLabl {

enum THorizontalAlignment { haTop, haCenter, haBottom };
enum TBevelStyle { bvRaised, bvNone, bvLowered };
enum TBorderStyle { bsSingle, bsNone };
const std::vector<const char*>& HorizontalAlignmentNames();
const std::vector<const char*>& BevelStyleNames();
const std::vector<const char*>& BorderStyleNames();

class TCustomBoxLabel : public TGraphicControl {
public:
    explicit TCustomBoxLabel(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomBoxLabel"; }

    static constexpr TAlignment InitAlignment = taCenter;
    static constexpr THorizontalAlignment InitHorizontalAlign = haCenter;
    static constexpr int InitTextBorder = 2;
    static constexpr bool InitWordWrap = false;
    static constexpr TBorderStyle InitBorderStyle = bsNone;
    static constexpr std::int8_t InitDecimals = 0;
    static constexpr TBevelStyle InitBevelInner = bvLowered;
    static constexpr TBevelStyle InitBevelOuter = bvRaised;
    static constexpr int InitBevelWidth = 1;
    static constexpr int InitWidth = 70;
    static constexpr int InitHeight = 20;
    static constexpr TColor InitColor = clBtnFace;
    // The text passes through a buffer of 256 bytes, terminator included.
    static constexpr std::size_t MaxTextBytes = 255;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    THorizontalAlignment HorizontalAlign() const { return FHorizontalAlign; }
    void SetHorizontalAlign(THorizontalAlignment Value);
    int TextBorder() const { return FTextBorder; }
    void SetTextBorder(int Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    std::int8_t Decimals() const { return FDecimals; }
    void SetDecimals(std::int8_t Value) { FDecimals = Value; }
    TBevelStyle BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelStyle Value);
    TBevelStyle BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelStyle Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    const AnsiString& FormatString() const { return FFormatString; }
    void SetFormatString(const AnsiString& Value) { FFormatString = Value; }

protected:
    void Paint() override;
    virtual AnsiString GetLabelText() const;
    virtual void SetLabelText(const AnsiString& Value);

private:
    void PaintBevelRing(int I, int Inset, TBevelStyle Bevel);
    int PaintFrame();
    TRect PlaceText(const AnsiString& Text, int Inset);
    unsigned DrawFlags() const;
    void DrawLabelText(const AnsiString& Text, TRect R, unsigned Flags);
    TAlignment FAlignment = InitAlignment;
    THorizontalAlignment FHorizontalAlign = InitHorizontalAlign;
    int FTextBorder = InitTextBorder;
    bool FWordWrap = InitWordWrap;
    TBorderStyle FBorderStyle = InitBorderStyle;
    std::int8_t FDecimals = InitDecimals;
    TBevelStyle FBevelInner = InitBevelInner;
    TBevelStyle FBevelOuter = InitBevelOuter;
    int FBevelWidth = InitBevelWidth;
    AnsiString FFormatString;
};

class TBoxLabel : public TCustomBoxLabel {
public:
    using TCustomBoxLabel::TCustomBoxLabel;
    const char* ClassName() const override { return "TBoxLabel"; }
};

// Rounds N / 2 to the nearest integer, halves to the even neighbour.
int HalfToEven(int N);

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterBoxLabl();

} // namespace BoxLabl

using BoxLabl::RegisterBoxLabl;
using BoxLabl::TBoxLabel;
using BoxLabl::TCustomBoxLabel;
