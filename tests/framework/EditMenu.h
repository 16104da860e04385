// The platform's own edit menu of an edit control, as the user opens it with the right button.
#pragma once

#include "Controls.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

// The menu's item texts without separators and shortcuts; empty when no menu opened.
inline std::vector<AnsiString> EditMenuItems(TControl* Edit, TPoint At) {
    TestSupport::ContextMenu(Edit, At);
    TPlatformWidget* Menu = TestSupport::ShownMenu();
    std::vector<AnsiString> Items;
    if (!Menu)
        return Items;
    for (const AnsiString& Item : TestSupport::MenuItems(Menu))
        if (Item != "-")
            Items.push_back(Item.substr(0, Item.find('\t')));
    TestSupport::CloseMenu(Menu);
    return Items;
}

// Whether Items are the platform's edit menu in Japanese: its editing commands, in this order,
// whatever else the platform adds (a Redo), and no item in another language.
inline testing::AssertionResult IsJapaneseEditMenu(const std::vector<AnsiString>& Items) {
    const AnsiString Commands[] = {"元に戻す"_sj, "切り取り"_sj, "コピー"_sj, "貼り付け"_sj,
                                   "削除"_sj};
    std::size_t Next = 0;
    for (const AnsiString& Item : Items) {
        if (std::ranges::none_of(Item, [](char C) { return IsLeadByte(C); }))
            return testing::AssertionFailure() << "an item without Japanese: " << Item;
        if (Next < std::size(Commands) && Item.starts_with(Commands[Next]))
            ++Next;
    }
    if (Next < std::size(Commands))
        return testing::AssertionFailure() << "no item " << Commands[Next] << " in its place";
    return testing::AssertionSuccess();
}
