// Reading the chosen file into the list of source lines.
#pragma once

#include "Classes.h"

// Replaces Lines by the lines of the file. Lines end at CR, LF or CR LF; a break at the very
// end adds no empty line; NUL bytes at the very end are ignored. A file that starts with a
// UTF-8 or UTF-16 byte-order mark is converted to code page 932; any other file is taken as
// bytes. Raises, leaving Lines untouched, for a file that cannot be read (EFOpenError,
// EReadError), one with a NUL byte inside its data (not a text file), and a converted file
// holding a character code page 932 cannot hold or an invalid sequence (the line is named).
void LoadSourceLines(TStrings* Lines, const AnsiString& FileName);
