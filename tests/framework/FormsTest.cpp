// Forms and the application: showing, closing, the main form ending the program, the error
// report; the screen's cursors; and the platform calls of the program's directory and shell.
#include "Forms.h"
#include "Fixtures.h"
#include "TestSupport.h"
#include "TypInfo.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {} // namespace

// ---- Showing and closing

TEST(FormTest, OnShowFiresOnTheFirstShowOnly) {
    TRecordingForm Form(nullptr);
    EXPECT_FALSE(Form.Visible());
    Form.Show();
    EXPECT_TRUE(TestSupport::IsShown(&Form));
    Form.Hide();
    EXPECT_FALSE(TestSupport::IsShown(&Form));
    Form.Show();
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show"}));
}

TEST(FormTest, OnCloseFiresOnceForCloseAndOnceForTheCloseBox) {
    TRecordingForm Form(nullptr);
    Form.Show();
    Form.Close();
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(TestSupport::IsShown(&Form));
    EXPECT_FALSE(Form.Visible());
    Form.Show();
    TestSupport::CloseWindow(&Form);
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"show", "close", "close"}));
    EXPECT_FALSE(TestSupport::IsShown(&Form));
    EXPECT_FALSE(Form.Visible());
}

TEST(FormTest, TheCloseActionDecidesWhatHappensToTheForm) {
    auto* Form = new TRecordingForm(nullptr);
    bool Destroyed = false;
    Form->Destroyed = &Destroyed;
    Form->Show();
    Form->NextAction = caNone;
    TestSupport::CloseWindow(Form);
    EXPECT_TRUE(TestSupport::IsShown(Form)) << "caNone keeps the form open";
    Form->NextAction = caFree;
    Form->Close();
    EXPECT_FALSE(Destroyed) << "freed only after the handler has returned";
    TestSupport::ProcessEvents();
    EXPECT_TRUE(Destroyed);
}

TEST(FormTest, AReleasedFormThatIsFreedFirstIsNotFreedAgain) {
    auto* Form = new TRecordingForm(nullptr);
    Form->Show();
    Form->Release();
    delete Form;
    TestSupport::ProcessEvents();
}

TEST(FormTest, AFormClosedByItsShowHandlerNeverAppears) {
    TRecordingForm Form(nullptr);
    Form.OnShow = [&](TObject*) { Form.Close(); };
    Form.Show();
    EXPECT_FALSE(Form.Visible());
    EXPECT_FALSE(TestSupport::IsShown(&Form));
    EXPECT_EQ(Form.Log, (std::vector<std::string>{"close"}));
}

TEST(FormTest, ClosingTheMainFormEndsTheMessageLoop) {
    TLocalApplication App;
    TRecordingForm* Main = nullptr;
    App.Local.CreateForm(Main);
    TRecordingForm* Other = nullptr;
    App.Local.CreateForm(Other);
    EXPECT_EQ(App.Local.MainForm(), Main) << "the first form created is the main form";
    TestSupport::RunLater([&] {
        Other->Show();
        Other->Close();
        EXPECT_FALSE(App.Local.Terminated()) << "another form's close ends nothing";
        TestSupport::CloseWindow(Main);
    });
    App.Local.Run();
    EXPECT_TRUE(App.Local.Terminated());
    EXPECT_EQ(Main->Log, (std::vector<std::string>{"show", "close"}));
    EXPECT_FALSE(TestSupport::IsShown(Main));
}

TEST(FormTest, AMainFormClosedByItsShowHandlerEndsTheProgramAtOnce) {
    TLocalApplication App;
    TRecordingForm* Main = nullptr;
    App.Local.CreateForm(Main);
    Main->OnShow = [&](TObject*) { Main->Close(); };
    App.Local.Run();
    EXPECT_TRUE(App.Local.Terminated());
    EXPECT_FALSE(TestSupport::IsShown(Main));
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
    TestSupport::CloseWindow(&Form);
    EXPECT_EQ(Reported, (std::vector<std::string>{"busy"}));
    EXPECT_TRUE(TestSupport::IsShown(&Form));
}

// ---- Frames, places and properties

TEST(FormFrameTest, BoundsIncludeTheFrameAndTheClientAreaIsTheWindow) {
    TForm Form(nullptr);
    Form.SetClientWidth(300);
    Form.SetClientHeight(200);
    EXPECT_GT(Form.Width(), 300);
    EXPECT_GT(Form.Height(), 200 + (Form.Width() - 300)) << "the caption adds to the height";
    EXPECT_EQ(TestSupport::WindowBounds(&Form).Width(), 300);
    EXPECT_EQ(TestSupport::WindowBounds(&Form).Height(), 200);
    EXPECT_EQ(Form.ClientRect(), Rect(0, 0, 300, 200));

    Form.SetBorderStyle(bsDialog);
    EXPECT_EQ(Form.ClientWidth(), 300) << "the client area keeps its size";
    EXPECT_EQ(Form.ClientHeight(), 200);
    Form.SetClientWidth(320);
    EXPECT_EQ(TestSupport::WindowBounds(&Form).Width(), 320);
    EXPECT_EQ(TestSupport::WindowBounds(&Form).Height(), 200);
}

TEST(FormFrameTest, ScreenCenterPlacesTheFormInTheMiddleOfTheScreen) {
    TForm Form(nullptr);
    Form.SetBounds(3, 4, 200, 100);
    Form.SetPosition(poScreenCenter);
    Form.Show();
    const TRect Area = TestSupport::WorkArea();
    EXPECT_EQ(Form.Left(), Area.Left + (Area.Width() - 200) / 2);
    EXPECT_EQ(Form.Top(), Area.Top + (Area.Height() - 100) / 2);
    TForm Designed(nullptr);
    Designed.SetBounds(3, 4, 200, 100);
    Designed.Show();
    EXPECT_EQ(Designed.Left(), 3);
    EXPECT_EQ(Designed.Top(), 4);
}

TEST(FormFrameTest, TheCaptionIsTheWindowTitle) {
    TForm Form(nullptr);
    Form.SetCaption("積算データ"_sj);
    EXPECT_EQ(TestSupport::WindowText(&Form), "積算データ"_sj);
    Form.SetCaption("単価"_sj);
    EXPECT_EQ(TestSupport::WindowText(&Form), "単価"_sj);
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
    SetProgramDirForTesting("/tmp/somewhere");
    EXPECT_EQ(ProgramFilePath("csv_inport.tmp"),
              "/tmp/somewhere" + std::string(1, PathDelim) + "csv_inport.tmp");
    SetProgramDirForTesting("");
    EXPECT_EQ(GetProgramDir(), Real);
}
