// Controls on their widgets: layout, inherited font and colour, input forwarding, posted
// messages, focus and painting through Snapshot (pixel suites, named ...Pixels).
#include "Controls.h"
#include "Forms.h"
#include "Menus.h"
#include "TestSupport.h"
#include "TypInfo.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A self-painted windowed control that records what reaches it.
class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    ~TProbe() override {
        if (Destroyed)
            *Destroyed = true;
    }
    std::vector<std::string> Log;
    std::vector<unsigned> Messages;
    int Paints = 0;
    TColor Ink = clNone;
    bool* Destroyed = nullptr;
    using TControl::Canvas;

    void DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override {
        Messages.push_back(Msg);
        TCustomControl::DispatchMessage(Msg, WParam, LParam);
    }

protected:
    void Paint() override {
        ++Paints;
        if (Ink == clNone)
            return;
        Canvas()->Brush()->SetColor(Ink);
        Canvas()->FillRect(Rect(0, 0, 4, 4));
    }
    void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override {
        Log.push_back("down " + Where(B, X, Y) + (S.Contains(ssDouble) ? " double" : ""));
        TCustomControl::MouseDown(B, S, X, Y);
    }
    void MouseUp(TMouseButton B, TShiftState S, int X, int Y) override {
        Log.push_back("up " + Where(B, X, Y));
        TCustomControl::MouseUp(B, S, X, Y);
    }
    void DblClick() override { Log.push_back("dblclick"); }
    void Click() override {
        Log.push_back("click");
        TCustomControl::Click();
    }
    void KeyDown(unsigned short& Key, TShiftState Shift) override {
        Log.push_back("keydown " + std::to_string(Key) + (Shift.Contains(ssShift) ? "+shift" : ""));
        TCustomControl::KeyDown(Key, Shift);
    }
    void KeyPress(AnsiString& Key) override {
        Log.push_back("keypress " + Key);
        TCustomControl::KeyPress(Key);
    }

private:
    static std::string Where(TMouseButton B, int X, int Y) {
        return std::string(B == mbLeft    ? "L"
                           : B == mbRight ? "R"
                                          : "M") +
               " " + std::to_string(X) + "," + std::to_string(Y);
    }
};

// A windowless control that paints a small square and leaves the rest transparent.
class TSpot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(Rect(0, 0, 2, 2));
    }
};

TProbe* Child(TWinControl* Parent, TAlign Align, int L, int T, int W, int H) {
    auto* C = new TProbe(nullptr);
    C->SetBounds(L, T, W, H);
    C->SetAlign(Align);
    C->SetParent(Parent);
    return C;
}

// Collects the exceptions that escape handlers while it lives.
class TCaughtErrors {
public:
    TCaughtErrors() {
        SetExceptionHandler([this](const std::exception& E) { Messages.push_back(E.what()); });
    }
    ~TCaughtErrors() {
        SetExceptionHandler([](const std::exception& E) { Application->HandleException(E); });
    }
    std::vector<std::string> Messages;
};

} // namespace

// ---- Layout

TEST(AlignTest, AlignedChildrenShareTheClientAreaInThePlatformsOrder) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 200, 100);
    TProbe* Client = Child(&Parent, alClient, 0, 0, 5, 5);
    TProbe* Right = Child(&Parent, alRight, 0, 0, 40, 5);
    TProbe* Left = Child(&Parent, alLeft, 0, 0, 30, 5);
    TProbe* Bottom = Child(&Parent, alBottom, 0, 0, 5, 10);
    TProbe* Top = Child(&Parent, alTop, 0, 0, 5, 20);
    EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(Bottom->BoundsRect(), Rect(0, 90, 200, 100));
    EXPECT_EQ(Left->BoundsRect(), Rect(0, 20, 30, 90));
    EXPECT_EQ(Right->BoundsRect(), Rect(160, 20, 200, 90));
    EXPECT_EQ(Client->BoundsRect(), Rect(30, 20, 160, 90));

    Parent.SetBounds(0, 0, 300, 200);
    EXPECT_EQ(Client->BoundsRect(), Rect(30, 20, 260, 190)) << "resizing the parent re-lays out";
    Top->SetHeight(50);
    EXPECT_EQ(Left->BoundsRect(), Rect(0, 50, 30, 190)) << "a taller top band pushes the rest";
    Top->Hide();
    EXPECT_EQ(Left->BoundsRect(), Rect(0, 0, 30, 190)) << "a hidden control takes no space";
    Top->Show();
    Client->SetAlign(alNone);
    Client->SetBounds(1, 2, 3, 4);
    EXPECT_EQ(Client->BoundsRect(), Rect(1, 2, 4, 6));
}

