#include "Menus.h"

#include "Controls.h"
#include "TypInfo.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

// Gives the menus the layer's guarded call of user handlers.
struct THandlerCall : TControl {
    using TControl::SafeCall;
};

QString ToQt(const AnsiString& Text) {
    return QString::fromStdString(AnsiToUtf8(Text));
}

} // namespace

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
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end())
        return;
    FItems.erase(It);
    Item->FParent = nullptr;
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
    // A handler may destroy the menu while its platform menu is still delivering the click.
    if (FMenu) {
        FMenu->disconnect();
        FMenu->hide();
        FMenu->deleteLater();
    }
    FItems.reset();
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup)
        THandlerCall::SafeCall([this] { OnPopup(this); });
    if (FMenu)
        FMenu->deleteLater();
    FMenu = new QMenu;
    std::vector<int> Path;
    BuildMenu(FMenu, FItems.get(), Path);
    FMenu->popup(QPoint(X, Y));
}

QMenu* TPopupMenu::ShownMenu() const {
    return FMenu && FMenu->isVisible() ? FMenu : nullptr;
}

// Actions remember the path to their item, so a menu left open over a changed tree never
// reaches a deleted item.
void TPopupMenu::BuildMenu(QMenu* Menu, const TMenuItem* Item, std::vector<int>& Path) {
    for (int I = 0; I < Item->Count(); ++I) {
        const TMenuItem* Child = Item->Items(I);
        if (!Child->Visible())
            continue;
        Path.push_back(I);
        if (Child->IsLine()) {
            Menu->addSeparator();
        } else if (Child->Count() > 0) {
            QMenu* Sub = Menu->addMenu(ToQt(Child->Caption()));
            Sub->setEnabled(Child->Enabled());
            BuildMenu(Sub, Child, Path);
        } else {
            QAction* Action = Menu->addAction(ToQt(Child->Caption()));
            Action->setEnabled(Child->Enabled());
            QObject::connect(Action, &QAction::triggered, Menu, [this, Path] { ChooseItem(Path); });
        }
        Path.pop_back();
    }
}

void TPopupMenu::ChooseItem(const std::vector<int>& Path) {
    TMenuItem* Item = FItems.get();
    for (int Index : Path) {
        if (Index >= Item->Count())
            return;
        Item = Item->Items(Index);
    }
    THandlerCall::SafeCall([Item] { Item->Click(); });
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
    FItems->GetChildren(Proc, Root);
}

namespace {

bool RegisterMenus() {
    TPublish<TMenuItem>("TMenuItem", "TComponent")
        .Creatable()
        .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
        .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, TMenuItem::DefaultEnabled)
        .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, TMenuItem::DefaultVisible)
        .Event("OnClick", &TMenuItem::OnClick);
    TPublish<TPopupMenu>("TPopupMenu", "TComponent")
        .Creatable()
        .Event("OnPopup", &TPopupMenu::OnPopup);
    return true;
}

[[maybe_unused]] const bool Registered = RegisterMenus();

} // namespace
