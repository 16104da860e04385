#include "Menus.h"
#include "Controls.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "TestSupport.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

// The nine items of the row editing menu, two of them separators.
const char* const RowMenuForm = R"(object MenuForm: TMenuTestForm
  object PopupMenu1: TPopupMenu
    object N1: TMenuItem
      Caption = '右へ移動(子アイテムにする→ツリ－単価用)'
      OnClick = N1Click
    end
    object N2: TMenuItem
      Caption = '左へ移動(親アイテムにする→ツリ－単価用)'
      OnClick = N2Click
    end
    object N9: TMenuItem
      Caption = '-'
    end
    object N4: TMenuItem
      Caption = '上へ移動'
    end
    object N5: TMenuItem
      Caption = '下へ移動'
    end
    object N10: TMenuItem
      Caption = '-'
    end
    object N3: TMenuItem
      Caption = '削　除'
    end
    object N8: TMenuItem
      Caption = '割　込'
    end
    object N11: TMenuItem
      Caption = '1行追加'
    end
  end
end
)";

class TMenuTestForm : public TComponent {
public:
    explicit TMenuTestForm(TComponent* AOwner) : TComponent(AOwner) {
        PublishMethod("N1Click",
                      TNotifyEvent([this](TObject* Sender) { Clicked.push_back(Sender); }));
        PublishMethod("N2Click",
                      TNotifyEvent([this](TObject* Sender) { Clicked.push_back(Sender); }));
    }
    const char* ClassName() const override { return "TMenuTestForm"; }
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
        for (int I = 0; I < ComponentCount(); ++I)
            if (!Components(I)->GetParentComponent())
                Proc(Components(I));
    }
    std::vector<TObject*> Clicked;
};

[[maybe_unused]] const bool FormRegistered = [] {
    TPublish<TMenuTestForm>("TMenuTestForm", "TComponent");
    return true;
}();

// Collects what reaches the layer's error report while a test runs.
class MenusTest : public testing::Test {
protected:
    void SetUp() override {
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
    }
    void TearDown() override { SetExceptionHandler(nullptr); }

    static TMenuItem* AddItem(TMenuItem* Parent, const AnsiString& Caption) {
        auto* Item = new TMenuItem(nullptr);
        Item->SetCaption(Caption);
        Parent->Add(Item);
        return Item;
    }

    // The index of the item with the text; -1 when there is none.
    static int ItemNamed(TPlatformWidget* Menu, const AnsiString& Text) {
        const std::vector<AnsiString> Items = TestSupport::MenuItems(Menu);
        const auto It = std::find(Items.begin(), Items.end(), Text);
        return It == Items.end() ? -1 : static_cast<int>(It - Items.begin());
    }

    std::vector<std::string> Reported;
};

TEST_F(MenusTest, FormFileNestsItemsInOrderUnderTheirMenu) {
    TMenuTestForm Form(nullptr);
    ReadComponentText(&Form, RowMenuForm);
    auto* Menu = ComponentByName<TPopupMenu>(&Form, "PopupMenu1");
    const char* Expected[] = {"N1", "N2", "N9", "N4", "N5", "N10", "N3", "N8", "N11"};
    ASSERT_EQ(Menu->Items()->Count(), 9);
    for (int I = 0; I < 9; ++I)
        EXPECT_EQ(Menu->Items()->Items(I)->Name(), Expected[I]);
    EXPECT_TRUE(Menu->Items()->Items(2)->IsLine());
    EXPECT_TRUE(Menu->Items()->Items(5)->IsLine());
    EXPECT_EQ(Menu->Items()->Items(0)->GetParentComponent(), Menu);
    EXPECT_EQ(Menu->Items()->Items(0)->Caption(), "右へ移動(子アイテムにする→ツリ－単価用)"_sj);
}

TEST_F(MenusTest, FormFileSurvivesAWriteAndReadRoundTrip) {
    TMenuTestForm Form(nullptr);
    ReadComponentText(&Form, RowMenuForm);
    const std::string Written = WriteComponentText(&Form);
    TMenuTestForm Again(nullptr);
    ReadComponentText(&Again, Written);
    auto* Menu = ComponentByName<TPopupMenu>(&Again, "PopupMenu1");
    ASSERT_EQ(Menu->Items()->Count(), 9);
    EXPECT_EQ(Menu->Items()->Items(8)->Caption(), "1行追加"_sj);
    EXPECT_EQ(WriteComponentText(&Again), Written);
}

TEST_F(MenusTest, PopupReturnsAtOnceWithTheItemsInOrderAndSeparators) {
    TMenuTestForm Form(nullptr);
    ReadComponentText(&Form, RowMenuForm);
    auto* Menu = ComponentByName<TPopupMenu>(&Form, "PopupMenu1");
    Menu->Popup(100, 100);
    TPlatformWidget* Shown = Menu->ShownMenu();
    ASSERT_NE(Shown, nullptr);
    const std::vector<AnsiString> Items = TestSupport::MenuItems(Shown);
    ASSERT_EQ(Items.size(), 9u);
    EXPECT_EQ(Items[0], "右へ移動(子アイテムにする→ツリ－単価用)"_sj);
    EXPECT_EQ(Items[3], "上へ移動"_sj);
    EXPECT_EQ(Items[8], "1行追加"_sj);
    for (int I = 0; I < 9; ++I)
        EXPECT_EQ(Items[I] == "-", I == 2 || I == 5) << I;
    TestSupport::CloseMenu(Shown);
}

