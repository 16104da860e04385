// The Qt back end of the platform's colours and fonts.
#include "PlatformCanvas.h"
#include "QtGraphics.h"
#include "QtText.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QSet>

#include <algorithm>
#include <array>

namespace {

struct TSysColorRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// System colours by index, as the roles of the running style's palette.
constexpr std::array<TSysColorRole, 31> SysColorRoles{{
    {QPalette::Active, QPalette::Button},            // clScrollBar
    {QPalette::Active, QPalette::Dark},              // clBackground
    {QPalette::Active, QPalette::Highlight},         // clActiveCaption
    {QPalette::Inactive, QPalette::Mid},             // clInactiveCaption
    {QPalette::Active, QPalette::Window},            // clMenu
    {QPalette::Active, QPalette::Base},              // clWindow
    {QPalette::Active, QPalette::Shadow},            // clWindowFrame
    {QPalette::Active, QPalette::WindowText},        // clMenuText
    {QPalette::Active, QPalette::Text},              // clWindowText
    {QPalette::Active, QPalette::HighlightedText},   // clCaptionText
    {QPalette::Active, QPalette::Button},            // clActiveBorder
    {QPalette::Active, QPalette::Button},            // clInactiveBorder
    {QPalette::Active, QPalette::Dark},              // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},         // clHighlight
    {QPalette::Active, QPalette::HighlightedText},   // clHighlightText
    {QPalette::Active, QPalette::Button},            // clBtnFace
    {QPalette::Active, QPalette::Dark},              // clBtnShadow
    {QPalette::Disabled, QPalette::Text},            // clGrayText
    {QPalette::Active, QPalette::ButtonText},        // clBtnText
    {QPalette::Inactive, QPalette::HighlightedText}, // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},             // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},            // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},          // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},       // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},       // clInfoBk
    {QPalette::Active, QPalette::Button},            // (unused index 25)
    {QPalette::Active, QPalette::Link},              // clHotLight
    {QPalette::Active, QPalette::Highlight},         // clGradientActiveCaption
    {QPalette::Inactive, QPalette::Mid},             // clGradientInactiveCaption
    {QPalette::Active, QPalette::Highlight},         // clMenuHighlight
    {QPalette::Active, QPalette::Window},            // clMenuBar
}};

// The platform's Japanese system fonts and the installed fonts that stand in for them.
const std::pair<const char8_t*, const char*> FontSubstitutes[] = {
    {u8"ＭＳ Ｐゴシック", "IPAPGothic"}, {u8"ＭＳ ゴシック", "IPAGothic"},
    {u8"ＭＳ Ｐ明朝", "IPAPMincho"},     {u8"ＭＳ 明朝", "IPAMincho"},
    {u8"MS PGothic", "IPAPGothic"},      {u8"MS Gothic", "IPAGothic"},
    {u8"MS PMincho", "IPAPMincho"},      {u8"MS Mincho", "IPAMincho"},
    {u8"MS UI Gothic", "IPAPGothic"},
};
// Sans fonts, in order of preference, for names that are neither installed nor mapped.
const char* const FallbackFamilies[] = {"DejaVu Sans", "Liberation Sans", "Noto Sans"};

QString FallbackFamily() {
    for (const char* Family : FallbackFamilies)
        if (QFontDatabase::hasFamily(Family))
            return Family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

// Makes Family resolve to an installed font, through a substitution where it is not one.
void EnsureResolvable(const QString& Family) {
    static QSet<QString> Checked;
    if (Checked.isEmpty())
        for (const auto& [Name, Substitute] : FontSubstitutes)
            QFont::insertSubstitution(QString::fromUtf8(Name), Substitute);
    if (Checked.contains(Family))
        return;
    Checked.insert(Family);
    if (QFont::substitutes(Family).isEmpty() && !QFontDatabase::hasFamily(Family))
        QFont::insertSubstitution(Family, FallbackFamily());
}

} // namespace

Platform::TRGB Platform::SystemColor(int Index) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= SysColorRoles.size())
        return 0;
    const TSysColorRole& R = SysColorRoles[static_cast<std::size_t>(Index)];
    const QColor C = QGuiApplication::palette().color(R.Group, R.Role);
    return RGB(C.red(), C.green(), C.blue());
}

QColor ToQColor(TColor Color) {
    return RGBToQColor(ColorToRGB(Color));
}

QFont ToQFont(const TFont& Font) {
    return ToQFont(Font.Desc());
}

// Negative heights are character heights (the em); positive ones are cell heights, which
// include the internal leading.
QFont ToQFont(const Platform::TFontDesc& Desc) {
    const QString Family = QtText::Decode(Desc.Name);
    EnsureResolvable(Family);
    QFont Result(Family);
    Result.setStyleStrategy(QFont::NoAntialias);
    const int Height = Desc.Height == 0 ? TFont::InitHeight : Desc.Height;
    if (Height < 0) {
        Result.setPixelSize(-Height);
    } else {
        Result.setPixelSize(Height);
        const QFontMetrics M(Result);
        const int Cell = M.ascent() + M.descent();
        Result.setPixelSize(std::max(1, (Height * Height + Cell / 2) / std::max(Cell, 1)));
    }
    Result.setBold(Desc.Bold);
    Result.setItalic(Desc.Italic);
    Result.setUnderline(Desc.Underline);
    Result.setStrikeOut(Desc.StrikeOut);
    return Result;
}

Platform::TFontPtr Platform::NewFont(const TFontDesc& Desc) {
    return TFontPtr(new TPlatformFont(ToQFont(Desc)));
}

void Platform::TFontDelete::operator()(TPlatformFont* Font) const noexcept {
    delete Font;
}
