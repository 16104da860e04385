#include "Graphics.h"

#include "PlatformCanvas.h"
#include "PlatformFiles.h"
#include "WinTypes.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

constexpr std::uint32_t SysColorFlag = 0xFF000000u;

const std::vector<const char*>& FontStyleNames() {
    static const std::vector<const char*> Names{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    return Names;
}

const std::vector<const char*>& BrushStyleNames() {
    static const std::vector<const char*> Names{"bsSolid",    "bsClear",     "bsHorizontal",
                                                "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                                "bsCross",    "bsDiagCross"};
    return Names;
}

const std::vector<const char*>& PenStyleNames() {
    static const std::vector<const char*> Names{
        "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
    return Names;
}

const std::vector<const char*>& PenModeNames() {
    static const std::vector<const char*> Names{"pmBlack", "pmWhite",   "pmNop", "pmNot",
                                                "pmCopy",  "pmNotCopy", "pmXor"};
    return Names;
}

std::uint32_t ReadLittleEndian32(const std::string& Bytes) {
    std::uint32_t Value = 0;
    for (int I = 3; I >= 0; --I)
        Value = Value << 8 | static_cast<unsigned char>(Bytes[I]);
    return Value;
}

// The platform's bitmap data: a 32-bit size, then a BMP file of that size.
std::string BitmapPayload(const std::string& Bytes) {
    const bool Sized = Bytes.size() >= 6 && Bytes[4] == 'B' && Bytes[5] == 'M' &&
                       ReadLittleEndian32(Bytes) == Bytes.size() - 4;
    return Sized ? Bytes.substr(4) : Bytes;
}

// The platform's picture data starts with the graphic's class name as a short string.
std::string PicturePayload(const std::string& Bytes) {
    const std::size_t NameLength = Bytes.empty() ? 0 : static_cast<unsigned char>(Bytes[0]);
    if (NameLength < 2 || Bytes.size() <= NameLength || Bytes[1] != 'T')
        return Bytes;
    const bool Ident = std::all_of(Bytes.begin() + 1, Bytes.begin() + 1 + NameLength, [](char C) {
        return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
    });
    return Ident ? Bytes.substr(1 + NameLength) : Bytes;
}

} // namespace

// ---- Colours

std::uint32_t ColorToRGB(TColor Color) {
    const auto Value = static_cast<std::uint32_t>(Color);
    if ((Value & SysColorFlag) != SysColorFlag)
        return Value;
    return Platform::SystemColor(static_cast<int>(Value & 0xFF));
}

const TIdentTable& ColorIdents() {
    static const TIdentTable Idents{
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clMoneyGreen", clMoneyGreen},
        {"clSkyBlue", clSkyBlue},
        {"clCream", clCream},
        {"clMedGray", clMedGray},
        {"clNone", clNone},
        {"clDefault", clDefault},
        {"clScrollBar", clScrollBar},
        {"clBackground", clBackground},
        {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption},
        {"clMenu", clMenu},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clMenuText", clMenuText},
        {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText},
        {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},
        {"clHotLight", clHotLight},
        {"clGradientActiveCaption", clGradientActiveCaption},
        {"clGradientInactiveCaption", clGradientInactiveCaption},
        {"clMenuHighlight", clMenuHighlight},
        {"clMenuBar", clMenuBar},
    };
    return Idents;
}

const TIdentTable& CharsetIdents() {
    static const TIdentTable Idents{
        {"ANSI_CHARSET", ANSI_CHARSET},
        {"DEFAULT_CHARSET", DEFAULT_CHARSET},
        {"SYMBOL_CHARSET", SYMBOL_CHARSET},
        {"MAC_CHARSET", 77},
        {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
        {"HANGEUL_CHARSET", 129},
        {"JOHAB_CHARSET", 130},
        {"GB2312_CHARSET", 134},
        {"CHINESEBIG5_CHARSET", 136},
        {"GREEK_CHARSET", 161},
        {"TURKISH_CHARSET", 162},
        {"VIETNAMESE_CHARSET", 163},
        {"HEBREW_CHARSET", 177},
        {"ARABIC_CHARSET", 178},
        {"BALTIC_CHARSET", 186},
        {"RUSSIAN_CHARSET", 204},
        {"THAI_CHARSET", 222},
        {"EASTEUROPE_CHARSET", 238},
        {"OEM_CHARSET", OEM_CHARSET},
    };
    return Idents;
}

void TGraphicsObject::Changed() {
    if (OnChange)
        OnChange(this);
}

// ---- TFont

TFont::TFont() = default;

void TFont::Assign(const TPersistent* Source) {
    const auto* Font = dynamic_cast<const TFont*>(Source);
    if (!Font) {
        TPersistent::Assign(Source);
        return;
    }
    FName = Font->FName;
    FHeight = Font->FHeight;
    FStyle = Font->FStyle;
    FColor = Font->FColor;
    FCharset = Font->FCharset;
    Changed();
}

Platform::TFontDesc TFont::Desc() const {
    return {FName,
            FHeight,
            FStyle.Contains(fsBold),
            FStyle.Contains(fsItalic),
            FStyle.Contains(fsUnderline),
            FStyle.Contains(fsStrikeOut),
            FCharset};
}

void TFont::SetName(const AnsiString& Value) {
    FName = Value;
    Changed();
}

void TFont::SetHeight(int Value) {
    FHeight = Value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, PixelsPerInch());
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

void TFont::SetStyle(TFontStyles Value) {
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    FCharset = Value;
    Changed();
}

// ---- TBrush

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(const TPersistent* Source) {
    const auto* Brush = dynamic_cast<const TBrush*>(Source);
    if (!Brush) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = Brush->FColor;
    FStyle = Brush->FStyle;
    if (Brush->FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(Brush->FBitmap.get());
    } else {
        FBitmap.reset();
    }
    Changed();
}

void TBrush::SetColor(TColor Value) {
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(const TBitmap* Value) {
    if (Value) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(Value);
    } else {
        FBitmap.reset();
    }
    Changed();
}

// ---- TPen

void TPen::Assign(const TPersistent* Source) {
    const auto* Pen = dynamic_cast<const TPen*>(Source);
    if (!Pen) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = Pen->FColor;
    FWidth = Pen->FWidth;
    FStyle = Pen->FStyle;
    FMode = Pen->FMode;
    Changed();
}

void TPen::SetColor(TColor Value) {
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    FWidth = std::max(Value, 0);
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    FMode = Value;
    Changed();
}

// ---- TBitmap

namespace {
AnsiString InvalidImageMessage() {
    return "画像のデータが不正です"_sj;
}
} // namespace

TBitmap::TBitmap() : FImage(Platform::NewImage()) {}

TBitmap::TBitmap(int AWidth, int AHeight) : TBitmap() {
    SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TPersistent* Source) {
    if (const auto* Picture = dynamic_cast<const TPicture*>(Source)) {
        Assign(Picture->Bitmap());
        return;
    }
    const auto* Bitmap = dynamic_cast<const TBitmap*>(Source);
    if (Source && !Bitmap) {
        TPersistent::Assign(Source);
        return;
    }
    if (Bitmap)
        Platform::CopyImage(*FImage, *Bitmap->FImage);
    else
        Platform::ResizeImage(*FImage, 0, 0);
    FData = Bitmap ? Bitmap->FData : std::string();
    FDataKey = Bitmap ? Bitmap->FDataKey : 0;
    Changed();
}

int TBitmap::Width() const {
    return Platform::ImageWidth(*FImage);
}

int TBitmap::Height() const {
    return Platform::ImageHeight(*FImage);
}

bool TBitmap::Empty() const {
    return Platform::ImageEmpty(*FImage);
}

// New pixels are white; the part of the old image that still fits is kept.
void TBitmap::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == Width() && AHeight == Height())
        return;
    Platform::ResizeImage(*FImage, AWidth, AHeight);
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        Platform::BindImage(FCanvas->Target(), FImage.get());
    }
    return FCanvas.get();
}

