// The open dialog on Qt's file dialog, answered from the event loop as a user would answer it.
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "framework/ProbeDialog.h"
#include "qt/QtHost.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

constexpr int WaitMilliseconds = 5000;
const QStringList CsvNames{"B.CSV", "a.csv"};
const QStringList AllNames{"B.CSV", "a.csv", "c.txt"};

// Runs the event loop until Done holds or the time is up.
bool WaitUntil(const std::function<bool()>& Done) {
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < WaitMilliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
}

// Calls Answer with the next modal dialog of type W once it is shown. A dialog that the answer
// left open is rejected after a while, so that a failing test fails instead of hanging.
template <class W> void WhenShown(std::function<void(W*)> Answer) {
    auto* Poll = new QTimer;
    Poll->setInterval(10);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Answer] {
        auto* Shown = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!Shown)
            return;
        Poll->stop();
        Poll->deleteLater();
        Answer(Shown);
        QTimer::singleShot(WaitMilliseconds, Shown, [Shown] {
            ADD_FAILURE() << "the dialog was left open";
            Shown->reject();
        });
    });
    Poll->start();
}

QLineEdit* NameField(QFileDialog* Dialog) {
    return Dialog->findChild<QLineEdit*>("fileNameEdit");
}

QComboBox* TypeCombo(QFileDialog* Dialog) {
    return Dialog->findChild<QComboBox*>("fileTypeCombo");
}

// The names the dialog lists now; its folder is read in the background.
QStringList ListedNames(QFileDialog* Dialog) {
    auto* List = Dialog->findChild<QListView*>("listView");
    QStringList Names;
    for (int Row = 0; Row < List->model()->rowCount(List->rootIndex()); ++Row)
        Names.append(List->model()->index(Row, 0, List->rootIndex()).data().toString());
    Names.sort();
    return Names;
}

// Waits until the dialog lists exactly Expected (in sorted order) and returns what it lists.
QStringList WaitForNames(QFileDialog* Dialog, const QStringList& Expected) {
    WaitUntil([&] { return ListedNames(Dialog) == Expected; });
    return ListedNames(Dialog);
}

// Types the name into the empty field, key by key, and presses the open button.
void TypeAndAccept(QFileDialog* Dialog, const QString& Name) {
    NameField(Dialog)->clear();
    QTest::keyClicks(NameField(Dialog), Name);
    QMetaObject::invokeMethod(Dialog, "accept");
}

// The probe dialog that also records where the template area lies in Qt's dialog.
class TQtProbeDialog : public TProbeDialog {
public:
    using TProbeDialog::TProbeDialog;
    QRect AreaInDialog;
    TRect StandardArea;

protected:
    void DoShow() override {
        if (TemplateArea()) {
            QWidget* Area = TControlAccess::Widget(TemplateArea());
            AreaInDialog = QRect(Area->mapTo(QtWidget(DialogWidget()), QPoint(0, 0)), Area->size());
            StandardArea = StandardControlsRect();
        }
        TProbeDialog::DoShow();
    }
};

class DialogsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        for (const char* Name : {"a.csv", "B.CSV", "c.txt"}) {
            QFile File(Dir.filePath(Name));
            ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        }
        Path = Dir.path().toStdString();
        Dialog.SetInitialDir(Path);
        Dialog.SetFilter("CSVファイル|*.CSV"_sj);
    }

    QTemporaryDir Dir;
    AnsiString Path;
    TQtProbeDialog Dialog{nullptr};
};

TEST_F(DialogsTest, UpperCasePatternListsFilesOfEitherCase) {
    QStringList Names;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        Names = WaitForNames(Shown, CsvNames);
        Shown->reject();
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(Names, CsvNames);
}

TEST_F(DialogsTest, FilterIndexFollowsTheTypeTheUserChooses) {
    Dialog.SetFilter("Text|*.txt|CSV|*.CSV");
    Dialog.SetFilterIndex(2);
    int StartIndex = -1;
    QStringList TextNames;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        QComboBox* Types = TypeCombo(Shown);
        StartIndex = Types->currentIndex();
        emit Types->textActivated(Types->currentText()); // the same type again: no change
        QTest::keyClick(Types, Qt::Key_Up);
        TextNames = WaitForNames(Shown, {"c.txt"});
        TypeAndAccept(Shown, "c.txt");
    });
    ASSERT_TRUE(Dialog.Execute());
    EXPECT_EQ(StartIndex, 1);
    EXPECT_EQ(std::count(Dialog.Events.begin(), Dialog.Events.end(), "filter"), 1);
    EXPECT_EQ(Dialog.FilterIndexSeen, 1);
    EXPECT_EQ(Dialog.FilterIndex(), 1);
    EXPECT_EQ(TextNames, QStringList{"c.txt"});
}

