#include "upellisk.h"

#include "WinApi.h"

#include <utility>

namespace {
// Columns 1..18 hold the items; the remarks column 18 is text, given explicit left alignment.
constexpr TWizardLayout UnitPriceWizard{UnitPriceLayout, 18, 18, true};
const char* const CsvTempFileName = "csvtemp.csv";
const char* const IndentUnit = "   ";
constexpr int NameCol = 1;
} // namespace

AnsiString PelliskTitle() {
    return "クォヴァント-CSV→CODE単価"_sj;
}

Tfpellisk::Tfpellisk(TComponent* AOwner) : TWizardForm(AOwner, UnitPriceWizard) {
    const std::pair<const char*, void (Tfpellisk::*)(TObject*)> Commands[] = {
        {"Button11Click", &Tfpellisk::Button11Click},
        {"N1Click", &Tfpellisk::N1Click},
        {"N2Click", &Tfpellisk::N2Click},
        {"N3Click", &Tfpellisk::N3Click},
        {"N4Click", &Tfpellisk::N4Click},
        {"N5Click", &Tfpellisk::N5Click},
        {"N8Click", &Tfpellisk::N8Click},
        {"N11Click", &Tfpellisk::N11Click}};
    for (const auto& Command : Commands)
        PublishMethod(Command.first, TNotifyEvent([this, Handler = Command.second](TObject* S) {
                          (this->*Handler)(S);
                      }));
    PublishMethod("StrColGrid1SetEditText",
                  TSetEditEvent([this](TObject* S, int C, int R, const AnsiString& V) {
                      StrColGrid1SetEditText(S, C, R, V);
                  }));
    LoadForm("upellisk.dfm");
}

void Tfpellisk::Button11Click(TObject*) {
    DeleteProgramFile(CsvTempFileName);
    Close();
}

// A row the user typed into is imported; an inserted or added row left empty is not.
void Tfpellisk::StrColGrid1SetEditText(TObject*, int ACol, int ARow, const AnsiString& Value) {
    if (ACol >= StrColGrid1->FixedCols() && ARow >= StrColGrid1->FixedRows() && !Value.empty() &&
        StrColGrid1->Cells(0, ARow).empty())
        StrColGrid1->SetCells(0, ARow, RowMarker);
}

void Tfpellisk::N1Click(TObject*) {
    const int R = SelectedRow();
    StrColGrid1->SetCells(NameCol, R, IndentUnit + StrColGrid1->Cells(NameCol, R));
}

void Tfpellisk::N2Click(TObject*) {
    const int R = SelectedRow();
    StrColGrid1->SetCells(NameCol, R, Trim(StrColGrid1->Cells(NameCol, R)));
}

void Tfpellisk::N3Click(TObject*) {
    DeleteGridRows(StrColGrid1, SelectedRow(), SelectedRow());
}

void Tfpellisk::N4Click(TObject*) {
    if (SelectedRow() != 1)
        SwapGridRow(SelectedRow(), TSwapDirection::Up);
}

void Tfpellisk::N5Click(TObject*) {
    SwapGridRow(SelectedRow(), TSwapDirection::Down);
}

void Tfpellisk::N8Click(TObject*) {
    InsertGridRows(StrColGrid1, SelectedRow(), 1);
}

void Tfpellisk::N11Click(TObject*) {
    StrColGrid1->SetRowCount(StrColGrid1->RowCount() + 1);
}

void Tfpellisk::SwapGridRow(int R, TSwapDirection Direction) {
    const bool Down = Direction == TSwapDirection::Down;
    if (SelectedRow() == (Down ? StrColGrid1->RowCount() - 1 : 1))
        return;
    const int Partner = Down ? R + 1 : R - 1;
    for (int Col = 0; Col < StrColGrid1->ColCount(); ++Col) {
        const AnsiString Saved = StrColGrid1->Cells(Col, Partner);
        StrColGrid1->SetCells(Col, Partner, StrColGrid1->Cells(Col, R));
        StrColGrid1->SetCells(Col, R, Saved);
    }
    StrColGrid1->SetSelection({1, Partner, StrColGrid1->ColCount() - 1, Partner});
    PostMessage(StrColGrid1->Handle(), WM_LBUTTONDOWN, 0, 0);
    PostMessage(StrColGrid1->Handle(), WM_LBUTTONUP, 0, 0);
}

void DeleteGridRows(TStringGrid* Grid, int First, int Last) {
    if (Last < First)
        std::swap(First, Last);
    if (First > Grid->RowCount() - 1)
        return;
    Last = std::min(Last, Grid->RowCount() - 1);
    First = std::max(First, Grid->FixedRows());
    int Count = Last - First + 1;
    if (Grid->FixedRows() + 1 == Grid->RowCount() ||
        Grid->RowCount() - Count <= Grid->FixedRows()) {
        Grid->Rows(Grid->FixedRows())->Clear();
        --Count;
    } else {
        for (int I = Last + 1; I < Grid->RowCount(); ++I)
            Grid->Rows(I - Count)->Assign(Grid->Rows(I));
    }
    Grid->SetRowCount(Grid->RowCount() - Count);
}

void InsertGridRows(TStringGrid* Grid, int Index, int Count) {
    if (Count < 1 || Index < 0)
        return;
    Grid->SetRowCount(Grid->RowCount() + Count);
    for (int I = Grid->RowCount() - 1; I >= Index + Count; --I)
        Grid->Rows(I)->Assign(Grid->Rows(I - Count));
    for (int I = Index; I < Index + Count; ++I)
        Grid->Rows(I)->Clear();
}

// ---- Published properties

void RegisterPelliskClasses() {
    RegisterOnce([] {
        RegisterWizardForm();
        TPublish<Tfpellisk>("Tfpellisk", "TWizardForm");
    });
}
