// Windows of the Win32 back end as the system sees them: what the screen shows of a control
// that leaves its face to its parent, the hit-test answers the system gets, the close box, and
// the keys a dialog answers (Tab, Enter, access keys) on native controls, and subclass chains.
#include "Win32Api.h"
#include "Win32Host.h"
#include "Win32Subclass.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Paints a red dot in its corner and leaves the rest to its parent.
class TDot : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Answer = HTCLIENT;

protected:
    bool OpaquePaint() const override { return false; }
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(Rect(0, 0, 4, 4));
    }
    int WMNCHitTest(TPoint) override { return Answer; }
};

COLORREF ScreenPixel(TControl* Control, TPoint At) {
    POINT P{At.X, At.Y};
    ::ClientToScreen(TControlAccess::Window(Control), &P);
    HDC Screen = ::GetDC(nullptr);
    const COLORREF Color = ::GetPixel(Screen, P.x, P.y);
    ::ReleaseDC(nullptr, Screen);
    return Color;
}

struct TShownForm {
    TShownForm() {
        Form.SetBorderStyle(bsSingle);
        Form.SetBounds(200, 200, 300, 200);
        Form.SetColor(clBlue);
    }
    void Show() {
        Form.Show();
        ASSERT_TRUE(TestSupport::ShowAndWait(&Form));
        ::UpdateWindow(TControlAccess::Window(&Form));
        TestSupport::ProcessEvents();
    }
    // A control of the form at Left, Top, Width x Height in Parent (the form when none).
    template <class T>
    T* Add(int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr) {
        auto* Control = new T(&Form);
        Control->SetBounds(Left, Top, Width, Height);
        Control->SetParent(Parent ? Parent : &Form);
        return Control;
    }
    // A dot of 40 x 30 at Left, Top in Parent (the form when none).
    TDot* AddDot(int Left, int Top, TWinControl* Parent = nullptr) {
        return Add<TDot>(Left, Top, 40, 30, Parent);
    }
    TForm Form{nullptr};
};

// Each subclass writes its mark and passes the message on; the one marked 'r' leaves the chain
// while it is being called.
std::string Calls;

LRESULT CALLBACK Marking(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                         DWORD_PTR) {
    if (Msg == WM_USER) {
        Calls += static_cast<char>(Id);
        if (Id == 'r')
            RemoveSubclass(Window, Marking, Id);
    }
    return DefSubclass(Window, Msg, WParam, LParam);
}

} // namespace

TEST(WindowsWin32Test, TheScreenShowsTheParentBeneathAControlThatLeavesItsFace) {
    TShownForm F;
    auto* Dot = F.AddDot(10, 10);
    F.Show();
    EXPECT_EQ(ScreenPixel(Dot, {1, 1}), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(Dot, {20, 20}), RGB(0, 0, 255)) << "the form's face through the dot";
    F.Form.SetColor(clLime);
    TestSupport::WaitUntil([&] { return ScreenPixel(Dot, {20, 20}) == RGB(0, 255, 0); }, 2000);
    EXPECT_EQ(ScreenPixel(Dot, {20, 20}), RGB(0, 255, 0)) << "a parent's repaint repaints it";
}

// The system's group box draws only its frame and caption.
TEST(WindowsWin32Test, AGroupBoxShowsItsParentsFaceInsideItAndBeneathItsChildren) {
    TShownForm F;
    auto* Box = new TGroupBox(&F.Form);
    Box->SetBounds(10, 10, 200, 120);
    Box->SetParent(&F.Form);
    auto* Dot = F.AddDot(20, 30, Box);
    F.Show();
    EXPECT_EQ(ScreenPixel(Box, {150, 100}), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(Dot, {20, 20}), RGB(0, 0, 255)) << "the form's face through the dot";
}

// A control added later stands above those added before it, whether its window is made as the
// form shows or into a form already shown.
TEST(WindowsWin32Test, ControlsAddedLaterStandAboveTheEarlierOnes) {
    TShownForm F;
    const auto Add = [&](TColor Color, int Left) {
        auto* Panel = new TPanel(&F.Form);
        Panel->SetBevelOuter(bvNone);
        Panel->SetColor(Color);
        Panel->SetBounds(Left, 10, 100, 60);
        Panel->SetParent(&F.Form);
        return Panel;
    };
    Add(clRed, 10);
    TPanel* Second = Add(clLime, 40);
    F.Show();
    EXPECT_EQ(ScreenPixel(Second, {5, 30}), RGB(0, 255, 0));
    TPanel* Third = Add(clYellow, 70);
    ::UpdateWindow(TControlAccess::Window(&F.Form));
    TestSupport::ProcessEvents();
    EXPECT_EQ(ScreenPixel(Third, {5, 30}), RGB(255, 255, 0));
}