void TBitmap::LoadFromBytes(const std::string& Bytes) {
    if (!Platform::LoadImage(*FImage, Bytes))
        throw EInvalidImage(InvalidImageMessage());
    FData.clear();
    Changed();
}

void TBitmap::LoadFromResource(const AnsiString& Name) {
    std::string Bytes;
    if (!Platform::ReadResource("images", Name, Bytes))
        throw EInvalidImage(InvalidImageMessage() + ": " + Name);
    LoadFromBytes(Bytes);
}

std::string TBitmap::SaveToBytes() const {
    return Platform::SaveImagePng(*FImage);
}

std::string TBitmap::Data() const {
    if (!FData.empty() && Platform::ImageVersion(*FImage) == FDataKey)
        return FData;
    return SaveToBytes();
}

void TBitmap::SetData(const std::string& Bytes) {
    if (Bytes.empty()) {
        Assign(nullptr);
        return;
    }
    LoadFromBytes(BitmapPayload(Bytes));
    FData = Bytes;
    FDataKey = Platform::ImageVersion(*FImage);
}

void TBitmap::Changed() {
    if (OnChange)
        OnChange(this);
}

// ---- TPicture

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {
    FBitmap->OnChange = [this](TObject*) {
        if (OnChange)
            OnChange(this);
    };
}