TEST(AlignTest, ControlsOfOneKindStackByTheirDesignedPositionThenByInsertion) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 100, 100);
    Parent.BeginLoading();
    TProbe* Second = Child(&Parent, alTop, 0, 50, 10, 10);
    TProbe* First = Child(&Parent, alTop, 0, 5, 10, 20);
    TProbe* Tied = Child(&Parent, alTop, 0, 50, 10, 7);
    TProbe* Lower = Child(&Parent, alBottom, 0, 0, 10, 10);
    TProbe* Lowest = Child(&Parent, alBottom, 0, 95, 10, 5);
    EXPECT_EQ(First->Top(), 5) << "nothing moves while the form file is read";
    Parent.EndLoading();
    Parent.Loaded();
    EXPECT_EQ(First->Top(), 0);
    EXPECT_EQ(Second->Top(), 20);
    EXPECT_EQ(Tied->Top(), 30) << "equal tops keep the order of insertion";
    EXPECT_EQ(Lowest->Top(), 95);
    EXPECT_EQ(Lower->Top(), 85);
    TProbe* Added = Child(&Parent, alTop, 0, 25, 10, 3);
    EXPECT_EQ(Added->Top(), 30) << "a control added later goes where its top puts it";
    EXPECT_EQ(Tied->Top(), 33);
}

TEST(AlignTest, SizeAndPositionNotificationsFireOnlyForRealChanges) {
    TProbe Control(nullptr);
    int Resizes = 0;
    Control.OnResize = [&](TObject*) { ++Resizes; };
    Control.SetBounds(0, 0, 10, 10);
    Control.SetBounds(5, 5, 10, 10);
    Control.SetBounds(5, 5, 10, 10);
    Control.SetWidth(-3);
    EXPECT_EQ(Resizes, 2);
    EXPECT_EQ(Control.Width(), 0) << "a negative width is no width";
    EXPECT_EQ(std::count(Control.Messages.begin(), Control.Messages.end(), WM_MOVE), 1);
}

// ---- Inherited font and colour

TEST(ParentFontTest, AChildFollowsItsParentsFontUntilItGetsOneOfItsOwn) {
    TProbe Parent(nullptr);
    Parent.Font()->SetName("ＭＳ Ｐゴシック"_sj);
    TProbe* C = Child(&Parent, alNone, 0, 0, 10, 10);
    EXPECT_TRUE(C->ParentFont());
    EXPECT_EQ(C->Font()->Name(), "ＭＳ Ｐゴシック"_sj) << "taken on SetParent";
    Parent.Font()->SetHeight(-16);
    EXPECT_EQ(C->Font()->Height(), -16);
    EXPECT_TRUE(C->ParentFont());
    TProbe* GrandChild = Child(C, alNone, 0, 0, 5, 5);
    Parent.Font()->SetColor(clRed);
    EXPECT_EQ(GrandChild->Font()->Color(), clRed) << "through every generation";

    C->Font()->SetStyle({fsBold});
    EXPECT_FALSE(C->ParentFont());
    Parent.Font()->SetHeight(-20);
    EXPECT_EQ(C->Font()->Height(), -16);
    C->SetParentFont(true);
    EXPECT_EQ(C->Font()->Height(), -20);
    EXPECT_FALSE(C->Font()->Style().Contains(fsBold));
}

