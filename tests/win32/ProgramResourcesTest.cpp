// What the programs carry as Win32 resources, and the common controls their manifest binds.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <string>
#include <string_view>

namespace {

struct TProgram {
    const char* Path;
    const wchar_t* Form;
};
const TProgram Programs[] = {{QUOVANT_MORVANE, L"UMORVANE.DFM"}, {QUOVANT_PELLISK, L"UPELLISK.DFM"}};

std::string_view Bytes(HMODULE Module, const wchar_t* Name, const wchar_t* Type) {
    HRSRC Resource = FindResourceW(Module, Name, Type);
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
        EXPECT_FALSE(Bytes(Module, L"MAINICON", RT_GROUP_ICON).empty());
        EXPECT_FALSE(Bytes(Module, L"HANDPOINT", RT_GROUP_CURSOR).empty());
        EXPECT_FALSE(Bytes(Module, L"ENHDLG1", RT_DIALOG).empty());
        EXPECT_EQ(Bytes(Module, P.Form, L"FORMS").substr(0, 7), "object ");
        const std::string_view Manifest = Bytes(Module, MAKEINTRESOURCEW(1), RT_MANIFEST);
        EXPECT_NE(Manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                                "processorArchitecture=\"*\""),
                  std::string_view::npos)
            << Manifest;
        FreeLibrary(Module);
    }
}

// The manifest every program of the layer carries binds version 6, for any processor.
TEST(ProgramResourcesTest, TheCommonControlsAreVersion6) {
    const INITCOMMONCONTROLSEX Classes{sizeof Classes, ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&Classes));
    HMODULE Controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(Controls, nullptr);
    const auto GetVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(Controls, "DllGetVersion")));
    ASSERT_NE(GetVersion, nullptr);
    DLLVERSIONINFO Version{};
    Version.cbSize = sizeof Version;
    ASSERT_EQ(GetVersion(&Version), S_OK);
    EXPECT_EQ(Version.dwMajorVersion, 6u);
}

} // namespace
