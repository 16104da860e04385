// The standard controls on their Qt widgets: the list box's model and view, the radio group's
// buttons, the check box's widget.
#include "ExtCtrls.h"
#include "FormReader.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "framework/Fixtures.h"
#include "qt/QtHost.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QListView>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class StdCtrlsTest : public TReportingTest {};

[[maybe_unused]] const bool FormRegistered = [] {
    TPublish<TStdTestForm>("TStdTestForm", "TComponent");
    return true;
}();

// ---------------------------------------------------------------------------------------------
// List box

class ListBoxTest : public StdCtrlsTest {
protected:
    void SetUp() override {
        StdCtrlsTest::SetUp();
        View = qobject_cast<QListView*>(TControlAccess::Widget(&List));
        ASSERT_NE(View, nullptr);
        QObject::connect(View->model(), &QAbstractItemModel::modelReset, [this] { ++Resets; });
    }
    int ShownRows() const { return View->model()->rowCount(); }

    TListBox List{nullptr};
    QListView* View = nullptr;
    int Resets = 0;
};

TEST_F(ListBoxTest, AHundredThousandItemsAddedOneByOneAreShownByOneResetFromTheEventLoop) {
    constexpr int ItemCount = 100000;
    for (int I = 0; I < ItemCount; ++I)
        List.Items()->Add(IntToStr(I));
    EXPECT_EQ(Resets, 0);
    QApplication::processEvents();
    EXPECT_EQ(Resets, 1);
    EXPECT_EQ(ShownRows(), ItemCount);
    EXPECT_TRUE(View->uniformItemSizes());
    EXPECT_EQ(View->model()->index(ItemCount - 1, 0).data().toString(), "99999");
}

TEST_F(ListBoxTest, SharedItemsKeepTheirTextAfterTheListTheyCameFromIsGone) {
    {
        TStringList Lines;
        Lines.SetText("\x83\x41,1\r\nb,2");
        const char* const Owned = Lines.View(0).data();
        TSharedText Text = Lines.SharedText();
        EXPECT_NE(Lines.View(0).data(), Owned) << "the list was packed to be shared";
        List.Items()->Share(std::move(Text),
                            TStringViews{Lines.View(0).substr(0, 2), Lines.View(1).substr(2)});
    }
    QApplication::processEvents();
    EXPECT_EQ(ShownRows(), 2);
    EXPECT_EQ(View->model()->index(0, 0).data().toString(), QString::fromUtf8("ア"));
    EXPECT_EQ(List.Items()->Get(1), "2");
}

TEST_F(ListBoxTest, EndUpdateShowsTheRefilledListAtOnceWithOneReset) {
    List.Items()->Add("old");
    QApplication::processEvents();
    Resets = 0;
    List.Items()->BeginUpdate();
    List.Items()->Clear();
    for (int I = 0; I < 1000; ++I)
        List.Items()->Add("new");
    List.Items()->EndUpdate();
    EXPECT_EQ(Resets, 1);
    EXPECT_EQ(ShownRows(), 1000);
    QApplication::processEvents();
    EXPECT_EQ(Resets, 1);
}

TEST_F(ListBoxTest, RowsShowTheDecodedTextAndKeepTheBytes) {
    List.Items()->Add("ボルト"_sj);
    List.Items()->Add("\x83\x7b\xff"); // a valid character, then a byte that does not decode
    QApplication::processEvents();
    EXPECT_EQ(View->model()->index(0, 0).data().toString(), QString::fromUtf8("ボルト"));
    EXPECT_EQ(View->model()->index(1, 0).data().toString(),
              QString::fromUtf8("ボ") + QChar(0xFFFD));
    EXPECT_EQ(List.Items()->Get(1), "\x83\x7b\xff");
}

