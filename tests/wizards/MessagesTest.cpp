// Every message the programs can show is code page 932 text: each is raised where it arises and
// must decode without a replacement character. UTF-8 text stored where Shift-JIS is expected
// shows as mojibake, so a message that is also valid UTF-8 beyond ASCII is a mix-up.
#include "FileStreams.h"
#include "FormReader.h"
#include "HandOffWriter.h"
#include "SourceLines.h"
#include "StrCGrid.h"
#include "TempDir.h"
#include "TestDriver.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

class MessagesTest : public testing::Test {
protected:
    AnsiString File(const char* Name, const std::string& Bytes) const {
        return Dir.Write(Name, Bytes);
    }
    AnsiString Missing() const { return Dir.FilePath("missing/x.csv"); }
    TTempDir Dir;
};

void ExpectShiftJis(const AnsiString& Message, const std::string& Where) {
    // Bytes that do not decode show as the replacement character, unmapped ones as SUB.
    const std::string Text = AnsiToUtf8(Message);
    const bool Clean =
        Text.find("\xEF\xBF\xBD") == std::string::npos && Text.find('\x1A') == std::string::npos;
    EXPECT_TRUE(Clean) << Where;
    EXPECT_TRUE(IsValidAnsi(Message)) << Where;
    const bool Japanese = std::any_of(Text.begin(), Text.end(), [](char C) { return C & 0x80; });
    EXPECT_TRUE(Japanese) << Where << ": " << AnsiToUtf8(Message);
    EXPECT_FALSE(IsValidUtf8(Message)) << Where << " is UTF-8, not code page 932";
}

TEST_F(MessagesTest, EveryRaisedMessageIsShiftJisText) {
    TComponent Owner(nullptr);
    TComponent Named(&Owner);
    Named.SetName("A");
    TStringList List;
    TStringGrid Grid(nullptr);
    TStrColGrid ColGrid(nullptr);
    TBitmap Bitmap;
    TCustomControl Hidden(nullptr);
    const AnsiString Small = File("small.csv", "abc\r\n");
    const AnsiString Nul = File("nul.csv", std::string("a\0b", 3));
    const AnsiString OddUtf16 = File("odd.csv", "\xFF\xFE"
                                                "a");
    const AnsiString Emoji = File("emoji.csv", "\xEF\xBB\xBF\xF0\x9F\x98\x80");
    std::string Deep;
    for (int I = 0; I < 200; ++I)
        Deep += "object C" + std::to_string(I) + ": TStringGrid\n";
    std::vector<std::pair<const char*, std::function<void()>>> Raisers = {
        {"open", [&] { TFileStream S(Missing(), fmOpenRead); }},
        {"create", [&] { TFileStream S(Missing(), fmCreate); }},
        {"too large", [&] { ReadFileBytes(Small, 2); }},
        {"NUL", [&] { LoadSourceLines(&List, Nul); }},
        {"odd UTF-16", [&] { LoadSourceLines(&List, OddUtf16); }},
        {"unmappable", [&] { LoadSourceLines(&List, Emoji); }},
        {"hand-off",
         [&] {
             SetFileFault([](TFileOp Op) { return Op == TFileOp::Rename ? EXDEV : 0; });
             WriteHandOff(&Grid, CostingLayout, File("csv_inport.tmp", ""));
         }},
        {"integer", [] { StrToInt("x"); }},
        {"_sj", [] { (void)operator""_sj("\xF0\x9F\x98\x80", 4); }},
        {"name", [&] { TComponent(&Owner).SetName("1"); }},
        {"duplicate", [&] { TComponent(&Owner).SetName("A"); }},
        {"lookup", [&] { ComponentByName<TComponent>(&Owner, "B"); }},
        {"list index", [&] { List.Get(3); }},
        {"grid cell", [&] { Grid.SetCells(99, 1, "x"); }},
        {"grid rows", [&] { Grid.Rows(1)->Delete(0); }},
        {"fixed cols", [&] { Grid.SetFixedCols(99); }},
        {"form text", [&] { ReadComponentText(&Grid, "object"); }},
        {"form nesting", [&] { ReadComponentText(&Grid, "object G: TStringGrid\n" + Deep); }},
        {"image", [&] { Bitmap.LoadFromBytes("not an image"); }},
        {"focus", [&] { Hidden.SetFocus(); }},
        {"cell range",
         [&] {
             auto* P = ColGrid.CellParams()->Add();
             P->SetCol(5);
             P->SetColMax(1);
             P->SetRangeEnabled(true);
         }},
        {"font name", [&] { ColGrid.Fonts()->Add()->SetName(""); }},
    };
    // Where the system has them (Windows has no pipe in a folder and no full device).
    const AnsiString Fifo = Dir.FilePath("fifo");
    if (TestDriver::MakePipe(Fifo))
        Raisers.push_back({"not a file", [&] { ReadFileBytes(Fifo); }});
    if (!TestDriver::FullDevice().empty())
        Raisers.push_back(
            {"full disk", [&] { TFileStream(TestDriver::FullDevice(), fmCreate).Write("x"); }});
    for (const auto& [Where, Raise] : Raisers) {
        AnsiString Message;
        try {
            Raise();
        } catch (const Exception& E) {
            Message = E.Message();
        }
        SetFileFault({});
        ExpectShiftJis(Message, Where);
    }
}

TEST(SystemErrorReasons, AreJapaneseAndAFullDiskSaysSo) {
    EXPECT_EQ(SysErrorMessage(ENOSPC), "ディスクの空き容量が足りません"_sj);
    for (int Code : {EACCES, EPERM, ENOENT, EIO, EROFS, EEXIST, 12345})
        ExpectShiftJis(SysErrorMessage(Code), std::to_string(Code));
}

} // namespace