TEST_F(DialogsTest, FilterDescriptionsStayWholeAndStarDotStarListsEveryFile) {
    // The second byte of "ポ" is the byte of "|".
    Dialog.SetFilter("ポイント|*.CSV|すべて|*.*"_sj);
    Dialog.SetFilterIndex(2);
    QStringList Types;
    QStringList Names;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        for (int I = 0; I < TypeCombo(Shown)->count(); ++I)
            Types.append(TypeCombo(Shown)->itemText(I));
        Names = WaitForNames(Shown, AllNames);
        Shown->reject();
    });
    Dialog.Execute();
    ASSERT_EQ(Types.size(), 2);
    EXPECT_TRUE(Types[0].startsWith(QString::fromUtf8("ポイント")));
    EXPECT_TRUE(Types[1].startsWith(QString::fromUtf8("すべて")));
    EXPECT_EQ(Names, AllNames);
}

TEST_F(DialogsTest, TemplateAreaStandsBelowTheStandardControlsWhileTheDialogIsShown) {
    Dialog.Template = true;
    bool PanelOnDialog = false;
    QRect AreaWhenShown;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        PanelOnDialog = Dialog.Extra && TControlAccess::Widget(Dialog.Extra)->window() == Shown &&
                        TControlAccess::Widget(Dialog.Extra)->isVisible();
        const QRect Combo(TypeCombo(Shown)->mapTo(Shown, QPoint(0, 0)), TypeCombo(Shown)->size());
        QWidget* Area = TControlAccess::Widget(Dialog.TemplateArea());
        AreaWhenShown = QRect(Area->mapTo(Shown, QPoint(0, 0)), Area->size());
        EXPECT_GT(AreaWhenShown.top(), Combo.bottom());
        EXPECT_EQ(Dialog.TemplateArea()->Width(), Area->width());
        Shown->reject();
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_TRUE(PanelOnDialog);
    EXPECT_EQ(Dialog.AreaInDialog, AreaWhenShown);
    EXPECT_GE(Dialog.AreaInDialog.height(), TOpenDialog::TemplateAreaHeight);
    EXPECT_GT(Dialog.AreaInDialog.width(), 0);
    EXPECT_LE(Dialog.StandardArea.Bottom, Dialog.AreaInDialog.top());
    EXPECT_EQ(Dialog.TemplateArea(), nullptr);
}

TEST_F(DialogsTest, PlacesBarIsShownOrHiddenAsAsked) {
    for (bool Shown : {false, true}) {
        Dialog.SetShowPlacesBar(Shown);
        bool Visible = !Shown;
        WhenShown<QFileDialog>([&](QFileDialog* Running) {
            Visible = Running->findChild<QWidget*>("sidebar")->isVisible();
            Running->reject();
        });
        Dialog.Execute();
        EXPECT_EQ(Visible, Shown);
    }
}

TEST_F(DialogsTest, AWindowFreedWhileTheDialogRunsDoesNotTakeTheDialogWithIt) {
    auto* Window = new QWidget;
    Window->show();
    QApplication::setActiveWindow(Window);
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        Window->deleteLater();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        NameField(Shown)->setText("a.csv");
        QMetaObject::invokeMethod(Shown, "accept");
    });
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), Path + "/a.csv");
}

