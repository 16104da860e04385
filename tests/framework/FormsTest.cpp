// Forms and the application: showing, closing, the main form ending the program, the error
// report; the screen's cursors; and the platform calls of the program's directory and shell.
#include "Forms.h"
#include "TypInfo.h"
#include "WinApi.h"
#include "internal/QtHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
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

// Makes a fresh application object the program's one for the time of a test.
class TLocalApplication {
public:
    TLocalApplication() : FSaved(Application) { Application = &Local; }
    ~TLocalApplication() { Application = FSaved; }
    TApplication Local;

private:
    TApplication* FSaved;
};

class TRecordingForm : public TForm {
public:
    explicit TRecordingForm(TComponent* AOwner) : TForm(AOwner) {
        OnShow = [this](TObject*) { Log.push_back("show"); };
        OnClose = [this](TObject*, TCloseAction& Action) {
            Log.push_back("close");
            Action = NextAction;
        };
    }
    ~TRecordingForm() override {
        if (Destroyed)
            *Destroyed = true;
    }
    std::vector<std::string> Log;
    TCloseAction NextAction = caHide;
    bool* Destroyed = nullptr;
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

// ---- Showing and closing

TEST(FormTest, OnShowFiresOnTheFirstShowOnly) {
    TRecordingForm Form(nullptr);
    EXPECT_FALSE(Form.Visible());
    Form.Show();
    EXPECT_TRUE(TControlAccess::Widget(&Form)->isVisible());
    Form.Hide();
    EXPECT_FALSE(TControlAccess::Widget(&Form)->isVisible());
    Form.Show();
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show"}));
}

TEST(FormTest, OnCloseFiresOnceForCloseAndOnceForTheCloseBox) {
    TRecordingForm Form(nullptr);
    Form.Show();
    Form.Close();
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(TControlAccess::Widget(&Form)->isVisible());
    EXPECT_FALSE(Form.Visible());
    Form.Show();
    TControlAccess::Widget(&Form)->close();
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show", "close", "close"}));
    EXPECT_FALSE(TControlAccess::Widget(&Form)->isVisible());
    EXPECT_FALSE(Form.Visible());
}

TEST(FormTest, TheCloseActionDecidesWhatHappensToTheForm) {
    auto* Form = new TRecordingForm(nullptr);
    bool Destroyed = false;
    Form->Destroyed = &Destroyed;
    Form->Show();
    Form->NextAction = caNone;
    TControlAccess::Widget(Form)->close();
    EXPECT_TRUE(TControlAccess::Widget(Form)->isVisible()) << "caNone keeps the form open";
    Form->NextAction = caFree;
    Form->Close();
    EXPECT_FALSE(Destroyed) << "freed only after the handler has returned";
    QApplication::processEvents();
    EXPECT_TRUE(Destroyed);
}

TEST(FormTest, AReleasedFormThatIsFreedFirstIsNotFreedAgain) {
    auto* Form = new TRecordingForm(nullptr);
    Form->Show();
    Form->Release();
    delete Form;
    QApplication::processEvents();
}

TEST(FormTest, AFormClosedByItsShowHandlerNeverAppears) {
    TRecordingForm Form(nullptr);
    Form.OnShow = [&](TObject*) { Form.Close(); };
    Form.Show();
    EXPECT_FALSE(Form.Visible());
    EXPECT_FALSE(TControlAccess::Widget(&Form)->isVisible());
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"close"}));
}

