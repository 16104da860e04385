#include "Dialogs.h"

#include "QtHost.h"
#include "QtText.h"
#include "TypInfo.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>

#include <algorithm>

namespace {

const AnsiString& UnusableNameMessage() {
    static const AnsiString Message = "ファイル名に使用できない文字が含まれています。"_sj;
    return Message;
}

// Qt's file dialog, refusing names that the programs could not hold in code page 932.
class TFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        for (const QString& File : selectedFiles()) {
            AnsiString Unused;
            if (!QFileInfo(File).isDir() && !QtText::Encode(File, Unused)) {
                QMessageBox::warning(this, windowTitle(), QtText::Decode(UnusableNameMessage()));
                return;
            }
        }
        QFileDialog::accept();
    }
};

// Keeps the template area as large as the row that holds it.
class TTemplateSizer : public QObject {
public:
    TTemplateSizer(TWinControl* AArea, QObject* Parent) : QObject(Parent), FArea(AArea) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() == QEvent::Resize) {
            const auto* Holder = static_cast<QWidget*>(Watched);
            FArea->SetBounds(0, 0, Holder->width(), Holder->height());
        }
        return false;
    }

private:
    TWinControl* FArea;
};

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

// "*.*" means every file on the platform, but only names with a dot to Qt.
QString QtPattern(const QString& Pattern) {
    return Pattern == QLatin1String("*.*") ? QStringLiteral("*") : Pattern;
}

// Qt's name filters, "Description (pattern pattern)", one per description and pattern list.
QStringList QtNameFilters(const AnsiString& Filter) {
    const std::vector<AnsiString> Parts = SplitFilter(Filter);
    QStringList Filters;
    for (std::size_t I = 0; I + 1 < Parts.size(); I += 2) {
        QStringList Patterns;
        for (const QString& Pattern :
             QtText::Decode(Parts[I + 1]).split(QChar(';'), Qt::SkipEmptyParts))
            Patterns.append(QtPattern(Pattern.trimmed()));
        Filters.append(QtText::Decode(Parts[I]) + QStringLiteral(" (") + Patterns.join(QChar(' ')) +
                       QChar(')'));
    }
    return Filters;
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
    if (FDialog)
        return false;
    Prepare();
    bool Confirmed = false;
    try {
        Confirmed = TaskModalDialog();
    } catch (...) {
        Finish(false);
        throw;
    }
    Finish(Confirmed);
    return Confirmed;
}

