#include "Menus.h"

#include "PlatformWindows.h"
#include "TypInfo.h"

#include <algorithm>
#include <utility>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    SetDestroying();
    if (FParent)
        FParent->Remove(this);
    DetachChildren();
}

// Children that belong to a component being destroyed are left to it; the others go with
// this item.
void TMenuItem::DetachChildren() {
    std::vector<TMenuItem*> Children;
    Children.swap(FItems);
    if (!Children.empty())
        StructureChanged();
    for (TMenuItem* Child : Children) {
        Child->FParent = nullptr;
        TComponent* ChildOwner = Child->Owner();
        if (!ChildOwner || !ChildOwner->ComponentState().Contains(csDestroying))
            delete Child;
    }
}

void TMenuItem::SetCaption(const AnsiString& Value) {
    FCaption = Value;
}

void TMenuItem::SetEnabled(bool Value) {
    FEnabled = Value;
}

void TMenuItem::SetVisible(bool Value) {
    FVisible = Value;
}

void TMenuItem::Add(TMenuItem* Item) {
    if (!Item || Item == this)
        return;
    if (Item->FParent)
        Item->FParent->Remove(Item);
    Item->FParent = this;
    FItems.push_back(Item);
    StructureChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end())
        return;
    FItems.erase(It);
    Item->FParent = nullptr;
    StructureChanged();
}

void TMenuItem::StructureChanged() {
    const TMenuItem* Root = this;
    while (Root->FParent)
        Root = Root->FParent;
    if (Root->FMenu)
        Root->FMenu->CloseShownMenu();
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (auto* Menu = dynamic_cast<TPopupMenu*>(Value))
        Menu->Items()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value))
        Item->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
    for (TMenuItem* Child : FItems)
        if (Child->Owner() == Root)
            Proc(Child);
}

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() {
    SetDestroying();
    CloseShownMenu();
    FItems.reset();
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup)
        SafeCall([this] { OnPopup(this); });
    CloseShownMenu();
    FMenu = Platform::CreatePopupMenu();
    BuildMenu(FMenu, FItems.get());
    Platform::TrackPopupMenu(FMenu, X, Y);
}

TPlatformWidget* TPopupMenu::ShownMenu() const {
    return FMenu && Platform::MenuShown(FMenu) ? FMenu : nullptr;
}

void TPopupMenu::BuildMenu(TPlatformWidget* Shown, const TMenuItem* Item) {
    for (TMenuItem* Child : Item->FItems) {
        if (!Child->Visible())
            continue;
        if (Child->IsLine())
            Platform::AppendMenuSeparator(Shown);
        else if (Child->Count() > 0)
            BuildMenu(Platform::AppendSubmenu(Shown, Child->Caption(), Child->Enabled()), Child);
        else
            Platform::AppendMenuItem(Shown, Child->Caption(), Child->Enabled(),
                                     [Child] { Child->Click(); });
    }
}

// A handler may change or free the menu while the platform's menu is still delivering the
// click: the platform's menu goes later, and its items no longer reach any item of ours.
void TPopupMenu::CloseShownMenu() {
    if (FMenu)
        Platform::DestroyMenu(std::exchange(FMenu, nullptr));
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
    FItems->GetChildren(Proc, Root);
}

void RegisterMenus() {
    TPublish<TMenuItem>("TMenuItem", "TComponent")
        .Creatable()
        .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, TMenuItem::DefaultEnabled)
        .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, TMenuItem::DefaultVisible)
        .Event("OnClick", &TMenuItem::OnClick);
    TPublish<TPopupMenu>("TPopupMenu", "TComponent")
        .Creatable()
        .Event("OnPopup", &TPopupMenu::OnPopup);
}
