// The Win32 back end of the platform's colours and fonts.
#include "Win32Api.h"
#include "Win32Graphics.h"
#include "Win32Text.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// The highest system colour index the layer names (clMenuBar).
constexpr int LastSystemColor = 30;

} // namespace

Platform::TRGB Platform::SystemColor(int Index) {
    if (Index < 0 || Index > LastSystemColor)
        return 0;
    return GetSysColor(Index);
}

HDC MeasureDc() {
    static const HDC Dc = CreateCompatibleDC(nullptr);
    return Dc;
}

LOGFONTW LogFontOf(const Platform::TFontDesc& Desc) {
    LOGFONTW Log{};
    Log.lfHeight = Desc.Height;
    Log.lfWeight = Desc.Bold ? FW_BOLD : FW_NORMAL;
    Log.lfItalic = Desc.Italic;
    Log.lfUnderline = Desc.Underline;
    Log.lfStrikeOut = Desc.StrikeOut;
    Log.lfCharSet = static_cast<BYTE>(Desc.Charset);
    Log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    Log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    Log.lfQuality = NONANTIALIASED_QUALITY;
    Log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring Name = WideOf(Desc.Name);
    Name.copy(Log.lfFaceName, LF_FACESIZE - 1);
    return Log;
}

TPlatformFont::TPlatformFont(const LOGFONTW& ALog)
    : Log(ALog), Font(CreateFontIndirectW(&Log)), Metrics{} {
    const HGDIOBJ Old = SelectObject(MeasureDc(), Font);
    GetTextMetricsW(MeasureDc(), &Metrics);
    SelectObject(MeasureDc(), Old);
}

TPlatformFont::~TPlatformFont() {
    DeleteObject(Font);
}

HFONT FontHandle(const TFont& Font) {
    static std::vector<std::pair<Platform::TFontDesc, std::unique_ptr<TPlatformFont>>> Made;
    const Platform::TFontDesc Desc = Font.Desc();
    const auto Found = std::find_if(Made.begin(), Made.end(),
                                    [&](const auto& Entry) { return Entry.first == Desc; });
    if (Found != Made.end())
        return Found->second->Font;
    Made.emplace_back(Desc, std::make_unique<TPlatformFont>(LogFontOf(Desc)));
    return Made.back().second->Font;
}

Platform::TFontPtr Platform::NewFont(const TFontDesc& Desc) {
    return TFontPtr(new TPlatformFont(LogFontOf(Desc)));
}

void Platform::TFontDelete::operator()(TPlatformFont* Font) const noexcept {
    delete Font;
}
