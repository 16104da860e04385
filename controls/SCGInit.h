// Values that the column string grid's units share: the declared defaults of the form files
// and the empty text handed out for unset strings. Included only by those units' sources.
#pragma once

#include "SCGParams.h"

namespace {

// Initial values, which are also the declared defaults of the form files. Qualified, since
// the framework's classes declare members of the same names.
namespace Init {
constexpr TAlignment Alignment = taLeftJustify;
constexpr TTextLayout Layout = tlTop;
constexpr TSCGCellCaptionType CaptionType = ctCellText;
constexpr TImeMode ImeMode = imDontCare;
constexpr TColor CellColor = clWindow;
constexpr TColor FontColor = clWindowText;
constexpr int FontWidth = 1;
constexpr bool Enabled = false; // every switch named ...Enabled
constexpr bool FocusDraw = true;
constexpr TColor FocusCellColor = clHighlight;
constexpr TColor FocusCellFontColor = clHighlightText;
constexpr bool CellDivide = true;
constexpr bool DefaultDrawing = false; // the grid paints its cells itself
constexpr TGridOptions GridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                   goRangeSelect};
} // namespace Init

const AnsiString& EmptyString() {
    static const AnsiString Text;
    return Text;
}

} // namespace
