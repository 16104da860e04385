#include "Menus.h"

#include "QtHandles.h"
#include "QtText.h"
#include "TypInfo.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

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
    FMenu = PlatformWidget(new QMenu);
    BuildMenu(FMenu, FItems.get());
    QtWidget<QMenu>(FMenu)->popup(QPoint(X, Y));
}

TPlatformWidget* TPopupMenu::ShownMenu() const {
    return FMenu && QtWidget(FMenu)->isVisible() ? FMenu : nullptr;
}

void TPopupMenu::BuildMenu(TPlatformWidget* Shown, const TMenuItem* Item) {
    auto* Menu = QtWidget<QMenu>(Shown);
    for (TMenuItem* Child : Item->FItems) {
        if (!Child->Visible())
            continue;
        if (Child->IsLine()) {
            Menu->addSeparator();
        } else if (Child->Count() > 0) {
            QMenu* Sub = Menu->addMenu(QtText::Decode(Child->Caption()));
            Sub->setEnabled(Child->Enabled());
            BuildMenu(PlatformWidget(Sub), Child);
        } else {
            QAction* Action = Menu->addAction(QtText::Decode(Child->Caption()));
            Action->setEnabled(Child->Enabled());
            QObject::connect(Action, &QAction::triggered, Menu,
                             [Child] { SafeCall([Child] { Child->Click(); }); });
        }
    }
}

// A handler may change or free the menu while the platform's menu is still delivering the
// click, so the platform's menu goes later, and its actions no longer reach any item.
void TPopupMenu::CloseShownMenu() {
    if (!FMenu)
        return;
    QWidget* Menu = QtWidget(FMenu);
    for (QAction* Action : Menu->findChildren<QAction*>())
        Action->disconnect();
    Menu->hide();
    Menu->deleteLater();
    FMenu = nullptr;
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
