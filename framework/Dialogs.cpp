#include "Dialogs.h"

#include "PlatformControls.h"
#include "TypInfo.h"

#include <algorithm>

namespace {

// Splits at "|" bytes that begin a character, so that a double-byte character whose second
// byte is "|" stays whole.
std::vector<AnsiString> SplitFilter(const AnsiString& Filter) {
    std::vector<AnsiString> Parts(1);
    for (std::size_t I = 0; I < Filter.size(); ++I) {
        const char Byte = Filter[I];
        if (IsLeadByte(Byte) && I + 1 < Filter.size()) {
            Parts.back() += Filter.substr(I, 2);
            ++I;
        } else if (Byte == '|') {
            Parts.emplace_back();
        } else {
            Parts.back() += Byte;
        }
    }
    return Parts;
}

// One filter per description and pattern list; a description without a list is dropped.
std::vector<Platform::TFileFilter> FileFilters(const AnsiString& Filter) {
    const std::vector<AnsiString> Parts = SplitFilter(Filter);
    std::vector<Platform::TFileFilter> Filters;
    for (std::size_t I = 0; I + 1 < Parts.size(); I += 2)
        Filters.push_back({Parts[I], Parts[I + 1]});
    return Filters;
}

// A pattern is no suffix to append.
AnsiString SuffixOf(const AnsiString& DefaultExt) {
    return DefaultExt.find_first_of("*?") != AnsiString::npos ? AnsiString() : DefaultExt;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCommonDialog

void TCommonDialog::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCommonDialog::DoClose() {
    if (OnClose)
        OnClose(this);
}

// ---------------------------------------------------------------------------------------------
// TOpenDialog

const std::vector<const char*>& OpenOptionNames() {
    static const std::vector<const char*> Names{"ofReadOnly",
                                                "ofOverwritePrompt",
                                                "ofHideReadOnly",
                                                "ofNoChangeDir",
                                                "ofShowHelp",
                                                "ofNoValidate",
                                                "ofAllowMultiSelect",
                                                "ofExtensionDifferent",
                                                "ofPathMustExist",
                                                "ofFileMustExist",
                                                "ofCreatePrompt",
                                                "ofShareAware",
                                                "ofNoReadOnlyReturn",
                                                "ofNoTestFileCreate",
                                                "ofNoNetworkButton",
                                                "ofNoLongNames",
                                                "ofOldStyleDialog",
                                                "ofNoDereferenceLinks",
                                                "ofEnableIncludeNotify",
                                                "ofEnableSizing",
                                                "ofDontAddToRecent",
                                                "ofForceShowHidden"};
    return Names;
}

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    if (FRunning)
        return false;
    FSelection = FFileName;
    FRunning = true;
    bool Confirmed = false;
    try {
        Confirmed = TaskModalDialog();
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    return Confirmed;
}

Platform::TOpenDialogSetup TOpenDialog::DialogSetup() {
    Platform::TOpenDialogSetup Setup;
    Setup.Title = FTitle;
    Setup.Filters = FileFilters(FFilter);
    if (!Setup.Filters.empty())
        FFilterIndex = std::clamp(FFilterIndex, 1, static_cast<int>(Setup.Filters.size()));
    Setup.FilterIndex = FFilterIndex;
    Setup.DefaultExt = SuffixOf(FDefaultExt);
    Setup.Folder = !FInitialDir.empty() ? FInitialDir : ExtractFileDir(FFileName);
    Setup.FileName = ExtractFileName(FFileName);
    Setup.MultiSelect = FOptions.Contains(ofAllowMultiSelect);
    Setup.FileMustExist = FOptions.Contains(ofFileMustExist);
    Setup.ShowHidden = FOptions.Contains(ofForceShowHidden);
    Setup.Sizable = FOptions.Contains(ofEnableSizing);
    Setup.PlacesBar = FShowPlacesBar;
    if (FTemplateArea) {
        Setup.TemplateArea = FTemplateArea.get();
        Setup.TemplateHeight = TemplateAreaHeight;
        Setup.TemplateReach = TemplateReach();
    }
    return Setup;
}

void TOpenDialog::SetDefaultExt(const AnsiString& Value) {
    FDefaultExt = Value;
    if (FDialog)
        Platform::SetOpenDialogDefaultExt(FDialog, SuffixOf(FDefaultExt));
}

bool TOpenDialog::TaskModalDialog() {
    if (WantsTemplate()) {
        FTemplateArea = std::make_unique<TWinControl>(nullptr);
        FTemplateArea->SetColor(clBtnFace);
    }
    Platform::TOpenDialogResult Result;
    const bool Confirmed = Platform::ExecuteOpenDialog(DialogSetup(), DialogEvents(), Result);
    FTemplateArea.reset();
    if (Confirmed)
        Confirm(Result);
    return Confirmed;
}

// The template area goes with the dialog, right after DoClose.
Platform::TOpenDialogEvents TOpenDialog::DialogEvents() {
    Platform::TOpenDialogEvents Events;
    Events.OnShow = [this](TPlatformWidget* Dialog) {
        FDialog = Dialog;
        SafeCall([this] { DoShow(); });
    };
    Events.OnSelectionChange = [this](const AnsiString& Path) { SelectionChanged(Path); };
    Events.OnFilterChange = [this](int Index) { FilterChanged(Index); };
    Events.OnClose = [this] {
        SafeCall([this] { DoClose(); });
        FTemplateArea.reset();
        FDialog = nullptr;
    };
    return Events;
}

void TOpenDialog::Confirm(const Platform::TOpenDialogResult& Result) {
    FFiles->Clear();
    for (const AnsiString& File : Result.Files)
        FFiles->Add(File);
    if (FFiles->Count() > 0)
        FFileName = FFiles->Get(0);
    if (Result.FilterIndex > 0)
        FFilterIndex = Result.FilterIndex;
}

void TOpenDialog::Finish() {
    FTemplateArea.reset();
    FDialog = nullptr;
    FRunning = false;
}

TRect TOpenDialog::StandardControlsRect() const {
    return FDialog ? Platform::OpenDialogStandardRect(FDialog) : TRect();
}

void TOpenDialog::SelectionChanged(const AnsiString& Path) {
    FSelection = Path;
    SafeCall([this] { DoSelectionChange(); });
}

void TOpenDialog::FilterChanged(int Chosen) {
    const int Index = Chosen > 0 ? Chosen : FFilterIndex;
    if (Index == FFilterIndex)
        return;
    FFilterIndex = Index;
    SafeCall([this] { DoFilterChange(); });
}

void TOpenDialog::DoSelectionChange() {
    if (OnSelectionChange)
        OnSelectionChange(this);
}

void TOpenDialog::DoFilterChange() {
    if (OnTypeChange)
        OnTypeChange(this);
}

AnsiString TOpenDialog::FileNameFieldText() const {
    return FDialog ? Platform::OpenDialogFileNameText(FDialog) : AnsiString();
}

void TOpenDialog::SetFileNameFieldText(const AnsiString& Value) {
    if (FDialog)
        Platform::SetOpenDialogFileNameText(FDialog, Value);
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterDialogs() {
    TPublish<TCommonDialog>("TCommonDialog", "TComponent")
        .Event("OnClose", &TCommonDialog::OnClose)
        .Event("OnShow", &TCommonDialog::OnShow);
    TPublish<TOpenDialog>("TOpenDialog", "TCommonDialog")
        .Creatable()
        .Str("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
        .Str("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
        .Str("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
        .Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex,
             TOpenDialog::DefaultFilterIndex)
        .Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
        .Set("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, OpenOptionNames(),
             std::optional(TOpenDialog::DefaultOptions))
        .Str("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
        .Event<TNotifyEvent>("OnSelectionChange", &TOpenDialog::OnSelectionChange)
        .Event<TNotifyEvent>("OnTypeChange", &TOpenDialog::OnTypeChange);
}
