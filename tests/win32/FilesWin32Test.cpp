// What the Win32 back end adds to the layer's text, file and shell contracts that the portable
// tests cannot reach: bad bytes found one character at a time, the system's error codes as
// errno values, a pipe refused without a wait, and the shell's file addresses.
#include "Win32Api.h"

#include "TempDir.h"
#include "TestDriver.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

constexpr char16_t Bad = 0xFFFD;

// The converter refuses a text for one bad byte; each must cost only its own character.
TEST(TextWin32, EachBadSequenceIsReplacedAloneAndNothingAroundItIsLost) {
    const struct {
        const char* Name;
        std::string Ansi;
        std::u16string Screen;
    } Cases[] = {
        {"a lead byte before a line end keeps the line end", "\x95\n", std::u16string{Bad, u'\n'}},
        {"an unassigned pair between characters", "\x95\x5C\x85\x40\x95\x5C",
         std::u16string{u'表', Bad, u'表'}},
        {"a character cut after a whole one", "a\x95\x5C\x95", std::u16string{u'a', u'表', Bad}},
        {"a lead byte before a space", "\x81 a", std::u16string{Bad, u' ', u'a'}},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Platform::AnsiToScreen(Case.Ansi), Case.Screen) << Case.Name;
}

TEST(TextWin32, OneMissingCharacterInALongTextCostsOneQuestionMark) {
    std::u16string Text(300000, u'表');
    Text[123456] = u'\u00E9';
    std::string Out;
    EXPECT_FALSE(Platform::ScreenToAnsi(Text, Out));
    ASSERT_EQ(Out.size(), 2 * Text.size() - 1);
    EXPECT_EQ(Out.substr(2 * 123456 - 2, 5), "\x95\x5C?\x95\x5C");
}

struct TOpenCase {
    const char* Name;
    std::string Path;
    Platform::TOpenMode Mode;
    int Errno;
};

TEST(FilesWin32, FailuresLeaveTheSystemsReasonAsErrno) {
    TTempDir Dir;
    const std::string Existing = Dir.Write("a.txt", "a");
    using Platform::TOpenMode;
    const TOpenCase Cases[] = {
        {"missing file", Dir.FilePath("none.txt"), TOpenMode::Read, ENOENT},
        {"missing folder", Dir.FilePath("none\\a.txt"), TOpenMode::Create, ENOENT},
        {"new over an existing name", Existing, TOpenMode::CreateNew, EEXIST},
        {"a folder", Dir.Path(), TOpenMode::Read, EACCES},
    };
    for (const TOpenCase& Case : Cases) {
        errno = 0;
        EXPECT_EQ(Platform::OpenFileHandle(Case.Path, Case.Mode, false), Platform::NoFile)
            << Case.Name;
        EXPECT_EQ(errno, Case.Errno) << Case.Name;
    }
    const Platform::TFileHandle Reader = Platform::OpenFileHandle(Existing, TOpenMode::Read, true);
    ASSERT_NE(Reader, Platform::NoFile);
    EXPECT_EQ(Platform::OpenFileHandle(Existing, TOpenMode::Write, false), Platform::NoFile);
    EXPECT_EQ(errno, EBUSY);
    Platform::CloseFileHandle(Reader);
}

// A pipe without a partner would block a reader forever.
TEST(FilesWin32, APipeIsRefusedAtOnce) {
    const std::string Pipe = "\\\\.\\pipe\\quovant-test-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(TestDriver::MakePipe(Pipe));
    const auto Start = std::chrono::steady_clock::now();
    try {
        ReadFileBytes(Pipe);
        ADD_FAILURE() << "read";
    } catch (const EFOpenError& E) {
        EXPECT_NE(E.Message().find("通常のファイルではありません"_sj), AnsiString::npos);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(5));
    TTempDir Dir;
    EXPECT_FALSE(TestDriver::MakePipe(Dir.FilePath("fifo")));
}

TEST(ShellWin32, AddressesStandAndFilesGetTheirFullPath) {
    TTempDir Dir;
    Dir.Write("QUOVANT.CHM", "");
    const std::string Full = Dir.FilePath("QUOVANT.CHM");
    const struct {
        std::string File, Directory;
        std::string Address;
    } Cases[] = {
        {"https://quovant.example.jp/", "", "https://quovant.example.jp/"},
        {"mailto:info@example.jp", "", "mailto:info@example.jp"},
        {"WWW.example.jp", "", "http://WWW.example.jp"},
        {"QUOVANT.CHM", Dir.Path(), Full},
        {Full, "C:\\", Full},
        {"MISSING.CHM", Dir.Path(), ""},
    };
    for (const auto& Case : Cases) {
        AnsiString Address;
        Platform::ScreenToAnsi(Platform::ShellAddress(Case.File, Case.Directory), Address);
        EXPECT_EQ(Address, Case.Address) << Case.File;
    }
}

} // namespace
