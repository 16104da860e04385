// The themed look that a TWinXP and the framework's manifest component switch on for as long
// as one of them exists, as the toolkit's application style.
#include "WinXP.h"

#include "Forms.h"
#include "Themes.h"
#include "XPMan.h"

#include <QApplication>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

TEST(WinXPQtTest, ThemedLookLastsWhileAnySelectorExists) {
    ThemeServices()->ApplyStyle();
    const QString Classic = QApplication::style()->name();
    EXPECT_EQ(Classic.toLower(), "windows");
    {
        TForm Form(nullptr);
        auto* Component = new TWinXP(&Form);
        EXPECT_TRUE(ThemeServices()->ThemesEnabled());
        const QString Themed = QApplication::style()->name();
        EXPECT_NE(Themed, Classic);
        {
            TXPManifest Manifest(nullptr);
            delete Component;
            EXPECT_TRUE(ThemeServices()->ThemesEnabled());
            EXPECT_EQ(QApplication::style()->name(), Themed);
        }
        EXPECT_FALSE(ThemeServices()->ThemesEnabled());
    }
    EXPECT_EQ(QApplication::style()->name(), Classic);
}

} // namespace