TPicture::~TPicture() = default;

void TPicture::Assign(const TPersistent* Source) {
    if (const auto* Picture = dynamic_cast<const TPicture*>(Source)) {
        FBitmap->Assign(Picture->FBitmap.get());
        FData = Picture->FData;
        FDataKey = Picture->FDataKey;
        return;
    }
    if (Source && !dynamic_cast<const TBitmap*>(Source)) {
        TPersistent::Assign(Source);
        return;
    }
    FBitmap->Assign(Source);
    FData.clear();
}

std::string TPicture::Data() const {
    if (FBitmap->Empty())
        return {};
    if (!FData.empty() && Platform::ImageVersion(*FBitmap->FImage) == FDataKey)
        return FData;
    return FBitmap->SaveToBytes();
}

void TPicture::SetData(const std::string& Bytes) {
    FBitmap->SetData(PicturePayload(Bytes));
    FData = Bytes;
    FDataKey = Platform::ImageVersion(*FBitmap->FImage);
}

// ---- Published properties

void RegisterGraphics() {
    TPublish<TFont>("TFont", "TPersistent")
        .Int("Charset", &TFont::Charset, &TFont::SetCharset, std::nullopt, &CharsetIdents())
        .Int("Color", &TFont::Color, &TFont::SetColor, std::nullopt, &ColorIdents())
        .Int("Height", &TFont::Height, &TFont::SetHeight)
        .Str("Name", &TFont::Name, &TFont::SetName)
        .Int("Size", &TFont::Size, &TFont::SetSize)
        .StoredIf([](const TFont*) { return false; })
        .Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleNames());
    TPublish<TBrush>("TBrush", "TPersistent")
        .Int("Color", &TBrush::Color, &TBrush::SetColor, TBrush::DefaultColor, &ColorIdents())
        .Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleNames(),
              std::optional(TBrush::DefaultStyle));
    TPublish<TPen>("TPen", "TPersistent")
        .Int("Color", &TPen::Color, &TPen::SetColor, TPen::DefaultColor, &ColorIdents())
        .Enum("Mode", &TPen::Mode, &TPen::SetMode, PenModeNames(), std::optional(TPen::DefaultMode))
        .Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleNames(),
              std::optional(TPen::DefaultStyle))
        .Int("Width", &TPen::Width, &TPen::SetWidth, TPen::DefaultWidth);
    TPublish<TBitmap>("TBitmap", "TPersistent")
        .Binary("Data", &TBitmap::Data, &TBitmap::SetData)
        .StoredIf([](const TBitmap* B) { return !B->Empty(); });
    TPublish<TPicture>("TPicture", "TPersistent")
        .Binary("Data", &TPicture::Data, &TPicture::SetData)
        .StoredIf([](const TPicture* P) { return P->Graphic() != nullptr; });
}
