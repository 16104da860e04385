// The unit-price import wizard's form, with the row editing commands of its grid's menu.
#pragma once

#include "WizardForm.h"

enum class TSwapDirection { Down, Up };

class Tfpellisk : public TWizardForm {
public:
    explicit Tfpellisk(TComponent* AOwner);
    const char* ClassName() const override { return "Tfpellisk"; }

    void Button11Click(TObject* Sender);
    void N1Click(TObject* Sender);
    void N2Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N5Click(TObject* Sender);
    void N8Click(TObject* Sender);
    void N11Click(TObject* Sender);
    void StrColGrid1SetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);

    // Exchanges row R with its neighbour and moves the selection along with it.
    void SwapGridRow(int R, TSwapDirection Direction);

private:
    int SelectedRow() const { return StrColGrid1->Selection().Top; }
};

// Deletes rows First..Last, keeping at least one non-fixed row (emptied).
void DeleteGridRows(TStringGrid* Grid, int First, int Last);
// Inserts Count empty rows before row Index.
void InsertGridRows(TStringGrid* Grid, int Index, int Count);

// The application title.
AnsiString PelliskTitle();

// Registers the form's class and every class under it, once: what a program that reads the
// form file calls first.
void RegisterPelliskClasses();
