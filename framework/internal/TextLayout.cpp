#include "TextLayout.h"

#include <string_view>

namespace {

void StripPrefixes(const AnsiString& Source, TTextLines& Layout) {
    for (std::size_t I = 0; I < Source.size();) {
        if (Source[I] == '&' && I + 1 < Source.size() && Source[I + 1] != '&') {
            Layout.Accel = Layout.Text.size();
            ++I;
            continue;
        }
        if (Source[I] == '&')
            I += I + 1 < Source.size() ? 1 : 0;
        const std::size_t Length = CharLength(Source, I);
        Layout.Text.append(Source, I, Length);
        I += Length;
    }
}

// Breaks a paragraph into lines no wider than MaxWidth where it can: after spaces (which the
// break swallows) and before or after a double-byte character. A word wider than the line
// stays whole.
void WrapParagraph(std::size_t Start, std::size_t End, int MaxWidth, const TTextMeasure& Width,
                   TTextLines& Layout) {
    if (Width(Start, End) <= MaxWidth) {
        Layout.Lines.emplace_back(Start, End);
        return;
    }
    const AnsiString& Text = Layout.Text;
    std::size_t LineStart = Start, BreakEnd = AnsiString::npos, BreakNext = 0;
    int Used = 0;
    for (std::size_t I = Start; I < End;) {
        const std::size_t Length = CharLength(Text, I);
        const bool Space = Text[I] == ' ';
        const bool Double = Length == 2;
        if (Space) {
            if (I == LineStart || Text[I - 1] != ' ')
                BreakEnd = I;
            BreakNext = I + 1;
        } else if (Double && I > LineStart) {
            BreakEnd = BreakNext = I;
        }
        const int Advance = Width(I, I + Length);
        if (!Space && Used + Advance > MaxWidth && BreakEnd != AnsiString::npos &&
            BreakEnd > LineStart) {
            Layout.Lines.emplace_back(LineStart, BreakEnd);
            LineStart = BreakNext;
            while (LineStart < End && Text[LineStart] == ' ')
                ++LineStart;
            I = LineStart;
            Used = 0;
            BreakEnd = AnsiString::npos;
            continue;
        }
        Used += Advance;
        I += Length;
        if (Double)
            BreakEnd = BreakNext = I;
    }
    if (LineStart < End)
        Layout.Lines.emplace_back(LineStart, End);
}

} // namespace

std::size_t CharLength(const AnsiString& Text, std::size_t At) {
    return IsLeadByte(Text[At]) && At + 1 < Text.size() ? 2 : 1;
}

void LayOutText(const AnsiString& Text, unsigned Format, int Width, const TTextMeasure& Measure,
                TTextLines& Layout) {
    Layout = TTextLines{};
    if (Format & DT_NOPREFIX)
        Layout.Text = Text;
    else
        StripPrefixes(Text, Layout);
    if (Format & DT_SINGLELINE) {
        if (!Layout.Text.empty())
            Layout.Lines.emplace_back(0, Layout.Text.size());
        return;
    }
    ForEachLine(std::string_view(Layout.Text), [&](std::string_view Line) {
        const auto Start = static_cast<std::size_t>(Line.data() - Layout.Text.data());
        if (Format & DT_WORDBREAK)
            WrapParagraph(Start, Start + Line.size(), Width, Measure, Layout);
        else
            Layout.Lines.emplace_back(Start, Start + Line.size());
    });
}