TEST_F(MenusTest, ChoosingAnItemRunsItsHandlerWithTheItemAsSender) {
    TMenuTestForm Form(nullptr);
    ReadComponentText(&Form, RowMenuForm);
    auto* Menu = ComponentByName<TPopupMenu>(&Form, "PopupMenu1");
    Menu->Popup(10, 10);
    TestSupport::ChooseMenuItem(Menu->ShownMenu(), 1);
    ASSERT_EQ(Form.Clicked.size(), 1u);
    EXPECT_EQ(Form.Clicked[0], Form.FindComponent("N2"));
}

TEST_F(MenusTest, AnErrorInAHandlerGoesToTheErrorReport) {
    TPopupMenu Menu(nullptr);
    TMenuItem* Item = AddItem(Menu.Items(), "Fail");
    Item->OnClick = [](TObject*) { throw std::runtime_error("handler failed"); };
    Menu.Popup(0, 0);
    EXPECT_NO_THROW(TestSupport::ChooseMenuItem(Menu.ShownMenu(), 0));
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0], "handler failed");
}

TEST_F(MenusTest, HiddenItemsAreLeftOutAndDisabledItemsCannotBeChosen) {
    TPopupMenu Menu(nullptr);
    AddItem(Menu.Items(), "A");
    AddItem(Menu.Items(), "B")->SetVisible(false);
    AddItem(Menu.Items(), "C")->SetEnabled(false);
    Menu.Popup(0, 0);
    const std::vector<AnsiString> Items = TestSupport::MenuItems(Menu.ShownMenu());
    ASSERT_EQ(Items.size(), 2u);
    EXPECT_EQ(Items[1], "C");
    EXPECT_FALSE(TestSupport::MenuItemEnabled(Menu.ShownMenu(), 1));
}

TEST_F(MenusTest, ItemsWithChildrenBecomeSubmenus) {
    TPopupMenu Menu(nullptr);
    TMenuItem* Parent = AddItem(Menu.Items(), "More");
    TMenuItem* Child = AddItem(Parent, "Deep");
    int Clicks = 0;
    Child->OnClick = [&](TObject*) { ++Clicks; };
    Menu.Popup(0, 0);
    TPlatformWidget* Sub = TestSupport::Submenu(Menu.ShownMenu(), 0);
    ASSERT_NE(Sub, nullptr);
    TestSupport::ChooseMenuItem(Sub, ItemNamed(Sub, "Deep"));
    EXPECT_EQ(Clicks, 1);
}

TEST_F(MenusTest, OnPopupRunsBeforeTheMenuIsBuilt) {
    TPopupMenu Menu(nullptr);
    Menu.OnPopup = [&](TObject*) { AddItem(Menu.Items(), "Late"); };
    Menu.Popup(0, 0);
    ASSERT_NE(Menu.ShownMenu(), nullptr);
    EXPECT_NE(ItemNamed(Menu.ShownMenu(), "Late"), -1);
}

TEST_F(MenusTest, FreeingAnItemClosesTheOpenMenu) {
    TPopupMenu Menu(nullptr);
    TMenuItem* First = AddItem(Menu.Items(), "First");
    AddItem(Menu.Items(), "Second");
    Menu.Popup(0, 0);
    delete First;
    EXPECT_EQ(Menu.ShownMenu(), nullptr);
    EXPECT_EQ(TestSupport::ShownMenu(), nullptr);
    EXPECT_EQ(Menu.Items()->Count(), 1);
}

TEST_F(MenusTest, AHandlerMayFreeItsOwnMenu) {
    auto* Menu = new TPopupMenu(nullptr);
    TMenuItem* Item = AddItem(Menu->Items(), "Close");
    Item->OnClick = [&](TObject*) { delete Menu; };
    Menu->Popup(0, 0);
    TestSupport::ChooseMenuItem(Menu->ShownMenu(), 0);
    TestSupport::ProcessEvents();
    EXPECT_TRUE(Reported.empty());
}

TEST_F(MenusTest, FreeingTheFormFreesItsMenuAndItemsOnce) {
    auto* Form = new TMenuTestForm(nullptr);
    ReadComponentText(Form, RowMenuForm);
    auto* Menu = ComponentByName<TPopupMenu>(Form, "PopupMenu1");
    auto* N4 = ComponentByName<TMenuItem>(Form, "N4");
    delete N4;
    EXPECT_EQ(Menu->Items()->Count(), 8);
    delete Form;
}

} // namespace