TEST(ParentColorTest, AChildWithParentColorFollowsAndAnOwnColourEndsIt) {
    TProbe Parent(nullptr);
    Parent.SetColor(clNavy);
    TProbe* C = Child(&Parent, alNone, 0, 0, 10, 10);
    C->SetParentColor(true);
    EXPECT_EQ(C->Color(), clNavy);
    Parent.SetColor(clTeal);
    EXPECT_EQ(C->Color(), clTeal);
    C->SetColor(clTeal);
    EXPECT_TRUE(C->ParentColor()) << "the same colour changes nothing";
    C->SetColor(clRed);
    EXPECT_FALSE(C->ParentColor());
    Parent.SetColor(clLime);
    EXPECT_EQ(C->Color(), clRed);
}

// ---- Widgets, destruction, children

TEST(ControlWidgetTest, PropertiesReachTheWindowWhenItIsCreatedAndAfter) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 100, 100);
    TProbe* C = Child(&Parent, alNone, 3, 4, 30, 20);
    C->SetCursor(crHandPoint);
    C->SetHint("hint");
    C->SetShowHint(true);
    ASSERT_TRUE(TestSupport::ShowAndWait(&Parent));
    EXPECT_EQ(TestSupport::WindowBounds(C), Rect(3, 4, 33, 24));
    EXPECT_EQ(TestSupport::CursorShape(C), crHandPoint);
    EXPECT_EQ(TestSupport::HintText(C), "hint");
    EXPECT_EQ(TestSupport::ControlAt(&Parent, {5, 6}), C);
    EXPECT_EQ(TestSupport::ControlAt(&Parent, {50, 50}), &Parent);
    EXPECT_TRUE(TestSupport::IsShown(C));
    C->Hide();
    EXPECT_FALSE(TestSupport::IsShown(C));
    C->SetBounds(1, 1, 5, 5);
    EXPECT_EQ(TestSupport::WindowBounds(C), Rect(1, 1, 6, 6));
}

TEST(ControlWidgetTest, AWindowedControlFreesItsChildrenWhoeverOwnsThem) {
    TComponent Owner(nullptr);
    auto* Parent = new TProbe(&Owner);
    bool ChildGone = false;
    auto* C = new TProbe(&Owner);
    C->Destroyed = &ChildGone;
    C->SetParent(Parent);
    TestSupport::EnsureWindow(Parent);
    delete Parent;
    EXPECT_TRUE(ChildGone);
    EXPECT_EQ(Owner.ComponentCount(), 0);
}

TEST(ControlWidgetTest, FormFilesNestTheChildrenOwnedByTheRoot) {
    TComponent Root(nullptr);
    TProbe Parent(nullptr);
    Parent.SetControlStyle({csAcceptsControls});
    auto* Mine = new TProbe(&Root);
    auto* Foreign = new TProbe(nullptr);
    auto* Second = new TProbe(&Root);
    Mine->SetParentComponent(&Parent);
    Foreign->SetParent(&Parent);
    Second->SetParentComponent(&Parent);
    std::vector<TComponent*> Nested;
    Parent.GetChildren([&](TComponent* C) { Nested.push_back(C); }, &Root);
    EXPECT_EQ(Nested, (std::vector<TComponent*>{Mine, Second}));
    EXPECT_EQ(Mine->GetParentComponent(), &Parent);
    TSpot Spot(nullptr);
    EXPECT_THROW(Second->SetParentComponent(&Spot), EComponentError)
        << "only a control that accepts controls can be a parent";
    EXPECT_EQ(Second->Parent(), &Parent);
}

