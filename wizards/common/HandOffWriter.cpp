#include "HandOffWriter.h"

#include "WinApi.h"

const char* const HandOffFileName = "csv_inport.tmp";
const char* const RowMarker = "*";

namespace {

const char* const LineEnd = "\r\n";
const char* const FieldEnd = ";";
const char* const EmptyNumber = "0";
const char* const PartSuffix = ".part";
constexpr std::size_t FlushSize = 1 << 20;

AnsiString RowLine(TStringGrid* Grid, const THandOffLayout& Layout, int Row) {
    for (int Col = Layout.FirstNumeric; Col <= Layout.LastNumeric; ++Col)
        if (Grid->Cells(Col, Row).empty())
            Grid->SetCells(Col, Row, EmptyNumber);
    AnsiString Line;
    for (int Col = 1; Col <= Layout.FieldCount; ++Col)
        Line += Grid->Cells(Col, Row) + FieldEnd;
    return Line + LineEnd;
}

void WriteRows(TStringGrid* Grid, const THandOffLayout& Layout, const AnsiString& FileName) {
    TFileStream Stream(FileName, fmCreate);
    AnsiString Buffer;
    for (int Row = 1; Row < Grid->RowCount(); ++Row) {
        if (Grid->Cells(0, Row).empty())
            continue;
        Buffer += RowLine(Grid, Layout, Row);
        if (Buffer.size() >= FlushSize) {
            Stream.Write(Buffer);
            Buffer.clear();
        }
    }
    Stream.Write(Buffer);
    Stream.Close();
}

} // namespace

AnsiString HandOffPath() {
    return ProgramFilePath(HandOffFileName);
}

void WriteHandOff(TStringGrid* Grid, const THandOffLayout& Layout, const AnsiString& Path) {
    const AnsiString PartName = Path + PartSuffix;
    try {
        WriteRows(Grid, Layout, PartName);
        if (!RenameFile(PartName, Path))
            throw EWriteError("ファイル \""_sj + Path + "\" を書き込めません"_sj);
    } catch (...) {
        DeleteFile(PartName);
        throw;
    }
}
