// Colours, fonts, brushes, pens and the canvas that paints them onto an image.
#pragma once

#include "Classes.h"
#include "PlatformCanvas.h"
#include "TypInfo.h"

#include <memory>

// 32 bits: a plain colour is $00BBGGRR; top byte $FF names a system colour by its low byte.
using TColor = std::int32_t;

constexpr TColor SysColor(int Index) {
    return static_cast<TColor>(0xFF000000u | unsigned(Index));
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SysColor(0);
constexpr TColor clBackground = SysColor(1);
constexpr TColor clActiveCaption = SysColor(2);
constexpr TColor clInactiveCaption = SysColor(3);
constexpr TColor clMenu = SysColor(4);
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowFrame = SysColor(6);
constexpr TColor clMenuText = SysColor(7);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clCaptionText = SysColor(9);
constexpr TColor clActiveBorder = SysColor(10);
constexpr TColor clInactiveBorder = SysColor(11);
constexpr TColor clAppWorkSpace = SysColor(12);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clGrayText = SysColor(17);
constexpr TColor clBtnText = SysColor(18);
constexpr TColor clInactiveCaptionText = SysColor(19);
constexpr TColor clBtnHighlight = SysColor(20);
constexpr TColor cl3DDkShadow = SysColor(21);
constexpr TColor cl3DLight = SysColor(22);
constexpr TColor clInfoText = SysColor(23);
constexpr TColor clInfoBk = SysColor(24);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);
constexpr TColor clMenuHighlight = SysColor(29);
constexpr TColor clMenuBar = SysColor(30);

// The colour as $00BBGGRR, system colours resolved from the platform's palette; any other
// value is returned as it is.
std::uint32_t ColorToRGB(TColor Color);
inline int GetRValue(std::uint32_t RGB) {
    return RGB & 0xFF;
}
inline int GetGValue(std::uint32_t RGB) {
    return (RGB >> 8) & 0xFF;
}
inline int GetBValue(std::uint32_t RGB) {
    return (RGB >> 16) & 0xFF;
}
constexpr std::uint32_t RGB(int R, int G, int B) {
    return unsigned(R) | unsigned(G) << 8 | unsigned(B) << 16;
}

// Colour names of the form files (clBtnFace, clWhite, ...), for the property registry.
const TIdentTable& ColorIdents();
// Character set names of the form files (DEFAULT_CHARSET, SHIFTJIS_CHARSET, ...).
const TIdentTable& CharsetIdents();

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
using TFontCharset = int;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset SHIFTJIS_CHARSET = 128;
constexpr TFontCharset OEM_CHARSET = 255;

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

// A font by its name as form files write it; Japanese system font names and names that are not
// installed are mapped to installed fonts when the font reaches the screen.
class TFont : public TGraphicsObject {
public:
    TFont();
    const char* ClassName() const override { return "TFont"; }
    void Assign(const TPersistent* Source) override;

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    // Negative: character height in pixels; positive: cell height. Size is in points at 96 dpi.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    int PixelsPerInch() const { return 96; }
    // The font as the platform makes it.
    Platform::TFontDesc Desc() const;

    static constexpr const char* InitName = "MS Sans Serif";
    static constexpr int InitHeight = -11;
    static constexpr TColor InitColor = clWindowText;

private:
    AnsiString FName = InitName;
    int FHeight = InitHeight;
    TFontStyles FStyle;
    TColor FColor = InitColor;
    TFontCharset FCharset = DEFAULT_CHARSET;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    const char* ClassName() const override { return "TBrush"; }
    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    // Giving a clear brush a colour makes it solid, as the platform does.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* Value);

    static constexpr TColor DefaultColor = clWhite;
    static constexpr TBrushStyle DefaultStyle = bsSolid;

private:
    TColor FColor = DefaultColor;
    TBrushStyle FStyle = DefaultStyle;
    std::unique_ptr<TBitmap> FBitmap;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor };

class TPen : public TGraphicsObject {
public:
    const char* ClassName() const override { return "TPen"; }
    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    static constexpr TColor DefaultColor = clBlack;
    static constexpr int DefaultWidth = 1;
    static constexpr TPenStyle DefaultStyle = psSolid;
    static constexpr TPenMode DefaultMode = pmCopy;

private:
    TColor FColor = DefaultColor;
    int FWidth = DefaultWidth;
    TPenStyle FStyle = DefaultStyle;
    TPenMode FMode = DefaultMode;
};

// DrawText flags of the platform.
constexpr unsigned DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800;
// Text background modes and text alignment of the platform.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
                   TA_BASELINE = 24;

class TGraphic;
class TGraphicsAccess;