TEST(ControlWidgetTest, TabOrderNumbersWindowedChildrenInOrder) {
    TProbe Parent(nullptr);
    TProbe* A = Child(&Parent, alNone, 0, 0, 5, 5);
    auto* Spot = new TSpot(nullptr);
    Spot->SetParent(&Parent);
    TProbe* B = Child(&Parent, alNone, 0, 0, 5, 5);
    TProbe* C = Child(&Parent, alNone, 0, 0, 5, 5);
    EXPECT_EQ(A->TabOrder(), 0);
    EXPECT_EQ(B->TabOrder(), 1);
    EXPECT_EQ(C->TabOrder(), 2);
    C->SetTabOrder(0);
    EXPECT_EQ(C->TabOrder(), 0);
    EXPECT_EQ(A->TabOrder(), 1);
    EXPECT_EQ(B->TabOrder(), 2);
    C->SetTabOrder(99);
    EXPECT_EQ(C->TabOrder(), 2);
    delete A;
    EXPECT_EQ(B->TabOrder(), 0);
}

TEST(ControlWidgetTest, APopupMenuThatIsFreedIsForgotten) {
    TComponent Form(nullptr);
    auto* Menu = new TPopupMenu(&Form);
    auto* C = new TProbe(&Form);
    C->SetPopupMenu(Menu);
    delete Menu;
    EXPECT_EQ(C->PopupMenu(), nullptr);
}

TEST(ControlRegistryTest, ControlsHoldTheirCommonPropertiesForDescendantsToPublish) {
    const TClassInfo* Info = FindClassInfo("TWinControl");
    ASSERT_NE(Info, nullptr);
    for (const char* Name :
         {"Align", "Visible", "Enabled", "Color", "ParentColor", "Font", "ParentFont", "ShowHint",
          "ParentShowHint", "PopupMenu", "TabStop", "TabOrder", "Ctl3D", "ImeMode", "OnClick",
          "OnMouseDown", "OnEnter", "OnKeyPress", "Caption"}) {
        EXPECT_EQ(Info->FindProp(Name), nullptr) << Name;
        EXPECT_NE(Info->FindDeclared(Name), nullptr) << Name;
    }
    TProbe C(nullptr);
    const TPropInfo* Font = Info->FindDeclared("Font");
    EXPECT_FALSE(Font->Stored(&C)) << "an inherited font is not stored";
    C.Font()->SetHeight(-20);
    EXPECT_TRUE(Font->Stored(&C));
    EXPECT_EQ(Info->FindDeclared("Align")->Default, alNone);
    Info->FindProp("Cursor")->SetOrd(&C, crHandPoint);
    EXPECT_EQ(C.Cursor(), crHandPoint);
}

TEST(ControlHintTest, ShowHintFollowsTheParentUntilItIsSet) {
    TProbe Parent(nullptr);
    TProbe Child(nullptr);
    Child.SetParent(&Parent);
    const TPropInfo* ShowHint = FindClassInfo("TControl")->FindDeclared("ShowHint");
    EXPECT_TRUE(Child.ParentShowHint());
    EXPECT_FALSE(ShowHint->Stored(&Child));
    Parent.SetShowHint(true);
    EXPECT_TRUE(Child.ShowHint());
    Child.SetShowHint(false);
    EXPECT_FALSE(Child.ParentShowHint());
    EXPECT_TRUE(ShowHint->Stored(&Child)) << "a hint setting of its own is stored, even false";
    Parent.SetShowHint(false);
    Parent.SetShowHint(true);
    EXPECT_FALSE(Child.ShowHint());
    Child.SetParentShowHint(true);
    EXPECT_TRUE(Child.ShowHint());
}

// ---- Input

