// Forms and the application on Qt: the message boxes of the error report and MessageBox, the
// window flags of a frame, cursors, the program's folder and the desktop's opener.
#include "Forms.h"
#include "WinApi.h"
#include "framework/Fixtures.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Answers the next modal message box with Button and keeps its title and text.
class TMessageBoxAnswer {
public:
    explicit TMessageBoxAnswer(QMessageBox::StandardButton Button) {
        QObject::connect(&FPoll, &QTimer::timeout, [this, Button] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!Box)
                return;
            FPoll.stop();
            Title = Box->windowTitle();
            Text = Box->text();
            for (const QAbstractButton* Shown : Box->buttons())
                Buttons.append(Shown->text());
            Buttons.sort();
            Box->button(Button)->click();
        });
        FPoll.start(5);
    }
    QString Title;
    QString Text;
    QStringList Buttons; // sorted

private:
    QTimer FPoll;
};

// Sends what the desktop would open to a text browser's source for the time of a test.
class TDesktopOpener {
public:
    TDesktopOpener() {
        for (const char* Scheme : Schemes)
            QDesktopServices::setUrlHandler(Scheme, &Browser, "setSource");
    }
    ~TDesktopOpener() {
        for (const char* Scheme : Schemes)
            QDesktopServices::unsetUrlHandler(Scheme);
    }
    QUrl Opened() const { return Browser.source(); }

private:
    static constexpr const char* Schemes[] = {"file", "mailto", "http"};
    QTextBrowser Browser;
};

} // namespace

TEST(ErrorReportTest, AnExceptionInAHandlerIsShownInAMessageBoxAndTheFormStaysOpen) {
    TLocalApplication App;
    App.Local.SetTitle("クォヴァント"_sj);
    TRecordingForm Form(nullptr);
    Form.OnShow = [](TObject*) { throw EInOutError("ファイルを開けません"_sj); };
    TMessageBoxAnswer Answer(QMessageBox::Ok);
    Form.Show();
    EXPECT_EQ(Answer.Text, QString::fromUtf8("ファイルを開けません"));
    EXPECT_EQ(Answer.Title, QString::fromUtf8("クォヴァント"));
    EXPECT_TRUE(TControlAccess::Widget(&Form)->isVisible());
}

TEST(ErrorReportTest, MessageBoxReturnsTheButtonPressed) {
    const std::pair<QMessageBox::StandardButton, int> Cases[] = {
        {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    for (const auto& [Button, Id] : Cases) {
        TMessageBoxAnswer Answer(Button);
        EXPECT_EQ(
            Application->MessageBox("続けますか"_sj, "確認"_sj, MB_YESNOCANCEL | MB_ICONQUESTION),
            Id);
        EXPECT_EQ(Answer.Title, QString::fromUtf8("確認"));
        EXPECT_EQ(Answer.Text, QString::fromUtf8("続けますか"));
    }
    TMessageBoxAnswer Ok(QMessageBox::Ok);
    EXPECT_EQ(Application->MessageBox("done", "", MB_OK), IDOK);
}

// The buttons read as the Japanese toolkit has them, whatever the user's locale.
TEST(ErrorReportTest, MessageBoxButtonsAreJapanese) {
    const std::pair<unsigned, QStringList> Cases[] = {
        {MB_OKCANCEL, {"OK", "キャンセル"}},
        {MB_YESNOCANCEL, {"いいえ(&N)", "はい(&Y)", "キャンセル"}},
    };
    for (const auto& [Flags, Buttons] : Cases) {
        TMessageBoxAnswer Answer(QMessageBox::Cancel);
        Application->MessageBox("続けますか"_sj, "確認"_sj, Flags);
        EXPECT_EQ(Answer.Buttons, Buttons);
    }
}

TEST(FormFrameTest, ADialogFrameFixesTheWindowsSizeAndHasNoMaximizeButton) {
    TForm Form(nullptr);
    Form.SetClientWidth(300);
    Form.SetClientHeight(200);
    Form.SetBorderStyle(bsDialog);
    EXPECT_EQ(TControlAccess::Widget(&Form)->minimumSize(),
              TControlAccess::Widget(&Form)->maximumSize())
        << "fixed size";
    EXPECT_FALSE(TControlAccess::Widget(&Form)->windowFlags() & Qt::WindowMaximizeButtonHint);
    Form.SetBorderStyle(bsSizeable);
    EXPECT_NE(TControlAccess::Widget(&Form)->minimumSize(),
              TControlAccess::Widget(&Form)->maximumSize());
}

// ---- Screen cursors

TEST(ScreenTest, ARegisteredCursorNumberShowsItsCursor) {
    constexpr int HandPointLabel = 32761;
    TForm Form(nullptr);
    Form.SetCursor(HandPointLabel);
    Screen->SetCursors(HandPointLabel, std::make_shared<TCursorImage>(QCursor(Qt::CrossCursor)));
    ASSERT_NE(Screen->Cursors(HandPointLabel), nullptr);
    Form.SetCursor(crDefault);
    Form.SetCursor(HandPointLabel);
    EXPECT_EQ(TControlAccess::Widget(&Form)->cursor().shape(), Qt::CrossCursor);
    Screen->SetCursors(HandPointLabel, nullptr);
    EXPECT_EQ(Screen->Cursors(HandPointLabel), nullptr);
    EXPECT_EQ(LoadCursor(HInstance, "NO_SUCH_CURSOR"), nullptr);
}

// ---- Platform calls

TEST(PlatformCallTest, TheProgramDirectoryIsTheApplicationsFolder) {
    EXPECT_EQ(GetProgramDir(), QCoreApplication::applicationDirPath().toStdString());
}

TEST(PlatformCallTest, ShellExecuteOpensFilesInTheDirectoryAndAddresses) {
    TDesktopOpener Desktop;
    QTemporaryDir Dir;
    QFile Help(Dir.filePath("QUOVANT.CHM"));
    ASSERT_TRUE(Help.open(QIODevice::WriteOnly));
    Help.close();
    const AnsiString Directory = Dir.path().toStdString();
    EXPECT_GT(ShellExecute(nullptr, "OPEN", "QUOVANT.CHM", "", Directory, SW_SHOW), 32);
    EXPECT_EQ(Desktop.Opened(), QUrl::fromLocalFile(Dir.filePath("QUOVANT.CHM")));
    EXPECT_EQ(ShellExecute(nullptr, "OPEN", "MISSING.CHM", "", Directory, SW_SHOW), SE_ERR_FNF);
    EXPECT_EQ(ShellExecute(nullptr, "print", "QUOVANT.CHM", "", Directory, SW_SHOW),
              SE_ERR_NOASSOC);
    EXPECT_GT(ShellExecute(nullptr, "OPEN", "mailto:info@example.jp", "", "", SW_SHOW), 32);
    EXPECT_EQ(Desktop.Opened(), QUrl("mailto:info@example.jp"));
    EXPECT_GT(ShellExecute(nullptr, "OPEN", "www.example.jp", "", "", SW_SHOW), 32);
    EXPECT_EQ(Desktop.Opened(), QUrl("http://www.example.jp"));
}