TEST(FormTest, ClosingTheMainFormEndsTheMessageLoop) {
    TLocalApplication App;
    TRecordingForm* Main = nullptr;
    App.Local.CreateForm(Main);
    TRecordingForm* Other = nullptr;
    App.Local.CreateForm(Other);
    EXPECT_EQ(App.Local.MainForm(), Main) << "the first form created is the main form";
    QTimer::singleShot(0, [&] {
        Other->Show();
        Other->Close();
        EXPECT_FALSE(App.Local.Terminated()) << "another form's close ends nothing";
        TControlAccess::Widget(Main)->close();
    });
    App.Local.Run();
    EXPECT_TRUE(App.Local.Terminated());
    EXPECT_EQ(Main->Log, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(TControlAccess::Widget(Main)->isVisible());
}

TEST(FormTest, AMainFormClosedByItsShowHandlerEndsTheProgramAtOnce) {
    TLocalApplication App;
    TRecordingForm* Main = nullptr;
    App.Local.CreateForm(Main);
    Main->OnShow = [&](TObject*) { Main->Close(); };
    App.Local.Run();
    EXPECT_TRUE(App.Local.Terminated());
    EXPECT_FALSE(TControlAccess::Widget(Main)->isVisible());
}

TEST(FormTest, TheApplicationFreesItsForms) {
    bool Destroyed = false;
    {
        TLocalApplication App;
        TRecordingForm* Form = nullptr;
        App.Local.CreateForm(Form);
        Form->Destroyed = &Destroyed;
        Form->Show();
    }
    EXPECT_TRUE(Destroyed);
}

// ---- The error report

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

TEST(ErrorReportTest, TheCloseBoxReportsAFailingCloseHandlerAndTheFormStaysOpen) {
    TRecordingForm Form(nullptr);
    Form.Show();
    std::vector<std::string> Reported;
    TLocalApplication App;
    App.Local.OnException = [&](TObject* Sender, const std::exception& E) {
        EXPECT_EQ(Sender, &App.Local);
        Reported.push_back(E.what());
    };
    Form.OnClose = [](TObject*, TCloseAction&) { throw Exception("busy"); };
    TControlAccess::Widget(&Form)->close();
    EXPECT_EQ(Reported, (std::vector<std::string>{"busy"}));
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

// ---- Frames, places and properties

TEST(FormFrameTest, BoundsIncludeTheFrameAndTheClientAreaIsTheWindow) {
    TForm Form(nullptr);
    Form.SetClientWidth(300);
    Form.SetClientHeight(200);
    EXPECT_GT(Form.Width(), 300);
    EXPECT_GT(Form.Height(), 200 + (Form.Width() - 300)) << "the caption adds to the height";
    EXPECT_EQ(TControlAccess::Widget(&Form)->size(), QSize(300, 200));
    EXPECT_EQ(Form.ClientRect(), Rect(0, 0, 300, 200));

    Form.SetBorderStyle(bsDialog);
    EXPECT_EQ(Form.ClientWidth(), 300) << "the client area keeps its size";
    EXPECT_EQ(Form.ClientHeight(), 200);
    EXPECT_EQ(TControlAccess::Widget(&Form)->minimumSize(),
              TControlAccess::Widget(&Form)->maximumSize())
        << "fixed size";
    EXPECT_FALSE(TControlAccess::Widget(&Form)->windowFlags() & Qt::WindowMaximizeButtonHint);
    Form.SetClientWidth(320);
    EXPECT_EQ(TControlAccess::Widget(&Form)->size(), QSize(320, 200));
    Form.SetBorderStyle(bsSizeable);
    EXPECT_NE(TControlAccess::Widget(&Form)->minimumSize(),
              TControlAccess::Widget(&Form)->maximumSize());
}

TEST(FormFrameTest, ScreenCenterPlacesTheFormInTheMiddleOfTheScreen) {
    TForm Form(nullptr);
    Form.SetBounds(3, 4, 200, 100);
    Form.SetPosition(poScreenCenter);
    Form.Show();
    const QRect Area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(Form.Left(), Area.x() + (Area.width() - 200) / 2);
    EXPECT_EQ(Form.Top(), Area.y() + (Area.height() - 100) / 2);
    TForm Designed(nullptr);
    Designed.SetBounds(3, 4, 200, 100);
    Designed.Show();
    EXPECT_EQ(Designed.Left(), 3);
    EXPECT_EQ(Designed.Top(), 4);
}

TEST(FormFrameTest, TheCaptionIsTheWindowTitle) {
    TForm Form(nullptr);
    Form.SetCaption("積算データ"_sj);
    EXPECT_EQ(TControlAccess::Widget(&Form)->windowTitle(), QString::fromUtf8("積算データ"));
    Form.SetCaption("単価"_sj);
    EXPECT_EQ(TControlAccess::Widget(&Form)->windowTitle(), QString::fromUtf8("単価"));
    EXPECT_EQ(Form.Color(), clBtnFace);
}

TEST(FormRegistryTest, FormsStoreTheirClientSizeAndNotTheirOuterSize) {
    const TClassInfo* Info = FindClassInfo("TForm");
    ASSERT_NE(Info, nullptr);
    ASSERT_TRUE(Info->Create);
    TForm Form(nullptr);
    EXPECT_FALSE(Info->FindProp("Width")->Stored(&Form));
    for (const char* Name : {"ClientWidth", "ClientHeight", "Caption", "BorderStyle", "Position",
                             "Color", "Font", "OnCreate", "OnShow", "OnClose", "OnDestroy"})
        EXPECT_NE(Info->FindProp(Name), nullptr) << Name;
    Info->FindProp("ClientWidth")->SetOrd(&Form, 123);
    EXPECT_EQ(Form.ClientWidth(), 123);
    EXPECT_EQ(Info->FindProp("Color")->Default, clBtnFace);
    bool Closed = false;
    Info->FindProp("OnClose")->SetMethod(
        &Form, std::any(TCloseEvent([&](TObject*, TCloseAction&) { Closed = true; })));
    Form.Close();
    EXPECT_TRUE(Closed);
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

TEST(PlatformCallTest, ArithmeticAndRectangleHelpersFollowThePlatform) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3) << "halves round away from zero";
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(49, 696, 100), 341);
    EXPECT_EQ(MulDiv(1, 2, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 1), -1) << "a result that does not fit";
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
    TRect R = Rect(10, 10, 20, 20);
    InflateRect(R, -2, 3);
    EXPECT_EQ(R, Rect(12, 7, 18, 23));
    EXPECT_TRUE(PtInRect(R, {12, 7}));
    EXPECT_FALSE(PtInRect(R, {18, 7}));
    EXPECT_FALSE(PtInRect(R, {12, 23}));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "no key is held in a test";
    BYTE Keys[256];
    EXPECT_TRUE(GetKeyboardState(Keys));
    EXPECT_EQ(Keys[VK_LBUTTON], 0);
}

TEST(PlatformCallTest, TheProgramDirectoryCanBeRedirectedAndJoinsNames) {
    const AnsiString Real = GetProgramDir();
    EXPECT_FALSE(Real.empty());
    EXPECT_NE(Real.back(), PathDelim);
    EXPECT_EQ(Real, QCoreApplication::applicationDirPath().toStdString());
    SetProgramDirForTesting("/tmp/somewhere");
    EXPECT_EQ(ProgramFilePath("csv_inport.tmp"),
              "/tmp/somewhere" + std::string(1, PathDelim) + "csv_inport.tmp");
    SetProgramDirForTesting("");
    EXPECT_EQ(GetProgramDir(), Real);
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
