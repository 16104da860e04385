// The gradient panel: a panel that paints its face flat, as an image or as a two-colour
// gradient, draws its caption turned or not with a text effect, redraws its bevels on top, and
// can be moved and resized by the mouse through its hit-test answers.
#pragma once

#include "ExtCtrls.h"

#include <array>
#include <memory>
#include <vector>

enum TDirection {
    bdFlat,
    bdStretchImage,
    bdTileImage,
    bdUp,
    bdDown,
    bdLeft,
    bdRight,
    bdHorzIn,
    bdHorzOut,
    bdVertIn,
    bdVertOut
};
enum TTextEffect { tenone, teShadow, teRaised, teLowered, teEmbossed };
enum TTextRotation { trNone, TrUp, TrDown };
enum TVertAlign { vlTop, vlCenter, VlBottom };

const std::vector<const char*>& DirectionNames();
const std::vector<const char*>& TextEffectNames();
const std::vector<const char*>& TextRotationNames();
const std::vector<const char*>& VertAlignNames();

class TGradPan : public TPanel {
public:
    explicit TGradPan(TComponent* AOwner);
    const char* ClassName() const override { return "TGradPan"; }

    static constexpr TDirection InitBackGroundEffect = bdVertIn;
    static constexpr TVertAlign InitVertAlign = vlCenter;
    static constexpr TColor InitColorEnd = clWhite;
    static constexpr TColor InitColorStart = clTeal;
    static constexpr TColor InitColorShadow = clGray;
    static constexpr TTextEffect InitTextEffect = teShadow;
    static constexpr TTextRotation InitTextRotation = trNone;
    static constexpr bool InitCtl3D = false;
    static constexpr int InitMarge = 6;
    static constexpr bool InitMoveable = false;
    static constexpr int InitImageSize = 50;
    // The gradients have this many bands and colours.
    static constexpr int ColorTableSize = 100;
    // A rotated caption passes through a text buffer of 256 bytes with its terminator.
    static constexpr std::size_t MaxRotatedCaption = 255;

    TDirection BackGroundEffect() const { return FBackGroundEffect; }
    void SetBackGroundEffect(TDirection Value);
    TVertAlign VertAlign() const { return FVertAlign; }
    void SetVertAlign(TVertAlign Value);
    TColor ColorEnd() const { return FColorEnd; }
    void SetColorEnd(TColor Value);
    TColor ColorStart() const { return FColorStart; }
    void SetColorStart(TColor Value);
    TColor ColorShadow() const { return FColorShadow; }
    void SetColorShadow(TColor Value);
    TTextEffect TextEffect() const { return FTextEffect; }
    void SetTextEffect(TTextEffect Value);
    TTextRotation TextRotation() const { return FTextRotation; }
    void SetTextRotation(TTextRotation Value);
    // The panel's own flag: insets the image by the frame and repaints the border ring.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    // Assigning copies the image; the caller keeps its own.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* Value);
    int Marge() const { return FMarge; }
    void SetMarge(int Value) { FMarge = Value; }
    bool Moveable() const { return FMoveable; }
    void SetMoveable(bool Value) { FMoveable = Value; }

    TNotifyEvent OnPanelMove;

    void DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override;

protected:
    void Paint() override;
    int WMNCHitTest(TPoint Screen) override;

private:
    using TColorTable = std::array<TColor, ColorTableSize>;
    void ImageChanged();
    void PaintFace();
    void PaintGradient();
    void PaintImage();
    void FillFlat();
    void FillColorTable(TColor From, TColor To);
    TPoint CaptionPosition(int TextHeight) const;
    unsigned CaptionAlignMode() const;
    void PaintCaption();
    void CaptionPass(int X, int Y, TColor Color);
    void PaintFrame();
    void PaintOuterBevel();
    void PaintInnerBevel(int O);
    int HitZone(TPoint P) const;

    TDirection FBackGroundEffect = InitBackGroundEffect;
    TVertAlign FVertAlign = InitVertAlign;
    TColor FColorEnd = InitColorEnd;
    TColor FColorStart = InitColorStart;
    TColor FColorShadow = InitColorShadow;
    TTextEffect FTextEffect = InitTextEffect;
    TTextRotation FTextRotation = InitTextRotation;
    bool FCtl3D = InitCtl3D;
    std::unique_ptr<TBitmap> FBitmap;
    TColorTable FColorTable{};
    int FMarge = InitMarge;
    bool FMoveable = InitMoveable;
};

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterGradpan();
