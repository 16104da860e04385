#include "QtGraphics.h"

#include "QtText.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QSet>

#include <algorithm>

namespace {

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

QColor ToQColor(TColor Color) {
    const std::uint32_t Value = ColorToRGB(Color);
    return QColor(GetRValue(Value), GetGValue(Value), GetBValue(Value));
}

// Negative heights are character heights (the em); positive ones are cell heights, which
// include the internal leading.
QFont ToQFont(const TFont& Font) {
    const QString Family = QtText::Decode(Font.Name());
    EnsureResolvable(Family);
    QFont Result(Family);
    Result.setStyleStrategy(QFont::NoAntialias);
    const int Height = Font.Height() == 0 ? TFont::InitHeight : Font.Height();
    if (Height < 0) {
        Result.setPixelSize(-Height);
    } else {
        Result.setPixelSize(Height);
        const QFontMetrics M(Result);
        const int Cell = M.ascent() + M.descent();
        Result.setPixelSize(std::max(1, (Height * Height + Cell / 2) / std::max(Cell, 1)));
    }
    const TFontStyles Style = Font.Style();
    Result.setBold(Style.Contains(fsBold));
    Result.setItalic(Style.Contains(fsItalic));
    Result.setUnderline(Style.Contains(fsUnderline));
    Result.setStrikeOut(Style.Contains(fsStrikeOut));
    return Result;
}
