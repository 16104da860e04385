// Reading the chosen file into the list of source lines.
#pragma once

#include "Classes.h"

// Larger files are refused: their lines, list items and grid cells would not fit in memory.
extern const std::size_t MaxSourceBytes;

// Replaces Lines by the lines of the file. Lines end at CR, LF or CR LF; a break at the very
// end adds no empty line; NUL bytes at the very end are ignored. A file that starts with a
// UTF-8 or UTF-16 byte-order mark is converted to code page 932, and so is a file without a
// mark that is not code page 932 text but is UTF-8; any other file is taken as bytes. Raises,
// leaving Lines untouched, for a file that cannot be read (EFOpenError, EReadError: a missing
// file, a folder, a pipe or device, a file above MaxSourceBytes), one with a NUL byte inside
// its data (not a text file), UTF-16 with an odd number of bytes, and a converted file holding
// a character code page 932 cannot hold or an invalid sequence (the line is named).
void LoadSourceLines(TStrings* Lines, const AnsiString& FileName);
// The same for bytes already read; FileName names them in messages.
void LoadSourceText(TStrings* Lines, TTextBytes Bytes, const AnsiString& FileName);
