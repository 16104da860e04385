// The contracts of the platform's standard controls that the layer's controls rely on, checked
// through the platform interface alone.
#include "PlatformControls.h"

#include "Grids.h"

#include <gtest/gtest.h>

namespace {

// A windowed control on a window that the test makes through the platform interface; the
// control owns the window.
class THosted : public TWinControl {
public:
    explicit THosted(std::function<TPlatformWidget*()> AMake)
        : TWinControl(nullptr), FMake(std::move(AMake)) {}
    TPlatformWidget* Window() {
        Snapshot(); // makes the window
        return FWindow;
    }

protected:
    TPlatformWidget* CreateWidget() override { return FWindow = FMake(); }

private:
    std::function<TPlatformWidget*()> FMake;
    TPlatformWidget* FWindow = nullptr;
};

// What a change made by code must not do: tell the owner as if the user had made it.
TEST(PlatformControlsTest, ChangesMadeByCodeGiveNoNotice) {
    int Notices = 0;
    const auto Count = [&Notices](auto&&...) { ++Notices; };
    using Platform::TCheckState;

    THosted CheckBox(
        [&] { return Platform::CreateCheckBox("x", true, TCheckState::Checked, Count); });
    for (TCheckState State : {TCheckState::Grayed, TCheckState::Unchecked, TCheckState::Checked})
        Platform::SetCheckBoxState(CheckBox.Window(), State);

    const Platform::TListItemText Items = [](int) { return std::string_view("item"); };
    THosted List([&] { return Platform::CreateListBox(3, 13, Items, Count); });
    Platform::SetListBoxItemIndex(List.Window(), 2);
    Platform::SetListBoxCount(List.Window(), 5);
    Platform::SetListBoxItemIndex(List.Window(), -1);

    THosted Memo([&] { return Platform::CreateMemo(Count); });
    TStringList Lines;
    Lines.SetText("a\r\n\xff");
    Platform::SetMemoLines(Memo.Window(), Lines);

    TWinControl Window(nullptr);
    Window.SetBounds(0, 0, 100, 100);
    const auto Bars = Platform::CreateScrollBars(Window.Widget(), Count);
    Bars->SetInfo(Platform::TScrollBarKind::Vertical, {true, {80, 0, 100, 100}, true, 1, 10, 3});
    Bars->SetPosition(Platform::TScrollBarKind::Vertical, 7);

    EXPECT_EQ(Notices, 0);
}

TEST(PlatformControlsTest, ScrollBarPositionStaysWithinItsRange) {
    TWinControl Window(nullptr);
    const auto Bars = Platform::CreateScrollBars(Window.Widget(), [](auto, int) {});
    const auto Kind = Platform::TScrollBarKind::Horizontal;
    Bars->SetInfo(Kind, {true, {0, 80, 100, 100}, false, 1, 10, 3});
    EXPECT_GT(Bars->Extent(), 0);
    for (const auto& [Wanted, Kept] : {std::pair{5, 5}, {50, 10}, {-5, 1}}) {
        Bars->SetPosition(Kind, Wanted);
        EXPECT_EQ(Bars->Position(Kind), Kept) << Wanted;
    }
}

// The grid commits the editor's text only when it converts back whole.
TEST(PlatformControlsTest, EditTextComesBackAsItsBytesOrIsRefused) {
    TInplaceEdit Edit(nullptr);
    struct TCase {
        AnsiString Shown;
        bool Whole;
        AnsiString Read;
    };
    for (const TCase& Case :
         {TCase{"ボルト"_sj, true, "ボルト"_sj}, TCase{"\x83\x7b\xff", false, "\x83\x7b?"}}) {
        Edit.SetEditText(Case.Shown);
        AnsiString Read;
        EXPECT_EQ(Edit.TryEditText(Read), Case.Whole);
        EXPECT_EQ(Read, Case.Read);
    }
}

} // namespace