TEST_F(ListBoxTest, ALongItemShowsOnlyWhatFitsWithoutSplittingACharacter) {
    List.SetBounds(0, 0, 100, 50);
    std::string Long;
    for (int I = 0; I < 200000; ++I)
        Long += "ボ"_sj;
    List.Items()->Add(Long);
    List.Items()->Add("x" + Long);
    QApplication::processEvents();
    for (int Row = 0; Row < 2; ++Row) {
        const QString Shown = View->model()->index(Row, 0).data().toString();
        EXPECT_GE(Shown.size(), 100) << "at least a pixel a character";
        EXPECT_LT(Shown.size(), 1000);
        EXPECT_FALSE(Shown.contains(QChar(0xFFFD))) << Row;
    }
    EXPECT_EQ(List.Items()->Get(0), Long) << "the item stays whole";
}

TEST_F(ListBoxTest, ItemIndexSelectsTheRowAndFollowsTheUser) {
    int Clicks = 0;
    List.OnClick = [&](TObject*) { ++Clicks; };
    for (const char* Item : {"a", "b", "c"})
        List.Items()->Add(Item);
    List.SetItemIndex(2);
    EXPECT_EQ(List.ItemIndex(), 2);
    EXPECT_EQ(View->currentIndex().row(), 2);
    EXPECT_EQ(Clicks, 0);

    View->setCurrentIndex(View->model()->index(1, 0));
    EXPECT_EQ(List.ItemIndex(), 1);
    EXPECT_EQ(Clicks, 1);

    List.SetItemIndex(7);
    EXPECT_EQ(List.ItemIndex(), -1);
    EXPECT_FALSE(View->selectionModel()->hasSelection());
}

TEST_F(ListBoxTest, ClearingTheItemsClearsItemIndex) {
    List.Items()->Add("a");
    List.SetItemIndex(0);
    List.Clear();
    QApplication::processEvents();
    EXPECT_EQ(List.ItemIndex(), -1);
    EXPECT_EQ(ShownRows(), 0);
}

TEST_F(ListBoxTest, RowsAreItemHeightHighButNeverLowerThanALineOfTheFont) {
    List.Items()->Add("a");
    List.SetItemHeight(40);
    QApplication::processEvents();
    const QModelIndex Row = View->model()->index(0, 0);
    EXPECT_EQ(Row.data(Qt::SizeHintRole).toSize().height(), 40);
    List.SetItemHeight(2);
    EXPECT_EQ(Row.data(Qt::SizeHintRole).toSize().height(), View->fontMetrics().height());
}

// ---------------------------------------------------------------------------------------------
// Radio group

class RadioGroupTest : public StdCtrlsTest {
protected:
    void SetUp() override {
        StdCtrlsTest::SetUp();
        Group.SetBounds(0, 0, 257, 89);
        Group.OnClick = [this](TObject*) { ++Clicks; };
    }
    void AddItems(std::initializer_list<AnsiString> Captions) {
        Group.Items()->BeginUpdate();
        for (const AnsiString& Caption : Captions)
            Group.Items()->Add(Caption);
        Group.Items()->EndUpdate();
    }
    int CheckedCount() const {
        int Count = 0;
        for (int I = 0; Group.Button(I); ++I)
            Count += QtWidget<QRadioButton>(Group.Button(I))->isChecked();
        return Count;
    }

    TRadioGroup Group{nullptr};
    int Clicks = 0;
};

TEST_F(RadioGroupTest, EachItemBecomesAButtonWithItsCaption) {
    AddItems({"カンマ"_sj, "タブ"_sj});
    ASSERT_NE(Group.Button(1), nullptr);
    EXPECT_EQ(QtWidget<QRadioButton>(Group.Button(0))->text(), QString::fromUtf8("カンマ"));
    EXPECT_EQ(QtWidget<QRadioButton>(Group.Button(1))->text(), QString::fromUtf8("タブ"));
    EXPECT_EQ(Group.Button(2), nullptr);
    EXPECT_EQ(Group.ItemIndex(), -1);
    EXPECT_EQ(CheckedCount(), 0);
}

