// What the programs carry as Win32 resources, and the common controls their manifest binds.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

namespace {

struct TProgram {
    const char* Path;
    const char* Form;
};
const TProgram Programs[] = {{QUOVANT_MORVANE, "UMORVANE.DFM"}, {QUOVANT_PELLISK, "UPELLISK.DFM"}};

std::string_view Bytes(HMODULE Module, const char* Name, const char* Type) {
    HRSRC Resource = FindResourceA(Module, Name, Type);
    if (!Resource)
        return {};
    return {static_cast<const char*>(LockResource(LoadResource(Module, Resource))),
            SizeofResource(Module, Resource)};
}

TEST(ProgramResourcesTest, EachProgramCarriesItsIconFormCursorDialogTemplateAndManifest) {
    for (const TProgram& P : Programs) {
        SCOPED_TRACE(P.Path);
        HMODULE Module = LoadLibraryExA(P.Path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(Module, nullptr);
        EXPECT_FALSE(Bytes(Module, "MAINICON", RT_GROUP_ICON).empty());
        EXPECT_FALSE(Bytes(Module, "HANDPOINT", RT_GROUP_CURSOR).empty());
        EXPECT_FALSE(Bytes(Module, "ENHDLG1", RT_DIALOG).empty());
        EXPECT_EQ(Bytes(Module, P.Form, "FORMS").substr(0, 7), "object ");
        const std::string_view Manifest = Bytes(Module, MAKEINTRESOURCEA(1), RT_MANIFEST);
        EXPECT_NE(Manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                                "processorArchitecture=\"*\""),
                  std::string_view::npos)
            << Manifest;
        FreeLibrary(Module);
    }
}

// The manifest every program of the layer carries binds version 6, for any processor: only its
// buttons tell their ideal size (version 6 reports itself as 5.81 under Wine, so the version
// numbers prove nothing).
TEST(ProgramResourcesTest, TheButtonsAreThoseOfCommonControls6) {
    const INITCOMMONCONTROLSEX Classes{sizeof Classes, ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&Classes));
    HWND Button = CreateWindowExW(0, L"Button", L"Ab", WS_POPUP | BS_PUSHBUTTON, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(Button, nullptr);
    SIZE Ideal{};
    EXPECT_TRUE(SendMessageW(Button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&Ideal)));
    EXPECT_GT(Ideal.cx, 0);
    DestroyWindow(Button);
}

} // namespace
