// The visual-style components: where a TWinXP may stand (the themed look they switch on is
// checked against the toolkit's styles in tests/qt/controls).
#include "WinXP.h"

#include "ExtCtrls.h"
#include "FormReader.h"
#include "Forms.h"
#include "Themes.h"
#include "XPMan.h"

#include <gtest/gtest.h>

namespace {

void ExpectRefused(TComponent* Owner, const char* Message) {
    try {
        TWinXP Refused(Owner);
        ADD_FAILURE() << "created";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), Message);
    }
}

TEST(WinXPTest, OnePerFormAndOnlyOnForms) {
    TForm First(nullptr), Second(nullptr);
    auto* Own = new TWinXP(&First);
    ExpectRefused(&First, "Only one instance of TWinXP allowed on form");
    EXPECT_EQ(First.ComponentCount(), 1);
    EXPECT_EQ(First.Components(0), Own);
    new TWinXP(&Second);
    ExpectRefused(nullptr, "Control parent must be a form!");
    // The owner check comes first, even on a form that already has one.
    auto* Panel = new TPanel(&First);
    ExpectRefused(Panel, "Control parent must be a form!");
}

TEST(WinXPTest, FormFileWithTwoCannotBeLoaded) {
    TForm Form(nullptr);
    const char* Text = "object Form1: TForm\n"
                       "  object WinXP1: TWinXP\n  end\n"
                       "  object WinXP2: TWinXP\n  end\n"
                       "end\n";
    try {
        ReadComponentText(&Form, Text);
        ADD_FAILURE() << "loaded";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("Only one instance of TWinXP allowed on form"),
                  AnsiString::npos);
    }
    EXPECT_FALSE(ThemeServices()->ThemesEnabled());
}

} // namespace