// Paints on an image with the platform's rules: rectangles exclude their right and bottom
// edges, LineTo leaves out its end point, text is drawn from its top-left corner (or the
// reference point chosen by SetTextAlign) with an opaque background when the brush is solid.
// Choosing a brush sets the background mode as the platform does: opaque for a solid brush,
// transparent for any other; SetBkMode overrides it until the brush changes again. The pen
// mode applies to lines, outlines and the inside of Rectangle and Ellipse; FillRect,
// FrameRect and text always copy.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    const char* ClassName() const override { return "TCanvas"; }

    TBrush* Brush() const { return FBrush.get(); }
    TPen* Pen() const { return FPen.get(); }
    TFont* Font() const { return FFont.get(); }
    void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
    void SetPen(const TPen* Value) { FPen->Assign(Value); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TPoint PenPos() const { return FPenPos; }

    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void TextOut(int X, int Y, const AnsiString& Text);
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    int TextWidth(const AnsiString& Text);
    int TextHeight(const AnsiString& Text);
    TColor Pixel(int X, int Y) const;          // as $00BBGGRR; clNone outside the image
    void SetPixel(int X, int Y, TColor Color); // honours the clip rectangle
    void Draw(int X, int Y, const TGraphic* Graphic);
    void StretchDraw(const TRect& R, const TGraphic* Graphic);
    // Draws Text into R by the DT_ flags; returns the height of the text drawn (with
    // DT_VCENTER or DT_BOTTOM on a single line: from R.Top to the bottom of the text).
    // DT_CALCRECT draws nothing and sets R.Right and R.Bottom to the text's extent.
    int DrawText(const AnsiString& Text, TRect& R, unsigned Format);
    int SetBkMode(int Mode);
    unsigned SetTextAlign(unsigned Align);
    // Text drawn turned by Escapement tenths of a degree counter-clockwise around (X, Y).
    void TextOutRotated(int X, int Y, int Escapement, const AnsiString& Text);
    void CopyRect(const TRect& Dest, const TCanvas* Source, const TRect& Src);
    // Restricts painting to R (in canvas coordinates) until ResetClip.
    void SetClipRect(const TRect& R);
    void ResetClip();
    // The area painting may reach: the clip rectangle, or the whole image.
    TRect ClipRect() const;

    // Whether the layer has bound the canvas to an image (TGraphicsAccess::BeginPaint).
    bool Painting() const;

private:
    friend class TBitmap;
    friend class TGraphicsAccess;
    struct TState;
    TPlatformCanvas& Target() const;
    // The target with the canvas's font selected.
    TPlatformCanvas& TextTarget() const;
    Platform::TPenDesc PenDesc() const;
    Platform::TBrushDesc BrushDesc() const;
    Platform::TTextPaint TextPaint(bool Opaque) const;
    bool PenDraws() const;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TState> FState;
    TPoint FPenPos;
    int FBkMode = OPAQUE;
    unsigned FTextAlign = TA_LEFT | TA_TOP;
};

class TGraphic : public TPersistent {
public:
    TNotifyEvent OnChange;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;

private:
    friend class TCanvas;
    friend class TGraphicsAccess;
    virtual const TPlatformImage& Image() const = 0;
};

// An image with a canvas that paints on it.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;
    const char* ClassName() const override { return "TBitmap"; }
    void Assign(const TPersistent* Source) override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void SetSize(int AWidth, int AHeight);
    // The canvas is bound to the image for as long as the bitmap lives.
    TCanvas* Canvas();
    // Reads an image in any format the platform knows (PNG, BMP, ICO); EInvalidImage otherwise,
    // leaving the bitmap as it was.
    void LoadFromBytes(const std::string& Bytes);
    // The image file compiled into the program under Name among its images; EInvalidImage
    // when absent or not an image.
    void LoadFromResource(const AnsiString& Name);
    std::string SaveToBytes() const; // PNG
    // The image as form files hold it: the bytes it was read from while it is unchanged,
    // else PNG. SetData also takes the platform's bitmap data (a 32-bit size, then a BMP file).
    std::string Data() const;
    void SetData(const std::string& Bytes);

private:
    friend class TCanvas;
    friend class TGraphicsAccess;
    friend class TPicture;
    const TPlatformImage& Image() const override { return *FImage; }
    void Changed();
    Platform::TImagePtr FImage;
    std::unique_ptr<TCanvas> FCanvas;
    std::string FData;
    std::int64_t FDataKey = 0;
};

using TIcon = TBitmap;

// A graphic of any kind held by a control; stored in form files as binary data: the platform's
// form (a class name such as TBitmap or TIcon, then that class's data) or plain image bytes.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    const char* ClassName() const override { return "TPicture"; }
    void Assign(const TPersistent* Source) override;
    TBitmap* Bitmap() const { return FBitmap.get(); }
    TGraphic* Graphic() const { return FBitmap->Empty() ? nullptr : FBitmap.get(); }
    std::string Data() const;
    void SetData(const std::string& Bytes);
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> FBitmap;
    std::string FData;
    std::int64_t FDataKey = 0;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterGraphics();