// A check box on a panel shows the panel's face around its text; a list box stands in an edge
// of its own.
TEST(WindowsWin32Test, ACheckBoxShowsTheFaceAndAListBoxItsEdge) {
    TShownForm F;
    auto* Panel = F.Add<TPanel>(0, 0, 280, 170);
    auto* Box = F.Add<TCheckBox>(10, 10, 200, 24, Panel);
    Box->SetCaption("x");
    auto* List = F.Add<TListBox>(10, 50, 200, 100, Panel);
    F.Show();
    const COLORREF Face = ::GetSysColor(COLOR_BTNFACE), Window = ::GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(ScreenPixel(Box, {190, 12}), Face);
    EXPECT_EQ(ScreenPixel(List, {20, 50}), Window);
    EXPECT_NE(ScreenPixel(List, {-2, 50}), Window) << "no edge left of the list";
    EXPECT_NE(ScreenPixel(List, {-2, 50}), Face) << "no edge left of the list";
}

TEST(WindowsWin32Test, TheSystemAsksTheControlInsideTheClientAreaAndItselfOnTheFrame) {
    TShownForm F;
    auto* Dot = F.AddDot(10, 10);
    F.Show();
    const auto Ask = [](TControl* Control, TPoint At) {
        POINT P{At.X, At.Y};
        ::ClientToScreen(TControlAccess::Window(Control), &P);
        return ::SendMessageW(TControlAccess::Window(Control), WM_NCHITTEST, 0,
                              MAKELPARAM(P.x, P.y));
    };
    for (int Answer : {HTCLIENT, HTCAPTION, HTBOTTOMRIGHT, HTNOWHERE}) {
        Dot->Answer = Answer;
        EXPECT_EQ(Ask(Dot, {5, 5}), Answer);
    }
    EXPECT_EQ(Ask(&F.Form, {5, 5}), HTCLIENT);
    EXPECT_EQ(Ask(&F.Form, {150, -8}), HTCAPTION) << "the caption bar is the system's";
}

TEST(WindowsWin32Test, TheCloseBoxAsksTheFormAndTheWindowStays) {
    TShownForm F;
    int Asked = 0;
    F.Form.OnClose = [&](TObject*, TCloseAction& Action) {
        if (++Asked == 1)
            Action = caNone;
    };
    F.Show();
    HWND Window = TControlAccess::Window(&F.Form);
    ::SendMessageW(Window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Asked, 1);
    EXPECT_TRUE(::IsWindowVisible(Window)) << "refused";
    ::SendMessageW(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Asked, 2);
    EXPECT_FALSE(::IsWindowVisible(Window));
    EXPECT_TRUE(::IsWindow(Window)) << "hidden, not destroyed";
}

TEST(WindowsWin32Test, TabFollowsTheTabOrderAndEnterPressesTheDefaultButton) {
    TShownForm F;
    std::vector<std::string> Clicks;
    const auto Button = [&](const char* Name, int Left) {
        auto* B = new TButton(&F.Form);
        B->SetName(Name);
        B->SetBounds(Left, 150, 60, 24);
        B->SetParent(&F.Form);
        B->OnClick = [&Clicks, Name](TObject*) { Clicks.push_back(Name); };
        return B;
    };
    auto* Memo = new TMemo(&F.Form);
    Memo->SetBounds(10, 10, 100, 60);
    Memo->SetParent(&F.Form);
    auto* Box = new TCheckBox(&F.Form);
    Box->SetBounds(10, 80, 100, 24);
    Box->SetParent(&F.Form);
    TButton* Ok = Button("Ok", 10);
    TButton* Skipped = Button("Skipped", 80);
    TButton* Cancel = Button("Cancel", 150);
    Ok->SetDefault(true);
    Skipped->SetEnabled(false);
    F.Show();
    TestSupport::PressKey(Memo, VK_RETURN);
    EXPECT_TRUE(Clicks.empty()) << "a memo takes Enter itself";
    TestSupport::PressKey(Box, VK_RETURN);
    EXPECT_EQ(Clicks, std::vector<std::string>{"Ok"}) << "Enter in a check box";
    TestSupport::PressKey(Cancel, VK_RETURN);
    EXPECT_EQ(Clicks.back(), "Cancel") << "Enter on a button presses that button";
    Box->SetFocus();
    const std::vector<std::pair<TShiftState, TControl*>> Steps{
        {{}, Ok}, {{}, Cancel}, {{}, Memo}, {{ssShift}, Cancel}, {{ssShift}, Ok}};
    for (const auto& [Shift, Expected] : Steps) {
        TestSupport::PressKey(dynamic_cast<TWinControl*>(TestSupport::FocusedControl()), VK_TAB,
                              Shift);
        EXPECT_EQ(TestSupport::FocusedControl(), Expected);
    }
}

