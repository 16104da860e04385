#include "SourceLines.h"
#include "FieldSplitter.h"
#include "FileStreams.h"
#include "TempDir.h"
#include "TestData.h"
#include "TestDriver.h"
#include "TextDlgs.h"
#include "Utf16.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

class SourceLinesTest : public testing::Test {
protected:
    AnsiString Write(const std::string& Bytes) {
        const std::string Path = Dir.FilePath("source.csv");
        std::ofstream(Path, std::ios::binary) << Bytes;
        return Path;
    }
    std::vector<AnsiString> Load(const std::string& Bytes) {
        TStringList Lines;
        LoadSourceLines(&Lines, Write(Bytes));
        std::vector<AnsiString> Result;
        for (int I = 0; I < Lines.Count(); ++I)
            Result.push_back(Lines[I]);
        return Result;
    }
    // The message of the error that loading raises, with the list left as it was.
    AnsiString LoadError(const std::string& Bytes) {
        TStringList Lines;
        Lines.Add("old");
        try {
            LoadSourceLines(&Lines, Write(Bytes));
        } catch (const Exception& E) {
            EXPECT_EQ(Lines.Count(), 1);
            return E.Message();
        }
        ADD_FAILURE() << "no error";
        return {};
    }
    TTempDir Dir;
};

using Lines = std::vector<AnsiString>;

