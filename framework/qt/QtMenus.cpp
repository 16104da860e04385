// The platform's popup menus on Qt menus.
#include "PlatformWindows.h"

#include "QtHandles.h"
#include "QtText.h"

#include <QAction>
#include <QMenu>

namespace {

QMenu* M(TPlatformWidget* Menu) {
    return QtWidget<QMenu>(Menu);
}

} // namespace

namespace Platform {

TPlatformWidget* CreatePopupMenu() {
    return PlatformWidget(new QMenu);
}

void AppendMenuItem(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled,
                    std::function<void()> OnClick) {
    QAction* Action = M(Menu)->addAction(QtText::Decode(Caption));
    Action->setEnabled(Enabled);
    QObject::connect(Action, &QAction::triggered, M(Menu),
                     [OnClick = std::move(OnClick)] { SafeCall(OnClick); });
}

void AppendMenuSeparator(TPlatformWidget* Menu) {
    M(Menu)->addSeparator();
}

TPlatformWidget* AppendSubmenu(TPlatformWidget* Menu, const AnsiString& Caption, bool Enabled) {
    QMenu* Sub = M(Menu)->addMenu(QtText::Decode(Caption));
    Sub->setEnabled(Enabled);
    return PlatformWidget(Sub);
}

void TrackPopupMenu(TPlatformWidget* Menu, int X, int Y) {
    M(Menu)->popup(QPoint(X, Y));
}

bool MenuShown(TPlatformWidget* Menu) {
    return M(Menu)->isVisible();
}

// A handler may change or free the menu while the platform's menu is still delivering the
// click, so the menu goes later, and its actions no longer reach any item.
void DestroyMenu(TPlatformWidget* Menu) {
    for (QAction* Action : M(Menu)->findChildren<QAction*>())
        Action->disconnect();
    M(Menu)->hide();
    M(Menu)->deleteLater();
}

} // namespace Platform
