// The open dialog on Qt's own file dialog, with a template area in a row of its own below the
// standard controls.
#include "PlatformControls.h"

#include "QtHost.h"

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

// The row that holds the template area.
const QString TemplateRowName = QStringLiteral("templateArea");

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
// window of the program on show. The dialog is no child of it (see NewDialog), only kept above
// it.
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

// "*.*" means every file on the platform, but only names with a dot to Qt.
QString QtPattern(const QString& Pattern) {
    return Pattern == QLatin1String("*.*") ? QStringLiteral("*") : Pattern;
}

// Qt's name filters, "Description (pattern pattern)".
QStringList QtNameFilters(const std::vector<Platform::TFileFilter>& Filters) {
    QStringList Names;
    for (const Platform::TFileFilter& Filter : Filters) {
        QStringList Patterns;
        for (const QString& Pattern :
             QtText::Decode(Filter.Patterns).split(QChar(';'), Qt::SkipEmptyParts))
            Patterns.append(QtPattern(Pattern.trimmed()));
        Names.append(QtText::Decode(Filter.Description) + QStringLiteral(" (") +
                     Patterns.join(QChar(' ')) + QChar(')'));
    }
    return Names;
}

// No parent window: a window freed while the dialog runs would take the dialog with it.
std::unique_ptr<TFileDialog> NewDialog(const Platform::TOpenDialogSetup& Setup) {
    auto Dialog = std::make_unique<TFileDialog>();
    Dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    Dialog->setProxyModel(new TFileListModel(Dialog.get()));
    Dialog->setViewMode(QFileDialog::Detail);
    SetOwner(Dialog.get());
    Dialog->setAcceptMode(QFileDialog::AcceptOpen);
    Dialog->setFileMode(Setup.MultiSelect     ? QFileDialog::ExistingFiles
                        : Setup.FileMustExist ? QFileDialog::ExistingFile
                                              : QFileDialog::AnyFile);
    if (Setup.ShowHidden)
        Dialog->setFilter(Dialog->filter() | QDir::Hidden);
    if (!Setup.Title.empty())
        Dialog->setWindowTitle(QtText::Decode(Setup.Title));
    const QStringList Filters = QtNameFilters(Setup.Filters);
    if (!Filters.isEmpty()) {
        Dialog->setNameFilters(Filters);
        Dialog->selectNameFilter(Filters.at(Setup.FilterIndex - 1));
    }
    Dialog->setDefaultSuffix(QtText::Decode(Setup.DefaultExt));
    // Without a folder of its own the dialog opens in the current one, not where Qt's dialogs
    // were last used.
    Dialog->setDirectory(Setup.Folder.empty() ? QDir::currentPath() : QtText::Decode(Setup.Folder));
    if (!Setup.FileName.empty())
        Dialog->selectFile(QtText::Decode(Setup.FileName));
    Dialog->setSizeGripEnabled(Setup.Sizable);
    return Dialog;
}

// The area is a control of the layer inside a plain row widget of the dialog's grid, so that
// the grid's layout moves the row and the row sizes the control. A row of its own has nothing
// above it to reach into, so the area's reach does not apply.
void AddTemplateArea(QFileDialog* Dialog, TWinControl* Area, int Height) {
    auto* Grid = qobject_cast<QGridLayout*>(Dialog->layout());
    if (!Grid)
        return;
    auto* Holder = new QWidget(Dialog);
    Holder->setObjectName(TemplateRowName);
    Holder->setMinimumHeight(Height);
    Grid->addWidget(Holder, Grid->rowCount(), 0, 1, Grid->columnCount());
    QWidget* AreaWidget = TControlAccess::Widget(Area);
    AreaWidget->setParent(Holder);
    Holder->installEventFilter(new TTemplateSizer(Area, Holder));
    AreaWidget->show();
}

// Gives the dialog its full size before it is shown, so that the template area has the place
// and size when the owner first sees it that it keeps when the dialog appears.
void SettleLayout(QFileDialog* Dialog, TWinControl* Area) {
    Dialog->ensurePolished();
    Dialog->layout()->activate();
    Dialog->resize(Dialog->sizeHint().expandedTo(Dialog->minimumSize()));
    // A hidden dialog lays out again only when told to.
    Dialog->layout()->invalidate();
    Dialog->layout()->activate();
    FitFileList(Dialog);
    if (const QWidget* Holder = Dialog->findChild<QWidget*>(TemplateRowName); Holder && Area)
        Area->SetBounds(0, 0, Holder->width(), Holder->height());
}

int ChosenFilterIndex(const QFileDialog* Dialog) {
    const auto* Types = Dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    return Types && Types->currentIndex() >= 0 ? Types->currentIndex() + 1 : 0;
}

QLineEdit* FileNameField(TPlatformWidget* Dialog) {
    return QtWidget(Dialog)->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

void Connect(QFileDialog* Dialog, const Platform::TOpenDialogEvents& Events) {
    QObject::connect(Dialog, &QFileDialog::currentChanged, Dialog, [&Events](const QString& Path) {
        Events.OnSelectionChange(QtText::Encode(QDir::toNativeSeparators(Path)));
    });
    QObject::connect(Dialog, &QFileDialog::filterSelected, Dialog,
                     [&Events, Dialog] { Events.OnFilterChange(ChosenFilterIndex(Dialog)); });
}

} // namespace

namespace Platform {

bool ExecuteOpenDialog(const TOpenDialogSetup& Setup, const TOpenDialogEvents& Events,
                       TOpenDialogResult& Result) {
    const std::unique_ptr<TFileDialog> Dialog = NewDialog(Setup);
    if (auto* Places = Dialog->findChild<QWidget*>(QStringLiteral("sidebar")))
        Places->setVisible(Setup.PlacesBar);
    if (Setup.TemplateArea)
        AddTemplateArea(Dialog.get(), Setup.TemplateArea, Setup.TemplateHeight);
    SettleLayout(Dialog.get(), Setup.TemplateArea);
    if (!Setup.Sizable)
        Dialog->setFixedSize(Dialog->size());
    Events.OnShow(PlatformWidget(Dialog.get()));
    Connect(Dialog.get(), Events);
    const bool Confirmed = Dialog->exec() == QDialog::Accepted;
    Events.OnClose();
    if (!Confirmed)
        return false;
    Result.Files.clear();
    for (const QString& File : Dialog->selectedFiles())
        Result.Files.push_back(QtText::Encode(QDir::toNativeSeparators(File)));
    Result.FilterIndex = ChosenFilterIndex(Dialog.get());
    return true;
}

void SetOpenDialogDefaultExt(TPlatformWidget* Dialog, const AnsiString& Ext) {
    QtWidget<QFileDialog>(Dialog)->setDefaultSuffix(QtText::Decode(Ext));
}

AnsiString OpenDialogFileNameText(TPlatformWidget* Dialog) {
    const QLineEdit* Field = FileNameField(Dialog);
    return Field ? QtText::Encode(Field->text()) : AnsiString();
}

void SetOpenDialogFileNameText(TPlatformWidget* Dialog, const AnsiString& Text) {
    if (QLineEdit* Field = FileNameField(Dialog))
        Field->setText(QtText::Decode(Text));
}

TRect OpenDialogStandardRect(TPlatformWidget* Dialog) {
    const QWidget* Window = QtWidget(Dialog);
    const QWidget* Holder = Window->findChild<QWidget*>(TemplateRowName);
    return Rect(0, 0, Window->width(), Holder ? Holder->y() : Window->height());
}

} // namespace Platform