TEST(ControlInputTest, ALeftClickGoesDownClicksAndGoesUpAtTheMousePoint) {
    TProbe C(nullptr);
    C.SetBounds(0, 0, 50, 40);
    TestSupport::Click(&C, mbLeft, {7, 9});
    EXPECT_EQ(C.Log, (std::vector<std::string>{"down L 7,9", "click", "up L 7,9"}));
    C.Log.clear();
    TestSupport::MouseDown(&C, mbLeft, {7, 9});
    TestSupport::MouseUp(&C, mbLeft, {70, 9});
    EXPECT_EQ(C.Log, (std::vector<std::string>{"down L 7,9", "up L 70,9"}))
        << "released outside: no click";
    C.Log.clear();
    TestSupport::Click(&C, mbRight, {1, 2});
    EXPECT_EQ(C.Log, (std::vector<std::string>{"down R 1,2", "up R 1,2"}));
    C.Log.clear();
    TestSupport::DoubleClick(&C, mbLeft, {3, 3});
    EXPECT_NE(std::find(C.Log.begin(), C.Log.end(), "dblclick"), C.Log.end());
    EXPECT_NE(std::find(C.Log.begin(), C.Log.end(), "down L 3,3 double"), C.Log.end());
}

TEST(ControlInputTest, ClicksOnAChildDoNotReachItsParent) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 100, 100);
    TProbe* C = Child(&Parent, alNone, 10, 10, 20, 20);
    TestSupport::EnsureWindow(&Parent);
    TestSupport::Click(C, mbLeft, {1, 1});
    EXPECT_EQ(C->Log.size(), 3u);
    EXPECT_TRUE(Parent.Log.empty());
}

// A window whose hit-test answer the test chooses.
class TParted : public TProbe {
public:
    using TProbe::TProbe;
    int Answer = HTCLIENT;

protected:
    int WMNCHitTest(TPoint) override { return Answer; }
};

TEST(ControlInputTest, AnEdgeAnswerResizesFromThatEdgeDownToAMinimumInsteadOfClicking) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 300, 200);
    auto* W = new TParted(nullptr);
    W->SetBounds(100, 50, 80, 60);
    W->SetParent(&Parent);
    W->Answer = HTTOPLEFT;
    TestSupport::MouseDown(W, mbLeft, {2, 2});
    EXPECT_EQ(TestSupport::CursorShape(W), crSizeNWSE);
    TestSupport::MouseUp(W, mbLeft, {-18, 12});
    EXPECT_EQ(W->BoundsRect(), Rect(80, 60, 180, 110));
    TestSupport::MouseDown(W, mbLeft, {2, 2});
    TestSupport::MouseUp(W, mbLeft, {202, 202});
    EXPECT_EQ(W->BoundsRect(), Rect(164, 94, 180, 110)) << "16 pixels at least";
    EXPECT_TRUE(W->Log.empty());
    W->Answer = HTCLIENT;
    TestSupport::Click(W, mbLeft, {2, 2});
    EXPECT_EQ(W->Log.size(), 3u);
    EXPECT_EQ(TestSupport::CursorShape(W), crArrow);
}

TEST(ControlInputTest, KeysArriveAsVirtualKeysAndTypedTextInCodePage932) {
    TProbe C(nullptr);
    TestSupport::PressKey(&C, 'A', {ssShift});
    EXPECT_EQ(C.Log, (std::vector<std::string>{"keydown 65+shift", "keypress A"}));
    C.Log.clear();
    TestSupport::PressKey(&C, VK_LEFT);
    EXPECT_EQ(C.Log, (std::vector<std::string>{"keydown 37"})) << "a key that types nothing";
    C.Log.clear();
    TestSupport::PressKey(&C, VK_RETURN);
    EXPECT_EQ(C.Log, (std::vector<std::string>{"keydown 13", "keypress \r"}));
    C.Log.clear();
    TestSupport::Type(&C, "あ"_sj);
    EXPECT_EQ(C.Log, (std::vector<std::string>{"keypress " + "あ"_sj}));
    C.Log.clear();
    TestSupport::Type(&C, std::u16string(u"\U0001F600"));
    EXPECT_TRUE(C.Log.empty()) << "text the code page cannot hold is not typed";
}

