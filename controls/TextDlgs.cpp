#include "TextDlgs.h"

#include "FormConvert.h"
#include "TextEncoding.h"

#include <algorithm>
#include <array>

namespace {

const AnsiString& CheckBoxCaption() {
    static const AnsiString Caption = "内容をプレビューする(&P)"_sj;
    return Caption;
}

const AnsiString& MemoFontName() {
    static const AnsiString Name = "ＭＳ ゴシック"_sj;
    return Name;
}

const AnsiString& NotAMemoClassMessage() {
    static const AnsiString Message = "プレビューのクラスはメモのクラスではありません"_sj;
    return Message;
}

constexpr char FilterSeparator = '|';
constexpr char PatternSeparator = ';';
constexpr const char* AnyName = "*";

// The panel in the band below the standard controls.
constexpr TPanelBevel ExtraPanelBevel = bvNone;
// The panel starts this far above the lower edge of the standard controls' area.
constexpr int ExtraPanelReach = 10;

// The check box and the memo on it.
constexpr TRect CheckBoxBounds{5, 2, 5 + 200, 2 + 25};
constexpr int MemoLeft = 5;
constexpr int MemoTop = 25;
constexpr int MemoHorzSpace = 10;
constexpr int MemoVertSpace = 30;

// The memo clears the sizing grip by the width of its glyph.
constexpr const char* GripFontName = "Marlett";
constexpr const char* GripLetter = "o";

constexpr std::array<const char*, 3> FormFileExtensions{".dfm", ".~df", ".~dfm"};

// The extension as DefaultExt holds it: without its dot.
AnsiString DefaultExtOf(const AnsiString& Ext) {
    return Ext.empty() ? Ext : Ext.substr(1);
}

bool IsMemoClass(const TClassInfo* Info) {
    for (; Info; Info = Info->Parent())
        if (SameText(Info->Name(), "TMemo"))
            return true;
    return false;
}

} // namespace

int NthCharPos(char C, const AnsiString& S, int N) {
    int Count = 0;
    for (std::size_t I = 0; I < S.size() && N > 0; ++I)
        if (S[I] == C && ++Count == N)
            return static_cast<int>(I) + 1;
    return 0;
}

bool FilterExtension(const AnsiString& Filter, int Index, AnsiString& Ext) {
    const int P = NthCharPos(FilterSeparator, Filter, 2 * Index - 1);
    if (P == 0)
        return false;
    AnsiString E = Filter.substr(static_cast<std::size_t>(P));
    const std::size_t Bar = E.find(FilterSeparator);
    const std::size_t Semicolon = E.find(PatternSeparator);
    if (Bar != AnsiString::npos)
        E.resize(Bar);
    if (Semicolon != AnsiString::npos && Semicolon < E.size())
        E.resize(Semicolon);
    const std::size_t Dot = E.find('.');
    Ext = Dot == AnsiString::npos ? AnsiString() : E.substr(Dot);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TExtChangeOpenDialog

TExtChangeOpenDialog::TExtChangeOpenDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
    SetShowPlacesBar(true);
}

bool TExtChangeOpenDialog::Execute() {
    AnsiString Ext;
    if (FAutoExtChange && FilterExtension(Filter(), FilterIndex(), Ext))
        SetDefaultExt(DefaultExtOf(Ext));
    return TOpenDialog::Execute();
}

void TExtChangeOpenDialog::DoFilterChange() {
    AnsiString Ext;
    if (!FAutoExtChange || !FilterExtension(Filter(), FilterIndex(), Ext))
        return;
    const AnsiString Typed = FileNameFieldText();
    SetFileNameFieldText(Typed.empty() ? AnyName + Ext : ChangeFileExt(Typed, Ext));
    SetDefaultExt(DefaultExtOf(Ext));
}

// ---------------------------------------------------------------------------------------------
// TEnhOpenDialog

bool TEnhOpenDialog::Execute() {
    FTemplate = !Options().Contains(ofOldStyleDialog);
    return TExtChangeOpenDialog::Execute();
}

int TEnhOpenDialog::TemplateReach() const {
    return ExtraPanelReach;
}

// Without a template area the panel and what stands on it exist but are not placed.
void TEnhOpenDialog::DoShow() {
    FExtraPanel = new TPanel(this);
    if (TWinControl* Area = TemplateArea()) {
        FExtraPanel->SetParent(Area);
        FExtraPanel->SetCtl3D(true);
        const TRect R = Area->ClientRect();
        FExtraPanel->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    }
    FExtraPanel->SetBevelOuter(ExtraPanelBevel);
    TExtChangeOpenDialog::DoShow();
}

void TEnhOpenDialog::DoClose() {
    delete FExtraPanel;
    FExtraPanel = nullptr;
    TExtChangeOpenDialog::DoClose();
}

// ---------------------------------------------------------------------------------------------
// TTextOpenDialog

TTextOpenDialog::TTextOpenDialog(TComponent* AOwner)
    : TEnhOpenDialog(AOwner), FPreviewClass(FindClassInfo("TMemo")) {}

void TTextOpenDialog::SetPreview(bool Value) {
    if (FPreview == Value)
        return;
    FPreview = Value;
    if (FCheckBox)
        FCheckBox->SetChecked(Value);
}

void TTextOpenDialog::SetPreviewClass(const TClassInfo* Value) {
    if (Value == FPreviewClass || FMemo)
        return;
    if (Value && !IsMemoClass(Value))
        throw EComponentError(NotAMemoClassMessage());
    FPreviewClass = Value;
}

