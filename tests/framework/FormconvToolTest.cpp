// The formconv program, run as its users run it.
#include "FormConvert.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

struct TRun {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun Formconv(const QStringList& Arguments) {
    QProcess Process;
    Process.start(QUOVANT_FORMCONV, Arguments);
    Process.waitForFinished();
    return {Process.exitCode(), Process.readAllStandardOutput(), Process.readAllStandardError()};
}

QByteArray Contents(const QString& Path) {
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void Put(const QString& Path, const QByteArray& Bytes) {
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
}

class FormconvTool : public testing::Test {
protected:
    QString Path(const char* Name) const { return Dir.filePath(Name); }
    QTemporaryDir Dir;
    const QString Form = QUOVANT_SOURCE "/wizards/pellisk/upellisk.dfm";
};

TEST_F(FormconvTool, BinaryFormRoundTripsThroughThePrintedText) {
    const TRun ToBinary = Formconv({"--binary", Form, Path("a.dfm")});
    ASSERT_EQ(ToBinary.Status, 0) << ToBinary.Err.toStdString();
    AnsiString Text;
    ASSERT_TRUE(Utf8ToAnsi(Contents(Form).toStdString(), Text));
    EXPECT_EQ(Contents(Path("a.dfm")).toStdString(), ObjectTextToResource(Text));

    const TRun Printed = Formconv({Path("a.dfm")});
    ASSERT_EQ(Printed.Status, 0);
    EXPECT_EQ(Printed.Out.toStdString(),
              AnsiToUtf8(ObjectBinaryToText(ObjectTextToResource(Text))));
    Put(Path("a.txt"), Printed.Out);
    ASSERT_EQ(Formconv({"--binary", Path("a.txt"), Path("b.dfm")}).Status, 0);
    EXPECT_EQ(Contents(Path("b.dfm")), Contents(Path("a.dfm")));

    const TRun CodePage = Formconv({"--cp932", Path("a.dfm")});
    EXPECT_EQ(CodePage.Out.toStdString(), ObjectBinaryToText(ObjectTextToResource(Text)));
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
    Put(Path("a.dfm"), QByteArray::fromStdString(Image));
    const TRun Printed = Formconv({Path("a.dfm")});
    ASSERT_EQ(Printed.Status, 0) << Printed.Err.toStdString();
    EXPECT_TRUE(Printed.Out.contains("'ボルト'#128")) << Printed.Out.toStdString();
    Put(Path("a.txt"), Printed.Out);
    ASSERT_EQ(Formconv({"--binary", Path("a.txt"), Path("b.dfm")}).Status, 0);
    EXPECT_EQ(Contents(Path("b.dfm")).toStdString(), Image);
}

TEST_F(FormconvTool, FailuresExitWithTwoAndSayWhy) {
    std::string Random(1 << 16, '\0');
    std::mt19937 Bits(21);
    for (char& C : Random)
        C = static_cast<char>(Bits() % 256);
    Put(Path("random.bin"), QByteArray::fromStdString(Random));
    Put(Path("notes.txt"), "Notes on the forms\n");
    Put(Path("broken.dfm"), QByteArray("TPF0\x02TB\x00\x01V\x63", 11));
    Put(Path("bad.txt"), "object A: TB\n  X = 'open\nend\n");
    Put(Path("keep.dfm"), "kept");
    const struct {
        QStringList Arguments;
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
        EXPECT_TRUE(Run.Out.isEmpty()) << Case.Says;
        EXPECT_TRUE(Run.Err.contains(Case.Says)) << Run.Err.toStdString();
    }
    EXPECT_EQ(Contents(Path("keep.dfm")), "kept");
    EXPECT_EQ(QDir(Dir.path()).entryList({"keep.dfm*"}, QDir::Files), QStringList{"keep.dfm"});
    const TRun Help = Formconv({"--help"});
    EXPECT_EQ(Help.Status, 0);
    EXPECT_TRUE(Help.Out.contains("--binary"));
}

} // namespace
