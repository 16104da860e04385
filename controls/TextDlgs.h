// TextDlgs: the open dialog that keeps extension and filter in step, switches the places bar,
// and previews the selected file's text in a band below the standard controls.
#pragma once

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "FileStreams.h"
#include "StdCtrls.h"
#include "TypInfo.h"

#include <string_view>

// The 1-based position of the byte of S at which the count of bytes equal to C reaches N;
// 0 when there are fewer (and for N <= 0). Bytes, not characters, are counted.
int NthCharPos(char C, const AnsiString& S, int N);

// The extension of the pattern list of filter number Index: from the first dot of its first
// pattern ("*.txt;*.doc" gives ".txt"); empty when that pattern has no dot. False when the
// filter has no pattern list of that number.
bool FilterExtension(const AnsiString& Filter, int Index, AnsiString& Ext);

class TExtChangeOpenDialog : public TOpenDialog {
public:
    explicit TExtChangeOpenDialog(TComponent* AOwner);
    const char* ClassName() const override { return "TExtChangeOpenDialog"; }

    static constexpr bool DefaultAutoExtChange = true;

    // Keeps DefaultExt and the typed name in step with the chosen file type.
    bool AutoExtChange() const { return FAutoExtChange; }
    void SetAutoExtChange(bool Value) { FAutoExtChange = Value; }

    bool Execute() override;

protected:
    // Replaces the inherited handling: OnTypeChange is not raised.
    void DoFilterChange() override;

private:
    bool FAutoExtChange = DefaultAutoExtChange;
};

class TEnhOpenDialog : public TExtChangeOpenDialog {
public:
    using TExtChangeOpenDialog::TExtChangeOpenDialog;
    const char* ClassName() const override { return "TEnhOpenDialog"; }

    bool Execute() override;

protected:
    // The panel filling the band below the standard controls; null unless the dialog is shown.
    TPanel* ExtraPanel() const { return FExtraPanel; }
    bool WantsTemplate() const override { return FTemplate; }
    int TemplateReach() const override;
    void DoShow() override;
    void DoClose() override;

private:
    bool FTemplate = false;
    TPanel* FExtraPanel = nullptr;
};

class TTextOpenDialog : public TEnhOpenDialog {
public:
    explicit TTextOpenDialog(TComponent* AOwner);
    const char* ClassName() const override { return "TTextOpenDialog"; }

    // The most bytes the preview shows.
    static constexpr std::size_t PreviewLimit = 1024;

    // Mirrors the check box; kept between runs.
    bool Preview() const { return FPreview; }
    void SetPreview(bool Value);
    // The class of the preview control: a memo class, or null for no preview control. Taken
    // only while no preview control exists.
    const TClassInfo* PreviewClass() const { return FPreviewClass; }
    void SetPreviewClass(const TClassInfo* Value);

protected:
    void DoShow() override;
    void DoClose() override;
    void DoSelectionChange() override;
    virtual void UpdatePreview();
    TCheckBox* PreviewCheckBox() const { return FCheckBox; }
    TMemo* PreviewMemo() const { return FMemo; }

private:
    void PreviewClick(TObject* Sender);
    bool FPreview = false;
    const TClassInfo* FPreviewClass;
    TCheckBox* FCheckBox = nullptr;
    TMemo* FMemo = nullptr;
};

// The first PreviewLimit bytes of the stream (all of a shorter one); never reads more.
AnsiString ReadPreview(TStream& Stream);
// The start of a file as the memo shows it, converted as the source lines of a wizard are:
// UTF-8 and UTF-16 with a byte-order mark, and UTF-8 without one that is not code page 932
// text, become code page 932, with "?" for what the code page lacks and a character that the
// end cuts short left out; code page 932 stays as it is.
AnsiString PreviewText(std::string_view Head);
// The bytes of a form file as the preview shows them: a binary form as its text form, other
// content unchanged, cut to PreviewLimit bytes. A corrupt binary form raises EReadError.
AnsiString FormFilePreview(std::string_view Bytes);
// Whether the name ends in an extension of form files (".dfm", ".~df", ".~dfm", any case).
bool IsFormFileName(const AnsiString& FileName);

// The unit's classes and published properties, for the form files; RegisterControlClasses
// calls it once.
void RegisterTextDlgs();