void TTextOpenDialog::DoShow() {
    TEnhOpenDialog::DoShow();
    TPanel* Panel = ExtraPanel();
    FCheckBox = new TCheckBox(this);
    FCheckBox->SetParent(Panel);
    FCheckBox->SetBounds(CheckBoxBounds.Left, CheckBoxBounds.Top, CheckBoxBounds.Width(),
                         CheckBoxBounds.Height());
    FCheckBox->SetChecked(FPreview);
    FCheckBox->SetCaption(CheckBoxCaption());
    FCheckBox->OnClick = [this](TObject* Sender) { PreviewClick(Sender); };
    const TRect C = Panel->ClientRect();
    if (!FPreviewClass || !FPreviewClass->Create)
        return;
    FMemo = dynamic_cast<TMemo*>(FPreviewClass->Create(this));
    FMemo->SetParent(Panel);
    FMemo->SetBounds(MemoLeft, MemoTop, C.Width() - MemoHorzSpace, C.Height() - MemoVertSpace);
    if (Options().Contains(ofEnableSizing)) {
        TCanvas* Canvas = Panel->Canvas();
        Canvas->Font()->SetName(GripFontName);
        Canvas->Font()->SetCharset(DEFAULT_CHARSET);
        FMemo->SetWidth(FMemo->Width() - Canvas->TextWidth(GripLetter));
    }
    FMemo->Font()->SetName(MemoFontName());
    FMemo->SetReadOnly(true);
}

void TTextOpenDialog::DoClose() {
    delete FMemo;
    FMemo = nullptr;
    delete FCheckBox;
    FCheckBox = nullptr;
    TEnhOpenDialog::DoClose();
}

void TTextOpenDialog::DoSelectionChange() {
    TEnhOpenDialog::DoSelectionChange();
    UpdatePreview();
}

void TTextOpenDialog::PreviewClick(TObject* /*Sender*/) {
    FPreview = FCheckBox->Checked();
    UpdatePreview();
}

void TTextOpenDialog::UpdatePreview() {
    if (!FMemo)
        return;
    FMemo->Clear();
    if (!FCheckBox->Checked())
        return;
    const AnsiString Name = FileName();
    if (Name.find_first_of("*?") != AnsiString::npos || !FileExists(Name))
        return;
    if (!IsFormFileName(Name)) {
        TFileStream Stream(Name, fmOpenRead | fmShareDenyNone);
        FMemo->Lines()->SetText(PreviewText(ReadPreview(Stream)));
        return;
    }
    // A form file in text form is shown as it stands, so only its start is read.
    AnsiString Head;
    {
        TFileStream Stream(Name, fmOpenRead | fmShareDenyWrite);
        Head = ReadPreview(Stream);
    }
    FMemo->Lines()->SetText(IsFormImage(Head) ? FormFilePreview(ReadFileBytes(Name))
                                              : PreviewText(Head));
}

// ---------------------------------------------------------------------------------------------
// Preview text

AnsiString ReadPreview(TStream& Stream) {
    const std::int64_t Size = Stream.Size();
    const auto Wanted =
        static_cast<std::size_t>(std::clamp<std::int64_t>(Size, 0, TTextOpenDialog::PreviewLimit));
    AnsiString Bytes(Wanted, '\0');
    std::size_t Got = 0;
    while (Got < Wanted) {
        const std::size_t Count = Stream.Read(Bytes.data() + Got, Wanted - Got);
        if (Count == 0)
            break;
        Got += Count;
    }
    Bytes.resize(Got);
    return Bytes;
}

AnsiString PreviewText(std::string_view Head) {
    std::size_t MarkSize = 0;
    const TTextEncoding Encoding = TextEncoding(Head, MarkSize, true);
    if (Encoding == teAnsi)
        return AnsiString(Head);
    return ShownAsAnsi(WithoutCutCharacter(Head.substr(MarkSize), Encoding), Encoding);
}

AnsiString FormFilePreview(std::string_view Bytes) {
    AnsiString Text;
    try {
        Text = ObjectBinaryToText(Bytes);
    } catch (const EInvalidImage&) {
        Text = Bytes;
    }
    if (Text.size() > TTextOpenDialog::PreviewLimit)
        Text.resize(TTextOpenDialog::PreviewLimit);
    return Text;
}

bool IsFormFileName(const AnsiString& FileName) {
    const AnsiString Ext = LowerCase(ExtractFileExt(FileName));
    return std::find(FormFileExtensions.begin(), FormFileExtensions.end(), Ext) !=
           FormFileExtensions.end();
}

// ---------------------------------------------------------------------------------------------
// Registration

void RegisterTextDlgs() {
    TPublish<TExtChangeOpenDialog>("TExtChangeOpenDialog", "TOpenDialog")
        .Creatable()
        .Bool("AutoExtChange", &TExtChangeOpenDialog::AutoExtChange,
              &TExtChangeOpenDialog::SetAutoExtChange, TExtChangeOpenDialog::DefaultAutoExtChange)
        .Bool("ShowPlacesBar", &TExtChangeOpenDialog::ShowPlacesBar,
              &TExtChangeOpenDialog::SetShowPlacesBar);
    TPublish<TEnhOpenDialog>("TEnhOpenDialog", "TExtChangeOpenDialog").Creatable();
    TPublish<TTextOpenDialog>("TTextOpenDialog", "TEnhOpenDialog")
        .Creatable()
        .Bool("Preview", &TTextOpenDialog::Preview, &TTextOpenDialog::SetPreview);
}