void TOpenDialog::Prepare() {
    FSelection = FFileName;
    // No parent window: a window freed while the dialog runs would take the dialog with it.
    auto* Dialog = new TFileDialog;
    FDialog = PlatformWidget(Dialog);
    Dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    Dialog->setAcceptMode(QFileDialog::AcceptOpen);
    Dialog->setFileMode(FOptions.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                        : FOptions.Contains(ofFileMustExist)  ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    if (FOptions.Contains(ofForceShowHidden))
        Dialog->setFilter(Dialog->filter() | QDir::Hidden);
    if (!FTitle.empty())
        Dialog->setWindowTitle(QtText::Decode(FTitle));
    const QStringList Filters = QtNameFilters(FFilter);
    if (!Filters.isEmpty()) {
        Dialog->setNameFilters(Filters);
        FFilterIndex = std::clamp(FFilterIndex, 1, static_cast<int>(Filters.size()));
        Dialog->selectNameFilter(Filters.at(FFilterIndex - 1));
    }
    ApplyDefaultExt();
    const AnsiString Dir = !FInitialDir.empty() ? FInitialDir : ExtractFileDir(FFileName);
    if (!Dir.empty())
        Dialog->setDirectory(QtText::Decode(Dir));
    if (!FFileName.empty())
        Dialog->selectFile(QtText::Decode(ExtractFileName(FFileName)));
    Dialog->setSizeGripEnabled(FOptions.Contains(ofEnableSizing));
    QObject::connect(Dialog, &QFileDialog::currentChanged, Dialog, [this](const QString& Path) {
        SelectionChanged(QtText::Encode(QDir::toNativeSeparators(Path)));
    });
    QObject::connect(Dialog, &QFileDialog::filterSelected, Dialog, [this] { FilterChanged(); });
}

void TOpenDialog::SetDefaultExt(const AnsiString& Value) {
    FDefaultExt = Value;
    if (FDialog)
        ApplyDefaultExt();
}

// A pattern is no suffix to append.
void TOpenDialog::ApplyDefaultExt() {
    const bool Pattern = FDefaultExt.find_first_of("*?") != AnsiString::npos;
    QtWidget<QFileDialog>(FDialog)->setDefaultSuffix(Pattern ? QString()
                                                             : QtText::Decode(FDefaultExt));
}

bool TOpenDialog::TaskModalDialog() {
    auto* Dialog = QtWidget<QFileDialog>(FDialog);
    if (auto* Places = Dialog->findChild<QWidget*>(QStringLiteral("sidebar")))
        Places->setVisible(FShowPlacesBar);
    if (WantsTemplate())
        AddTemplateArea();
    SettleLayout();
    if (!FOptions.Contains(ofEnableSizing))
        Dialog->setFixedSize(Dialog->size());
    SafeCall([this] { DoShow(); });
    const bool Confirmed = Dialog->exec() == QDialog::Accepted;
    SafeCall([this] { DoClose(); });
    FTemplateArea.reset();
    return Confirmed;
}

// The area is a control of the layer inside a plain row widget of the dialog's grid, so that
// the grid's layout moves the row and the row sizes the control.
void TOpenDialog::AddTemplateArea() {
    auto* Grid = qobject_cast<QGridLayout*>(QtWidget(FDialog)->layout());
    if (!Grid)
        return;
    auto* Holder = new QWidget(QtWidget(FDialog));
    FTemplateHolder = PlatformWidget(Holder);
    Holder->setMinimumHeight(TemplateAreaHeight);
    Grid->addWidget(Holder, Grid->rowCount(), 0, 1, Grid->columnCount());
    FTemplateArea = std::make_unique<TWinControl>(nullptr);
    FTemplateArea->SetColor(clBtnFace);
    QWidget* Area = TControlAccess::Widget(FTemplateArea.get());
    Area->setParent(Holder);
    Holder->installEventFilter(new TTemplateSizer(FTemplateArea.get(), Holder));
    Area->show();
}

// Gives the dialog its full size before it is shown, so that the template area has the place
// and size in DoShow that it keeps when the dialog appears.
void TOpenDialog::SettleLayout() {
    QWidget* Dialog = QtWidget(FDialog);
    Dialog->ensurePolished();
    Dialog->layout()->activate();
    Dialog->resize(Dialog->sizeHint().expandedTo(Dialog->minimumSize()));
    // A hidden dialog lays out again only when told to.
    Dialog->layout()->invalidate();
    Dialog->layout()->activate();
    if (FTemplateArea) {
        const QWidget* Holder = QtWidget(FTemplateHolder);
        FTemplateArea->SetBounds(0, 0, Holder->width(), Holder->height());
    }
}

void TOpenDialog::Finish(bool Confirmed) {
    if (Confirmed) {
        FFiles->Clear();
        for (const QString& File : QtWidget<QFileDialog>(FDialog)->selectedFiles())
            FFiles->Add(QtText::Encode(QDir::toNativeSeparators(File)));
        if (FFiles->Count() > 0)
            FFileName = FFiles->Get(0);
        FFilterIndex = ChosenFilterIndex();
    }
    FTemplateArea.reset();
    delete QtWidget(FDialog);
    FDialog = nullptr;
    FTemplateHolder = nullptr;
}

TRect TOpenDialog::StandardControlsRect() const {
    if (!FDialog)
        return {};
    const QWidget* Dialog = QtWidget(FDialog);
    const int Bottom = FTemplateHolder ? QtWidget(FTemplateHolder)->y() : Dialog->height();
    return Rect(0, 0, Dialog->width(), Bottom);
}

int TOpenDialog::ChosenFilterIndex() const {
    const auto* Types = QtWidget(FDialog)->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    return Types && Types->currentIndex() >= 0 ? Types->currentIndex() + 1 : FFilterIndex;
}

void TOpenDialog::SelectionChanged(const AnsiString& Path) {
    FSelection = Path;
    SafeCall([this] { DoSelectionChange(); });
}

void TOpenDialog::FilterChanged() {
    const int Index = ChosenFilterIndex();
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
    const auto* Field =
        FDialog ? QtWidget(FDialog)->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                : nullptr;
    return Field ? QtText::Encode(Field->text()) : AnsiString();
}

void TOpenDialog::SetFileNameFieldText(const AnsiString& Value) {
    if (auto* Field = FDialog
                          ? QtWidget(FDialog)->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                          : nullptr)
        Field->setText(QtText::Decode(Value));
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
