// The import wizard's form: what the costing-data and the unit-price wizards share. A file is
// chosen, its fields are offered one at a time, each is copied into the grid column of the
// target button the user clicks, and Execute writes the hand-off file.
#pragma once

#include "ExtCtrls.h"
#include "FieldSplitter.h"
#include "Forms.h"
#include "HandOffWriter.h"
#include "StdCtrls.h"
#include "StrCGrid.h"
#include "TextDlgs.h"

struct TWizardLayout {
    THandOffLayout HandOff;
    int LastPreparedCol; // PrepareGrid empties columns 0..LastPreparedCol of each row
    int TextCol;         // a column given explicit left alignment by PrepareGrid, or -1
    bool SuspendUpdates; // fill the list box and the grid without a repaint per line
};

class TWizardForm : public TForm {
public:
    TWizardForm(TComponent* AOwner, const TWizardLayout& ALayout);
    ~TWizardForm() override;
    const char* ClassName() const override { return "TWizardForm"; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button21Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void IconButton1Click(TObject* Sender);
    void IconButton3Click(TObject* Sender);
    void IconButton4Click(TObject* Sender);

    TStringList* SourceLines() const { return FSourceLines.get(); }
    int FieldCursor() const { return FFieldCursor; }
    int FieldCount() const { return FFieldCount; }

protected:
    // Reads the form file and binds the components every wizard form holds.
    void LoadForm(const AnsiString& ResourceName);
    // What cancelling the open dialog does before the form closes.
    virtual void DialogCancelled() {}

    TPanel* Panel6 = nullptr;
    TPanel* Panel7 = nullptr;
    TListBox* ListBox1 = nullptr;
    TRadioGroup* Separater_Char = nullptr;
    TStrColGrid* StrColGrid1 = nullptr;
    TTextOpenDialog* TextOpenDialog1 = nullptr;

private:
    void PrepareGrid();
    void ShowFieldList();
    void CopyListToColumn(int Target);
    void GrowGridFor(int LastRow);
    void ShowGrid();
    TWizardLayout FLayout;
    std::unique_ptr<TStringList> FSourceLines;
    TFieldWalker FFields;
    int FFieldCursor = 0;
    int FFieldCount = 0;
};

// Deletes a file in the program's directory; an absent file is no error, a file that stays
// raises EInOutError, so that the form stays open and the user hears why.
void DeleteProgramFile(const AnsiString& Name);

// Registers the shared form's class and the classes of the control library under it, once;
// the registration of each wizard's form calls it.
void RegisterWizardForm();