// Whatever the user's locale (the test main sets C), what the toolkit writes in the dialog is
// Japanese: labels, buttons, tool tips, column headers, the file list's context menu, and the
// sizes and dates of the files.
TEST_F(DialogsTest, TheToolkitsOwnTextsAreJapanese) {
    QStringList Texts;
    QString Accept, Cancel;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        WaitForNames(Shown, CsvNames);
        for (const QLabel* Label : Shown->findChildren<QLabel*>())
            Texts << Label->text();
        for (const QToolButton* Button : Shown->findChildren<QToolButton*>())
            Texts << Button->toolTip();
        for (const QAction* Action : Shown->findChildren<QAction*>())
            Texts << Action->text();
        const QAbstractItemModel* Files = Shown->findChild<QTreeView*>("treeView")->model();
        const QModelIndex Folder = Shown->findChild<QTreeView*>("treeView")->rootIndex();
        for (int Column = 0; Column < Files->columnCount(Folder); ++Column)
            Texts << Files->headerData(Column, Qt::Horizontal).toString();
        for (int Row = 0; Row < Files->rowCount(Folder); ++Row)
            for (const int Column : {1, 3})
                Texts << Files->index(Row, Column, Folder).data().toString();
        const auto* Buttons = Shown->findChild<QDialogButtonBox*>("buttonBox");
        Accept = Buttons->button(QDialogButtonBox::Open)->text();
        Cancel = Buttons->button(QDialogButtonBox::Cancel)->text();
        Shown->reject();
    });
    Dialog.Execute();
    EXPECT_TRUE(Accept.startsWith(QString::fromUtf8("開く"))) << Accept.toStdString();
    EXPECT_EQ(Cancel, QString::fromUtf8("キャンセル"));
    EXPECT_GT(Texts.size(), 20);
    const QRegularExpression Word(QStringLiteral("[A-Za-z]{2,}"));
    for (const QString& Text : Texts)
        EXPECT_FALSE(Word.match(Text).hasMatch()) << Text.toStdString();
}

// The dialog opens wide enough for the file list to show a name of 30 characters, its size,
// type and date whole, and for the side bar to show its places whole; it still fits a screen
// of 800 pixels.
TEST_F(DialogsTest, TheFileListShowsItsColumnsWhole) {
    QFile Long(Dir.filePath("sekisan-2026-12-09-honsha-v2.csv"));
    ASSERT_TRUE(Long.open(QIODevice::WriteOnly));
    Long.write(QByteArray(123456, 'x'));
    Long.close();
    Dialog.SetFilter("");
    std::vector<std::pair<int, int>> Needed; // what each column's texts take, what it has
    int Spread = 0, Visible = 0;
    int PlacesNeeded = 0, PlacesHas = 0;
    QRect Frame;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        WaitUntil([&] { return ListedNames(Shown).size() == 4; });
        const auto* Files = Shown->findChild<QTreeView*>("treeView");
        const QAbstractItemModel* Model = Files->model();
        for (int Column = 0; Column < Files->header()->count(); ++Column) {
            int Widest = 0;
            for (int Row = 0; Row < Model->rowCount(Files->rootIndex()); ++Row)
                Widest = std::max(
                    Widest,
                    Files->sizeHintForIndex(Model->index(Row, Column, Files->rootIndex())).width());
            Needed.emplace_back(Widest, Files->columnWidth(Column));
        }
        Spread = Files->header()->length();
        Visible = Files->viewport()->width();
        const auto* Places = Shown->findChild<QListView*>("sidebar");
        PlacesNeeded = Places->sizeHintForColumn(0);
        PlacesHas = Places->viewport()->width();
        Frame = Shown->frameGeometry();
        Shown->reject();
    });
    Dialog.Execute();
    ASSERT_EQ(Needed.size(), 4u);
    for (std::size_t Column = 0; Column < Needed.size(); ++Column)
        EXPECT_LE(Needed[Column].first, Needed[Column].second) << "column " << Column;
    EXPECT_LE(Spread, Visible);
    EXPECT_LE(PlacesNeeded, PlacesHas);
    EXPECT_LE(Frame.width(), 800);
}

// Without a folder or file name of its own the dialog opens in the current folder, wherever
// the user's earlier dialogs were; it stands centred over the window it belongs to.
TEST_F(DialogsTest, OpensInTheCurrentFolderCentredOverTheActiveWindow) {
    const QString Before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    Dialog.SetInitialDir("");
    QWidget Owner;
    // Below the middle of the screen, so that the dialog has room to stand over it.
    Owner.setGeometry(250, 380, 300, 200);
    Owner.show();
    QApplication::setActiveWindow(&Owner);
    QString Folder;
    QPoint Centre;
    WhenShown<QFileDialog>([&](QFileDialog* Shown) {
        Folder = Shown->directory().absolutePath();
        Centre = Shown->geometry().center();
        Shown->reject();
    });
    Dialog.Execute();
    QDir::setCurrent(Before);
    EXPECT_EQ(Folder, QDir(Dir.path()).absolutePath());
    EXPECT_LE((Centre - Owner.geometry().center()).manhattanLength(), 2);
}

} // namespace
