// The line layout of DrawText, for the back ends: access-key marks taken out, paragraphs at
// line breaks, and word wrap, with the measuring of text left to the back end.
#pragma once

#include "Graphics.h"

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

// Text prepared for DrawText: access-key marks taken out, and lines as byte ranges.
struct TTextLines {
    AnsiString Text;
    std::size_t Accel = AnsiString::npos; // byte offset of the underlined character
    std::vector<std::pair<std::size_t, std::size_t>> Lines;
};

// The width in pixels of the bytes Start to End of the laid-out text.
using TTextMeasure = std::function<int(std::size_t Start, std::size_t End)>;

// The length in bytes of the character at At: 2 for a double-byte one.
std::size_t CharLength(const AnsiString& Text, std::size_t At);

// Fills Layout with Text laid out by the DT_ flags of Format (DT_NOPREFIX, DT_SINGLELINE,
// DT_WORDBREAK) in lines no wider than Width where it can. Measure measures Layout.Text.
void LayOutText(const AnsiString& Text, unsigned Format, int Width, const TTextMeasure& Measure,
                TTextLines& Layout);