TEST(ControlInputTest, AnExceptionInAHandlerGoesToTheErrorReportAndInputGoesOn) {
    TCaughtErrors Errors;
    TProbe C(nullptr);
    C.SetBounds(0, 0, 20, 20);
    C.OnClick = [](TObject*) { throw Exception("broken"); };
    TestSupport::Click(&C, mbLeft, {1, 1});
    EXPECT_EQ(Errors.Messages, (std::vector<std::string>{"broken"}));
    TestSupport::Click(&C, mbLeft, {1, 1});
    EXPECT_EQ(Errors.Messages.size(), 2u);
}

TEST(ControlInputTest, ARightClickShowsTheNearestPopupMenuForItsHolder) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 200, 200);
    TPopupMenu Menu(nullptr);
    auto* Item = new TMenuItem(&Menu);
    Item->SetCaption("Item");
    Menu.Items()->Add(Item);
    TProbe* Panel = Child(&Form, alNone, 0, 0, 100, 100);
    TProbe* Inner = Child(Panel, alNone, 10, 10, 30, 30);
    Panel->SetPopupMenu(&Menu);
    Form.Show();
    EXPECT_TRUE(TestSupport::ContextMenu(Inner, {5, 5}));
    EXPECT_EQ(Menu.PopupComponent(), Panel);
    ASSERT_NE(Menu.ShownMenu(), nullptr);
    EXPECT_EQ(TestSupport::MenuPosition(Menu.ShownMenu()), Inner->ClientToScreen({5, 5}));
    TestSupport::CloseMenu(Menu.ShownMenu());
}

// ---- Posted and sent messages

TEST(MessageTest, PostedClicksArriveAfterTheHandlerThatPostedThemReturns) {
    TProbe Grid(nullptr);
    Grid.SetBounds(0, 0, 50, 50);
    std::vector<std::string> Order;
    Grid.OnMouseDown = [&](TObject*, TMouseButton, TShiftState S, int X, int Y) {
        Order.push_back("down " + std::to_string(X) + "," + std::to_string(Y) +
                        (S.Contains(ssLeft) ? " left" : ""));
    };
    Grid.OnClick = [&](TObject*) { Order.push_back("click"); };
    [&] {
        PostMessage(Grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
        PostMessage(Grid.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(12, 34));
        Order.push_back("handler done");
    }();
    EXPECT_EQ(Order, (std::vector<std::string>{"handler done"}));
    TestSupport::ProcessEvents();
    EXPECT_EQ(Order, (std::vector<std::string>{"handler done", "down 12,34 left", "click"}));
    EXPECT_FALSE(PostMessage(nullptr, WM_LBUTTONDOWN, 0, 0));
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(-3, 7)), -3);
}

TEST(MessageTest, PostedMessagesToAFreedControlAreDropped) {
    auto* Grid = new TProbe(nullptr);
    PostMessage(Grid->Handle(), WM_LBUTTONDOWN, 0, 0);
    delete Grid;
    TestSupport::ProcessEvents();
    SUCCEED();
}

TEST(MessageTest, SetRedrawSuspendsPaintingUntilItIsSwitchedOnAgain) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 100, 100);
    TProbe* C = Child(&Form, alClient, 0, 0, 0, 0);
    Form.Show();
    ASSERT_TRUE(TestSupport::ShowAndWait(&Form));
    C->Repaint();
    const int Before = C->Paints;
    EXPECT_GT(Before, 0);
    SendMessage(C->Handle(), WM_SETREDRAW, 0, 0);
    EXPECT_FALSE(C->Redraw());
    C->Repaint();
    EXPECT_EQ(C->Paints, Before);
    SendMessage(C->Handle(), WM_SETREDRAW, 1, 0);
    C->Repaint();
    EXPECT_GT(C->Paints, Before);
}

// ---- Focus

