// The formconv program, run as its users run it.
#include "FileStreams.h"
#include "FormConvert.h"
#include "TempDir.h"
#include "TestDriver.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

// Status is the exit code of a program that ended normally, -1 otherwise.
struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

TRun Formconv(const std::vector<std::string>& Arguments) {
    TestDriver::TProgramEnd End = TestDriver::RunProgram(QUOVANT_FORMCONV, Arguments);
    return {End.Finished && !End.Crashed ? End.ExitCode : -1, std::move(End.Out),
            std::move(End.Err)};
}

std::string Contents(const std::string& Path) {
    return ReadFile(Path);
}

void Put(const std::string& Path, const std::string& Bytes) {
    ASSERT_TRUE(WriteFile(Path, Bytes));
}

bool Contains(const std::string& Text, const std::string& Part) {
    return Text.find(Part) != std::string::npos;
}

// The names in the folder that start with Prefix, sorted.
std::vector<std::string> FilesStartingWith(const std::string& Folder, const std::string& Prefix) {
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        if (Entry.path().filename().string().rfind(Prefix, 0) == 0)
            Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

class FormconvTool : public testing::Test {
protected:
    std::string Path(const char* Name) const { return Dir.FilePath(Name); }
    TTempDir Dir;
    const std::string Form = QUOVANT_SOURCE "/wizards/pellisk/upellisk.dfm";
};

TEST_F(FormconvTool, BinaryFormRoundTripsThroughThePrintedText) {
    const TRun ToBinary = Formconv({"--binary", Form, Path("a.dfm")});
    ASSERT_EQ(ToBinary.Status, 0) << ToBinary.Err;
    AnsiString Text;
    ASSERT_TRUE(Utf8ToAnsi(Contents(Form), Text));
    EXPECT_EQ(Contents(Path("a.dfm")), ObjectTextToResource(Text));

    const TRun Printed = Formconv({Path("a.dfm")});
    ASSERT_EQ(Printed.Status, 0);
    EXPECT_EQ(Printed.Out, AnsiToUtf8(ObjectBinaryToText(ObjectTextToResource(Text))));
    Put(Path("a.txt"), Printed.Out);
    ASSERT_EQ(Formconv({"--binary", Path("a.txt"), Path("b.dfm")}).Status, 0);
    EXPECT_EQ(Contents(Path("b.dfm")), Contents(Path("a.dfm")));

    const TRun CodePage = Formconv({"--cp932", Path("a.dfm")});
    EXPECT_EQ(CodePage.Out, ObjectBinaryToText(ObjectTextToResource(Text)));
}

TEST_F(FormconvTool, TextFormIsPrintedUnchanged) {
    const TRun Printed = Formconv({Form});
    EXPECT_EQ(Printed.Status, 0);
    EXPECT_EQ(Printed.Out, Contents(Form));
}

// Strings of 8-bit bytes in other code pages (German cp1252, Chinese GBK) and bytes that start
// no character come back byte for byte through the printed text.
TEST_F(FormconvTool, EightBitStringsKeepTheirBytesThroughThePrintedText) {
    const std::string Image = ObjectTextToResource("object Form1: TForm1\n"
                                                   "  Caption = 'Gr'#252'ﾟe'\n"
                                                   "  Hint = 'ｼ'#242'ﾌ'#229\n"
                                                   "  Text = 'ボルト'#128#160#253#254#255#129\n"
                                                   "end\n"_sj);
    ASSERT_NE(Image.find("\x06\x05Gr\xFC\xDF\x65"), std::string::npos);
    ASSERT_NE(Image.find("\x06\x04\xBC\xF2\xCC\xE5"), std::string::npos);
    Put(Path("a.dfm"), Image);
    const TRun Printed = Formconv({Path("a.dfm")});
    ASSERT_EQ(Printed.Status, 0) << Printed.Err;
    EXPECT_TRUE(Contains(Printed.Out, "'ボルト'#128")) << Printed.Out;
    Put(Path("a.txt"), Printed.Out);
    ASSERT_EQ(Formconv({"--binary", Path("a.txt"), Path("b.dfm")}).Status, 0);
    EXPECT_EQ(Contents(Path("b.dfm")), Image);
}

// Names reach the program in the system's encoding and become code page 932 names once: the
// code page 932 bytes of "縺ｱ" and "縺ｲ" are also UTF-8 (of "ぱ" and "ひ").
TEST_F(FormconvTool, JapaneseFileNamesAreFoundAndNamedInMessages) {
    const AnsiString Out = Dir.Path() + PathDelim + "縺ｱ.dfm"_sj;
    const TRun ToBinary = Formconv({"--binary", Form, Out});
    ASSERT_EQ(ToBinary.Status, 0) << ToBinary.Err;
    const std::string Image = ReadFileBytes(Out);
    EXPECT_EQ(Formconv({Out}).Out, AnsiToUtf8(ObjectBinaryToText(Image)));
    const TRun Missing = Formconv({Dir.Path() + PathDelim + "縺ｲ.dfm"_sj});
    EXPECT_EQ(Missing.Status, 2);
    EXPECT_TRUE(Contains(Missing.Err, AnsiToUtf8("縺ｲ.dfm"_sj))) << Missing.Err;
}

TEST_F(FormconvTool, FailuresExitWithTwoAndSayWhy) {
    std::string Random(1 << 16, '\0');
    std::mt19937 Bits(21);
    for (char& C : Random)
        C = static_cast<char>(Bits() % 256);
    Put(Path("random.bin"), Random);
    Put(Path("notes.txt"), "Notes on the forms\n");
    Put(Path("broken.dfm"), std::string("TPF0\x02TB\x00\x01V\x63", 11));
    Put(Path("bad.txt"), "object A: TB\n  X = 'open\nend\n");
    Put(Path("keep.dfm"), "kept");
    const struct {
        std::vector<std::string> Arguments;
        const char* Says;
    } Cases[] = {
        {{Path("random.bin")}, "random.bin"},
        {{"--cp932", Path("notes.txt")}, "object"},
        {{Path("broken.dfm")}, "broken.dfm"},
        {{Path("missing.dfm")}, "missing.dfm"},
        {{"--binary", Path("bad.txt"), Path("keep.dfm")}, "bad.txt"},
        {{"--bogus"}, "usage"},
        {{}, "usage"},
    };
    for (const auto& Case : Cases) {
        const TRun Run = Formconv(Case.Arguments);
        EXPECT_EQ(Run.Status, 2) << Case.Says;
        EXPECT_TRUE(Run.Out.empty()) << Case.Says;
        EXPECT_TRUE(Contains(Run.Err, Case.Says)) << Run.Err;
    }
    EXPECT_EQ(Contents(Path("keep.dfm")), "kept");
    EXPECT_EQ(FilesStartingWith(Dir.Path(), "keep.dfm"), std::vector<std::string>{"keep.dfm"});
    const TRun Help = Formconv({"--help"});
    EXPECT_EQ(Help.Status, 0);
    EXPECT_TRUE(Contains(Help.Out, "--binary"));
}

} // namespace
