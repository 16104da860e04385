// Taking a source line apart: the separator chosen by the user and the fields it delimits.
//
// A field is the text between two separators (or the line's start or end). There is no
// quoting, escaping or trimming: the separator bytes never occur as the second byte of a
// double-byte character, so a plain byte search never splits a Japanese character.
#pragma once

#include "Classes.h"

// The separator of a radio item of Separater_Char: comma, tab, space, semicolon; else "".
AnsiString SeparatorFor(int ItemIndex);

// The n-th field of Line (n from 1); "" beyond the line's fields and for the empty separator.
AnsiString ExtractField(std::string_view Line, std::string_view Separator, int N);

// The number of separators in Line, plus one when text follows the last one; 0 for the
// empty line and for the empty separator.
int CountFields(std::string_view Line, std::string_view Separator);

// The fields of all lines, taken one field after another as the wizard offers them: asked for
// the field after the one it gave last, it scans only that field of each line.
class TFieldWalker {
public:
    // Field N of every line, as ExtractField gives it, as views into the lines.
    TStringViews Fields(const TStringList& Lines, std::string_view Separator, int N);
    // Forgets the lines, which are about to change.
    void Reset();

private:
    // By line: where field FNextField starts, or npos.
    std::vector<std::size_t, TLargeAllocator<std::size_t>> FStarts;
    AnsiString FSeparator;
    int FNextField = 0;
};