TEST(FocusTest, AShownControlTakesTheFocusAndReportsEnterAndExit) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 100, 100);
    TProbe* A = Child(&Form, alTop, 0, 0, 0, 30);
    TProbe* B = Child(&Form, alTop, 0, 0, 0, 30);
    std::vector<std::string> Events;
    A->OnEnter = [&](TObject*) { Events.push_back("enter A"); };
    A->OnExit = [&](TObject*) { Events.push_back("exit A"); };
    B->OnEnter = [&](TObject*) { Events.push_back("enter B"); };
    EXPECT_THROW(A->SetFocus(), Exception) << "a form not shown cannot give the focus";
    Form.Show();
    Application->ProcessMessages();
    A->SetFocus();
    Application->ProcessMessages();
    EXPECT_TRUE(A->Focused());
    B->SetFocus();
    Application->ProcessMessages();
    EXPECT_FALSE(A->Focused());
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Events, (std::vector<std::string>{"enter A", "exit A", "enter B"}));
    B->SetEnabled(false);
    EXPECT_FALSE(B->CanFocus());
    A->Hide();
    EXPECT_THROW(A->SetFocus(), Exception);
}

// ---- Painting (pixels)

TEST(ControlPixels, AWindowedControlStartsFromItsColourAndIncludesItsChildren) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 40, 30);
    Parent.SetColor(clBlue);
    Parent.Ink = clRed;
    TProbe* C = Child(&Parent, alNone, 20, 10, 10, 10);
    C->SetColor(clLime);
    auto S = Parent.Snapshot();
    EXPECT_EQ(S->Width(), 40);
    EXPECT_EQ(S->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(S->Canvas()->Pixel(10, 20), clBlue);
    EXPECT_EQ(S->Canvas()->Pixel(25, 15), clLime);
    C->Hide();
    EXPECT_EQ(Parent.Snapshot()->Canvas()->Pixel(25, 15), clBlue);
}

TEST(ControlPixels, AWindowlessControlIsSeenOverItsParentsSurface) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 40, 30);
    Parent.SetColor(clYellow);
    Parent.Ink = clBlue;
    auto* Spot = new TSpot(nullptr);
    Spot->SetBounds(1, 1, 10, 10);
    Spot->SetParent(&Parent);
    auto S = Spot->Snapshot();
    EXPECT_EQ(S->Width(), 10);
    EXPECT_EQ(S->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(S->Canvas()->Pixel(1, 1), clRed);
    EXPECT_EQ(S->Canvas()->Pixel(2, 1), clBlue) << "the parent's painting shows through";
    EXPECT_EQ(S->Canvas()->Pixel(5, 5), clYellow);
    EXPECT_EQ(Parent.Snapshot()->Canvas()->Pixel(2, 2), clRed);
}

TEST(ControlPixels, PaintingAnAreaThroughTheCanvasLeavesOutChildrenAndShiftsNothing) {
    TProbe Parent(nullptr);
    Parent.SetBounds(0, 0, 40, 30);
    Parent.SetColor(clBlue);
    Parent.Ink = clRed;
    Child(&Parent, alNone, 0, 0, 10, 10)->SetColor(clLime);
    const auto Area = TestSupport::PaintArea(&Parent, Rect(2, 2, 12, 8));
    EXPECT_EQ(Area->Width(), 10);
    EXPECT_EQ(Area->Height(), 6);
    EXPECT_EQ(Area->Canvas()->Pixel(1, 1), clRed) << "the canvas's (3, 3)";
    EXPECT_EQ(Area->Canvas()->Pixel(2, 2), clBlue) << "the face, not the child over it";
}

TEST(ControlPixels, AFailingPaintIsReportedFromTheEventLoop) {
    class TBroken : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void Paint() override { throw Exception("paint failed"); }
    } Broken(nullptr);
    Broken.SetBounds(0, 0, 5, 5);
    TCaughtErrors Errors;
    Broken.Snapshot();
    EXPECT_TRUE(Errors.Messages.empty()) << "not inside the paint";
    TestSupport::ProcessEvents();
    EXPECT_EQ(Errors.Messages, (std::vector<std::string>{"paint failed"}));
}
