#include "Dialogs.h"

#include "QtHost.h"
#include "QtText.h"
#include "TypInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeView>
#include <QWindow>

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

// The columns of the file list.
enum TFileColumn { fcName, fcSize, fcType, fcDate, fcCount };

// Sizes in KB, MB and GB of 1024, as the platform's dialogs write them.
QString DataSize(qint64 Bytes) {
    return QLocale().formattedDataSize(Bytes, 2, QLocale::DataSizeTraditionalFormat);
}

// The file system model writes sizes and dates in the user's locale, which may well be C;
// the dialog shows them in Japanese like the rest of its texts.
class TFileListModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& Index, int Role) const override {
        const auto* Files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (Role != Qt::DisplayRole || !Files)
            return QIdentityProxyModel::data(Index, Role);
        const QModelIndex Source = mapToSource(Index);
        if (Index.column() == fcSize && !Files->isDir(Source))
            return DataSize(Files->size(Source));
        if (Index.column() == fcDate)
            return QLocale().toString(Files->lastModified(Source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(Index, Role);
    }
};

// What the file list must show whole: names of this many average characters, and the widest
// size, type of a delimited text file and date.
constexpr int NameChars = 40;

QStringList SampleSizes() {
    return {DataSize(999), DataSize(1023 * 1024 + 1000), DataSize(qint64(999) << 30)};
}

QStringList SampleTypes() {
    const QMimeDatabase Types;
    QStringList Comments;
    for (const char* Name :
         {"text/csv", "text/plain", "text/tab-separated-values", "inode/directory"})
        Comments.append(Types.mimeTypeForName(QLatin1String(Name)).comment());
    return Comments;
}

QStringList SampleDates() {
    return {
        QLocale().toString(QDateTime(QDate(2028, 12, 28), QTime(20, 58)), QLocale::ShortFormat)};
}

int WidestText(const QFontMetrics& Metrics, const QStringList& Texts) {
    int Widest = 0;
    for (const QString& Text : Texts)
        Widest = std::max(Widest, Metrics.horizontalAdvance(Text));
    return Widest;
}

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

// The platform centres its dialogs over the window they belong to: the active one, else a
// window of the program on show. The dialog is no child of it (see Prepare), only kept above it.
void SetOwner(QWidget* Dialog) {
    QWidget* Owner = QApplication::activeWindow();
    for (QWidget* Window : QApplication::topLevelWidgets())
        if (!Owner && Window != Dialog && Window->isVisible() && Window->windowType() == Qt::Window)
            Owner = Window;
    if (!Owner || !Owner->windowHandle())
        return;
    Dialog->winId();
    Dialog->windowHandle()->setTransientParent(Owner->windowHandle());
}

// Gives each column of the file list the room its widest text takes; returns the width the
// list then needs.
int SizeFileColumns(QTreeView* Files, int Padding) {
    const QFontMetrics Metrics(Files->font());
    const int Icon = Files->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, Files);
    const int Wanted[fcCount] = {NameChars * Metrics.averageCharWidth() + Icon + Padding,
                                 WidestText(Metrics, SampleSizes()) + Padding,
                                 WidestText(Metrics, SampleTypes()) + Padding,
                                 WidestText(Metrics, SampleDates()) + Padding};
    QHeaderView* Header = Files->header();
    int Needed = Files->verticalScrollBar()->sizeHint().width() + 2 * Files->frameWidth();
    for (int Column = 0; Column < fcCount; ++Column) {
        Header->showSection(Column);
        const int Width = std::max(Wanted[Column], Header->sectionSizeHint(Column));
        Header->resizeSection(Column, Width);
        Needed += Width;
    }
    return Needed;
}

// Widens the dialog so that the file list shows its columns whole and the side bar of places
// its entries.
void FitFileList(QFileDialog* Dialog) {
    auto* Files = Dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* Places = Dialog->findChild<QListView*>(QStringLiteral("sidebar"));
    auto* Splitter = Dialog->findChild<QSplitter*>(QStringLiteral("splitter"));
    if (!Files || !Places || !Splitter || Splitter->count() != 2)
        return;
    const int Padding = 2 * QFontMetrics(Files->font()).averageCharWidth();
    const int List = SizeFileColumns(Files, Padding);
    const int Side = Places->sizeHintForColumn(0) + 2 * Places->frameWidth() + Padding;
    // The splitter has its place in the hidden dialog, though not yet the sizes of its parts.
    const int Grow = std::max(0, Side + Splitter->handleWidth() + List - Splitter->width());
    Dialog->resize(Dialog->width() + Grow, Dialog->height());
    Dialog->layout()->invalidate();
    Dialog->layout()->activate();
    Splitter->setSizes({Side, Splitter->width() - Splitter->handleWidth() - Side});
}

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
    Dialog->setProxyModel(new TFileListModel(Dialog));
    Dialog->setViewMode(QFileDialog::Detail);
    SetOwner(Dialog);
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
    // Without a folder of its own the dialog opens in the current one, not where Qt's dialogs
    // were last used.
    const AnsiString Dir = !FInitialDir.empty() ? FInitialDir : ExtractFileDir(FFileName);
    Dialog->setDirectory(Dir.empty() ? QDir::currentPath() : QtText::Decode(Dir));
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
    FitFileList(QtWidget<QFileDialog>(FDialog));
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
