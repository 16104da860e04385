// The hand-off file csv_inport.tmp: the mapped grid rows as lines of ";"-terminated fields,
// read by the host product after the wizard has ended.
#pragma once

#include "Grids.h"

struct THandOffLayout {
    int FieldCount;   // grid columns 1..FieldCount, one field each
    int FirstNumeric; // numeric columns, written as "0" when empty
    int LastNumeric;
};

constexpr THandOffLayout CostingLayout{13, 4, 12};
constexpr THandOffLayout UnitPriceLayout{18, 4, 17};

extern const char* const HandOffFileName; // "csv_inport.tmp"
extern const char* const RowMarker;       // "*"

// The hand-off file's path in the program's directory.
AnsiString HandOffPath();

// Writes one line per row whose marker cell (column 0) is not empty, in row order; empty
// numeric cells become "0" in the grid first. The file is written under a new temporary name
// beside it, brought to the disk and renamed over the hand-off file only when complete: on any
// failure the temporary file is removed, an older hand-off file stays as it was, and the error,
// naming the hand-off file, is raised.
void WriteHandOff(TStringGrid* Grid, const THandOffLayout& Layout, const AnsiString& Path);