TEST_F(SourceLinesTest, LineBreaksOfEveryKind) {
    EXPECT_EQ(Load("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(Load("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Load("a\r\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Load("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Load("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(Load(""), Lines{});
}

TEST_F(SourceLinesTest, TrailingNulBytesAreIgnored) {
    EXPECT_EQ(Load(std::string("a\r\nb\0\0\0", 7)), (Lines{"a", "b"}));
}

TEST_F(SourceLinesTest, NulInsideTheDataIsNotAText) {
    const AnsiString Message = LoadError(std::string("a\0b\r\nc", 6));
    EXPECT_NE(Message.find("source.csv"), AnsiString::npos);
    EXPECT_NE(Message.find("テキストファイルではありません"_sj), AnsiString::npos);
}

TEST_F(SourceLinesTest, BytesWithoutMarkArePassedOnUnchanged) {
    // Broken Shift-JIS (a lone lead byte) stays as it came.
    EXPECT_EQ(Load("\x83\x5C,\x81\r\nx"), (Lines{"\x83\x5C,\x81", "x"}));
}

TEST_F(SourceLinesTest, Utf8WithMarkIsConverted) {
    EXPECT_EQ(Load("\xEF\xBB\xBF"
                   "ボルト,本\r\n㈱髙"),
              (Lines{"ボルト,本"_sj, "㈱髙"_sj}));
}

TEST_F(SourceLinesTest, Utf16WithMarkIsConvertedInBothByteOrders) {
    const std::u16string Text = u"名称\t単位\r\nボルト\t本\r\n";
    std::string Le = "\xFF\xFE", Be = "\xFE\xFF";
    for (char16_t U : Text) {
        Le += char(U & 0xFF), Le += char(U >> 8);
        Be += char(U >> 8), Be += char(U & 0xFF);
    }
    const Lines Expected{"名称\t単位"_sj, "ボルト\t本"_sj};
    EXPECT_EQ(Load(Le), Expected);
    EXPECT_EQ(Load(Be), Expected);
}

TEST_F(SourceLinesTest, UnmappableOrInvalidTextNamesItsLine) {
    const AnsiString Emoji = LoadError("\xEF\xBB\xBF"
                                       "a\nb\n\xF0\x9F\x98\x80\n");
    EXPECT_NE(Emoji.find(" 3 "), AnsiString::npos) << Emoji;
    const AnsiString Invalid = LoadError("\xEF\xBB\xBF"
                                         "a\n\xC3\x28\n");
    EXPECT_NE(Invalid.find(" 2 "), AnsiString::npos) << Invalid;
    const AnsiString LoneSurrogate = LoadError(std::string("\xFF\xFE"
                                                           "a\0\n\0\x00\xD8",
                                                           8));
    EXPECT_NE(LoneSurrogate.find(" 2 "), AnsiString::npos) << LoneSurrogate;
}

// Each is refused at once with a message that names the file and says what is wrong; none may
// block on a pipe or read a device without end (where the system has them: Windows has no pipe
// in a folder and no endless device).
TEST_F(SourceLinesTest, WhatIsNotALoadableTextFileIsRefusedWithItsReason) {
    const std::string Large = Dir.FilePath("large.csv");
    std::ofstream(Large, std::ios::binary) << "a";
    std::filesystem::resize_file(Large, MaxSourceBytes + 1); // sparse: no disk space used
    struct TCase {
        std::string Name;
        AnsiString Reason;
    };
    std::vector<TCase> Cases = {{Dir.FilePath("none.csv"), "ファイルが見つかりません"_sj},
                                {Dir.Path(), "フォルダーです"_sj},
                                {Large, "大きすぎて読み込めません"_sj}};
    const std::string Fifo = Dir.FilePath("fifo");
    if (TestDriver::MakePipe(Fifo))
        Cases.push_back({Fifo, "通常のファイルではありません"_sj});
    if (!TestDriver::EndlessDevice().empty())
        Cases.push_back({TestDriver::EndlessDevice(), "通常のファイルではありません"_sj});
    for (const auto& Case : Cases) {
        TStringList Lines;
        Lines.Add("old");
        try {
            LoadSourceLines(&Lines, Case.Name);
            ADD_FAILURE() << Case.Name;
        } catch (const EInOutError& E) {
            EXPECT_NE(E.Message().find("\"" + Case.Name + "\""), AnsiString::npos) << Case.Name;
            EXPECT_NE(E.Message().find(Case.Reason), AnsiString::npos) << AnsiToUtf8(E.Message());
        }
        EXPECT_EQ(Lines.Count(), 1);
    }
}

TEST_F(SourceLinesTest, Utf16WithAnOddNumberOfBytesSaysSo) {
    const AnsiString Message = LoadError(std::string("\xFF\xFE"
                                                     "a\0b",
                                                     5));
    EXPECT_NE(Message.find("奇数"_sj), AnsiString::npos) << AnsiToUtf8(Message);
}

TEST_F(SourceLinesTest, Utf8WithoutMarkIsConvertedOnlyWhenItIsNotShiftJis) {
    // A few Japanese words in UTF-8: not code page 932 text, so converted.
    EXPECT_EQ(Load("ボルト,本\n異形棒鋼,t\n"), (Lines{"ボルト,本"_sj, "異形棒鋼,t"_sj}));
    // Both valid UTF-8 and valid code page 932: taken as Shift-JIS, byte for byte.
    const std::string Both = "\xE3\x81\x82\xE3\x81\x84,x"; // あい, and four kanji as well
    ASSERT_TRUE(IsValidAnsi(Both) && IsValidUtf8(Both));
    EXPECT_EQ(Load(Both), Lines{Both});
    // Neither: taken byte for byte as well.
    EXPECT_EQ(Load("\xE3\x83\x9C,\x81"), Lines{"\xE3\x83\x9C,\x81"});
    // Pure ASCII is the same in both.
    EXPECT_EQ(Load("a,b\n"), Lines{"a,b"});
}

TEST_F(SourceLinesTest, Utf8WithoutMarkThatShiftJisCannotHoldNamesTheLine) {
    const AnsiString Message = LoadError("ボルト\n本\n\xF0\x9F\x98\x80\n");
    EXPECT_NE(Message.find(" 3 "), AnsiString::npos) << AnsiToUtf8(Message);
}

TEST(SourceLinesRealFiles, ReadsEveryLineOfThePostalCodeList) {
    SKIP_WITHOUT_TESTDATA("/csv/KEN_ALL.CSV");
    TStringList Lines;
    LoadSourceLines(&Lines, QUOVANT_TESTDATA "/csv/KEN_ALL.CSV");
    ASSERT_EQ(Lines.Count(), 124825);
    EXPECT_EQ(Lines[0].substr(0, 6), "01101,");
}

TEST(SourceLinesRealFiles, ConvertedFileHoldsTheSamePrefecturesAsItsShiftJisTwin) {
    SKIP_WITHOUT_TESTDATA("/csv/localgovjp-utf8.csv");
    TStringList Sjis, Utf8;
    LoadSourceLines(&Sjis, QUOVANT_TESTDATA "/csv/localgovjp-sjis.csv");
    LoadSourceLines(&Utf8, QUOVANT_TESTDATA "/csv/localgovjp-utf8.csv");
    ASSERT_EQ(Sjis.Count(), Utf8.Count());
    for (int I = 1; I < Sjis.Count(); ++I) {
        const AnsiString Quoted = ExtractField(Sjis[I], ",", 2); // the Shift-JIS twin quotes
        ASSERT_EQ(Quoted.substr(1, Quoted.size() - 2), ExtractField(Utf8[I], ",", 2))
            << "line " << I + 1;
    }
}

TEST(SourceLinesRealFiles, Utf8PriceListWithoutMarkEqualsItsShiftJisConversion) {
    SKIP_WITHOUT_TESTDATA("/csv/mhlw_price_20250716.csv");
    TStringList Lines;
    LoadSourceLines(&Lines, QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv");
    const std::string Utf8 = ReadFileBytes(QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv");
    AnsiString Sjis;
    ASSERT_TRUE(Utf8ToAnsi(Utf8, Sjis));
    TStringList Expected;
    Expected.SetText(Sjis);
    ASSERT_EQ(Lines.Count(), 12435);
    EXPECT_TRUE(Lines.Text() == Expected.Text());
    EXPECT_EQ(ExtractField(Lines[0], ",", 1), "区分"_sj);
}

TEST(SourceLinesRealFiles, SmallUtf16AndUtf8SamplesMatchTheShiftJisOne) {
    SKIP_WITHOUT_TESTDATA("/csv/UTF-16_LE.TSV.tsv");
    TStringList Sjis, Utf8, Utf16;
    LoadSourceLines(&Sjis, QUOVANT_TESTDATA "/csv/Shift_JIS.CSV.csv");
    LoadSourceLines(&Utf8, QUOVANT_TESTDATA "/csv/UTF-8.CSV.csv");
    LoadSourceLines(&Utf16, QUOVANT_TESTDATA "/csv/UTF-16_LE.TSV.tsv");
    EXPECT_EQ(Sjis.Text(), Utf8.Text());
    ASSERT_EQ(Utf16.Count(), Sjis.Count());
}

// The open dialog's preview of a file is the start of the lines that the wizard loads from it:
// whole lines, then a line cut by the preview's limit.
TEST(SourceLinesRealFiles, ThePreviewShowsTheStartOfTheLoadedLines) {
    SKIP_WITHOUT_TESTDATA("/csv/localgovjp-utf8.csv");
    const std::string Marked = ReadFileBytes(QUOVANT_TESTDATA "/csv/localgovjp-utf8.csv");
    const std::string_view Utf8 = std::string_view(Marked).substr(3);
    const std::pair<const char*, std::string> Files[] = {
        {"KEN_ALL.CSV", ReadFileBytes(QUOVANT_TESTDATA "/csv/KEN_ALL.CSV")},
        {"mhlw_price_20250716.csv", ReadFileBytes(QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv")},
        {"localgovjp-utf8.csv", Marked},
        {"UTF-16_LE.TSV.tsv", ReadFileBytes(QUOVANT_TESTDATA "/csv/UTF-16_LE.TSV.tsv")},
        {"UTF-16 LE", Utf16Bytes(Utf8, false)},
        {"UTF-16 BE", Utf16Bytes(Utf8, true)},
    };
    for (const auto& [Name, Bytes] : Files) {
        TStringList Loaded, Shown;
        LoadSourceText(&Loaded, TTextBytes(Bytes.begin(), Bytes.end()), Name);
        Shown.SetText(
            PreviewText(std::string_view(Bytes).substr(0, TTextOpenDialog::PreviewLimit)));
        ASSERT_GT(Shown.Count(), 1) << Name;
        const int Last = Shown.Count() - 1;
        for (int I = 0; I < Last; ++I)
            EXPECT_EQ(Shown[I], Loaded[I]) << Name << " line " << I + 1;
        EXPECT_TRUE(Loaded[Last].starts_with(Shown[Last])) << Name;
    }
}

} // namespace
