#include "HandOffWriter.h"

#include "FileStreams.h"
#include "WinApi.h"

const char* const HandOffFileName = "csv_inport.tmp";
const char* const RowMarker = "*";

namespace {

const char* const LineEnd = "\r\n";
const char* const FieldEnd = ";";
const char* const EmptyNumber = "0";
constexpr std::size_t FlushSize = 1 << 20;

// Appends the row's line to Out, first writing "0" into its empty numeric cells. A cell of
// a flush or more goes to the stream from where it is, after what Out holds.
void AppendRowLine(TStringGrid* Grid, const THandOffLayout& Layout, int Row, AnsiString& Out,
                   TSafeFileStream& Stream) {
    for (int Col = Layout.FirstNumeric; Col <= Layout.LastNumeric; ++Col)
        if (Grid->Cells(Col, Row).empty())
            Grid->SetCells(Col, Row, EmptyNumber);
    for (int Col = 1; Col <= Layout.FieldCount; ++Col) {
        const AnsiString& Cell = Grid->Cells(Col, Row);
        if (Cell.size() >= FlushSize) {
            Stream.Write(Out);
            Out.clear();
            Stream.Write(Cell);
        } else {
            Out.append(Cell);
        }
        Out.append(FieldEnd);
    }
    Out.append(LineEnd);
}

} // namespace

AnsiString HandOffPath() {
    return ProgramFilePath(HandOffFileName);
}

void WriteHandOff(TStringGrid* Grid, const THandOffLayout& Layout, const AnsiString& Path) {
    TSafeFileStream Stream(Path);
    AnsiString Buffer;
    Buffer.reserve(FlushSize + FlushSize / 8);
    for (int Row = 1; Row < Grid->RowCount(); ++Row) {
        if (Grid->Cells(0, Row).empty())
            continue;
        AppendRowLine(Grid, Layout, Row, Buffer, Stream);
        if (Buffer.size() >= FlushSize) {
            Stream.Write(Buffer);
            Buffer.clear();
        }
    }
    Stream.Write(Buffer);
    Stream.Commit();
}
