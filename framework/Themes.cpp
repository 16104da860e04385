#include "Themes.h"

#include "QtHost.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace {

const char* const ClassicStyle = "Windows";

// The style the toolkit chose for this desktop, before the programs chose one of their own.
const QString& DesktopStyle() {
    static const QString Name = QApplication::style()->name();
    return Name;
}

} // namespace

TThemeServices* ThemeServices() {
    static TThemeServices Services;
    return &Services;
}

void TThemeServices::AddSelector() {
    if (++FSelectors == 1)
        ThemesChanged();
}

void TThemeServices::RemoveSelector() {
    if (--FSelectors == 0)
        ThemesChanged();
}

// Controls that leave their face to the parent under visual styles change their opacity.
void TThemeServices::ThemesChanged() const {
    ApplyStyle();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    for (QWidget* Widget : QApplication::allWidgets())
        if (auto* Host = dynamic_cast<THostWidget*>(Widget))
            Host->RefreshOpacity();
}

void TThemeServices::ApplyStyle() const {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    const QString& Desktop = DesktopStyle();
    const QString Wanted = ThemesEnabled() ? Desktop : QString(ClassicStyle);
    if (QApplication::style()->name().compare(Wanted, Qt::CaseInsensitive) == 0)
        return;
    if (QStyle* Style = QStyleFactory::create(Wanted))
        QApplication::setStyle(Style);
}
