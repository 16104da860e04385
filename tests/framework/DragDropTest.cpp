// Dragging one control onto another on a shown window, driven by the platform's pointer and
// keys: starting by mode and threshold, the targets' enter, move and leave, the cursor, the
// drop, cancelling, and controls or drag objects that go while a drag runs.
#include "Controls.h"
#include "Forms.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TLog = std::vector<std::string>;

const char* const StateNames[] = {"enter", "leave", "move"};

std::string NameOf(const TObject* Object) {
    const auto* Component = dynamic_cast<const TComponent*>(Object);
    return Component ? Component->Name() : Object ? Object->ClassName() : "none";
}

std::string At(int X, int Y) {
    return " " + std::to_string(X) + "," + std::to_string(Y);
}

// The shape of the cursor over the whole program: crDefault when no drag shows one.
TCursor CursorShape() {
    return TestSupport::ProgramCursor();
}

class DragDropTest : public testing::Test {
protected:
    void SetUp() override {
        Window.SetBounds(100, 100, 300, 100);
        Source = Add(new TCustomControl(&Window), "Source", 10);
        Target = Add(new TCustomControl(&Window), "Target", 110);
        Refuser = Add(new TGraphicControl(&Window), "Refuser", 210);
        Source->OnClick = [this](TObject*) { Log.push_back("click"); };
        Source->OnStartDrag = [this](TObject* Sender, TDragObject*&) {
            Log.push_back("start " + NameOf(Sender));
        };
        Source->OnEndDrag = [this](TObject* Sender, TObject* To, int X, int Y) {
            Log.push_back("end " + NameOf(Sender) + " " + NameOf(To) + At(X, Y));
        };
        Target->OnDragOver = [this](TObject* Sender, TObject* From, int X, int Y, TDragState State,
                                    bool& Accept) {
            Log.push_back(NameOf(Sender) + " " + StateNames[State] + " " + NameOf(From) + At(X, Y) +
                          (Accept ? "" : " refused"));
        };
        Target->OnDragDrop = [this](TObject* Sender, TObject* From, int X, int Y) {
            Log.push_back("drop " + NameOf(Sender) + " " + NameOf(From) + At(X, Y));
        };
        Refuser->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) {
            Accept = false;
        };
        ASSERT_TRUE(TestSupport::ShowAndWait(&Window));
    }
    void TearDown() override { Press(VK_ESCAPE); }

    TControl* Add(TControl* Control, const char* Name, int Left) {
        Control->SetName(Name);
        Control->SetParent(&Window);
        Control->SetBounds(Left, 10, 80, 80);
        return Control;
    }
    // The pointer, in the window's coordinates.
    void Down(int X, int Y) { TestSupport::PointerDown(&Window, {X, Y}); }
    void MoveTo(int X, int Y) { TestSupport::PointerTo(&Window, {X, Y}); }
    void Up(int X, int Y) { TestSupport::PointerUp(&Window, {X, Y}); }
    void Press(unsigned short Key) { TestSupport::PressKeyInWindow(&Window, Key); }

    TWinControl Window{nullptr};
    TControl* Source = nullptr;
    TControl* Target = nullptr;
    TControl* Refuser = nullptr;
    TLog Log;
};

} // namespace

TEST_F(DragDropTest, AnAutomaticDragStartsPastTheThresholdAndDropsOnAnAcceptingTarget) {
    Source->SetDragMode(dmAutomatic);
    Source->SetDragCursor(crCross);
    Down(20, 20);
    MoveTo(24, 24);
    EXPECT_TRUE(Log.empty()) << "four pixels stay a press";
    EXPECT_EQ(CursorShape(), crDefault);
    MoveTo(25, 20);
    EXPECT_EQ(Log, TLog{"start Source"});
    EXPECT_TRUE(Source->Dragging());
    EXPECT_EQ(CursorShape(), crNoDrop) << "the source itself takes no drop";
    MoveTo(130, 30);
    MoveTo(140, 35);
    EXPECT_EQ(CursorShape(), crCross) << "the source's drag cursor where accepted";
    MoveTo(250, 50);
    EXPECT_EQ(CursorShape(), crNoDrop) << "a target may refuse";
    MoveTo(150, 40);
    Up(150, 40);
    EXPECT_EQ(Log, (TLog{"start Source", "Target enter Source 20,20", "Target move Source 30,25",
                         "Target leave Source 140,40", "Target enter Source 40,30",
                         "Target leave Source 40,30", "drop Target Source 40,30",
                         "end Source Target 40,30"}));
    EXPECT_FALSE(Source->Dragging());
    EXPECT_EQ(CursorShape(), crDefault) << "the cursor that was there comes back";
}

TEST_F(DragDropTest, APressReleasedWithinTheThresholdStaysAClick) {
    Source->SetDragMode(dmAutomatic);
    Down(20, 20);
    MoveTo(22, 21);
    Up(22, 21);
    EXPECT_EQ(Log, TLog{"click"});
    EXPECT_FALSE(Source->Dragging());
}

TEST_F(DragDropTest, AManualControlDragsOnlyWhenItsProgramBeginsTheDrag) {
    Down(20, 20);
    MoveTo(60, 60);
    Up(60, 60);
    EXPECT_EQ(Log, TLog{"click"}) << "manual mode: a press is a press";
    Log.clear();
    Source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
        Source->BeginDrag(true);
    };
    Down(20, 20);
    EXPECT_EQ(Log, TLog{"start Source"}) << "immediate: no threshold";
    MoveTo(130, 20);
    Source->EndDrag(true);
    EXPECT_EQ(Log.back(), "end Source Target 20,10") << "EndDrag(true) drops where the pointer is";
    Up(130, 20);
    EXPECT_EQ(Log.back(), "end Source Target 20,10") << "the release after it is no second drop";
}

