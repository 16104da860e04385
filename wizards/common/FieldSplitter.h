// Taking a source line apart: the separator chosen by the user and the fields it delimits.
//
// A field is the text between two separators (or the line's start or end). There is no
// quoting, escaping or trimming: the separator bytes never occur as the second byte of a
// double-byte character, so a plain byte search never splits a Japanese character.
#pragma once

#include "SysUtils.h"

// The separator of a radio item of Separater_Char: comma, tab, space, semicolon; else "".
AnsiString SeparatorFor(int ItemIndex);

// The n-th field of Line (n from 1); "" beyond the line's fields and for the empty separator.
AnsiString ExtractField(const AnsiString& Line, const AnsiString& Separator, int N);

// The number of separators in Line, plus one when text follows the last one; 0 for the
// empty line and for the empty separator.
int CountFields(const AnsiString& Line, const AnsiString& Separator);