TEST_F(RadioGroupTest, ColumnsAreFilledTopToBottom) {
    AddItems({"a", "b", "c", "d", "e"});
    Group.SetColumns(2);
    const QWidget* B[] = {QtWidget(Group.Button(0)), QtWidget(Group.Button(1)),
                          QtWidget(Group.Button(2)), QtWidget(Group.Button(3)),
                          QtWidget(Group.Button(4))};
    EXPECT_EQ(B[0]->x(), B[2]->x());
    EXPECT_LT(B[2]->x(), B[3]->x());
    EXPECT_EQ(B[3]->x(), B[4]->x());
    EXPECT_LT(B[0]->y(), B[1]->y());
    EXPECT_LT(B[1]->y(), B[2]->y());
    EXPECT_EQ(B[0]->y(), B[3]->y());
    EXPECT_LE(B[4]->x() + B[4]->width(), Group.Width());
    EXPECT_LE(B[2]->y() + B[2]->height(), Group.Height());
}

TEST_F(RadioGroupTest, ItemIndexFromCodeChecksOneButtonAndClicks) {
    AddItems({"a", "b", "c"});
    Group.SetItemIndex(1);
    EXPECT_TRUE(QtWidget<QRadioButton>(Group.Button(1))->isChecked());
    EXPECT_EQ(CheckedCount(), 1);
    EXPECT_EQ(Clicks, 1);
    Group.SetItemIndex(1);
    EXPECT_EQ(Clicks, 1);
    Group.SetItemIndex(-1);
    EXPECT_EQ(CheckedCount(), 0);
    Group.SetItemIndex(9);
    EXPECT_EQ(Group.ItemIndex(), -1);
}

TEST_F(RadioGroupTest, AUserClickSetsItemIndexAndAnErrorInOnClickIsReported) {
    AddItems({"a", "b", "c"});
    Group.OnClick = [](TObject*) { throw std::runtime_error("click failed"); };
    QtWidget<QRadioButton>(Group.Button(2))->click();
    EXPECT_EQ(Group.ItemIndex(), 2);
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0], "click failed");
}

TEST_F(RadioGroupTest, ChangingTheItemsRebuildsTheButtons) {
    AddItems({"a", "b", "c"});
    Group.SetItemIndex(2);
    Group.Items()->Delete(2);
    EXPECT_EQ(Group.Button(2), nullptr);
    EXPECT_EQ(Group.ItemIndex(), -1);
    Group.Items()->Put(0, "z");
    EXPECT_EQ(QtWidget<QRadioButton>(Group.Button(0))->text(), "z");
}

TEST_F(RadioGroupTest, AFormFileMayGiveItemIndexBeforeTheItems) {
    TStdTestForm Form(nullptr);
    ReadComponentText(&Form, R"(object Form: TStdTestForm
  object Separater_Char: TRadioGroup
    Width = 257
    Height = 89
    Caption = '区切文字指定'
    Columns = 2
    ItemIndex = 1
    Items.Strings = (
      'カンマ'
      'タブ'
      'スペース'
      'セミコロン')
  end
end
)");
    auto* Loaded = ComponentByName<TRadioGroup>(&Form, "Separater_Char");
    EXPECT_EQ(Loaded->ItemIndex(), 1);
    ASSERT_NE(Loaded->Button(3), nullptr);
    EXPECT_TRUE(QtWidget<QRadioButton>(Loaded->Button(1))->isChecked());
    EXPECT_LT(QtWidget<QRadioButton>(Loaded->Button(1))->x(),
              QtWidget<QRadioButton>(Loaded->Button(2))->x());
}

// ---------------------------------------------------------------------------------------------
// Check box

TEST_F(StdCtrlsTest, CheckBoxWidgetShowsTheStateCodeSets) {
    TCheckBox Box(nullptr);
    auto* Widget = qobject_cast<QCheckBox*>(TControlAccess::Widget(&Box));
    ASSERT_NE(Widget, nullptr);
    Box.SetChecked(true);
    EXPECT_TRUE(Widget->isChecked());
    Box.SetChecked(false);
    EXPECT_FALSE(Widget->isChecked());
}

} // namespace
