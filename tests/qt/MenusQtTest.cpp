// The Qt menu behind a popup menu.
#include "Menus.h"
#include "qt/QtHandles.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

TMenuItem* AddItem(TMenuItem* Parent, const AnsiString& Caption) {
    auto* Item = new TMenuItem(nullptr);
    Item->SetCaption(Caption);
    Parent->Add(Item);
    return Item;
}

} // namespace

// An action kept from the closed menu (a queued click) reaches no item, not even the one that
// took the freed item's place.
TEST(MenusQt, AnActionOfAMenuClosedByAFreedItemReachesNoItem) {
    TPopupMenu Menu(nullptr);
    TMenuItem* First = AddItem(Menu.Items(), "First");
    TMenuItem* Second = AddItem(Menu.Items(), "Second");
    int SecondClicks = 0;
    Second->OnClick = [&](TObject*) { ++SecondClicks; };
    Menu.Popup(0, 0);
    QAction* FirstAction = QtWidget<QMenu>(Menu.ShownMenu())->actions()[0];
    delete First;
    EXPECT_EQ(QtWidget<QMenu>(Menu.ShownMenu()), nullptr);
    FirstAction->trigger();
    EXPECT_EQ(SecondClicks, 0);
    EXPECT_EQ(Menu.Items()->Count(), 1);
}
