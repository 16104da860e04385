#include "PlatformText.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

namespace {

constexpr char16_t Replacement = 0xFFFD;

struct TDecodeCase {
    const char* Name;
    std::string Ansi;
    std::u16string Screen;
};

} // namespace

// What a back end must give for bytes that are no character: a replacement each, nothing lost.
TEST(PlatformText, AnsiToScreenReplacesWhatDoesNotDecode) {
    const TDecodeCase Cases[] = {
        {"ascii and half-width kana", "a\xB1", u"a\uFF71"},
        {"double-byte", "\x95\x5C", u"表"},
        {"vendor characters", "\x87\x8A\xFB\xFC", u"㈱髙"},
        {"cut at the end", "a\x95", std::u16string(u"a") + Replacement},
        {"empty", "", u""},
        {"nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const TDecodeCase& Case : Cases)
        EXPECT_EQ(Platform::AnsiToScreen(Case.Ansi), Case.Screen) << Case.Name;
    const std::u16string Bad = Platform::AnsiToScreen("x\x85\x40y");
    EXPECT_EQ(Bad.front(), u'x');
    EXPECT_EQ(Bad.back(), u'y');
    EXPECT_NE(Bad.find(Replacement), std::u16string::npos);
}

TEST(PlatformText, ScreenToAnsiMarksWhatTheCodePageLacks) {
    std::string Out = "stale";
    EXPECT_TRUE(Platform::ScreenToAnsi(u"ボルト", Out));
    EXPECT_EQ(Out, "\x83\x7B\x83\x8B\x83\x67");
    EXPECT_FALSE(Platform::ScreenToAnsi(u"a\u00E9b", Out));
    EXPECT_EQ(Out, "a?b");
    EXPECT_FALSE(Platform::ScreenToAnsi(u"a\xD800", Out));
    EXPECT_EQ(Out, "a?");
    EXPECT_FALSE(Platform::ScreenToAnsi(u"\U0001F600", Out));
    EXPECT_EQ(Out, "?");
}

// Every double-byte character the code page decodes encodes again, to bytes that decode to the
// same character (duplicates of the vendor rows may come back as their preferred bytes).
TEST(PlatformText, EveryDoubleByteCharacterRoundTrips) {
    int Characters = 0;
    for (int Lead = 0x81; Lead <= 0xFC; ++Lead) {
        if (!IsLeadByte(static_cast<char>(Lead)))
            continue;
        for (int Trail = 0x40; Trail <= 0xFC; ++Trail) {
            const char Pair[] = {static_cast<char>(Lead), static_cast<char>(Trail)};
            const std::u16string Char = Platform::AnsiToScreen(std::string_view(Pair, 2));
            if (Char.size() != 1 || Char[0] == Replacement)
                continue;
            ++Characters;
            std::string Bytes;
            ASSERT_TRUE(Platform::ScreenToAnsi(Char, Bytes)) << Lead << ' ' << Trail;
            EXPECT_EQ(Platform::AnsiToScreen(Bytes), Char) << Lead << ' ' << Trail;
        }
    }
    EXPECT_GT(Characters, 7000);
}

TEST(PlatformText, Utf8ConversionsReplaceInvalidSequences) {
    EXPECT_EQ(Platform::Utf8ToScreen("表\xF0\x9F\x98\x80"), u"表\U0001F600");
    EXPECT_EQ(Platform::ScreenToUtf8(u"表\U0001F600"), "表\xF0\x9F\x98\x80");
    const std::u16string Bad = Platform::Utf8ToScreen("a\xC3(");
    EXPECT_EQ(Bad.front(), u'a');
    EXPECT_EQ(Bad.back(), u'(');
    EXPECT_NE(Bad.find(Replacement), std::u16string::npos);
}
