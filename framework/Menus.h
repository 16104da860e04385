// Menus: the popup menu that a control shows on a right click, and its items.
#pragma once

#include "Classes.h"
#include "WinTypes.h"

#include <vector>

class TPopupMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    const char* ClassName() const override { return "TMenuItem"; }
    static constexpr bool DefaultEnabled = true;
    static constexpr bool DefaultVisible = true;

    // "-" makes the item a separator line.
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(Index); }
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Remove(TMenuItem* Item);

    virtual void Click();
    TNotifyEvent OnClick;

    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

private:
    friend class TPopupMenu;
    void DetachChildren();
    void StructureChanged();
    AnsiString FCaption;
    bool FEnabled = DefaultEnabled;
    bool FVisible = DefaultVisible;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    TPopupMenu* FMenu = nullptr; // set on a popup menu's root item only
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    const char* ClassName() const override { return "TPopupMenu"; }

    TMenuItem* Items() const { return FItems.get(); }
    // The control that was right-clicked to show the menu.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    // Shows the menu at a screen point and returns at once; a chosen item's OnClick runs from
    // the event loop. The platform's menu stays reachable through ShownMenu while it is open.
    virtual void Popup(int X, int Y);
    TPlatformWidget* ShownMenu() const;
    TNotifyEvent OnPopup;

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

private:
    friend class TMenuItem;
    void BuildMenu(TPlatformWidget* Shown, const TMenuItem* Item);
    // An open menu whose items were added, removed or freed is closed: its actions could
    // otherwise reach items that are gone.
    void CloseShownMenu();
    std::unique_ptr<TMenuItem> FItems;
    TComponent* FPopupComponent = nullptr;
    TPlatformWidget* FMenu = nullptr;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterMenus();
