// The platform's own edit menu of an edit control, as the user opens it with the right button.
#pragma once

#include "Controls.h"
#include "SysUtils.h"
#include "TestSupport.h"

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

inline const std::vector<AnsiString> JapaneseEditMenu{
    "元に戻す(&U)"_sj, "やり直す(&R)"_sj, "切り取り(&T)"_sj, "コピー(&C)"_sj,
    "貼り付け(&P)"_sj, "削除"_sj,         "すべてを選択"_sj};
