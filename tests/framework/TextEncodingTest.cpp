#include "TextEncoding.h"

#include <gtest/gtest.h>

namespace {

// "ボルト" as code page 932, UTF-8, UTF-16 LE and UTF-16 BE.
const std::string Sjis = "\x83\x7B\x83\x8B\x83\x67";
const std::string Utf8 = "ボルト";
const std::string Le("\xDC\x30\xEB\x30\xC8\x30", 6);
const std::string Be("\x30\xDC\x30\xEB\x30\xC8", 6);

TEST(TextEncoding, MarksDecideAndUnmarkedTextIsUtf8OnlyWhenNotCodePage932) {
    const struct {
        std::string Text;
        bool Head;
        TTextEncoding Encoding;
        std::size_t Mark;
    } Cases[] = {
        {"\xEF\xBB\xBF" + Sjis, false, teUtf8, 3},
        {"\xFF\xFE" + Le, false, teUtf16LE, 2},
        {"\xFE\xFF" + Be, false, teUtf16BE, 2},
        {Sjis, false, teAnsi, 0},
        {Utf8, false, teUtf8, 0},
        {"", false, teAnsi, 0},
        // A start cut inside a character: UTF-8 stays UTF-8, code page 932 stays itself.
        {Utf8.substr(0, 7), false, teAnsi, 0},
        {Utf8.substr(0, 7), true, teUtf8, 0},
        {Sjis.substr(0, 5), true, teAnsi, 0},
    };
    for (const auto& Case : Cases) {
        std::size_t Mark = 99;
        EXPECT_EQ(TextEncoding(Case.Text, Mark, Case.Head), Case.Encoding) << Case.Text;
        EXPECT_EQ(Mark, Case.Mark) << Case.Text;
    }
}

TEST(TextEncoding, ACharacterCutByTheEndIsLeftOut) {
    // U+1F529 is the pair D83D DD29.
    const struct {
        std::string Text;
        TTextEncoding Encoding;
        std::size_t Kept;
    } Cases[] = {
        {Sjis.substr(0, 5), teAnsi, 4},
        {Sjis, teAnsi, 6},
        {Utf8.substr(0, 8), teUtf8, 6},
        {Utf8, teUtf8, 9},
        {Le.substr(0, 5), teUtf16LE, 4},
        {Be.substr(0, 5), teUtf16BE, 4},
        {std::string("a\0\x3D\xD8", 4), teUtf16LE, 2},
        {std::string("\0a\xD8\x3D", 4), teUtf16BE, 2},
        {std::string("a\0\x3D\xD8\x29\xDD", 6), teUtf16LE, 6},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(WithoutCutCharacter(Case.Text, Case.Encoding).size(), Case.Kept) << Case.Text;
}

TEST(TextEncoding, ShownTextHasAQuestionMarkForWhatCodePage932Lacks) {
    EXPECT_EQ(ShownAsAnsi(Le, teUtf16LE), Sjis);
    EXPECT_EQ(ShownAsAnsi(Be, teUtf16BE), Sjis);
    EXPECT_EQ(ShownAsAnsi(Utf8, teUtf8), Sjis);
    EXPECT_EQ(ShownAsAnsi("a\xF0\x9F\x94\xA9"
                          "b\xC3\xA9",
                          teUtf8),
              "a?b?");
    EXPECT_EQ(ShownAsAnsi("a\xFF"
                          "b",
                          teUtf8),
              "a?b");
    EXPECT_EQ(ShownAsAnsi(std::string("a\0\x00\xD8"
                                      "b\0",
                                      6),
                          teUtf16LE),
              "a?b");
    EXPECT_EQ(ShownAsAnsi(Sjis + "\xFF", teAnsi), Sjis + "\xFF");
}

} // namespace