// Tab walks the whole form depth first in each parent's tab order, into and out of panels; a
// radio group is one stop, its checked button, whose arrows check the others; a disabled
// panel's buttons are passed over.
TEST(WindowsWin32Test, TabCrossesPanelsInTabOrderAndStopsOnceInARadioGroup) {
    TShownForm F;
    const auto Add = [&](auto* Control, TWinControl* Parent, int Top) {
        Control->SetBounds(10, Top, 120, 40);
        Control->SetParent(Parent);
        return Control;
    };
    TMemo* Memo = Add(new TMemo(&F.Form), &F.Form, 0);
    auto* Panel = Add(new TPanel(&F.Form), &F.Form, 45);
    Panel->SetWidth(280);
    TButton* Last = Add(new TButton(&F.Form), &F.Form, 140);
    TButton* Second = Add(new TButton(&F.Form), Panel, 5);
    Second->SetWidth(60);
    TButton* First = Add(new TButton(&F.Form), Panel, 5);
    First->SetLeft(80);
    First->SetTabOrder(0);
    auto* Group = Add(new TRadioGroup(&F.Form), &F.Form, 95);
    Group->Items()->Add("a");
    Group->Items()->Add("b");
    Group->SetItemIndex(1);
    Group->SetTabOrder(2);
    auto* Off = Add(new TPanel(&F.Form), &F.Form, 140);
    Off->SetLeft(140);
    Add(new TButton(&F.Form), Off, 5)->SetWidth(40);
    Off->SetEnabled(false);
    F.Show();
    const auto Window = [](TWinControl* C) { return TControlAccess::Window(C); };
    const auto InGroup = [&](HWND W) {
        return ::IsChild(Window(Group), W) && ::SendMessageW(W, BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    Memo->SetFocus();
    std::vector<std::string> Seen;
    const auto Name = [&](HWND W) -> std::string {
        if (W == Window(Memo))
            return "memo";
        if (W == Window(First))
            return "first";
        if (W == Window(Second))
            return "second";
        if (W == Window(Last))
            return "last";
        return InGroup(W) ? "checked radio" : "other";
    };
    for (const TShiftState Shift : {TShiftState{}, TShiftState{}, TShiftState{}, TShiftState{},
                                    TShiftState{}, TShiftState{ssShift}, TShiftState{ssShift}}) {
        TestSupport::PressKeyInWindow(&F.Form, VK_TAB, Shift);
        Seen.push_back(Name(::GetFocus()));
    }
    EXPECT_EQ(Seen, (std::vector<std::string>{"first", "second", "checked radio", "last", "memo",
                                              "last", "checked radio"}));
    TestSupport::PressKeyInWindow(&F.Form, VK_UP);
    EXPECT_EQ(Group->ItemIndex(), 0) << "an arrow checks the group's next button";
    EXPECT_TRUE(InGroup(::GetFocus()));
}

TEST(WindowsWin32Test, AltAndALetterPressTheButtonThatMarksItAnywhereInTheForm) {
    TShownForm F;
    auto* Panel = F.Add<TPanel>(10, 10, 200, 100);
    auto* Box = F.Add<TCheckBox>(10, 10, 100, 24, Panel);
    Box->SetCaption("&Preview");
    auto* Plain = new TButton(&F.Form);
    Plain->SetCaption("&&Go");
    Plain->SetBounds(10, 120, 60, 24);
    Plain->SetParent(&F.Form);
    int Clicks = 0;
    Plain->OnClick = [&](TObject*) { ++Clicks; };
    F.Show();
    Plain->SetFocus();
    TestSupport::PressKeyInWindow(&F.Form, 'P', {ssAlt});
    EXPECT_TRUE(Box->Checked()) << "a box inside a panel";
    TestSupport::PressKeyInWindow(&F.Form, 'G', {ssAlt});
    EXPECT_EQ(Clicks, 0) << "a doubled ampersand marks no key";
    EXPECT_TRUE(Box->Checked());
}

TEST(WindowsWin32Test, SubclassesRunLastAddedFirstAndMayLeaveWhileCalled) {
    const HWND Window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, nullptr, nullptr);
    const auto Own = ::GetWindowLongPtrW(Window, GWLP_WNDPROC);
    for (const char Id : {'a', 'r', 'b'})
        ASSERT_TRUE(SetSubclass(Window, Marking, static_cast<UINT_PTR>(Id), 0));
    DWORD_PTR Data = 0;
    EXPECT_TRUE(SetSubclass(Window, Marking, 'a', 7));
    EXPECT_TRUE(SubclassData(Window, Marking, 'a', Data));
    EXPECT_EQ(Data, 7u);
    Calls.clear();
    ::SendMessageW(Window, WM_USER, 0, 0);
    ::SendMessageW(Window, WM_USER, 0, 0);
    EXPECT_EQ(Calls, "braba");
    EXPECT_FALSE(SubclassData(Window, Marking, 'r', Data));
    // The last to leave gives the window its own procedure back.
    EXPECT_TRUE(RemoveSubclass(Window, Marking, 'a'));
    EXPECT_TRUE(RemoveSubclass(Window, Marking, 'b'));
    EXPECT_EQ(::GetWindowLongPtrW(Window, GWLP_WNDPROC), Own);
    EXPECT_FALSE(RemoveSubclass(Window, Marking, 'b'));
    ::DestroyWindow(Window);
}
