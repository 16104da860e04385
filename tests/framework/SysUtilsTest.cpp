#include "SysUtils.h"
#include "FileStreams.h"
#include "Memory.h"

#include "TempDir.h"
#include "TestDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

std::string TempPath(const TTempDir& Dir, const std::string& Name) {
    return Dir.FilePath(Name);
}

void WriteRaw(const std::filesystem::path& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

} // namespace

TEST(TextConversion, JapaneseAndVendorCharactersRoundTripThroughCodePage932) {
    // ボルト, ㈱ (NEC row 13) and 髙 (IBM extension) as code page 932 bytes.
    const std::string Sjis = "\x83\x7B\x83\x8B\x83\x67\x87\x8A\xFB\xFC";
    const std::string Utf8 = "ボルト㈱髙";
    EXPECT_EQ(AnsiToUtf8(Sjis), Utf8);
    AnsiString Back;
    ASSERT_TRUE(Utf8ToAnsi(Utf8, Back));
    EXPECT_EQ(Back, Sjis);
    EXPECT_EQ("ボルト㈱髙"_sj, Sjis);
}

TEST(TextConversion, HalfWidthKatakanaAndAsciiPassUnchanged) {
    AnsiString Out;
    ASSERT_TRUE(Utf8ToAnsi("ｱｲ a\\~", Out));
    EXPECT_EQ(Out, "\xB1\xB2 a\\~");
    EXPECT_EQ(AnsiToUtf8(Out), "ｱｲ a\\~");
}

TEST(TextConversion, RefusesCharactersTheCodePageCannotHoldAndKeepsThePrefix) {
    AnsiString Out;
    EXPECT_FALSE(Utf8ToAnsi("ab\xC3\xA9z", Out)); // e acute
    EXPECT_EQ(Out, "ab");
    EXPECT_FALSE(Utf8ToAnsi("名\xF0\x9F\x98\x80", Out)); // an emoji
    EXPECT_EQ(Out, "\x96\xBC");
    EXPECT_THROW((void)"\xC3\xA9"_sj, EConvertError);
}

TEST(TextConversion, RefusesMalformedUtf8) {
    AnsiString Out;
    EXPECT_FALSE(Utf8ToAnsi("a\xC3(", Out)); // truncated sequence
    EXPECT_EQ(Out, "a");
    EXPECT_FALSE(Utf8ToAnsi("\xC0\xAF", Out));         // overlong slash
    EXPECT_FALSE(Utf8ToAnsi("\xED\xA0\x80", Out));     // encoded surrogate
    EXPECT_FALSE(Utf8ToAnsi("\xF4\x90\x80\x80", Out)); // above U+10FFFF
    EXPECT_FALSE(Utf8ToAnsi("x\xE3\x81", Out));        // cut at the end
    EXPECT_EQ(Out, "x");
}

TEST(TextConversion, RefusesLoneSurrogatesInUtf16) {
    AnsiString Out;
    EXPECT_FALSE(Utf16ToAnsi(u"a\xD800", Out));
    EXPECT_EQ(Out, "a");
    EXPECT_FALSE(Utf16ToAnsi(u"a\xDC00"
                             u"b",
                             Out));
    EXPECT_EQ(Out, "a");
    EXPECT_TRUE(Utf16ToAnsi(u"表", Out));
    EXPECT_EQ(Out, "\x95\x5C");
}

TEST(TextConversion, EmptyAndNulBytesSurvive) {
    AnsiString Out = "stale";
    EXPECT_TRUE(Utf8ToAnsi("", Out));
    EXPECT_EQ(Out, "");
    EXPECT_TRUE(Utf8ToAnsi(std::string_view("a\0b", 3), Out));
    EXPECT_EQ(Out, std::string("a\0b", 3));
    EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Numbers, StrToIntAcceptsSignedDecimalAndHex) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(IntToStr(-12615808LL), "-12615808");
}

TEST(Numbers, StrToIntRejectsWithMessageNamingTheText) {
    for (const char* Bad : {"", "12a", "2147483648", "--1", "1 ", "+-1", "0x10"}) {
        try {
            StrToInt(Bad);
            ADD_FAILURE() << Bad;
        } catch (const EConvertError& E) {
            EXPECT_NE(E.Message().find(std::string("'") + Bad + "'"), std::string::npos);
        }
    }
}

TEST(Strings, CaseMappingTouchesAsciiLettersOnlyAndNeverASecondByte) {
    EXPECT_EQ(UpperCase("abc xyZ@[`{"), "ABC XYZ@[`{");
    EXPECT_EQ(LowerCase("ABC xyZ@[`{"), "abc xyz@[`{");
    // ア is 0x83 0x41 and ャ is 0x83 0x61: a byte-wise mapping would turn one into the other.
    EXPECT_EQ(LowerCase("ア"_sj), "ア"_sj);
    EXPECT_EQ(UpperCase("ャa"_sj), "ャA"_sj);
    EXPECT_EQ(UpperCase("\xB1"
                        "a"),
              "\xB1"
              "A"); // half-width katakana is a single byte
}

TEST(Strings, SameTextIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameText("Font.Name", "FONT.name"));
    EXPECT_FALSE(SameText("Font", "Fonts"));
    EXPECT_TRUE(SameText("ア"_sj, "ア"_sj));
    EXPECT_FALSE(SameText("ア"_sj, "ャ"_sj)); // equal under a byte-wise case rule
}

