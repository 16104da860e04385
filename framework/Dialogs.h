// Dialogs: the open-file dialog, on the platform's own file dialog, with hooks for descendants
// that add controls below the standard ones.
#pragma once

#include "Controls.h"

#include <vector>

namespace Platform {
struct TOpenDialogSetup;
struct TOpenDialogEvents;
struct TOpenDialogResult;
} // namespace Platform

// A component that runs a modal dialog of the platform.
class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    const char* ClassName() const override { return "TCommonDialog"; }

    // Runs the dialog modally; true when the user confirmed it.
    virtual bool Execute() = 0;

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // Just before the dialog is shown, with all its controls in place.
    virtual void DoShow();
    // When the dialog has closed, before its controls go.
    virtual void DoClose();
};

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;
const std::vector<const char*>& OpenOptionNames();

// The open-file dialog. Filter holds description and pattern-list pairs separated by "|"
// ("CSV files|*.csv;*.txt|All|*.*"); patterns match file names in any letter case. While the
// dialog runs, FileName is the full path of the current selection and FilterIndex the file type
// chosen; afterwards FileName is the confirmed file.
class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    const char* ClassName() const override { return "TOpenDialog"; }

    static constexpr int DefaultFilterIndex = 1;
    static constexpr TOpenOptions DefaultOptions{ofHideReadOnly, ofEnableSizing};
    static constexpr bool InitShowPlacesBar = true;
    // Height of the template area below the standard controls.
    static constexpr int TemplateAreaHeight = 130;

    const AnsiString& Filter() const { return FFilter; }
    void SetFilter(const AnsiString& Value) { FFilter = Value; }
    // 1-based.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // Without the dot; appended to a typed name that has no extension. A change while the
    // dialog runs applies to the name the user confirms.
    const AnsiString& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const AnsiString& Value);
    const AnsiString& FileName() const { return FRunning ? FSelection : FFileName; }
    void SetFileName(const AnsiString& Value) { FFileName = Value; }
    // All confirmed files when ofAllowMultiSelect is set; otherwise the one in FileName.
    TStrings* Files() const { return FFiles.get(); }
    const AnsiString& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const AnsiString& Value) { FInitialDir = Value; }
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // The side bar of places; taken when the dialog is set up for a run.
    bool ShowPlacesBar() const { return FShowPlacesBar; }
    void SetShowPlacesBar(bool Value) { FShowPlacesBar = Value; }

    bool Execute() override;

    // From just before DoShow until just after DoClose: the platform's dialog, and the text of
    // its file-name field (empty and ignored otherwise). Setting the field changes what the
    // user sees, not the selection.
    TPlatformWidget* DialogWidget() const { return FDialog; }
    AnsiString FileNameFieldText() const;
    void SetFileNameFieldText(const AnsiString& Value);

    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnTypeChange;

protected:
    // Runs the prepared dialog: shows the template area when wanted, calls DoShow, waits for
    // the user, calls DoClose. Descendants may override it to act just before the dialog runs.
    virtual bool TaskModalDialog();
    // The selection changed; FileName already holds it.
    virtual void DoSelectionChange();
    // The user chose another file type; FilterIndex already holds it.
    virtual void DoFilterChange();
    // Whether the dialog gets a template area below its standard controls.
    virtual bool WantsTemplate() const { return false; }
    // Pixels the template area reaches up into the standard controls' area.
    virtual int TemplateReach() const { return 0; }
    // The template area, from just before DoShow until just after DoClose; null otherwise.
    // Descendants put their own controls on it.
    TWinControl* TemplateArea() const { return FTemplateArea.get(); }
    // Where the standard controls stand, in the dialog's client coordinates.
    TRect StandardControlsRect() const;

private:
    Platform::TOpenDialogSetup DialogSetup();
    Platform::TOpenDialogEvents DialogEvents();
    void Confirm(const Platform::TOpenDialogResult& Result);
    void Finish();
    void SelectionChanged(const AnsiString& Path);
    // Chosen: 1-based, 0 when the platform cannot tell.
    void FilterChanged(int Chosen);
    AnsiString FFilter;
    int FFilterIndex = DefaultFilterIndex;
    AnsiString FDefaultExt;
    AnsiString FFileName;
    AnsiString FSelection;
    std::unique_ptr<TStringList> FFiles;
    AnsiString FInitialDir;
    AnsiString FTitle;
    TOpenOptions FOptions = DefaultOptions;
    bool FShowPlacesBar = InitShowPlacesBar;
    bool FRunning = false;
    TPlatformWidget* FDialog = nullptr;
    std::unique_ptr<TWinControl> FTemplateArea;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterDialogs();
