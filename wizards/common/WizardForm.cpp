#include "WizardForm.h"

#include "CtrlsReg.h"
#include "FileStreams.h"
#include "SourceLines.h"
#include "WinApi.h"

namespace {
constexpr int GridRowsAtLoad = 50;
constexpr int GridPanelTop = 64;
const char* const HelpFile = "QUOVANT.CHM";
const char* const HelpVerb = "OPEN";
} // namespace

void DeleteProgramFile(const AnsiString& Name) {
    EraseFile(ProgramFilePath(Name));
}

TWizardForm::TWizardForm(TComponent* AOwner, const TWizardLayout& ALayout)
    : TForm(AOwner), FLayout(ALayout) {
    PublishMethod("FormCreate", TNotifyEvent([this](TObject* S) { FormCreate(S); }));
    PublishMethod("FormShow", TNotifyEvent([this](TObject* S) { FormShow(S); }));
    PublishMethod("FormClose",
                  TCloseEvent([this](TObject* S, TCloseAction& A) { FormClose(S, A); }));
    PublishMethod("Button21Click", TNotifyEvent([this](TObject* S) { Button21Click(S); }));
    PublishMethod("Button1Click", TNotifyEvent([this](TObject* S) { Button1Click(S); }));
    PublishMethod("IconButton1Click", TNotifyEvent([this](TObject* S) { IconButton1Click(S); }));
    PublishMethod("IconButton3Click", TNotifyEvent([this](TObject* S) { IconButton3Click(S); }));
    PublishMethod("IconButton4Click", TNotifyEvent([this](TObject* S) { IconButton4Click(S); }));
}

TWizardForm::~TWizardForm() = default;

void TWizardForm::LoadForm(const AnsiString& ResourceName) {
    ReadForm(ResourceName);
    Panel6 = ComponentByName<TPanel>(this, "Panel6");
    Panel7 = ComponentByName<TPanel>(this, "Panel7");
    ListBox1 = ComponentByName<TListBox>(this, "ListBox1");
    Separater_Char = ComponentByName<TRadioGroup>(this, "Separater_Char");
    StrColGrid1 = ComponentByName<TStrColGrid>(this, "StrColGrid1");
    TextOpenDialog1 = ComponentByName<TTextOpenDialog>(this, "TextOpenDialog1");
    DoCreate();
}

void TWizardForm::FormCreate(TObject*) {
    FSourceLines = std::make_unique<TStringList>();
}

void TWizardForm::FormClose(TObject*, TCloseAction&) {
    FSourceLines.reset();
}

void TWizardForm::FormShow(TObject*) {
    if (!TextOpenDialog1->Execute()) {
        DialogCancelled();
        Close();
        return;
    }
    {
        const TBusyCursor Busy;
        PrepareGrid();
        FSourceLines->Clear();
        FFields.Reset();
        LoadSourceLines(FSourceLines.get(), TextOpenDialog1->FileName());
    }
    if (FSourceLines->Count() == 0) {
        Close();
        return;
    }
    FFieldCursor = 1;
}

void TWizardForm::PrepareGrid() {
    StrColGrid1->SetRowCount(GridRowsAtLoad);
    const THandOffLayout& H = FLayout.HandOff;
    for (int Row = 1; Row <= GridRowsAtLoad; ++Row) {
        for (int Col = 0; Col <= FLayout.LastPreparedCol; ++Col)
            StrColGrid1->SetCells(Col, Row, "");
        for (int Col = H.FirstNumeric; Col <= H.LastNumeric; ++Col)
            StrColGrid1->SetCellAlignment(Col, Row, taRightJustify);
        if (FLayout.TextCol >= 0)
            StrColGrid1->SetCellAlignment(FLayout.TextCol, Row, taLeftJustify);
    }
}

void TWizardForm::Button21Click(TObject*) {
    if (!FSourceLines || FSourceLines->Count() == 0)
        return;
    const TBusyCursor Busy;
    FFieldCount = CountFields(FSourceLines->View(0), SeparatorFor(Separater_Char->ItemIndex()));
    ShowFieldList();
}

void TWizardForm::ShowFieldList() {
    const AnsiString Separator = SeparatorFor(Separater_Char->ItemIndex());
    TListBoxStrings* Items = ListBox1->Items();
    if (FLayout.SuspendUpdates)
        Items->BeginUpdate();
    if (FSourceLines) {
        TSharedText Text = FSourceLines->SharedText();
        Items->Share(std::move(Text), FFields.Fields(*FSourceLines, Separator, FFieldCursor));
    } else {
        Items->Clear();
    }
    if (FLayout.SuspendUpdates)
        Items->EndUpdate();
    ++FFieldCursor;
}

void TWizardForm::Button1Click(TObject* Sender) {
    const TBusyCursor Busy;
    const int Target = static_cast<TComponent*>(Sender)->Tag();
    if (Target > 0)
        CopyListToColumn(Target);
    if (FFieldCursor <= FFieldCount)
        ShowFieldList();
    else
        ShowGrid();
}

void TWizardForm::ShowGrid() {
    Panel6->Hide();
    Panel7->SetTop(GridPanelTop);
    Panel7->Show();
}

void TWizardForm::CopyListToColumn(int Target) {
    if (FLayout.SuspendUpdates)
        SendMessage(StrColGrid1->Handle(), WM_SETREDRAW, 0, 0);
    const TListBoxStrings* Items = ListBox1->Items();
    GrowGridFor(Items->Count());
    for (int I = 0; I < Items->Count(); ++I) {
        const int Row = I + 1;
        StrColGrid1->SetCells(Target, Row, Items->View(I));
        StrColGrid1->SetCells(0, Row, RowMarker);
    }
    if (FLayout.SuspendUpdates) {
        SendMessage(StrColGrid1->Handle(), WM_SETREDRAW, 1, 0);
        StrColGrid1->Refresh();
    }
}

// Rows up to LastRow, as adding them one at a time would leave them: each new row gives the
// row one past it right alignment in the numeric columns (PrepareGrid gave rows up to 50
// theirs ahead), so every data row ends up right-aligned. RowCount changes once, and the
// parameters come in the same order.
void TWizardForm::GrowGridFor(int LastRow) {
    const int OldCount = StrColGrid1->RowCount();
    if (LastRow < OldCount)
        return;
    StrColGrid1->SetRowCount(LastRow + 1);
    const THandOffLayout& H = FLayout.HandOff;
    StrColGrid1->SetCellAlignment(H.FirstNumeric, OldCount + 1, H.LastNumeric, LastRow + 1,
                                  taRightJustify);
}

void TWizardForm::IconButton1Click(TObject*) {
    if (FileExists(HandOffPath()))
        EraseFile(HandOffPath());
    Close();
}

void TWizardForm::IconButton3Click(TObject*) {
    {
        const TBusyCursor Busy;
        WriteHandOff(StrColGrid1, FLayout.HandOff, HandOffPath());
    }
    Close();
}

void TWizardForm::IconButton4Click(TObject*) {
    ShellExecute(Handle(), HelpVerb, HelpFile, "", GetProgramDir(), SW_SHOW);
}

// ---- Published properties

void RegisterWizardForm() {
    RegisterOnce([] {
        RegisterControlClasses();
        TPublish<TWizardForm>("TWizardForm", "TForm");
    });
}