TEST(Strings, TrimRemovesControlBytesAndSpacesOnly) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(Trim("\x81\x40"), "\x81\x40"); // the ideographic space is text
    EXPECT_EQ(Trim("   "), "");
}

// '/' separates folders on every platform, beside the platform's own delimiter.
TEST(FileNames, SplitIntoFolderNameAndExtension) {
    for (const AnsiString& D : {AnsiString("/"), AnsiString(1, PathDelim)}) {
        EXPECT_EQ(ExtractFilePath(D + "usr" + D + "x" + D + "a.csv"), D + "usr" + D + "x" + D);
        EXPECT_EQ(ExtractFileDir(D + "usr" + D + "x" + D + "a.csv"), D + "usr" + D + "x");
        EXPECT_EQ(ExtractFileDir(D + "a.csv"), D);
        EXPECT_EQ(ExtractFileName(D + "usr" + D + "x" + D + "a.b.csv"), "a.b.csv");
        EXPECT_EQ(ExtractFileExt(D + "usr" + D + "x" + D + "a.b.csv"), ".csv");
        EXPECT_EQ(ExtractFileExt(D + "usr" + D + "x.d" + D + "readme"), "");
    }
    EXPECT_EQ(ExtractFileName("plain"), "plain");
    EXPECT_EQ(ExtractFilePath("plain"), "");
}

TEST(FileNames, SecondByteEqualToBackslashIsNotADelimiter) {
    const AnsiString Name = "dir"_sj + PathDelim + "表.txt"_sj;
    EXPECT_EQ(ExtractFileName(Name), "表.txt"_sj);
    EXPECT_EQ(ExtractFilePath(Name), "dir"_sj + PathDelim);
}

// The files are made under their Unicode names, as other programs make them.
TEST(Files, ExistDeleteAndRenameWithJapaneseNames) {
    TTempDir Dir;
    const std::string Folder = Dir.Path();
    const AnsiString Name = Folder + PathDelim + "単価データ.csv"_sj;
    const AnsiString Other = Folder + PathDelim + "積算.csv"_sj;
    EXPECT_FALSE(FileExists(Name));
    WriteRaw(std::filesystem::path(Folder) / u8"単価データ.csv", "x");
    EXPECT_TRUE(FileExists(Name));
    EXPECT_FALSE(FileExists(Folder));
    EXPECT_TRUE(DirectoryExists(Folder));
    WriteRaw(std::filesystem::path(Folder) / u8"積算.csv", "old");
    EXPECT_TRUE(RenameFile(Name, Other));
    EXPECT_FALSE(FileExists(Name));
    EXPECT_EQ(ReadFileBytes(Other), "x");
    EXPECT_TRUE(DeleteFile(Other));
    EXPECT_FALSE(DeleteFile(Other));
    EXPECT_FALSE(DeleteFile(Folder));
    EXPECT_TRUE(DirectoryExists(Folder));
}

TEST(Files, ReadFileBytesReturnsEveryByte) {
    TTempDir Dir;
    std::string Bytes;
    for (int I = 0; I < 200000; ++I)
        Bytes += static_cast<char>(I % 256);
    WriteRaw(TempPath(Dir, "b.bin"), Bytes);
    EXPECT_EQ(ReadFileBytes(TempPath(Dir, "b.bin")), Bytes);
    WriteRaw(TempPath(Dir, "empty"), "");
    EXPECT_EQ(ReadFileBytes(TempPath(Dir, "empty")), "");
}

TEST(Files, ReadFileBytesRaisesOpenErrorNamingTheFile) {
    TTempDir Dir;
    const AnsiString Missing = TempPath(Dir, "missing.csv");
    try {
        ReadFileBytes(Missing);
        FAIL();
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message().rfind("ファイル \""_sj + Missing + "\" を開けません: "_sj, 0), 0u)
            << E.Message();
    }
    EXPECT_THROW(ReadFileBytes(Dir.Path()), EFOpenError);
    WriteRaw(TempPath(Dir, "locked"), "x");
    std::filesystem::permissions(TempPath(Dir, "locked"), std::filesystem::perms::none);
    if (!std::ifstream(TempPath(Dir, "locked"))) { // root reads anything
        EXPECT_THROW(ReadFileBytes(TempPath(Dir, "locked")), EFOpenError);
    }
}

TEST(Files, ReadFailureIsAReadErrorNotAShortResult) {
    const AnsiString Unreadable = TestDriver::UnreadableFile();
    if (Unreadable.empty())
        GTEST_SKIP() << "no file whose reads fail";
    EXPECT_THROW(ReadFileBytes(Unreadable), EReadError);
}

// A block freed and taken again, whole or in part, by a smaller one, comes back zeroed.
TEST(MemoryPages, EveryBlockComesZeroedEvenWhenAFreedOneIsTakenAgain) {
    for (const std::size_t Size : {std::size_t(64) << 10, std::size_t(3) << 20}) {
        auto* First = static_cast<unsigned char*>(VirtualAlloc(Size));
        std::fill(First, First + Size, 0xAB);
        VirtualFree(First, Size);
        const std::size_t Again = Size - Size / 4;
        auto* Second = static_cast<unsigned char*>(VirtualAlloc(Again));
        EXPECT_TRUE(std::all_of(Second, Second + Again, [](unsigned char B) { return B == 0; }))
            << Size;
        VirtualFree(Second, Again);
    }
}