TEST_F(DragDropTest, ADragEndsWithoutATargetWhenRefusedOrCancelled) {
    const std::vector<std::pair<const char*, std::function<void()>>> Endings{
        {"released over a refusing control", [this] { MoveTo(250, 50), Up(250, 50); }},
        {"released over the window's own surface", [this] { MoveTo(295, 95), Up(295, 95); }},
        {"Escape", [this] { Press(VK_ESCAPE), Up(150, 50); }},
        {"EndDrag(false)", [this] { Source->EndDrag(false), Up(150, 50); }},
    };
    Source->SetDragMode(dmAutomatic);
    for (const auto& [Title, End] : Endings) {
        Log.clear();
        Down(20, 20);
        MoveTo(150, 50);
        End();
        EXPECT_EQ(Log.back(), "end Source none 0,0") << Title;
        EXPECT_EQ(std::count_if(Log.begin(), Log.end(),
                                [](const std::string& L) { return L.starts_with("drop"); }),
                  0)
            << Title;
        EXPECT_FALSE(Source->Dragging()) << Title;
        EXPECT_EQ(CursorShape(), crDefault) << Title;
    }
}

TEST_F(DragDropTest, AnObjectGivenByOnStartDragIsTheSourceTargetsSee) {
    class TParcel : public TDragObject {
    public:
        const char* ClassName() const override { return "TParcel"; }
        TCursor GetDragCursor(bool Accepted, int, int) override {
            return Accepted ? crHandPoint : crIBeam;
        }
    };
    Source->OnStartDrag = [](TObject*, TDragObject*& Object) { Object = new TParcel; };
    Source->SetDragMode(dmAutomatic);
    Down(20, 20);
    MoveTo(40, 20);
    EXPECT_EQ(CursorShape(), crIBeam);
    MoveTo(150, 20);
    Up(150, 20);
    EXPECT_EQ(Log, (TLog{"Target enter TParcel 40,10", "Target leave TParcel 40,10",
                         "drop Target TParcel 40,10", "end Source Target 40,10"}));
}

TEST_F(DragDropTest, ControlsFreedDuringADragLeaveItSafely) {
    Source->SetDragMode(dmAutomatic);
    Target->OnDragDrop = [this](TObject*, TObject*, int, int) {
        delete Source;
        Log.push_back("source freed");
    };
    Down(20, 20);
    MoveTo(150, 50);
    Up(150, 50);
    EXPECT_EQ(Log.back(), "source freed") << "a freed source hears no end";

    auto* Second = Add(new TCustomControl(&Window), "Second", 10);
    Second->SetDragMode(dmAutomatic);
    Second->OnEndDrag = [this](TObject*, TObject* To, int, int) {
        Log.push_back("end " + NameOf(To));
    };
    Down(20, 20);
    MoveTo(150, 50);
    delete Target;
    MoveTo(151, 50);
    EXPECT_EQ(CursorShape(), crNoDrop);
    Up(151, 50);
    EXPECT_EQ(Log.back(), "end none");
    Down(20, 20);
    MoveTo(150, 50);
    delete Second;
    EXPECT_EQ(CursorShape(), crDefault) << "the drag of a freed source is over";
    Up(150, 50);
}

TEST_F(DragDropTest, AFailingHandlerEndsTheDragBeforeItIsReported) {
    std::vector<std::string> Reported;
    SetExceptionHandler([&](const std::exception& E) {
        Reported.push_back(E.what());
        EXPECT_EQ(CursorShape(), crDefault) << "nothing of the drag holds the program";
    });
    Target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool&) {
        throw Exception("broken");
    };
    Source->SetDragMode(dmAutomatic);
    Down(20, 20);
    MoveTo(150, 50);
    Up(150, 50);
    SetExceptionHandler([](const std::exception& E) { Application->HandleException(E); });
    EXPECT_EQ(Reported, std::vector<std::string>{"broken"});
    EXPECT_FALSE(Source->Dragging());
    EXPECT_EQ(Log, TLog{"start Source"});
}

TEST_F(DragDropTest, ADisabledControlLeavesTheDropToItsEnabledParent) {
    Window.SetName("Window");
    Window.OnDragOver = [this](TObject* Sender, TObject*, int, int, TDragState State, bool&) {
        Log.push_back(NameOf(Sender) + " " + StateNames[State]);
    };
    Target->SetEnabled(false);
    Source->SetDragMode(dmAutomatic);
    Down(20, 20);
    MoveTo(150, 50);
    Up(150, 50);
    EXPECT_EQ(Log,
              (TLog{"start Source", "Window enter", "Window leave", "end Source Window 150,50"}));
}

TEST_F(DragDropTest, ADropHandlerMayBeginTheNextDrag) {
    Source->SetDragMode(dmAutomatic);
    Target->OnDragDrop = [this](TObject*, TObject* From, int, int) {
        Log.push_back("drop " + NameOf(From));
        if (From == Source)
            Target->BeginDrag(true);
    };
    Down(20, 20);
    MoveTo(150, 50);
    Up(150, 50);
    ASSERT_TRUE(Target->Dragging());
    Log.clear();
    MoveTo(160, 50);
    Up(160, 50);
    EXPECT_EQ(Log, (TLog{"Target move Target 50,40", "Target leave Target 50,40", "drop Target"}))
        << "the new drag hears the program's input";
    EXPECT_FALSE(Target->Dragging());
    EXPECT_EQ(CursorShape(), crDefault);
}
