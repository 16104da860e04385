// The open dialog with text preview, answered from the event loop as a user would answer it.
// The toolkit's own parts of the dialog (file types, places bar, name field) are checked in
// tests/qt/controls.
#include "TextDlgs.h"
#include "FormConvert.h"
#include "TempDir.h"
#include "TestData.h"
#include "TestDriver.h"
#include "TestSupport.h"
#include "Utf16.h"

#include <gtest/gtest.h>

namespace {

// Opens what descendants see, and records the order of events.
class TProbe : public TTextOpenDialog {
public:
    using TTextOpenDialog::ExtraPanel;
    using TTextOpenDialog::PreviewCheckBox;
    using TTextOpenDialog::PreviewMemo;
    using TTextOpenDialog::TTextOpenDialog;

    std::vector<std::string> Events;

protected:
    void UpdatePreview() override {
        Events.push_back("preview");
        TTextOpenDialog::UpdatePreview();
    }
};

std::string Pattern(std::size_t Size) {
    std::string Bytes;
    for (std::size_t I = 0; I < Size; ++I)
        Bytes += static_cast<char>(I % 94 == 93 ? '\n' : '!' + I % 94);
    return Bytes;
}

// The memo's lines as the memo holds them after its text was set to Bytes.
AnsiString AsMemoText(const AnsiString& Bytes) {
    TStringList Lines;
    Lines.SetText(Bytes);
    return Lines.Text();
}

const char* FormText = R"(object Form: TForm
  Caption = 'ボルトとナット'
  Items.Strings = (
    'a'))";

class TextDlgsTest : public testing::Test {
protected:
    void SetUp() override {
        Path = Dir.Path() + "/";
        Dialog.SetInitialDir(Path);
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
    }
    void TearDown() override { SetExceptionHandler(nullptr); }

    AnsiString Put(const char* Name, const std::string& Bytes) {
        EXPECT_TRUE(WriteFile(Dir.FilePath(Name), Bytes));
        return Path + Name;
    }
    // Runs the dialog; Answer acts while it is shown, then it is cancelled.
    void Run(const std::function<void()>& Answer) {
        TestDriver::AnswerOpenDialog("", Answer);
        Dialog.Execute();
    }
    static void Select(const AnsiString& Name) { TestDriver::SendOpenDialogSelection(Name); }
    AnsiString Memo() const { return Dialog.PreviewMemo()->Lines()->Text(); }

    TTempDir Dir;
    AnsiString Path;
    TProbe Dialog{nullptr};
    std::vector<std::string> Reported;
};

TEST(TextDlgs, NthCharPosAndFilterExtension) {
    EXPECT_EQ(NthCharPos('|', "a|b|c", 2), 4);
    EXPECT_EQ(NthCharPos('|', "a|b|c", 3), 0);
    EXPECT_EQ(NthCharPos('|', "", 1), 0);
    EXPECT_EQ(NthCharPos('|', "a|b", 0), 0);
    const struct {
        const char* Filter;
        int Index;
        bool Found;
        const char* Ext;
    } Cases[] = {
        {"Text|*.txt;*.doc|All|*.*", 1, true, ".txt"},
        {"Text|*.txt;*.doc|All|*.*", 2, true, ".*"},
        {"Text|*.txt;*.doc|All|*.*", 3, false, ""},
        {"Any|*|Text|*.txt", 1, true, ""},
        {"Docs|a.b;*.c", 1, true, ".b"},
        {"Text|*.txt", 0, false, ""},
    };
    for (const auto& Case : Cases) {
        AnsiString Ext = "unchanged";
        EXPECT_EQ(FilterExtension(Case.Filter, Case.Index, Ext), Case.Found) << Case.Filter;
        EXPECT_EQ(Ext, Case.Found ? Case.Ext : "unchanged") << Case.Filter << Case.Index;
    }
    AnsiString Ext;
    ASSERT_TRUE(FilterExtension("CSVファイル|*.CSV"_sj, 1, Ext));
    EXPECT_EQ(Ext, ".CSV");
    EXPECT_FALSE(FilterExtension("CSVファイル|*.CSV"_sj, 2, Ext));
}

// The first 1024 bytes of plain files; form files as text; nothing for what is no file.
TEST_F(TextDlgsTest, PreviewShowsTheSelectedFileAsThePlatformReadsIt) {
    const std::string Resource =
        ObjectTextToResource(Pattern(0) + FormText + "\n" + std::string(40, ' ') + "end\n");
    const std::string LongForm = ObjectTextToResource("object Form: TForm\n  Text = '" +
                                                      std::string(2000, 'x') + "'\nend\n");
    const std::string Cut = std::string(1023, 'a') + "ア"_sj;
    // UTF-8 (the source text) without a mark, cut inside a character by the limit.
    // ("ト," is no code page 932 text, so the file is not taken as such.)
    std::string Utf8 = "a";
    while (Utf8.size() < 1100)
        Utf8 += "ボルト,本,";
    AnsiString Utf8Shown;
    ASSERT_TRUE(Utf8ToAnsi(std::string_view(Utf8).substr(0, 1023), Utf8Shown));
    AnsiString FormShown;
    ASSERT_TRUE(Utf8ToAnsi(FormText, FormShown));
    Dir.MakeFolder("folder.dfm");
    const struct {
        AnsiString Name;
        AnsiString Shown;
    } Cases[] = {
        {Put("empty.txt", ""), ""},
        {Put("exact.txt", Pattern(1024)), Pattern(1024)},
        {Put("over.csv", Pattern(1025)), Pattern(1024)},
        {Put("cut.csv", Cut), Cut.substr(0, 1024)},
        {Put("utf8.csv", Utf8), Utf8Shown},
        {Put("marked.csv", "\xEF\xBB\xBF名称,単価\r\n"), "名称,単価\r\n"_sj},
        {Put("emoji.csv", "ボルト,🔩本"), "ボルト,?本"_sj},
        {Put("le.csv", Utf16Bytes("名称,単価🔩\r\n", false)), "名称,単価?\r\n"_sj},
        {Put("be.tsv", Utf16Bytes("名称\t単価\r\n", true)), "名称\t単価\r\n"_sj},
        // The limit falls between the halves of a pair.
        {Put("pair.csv", Utf16Bytes(std::string(510, 'x') + "🔩", true)), std::string(510, 'x')},
        {Put("utf8.dfm", "\xEF\xBB\xBF" + std::string(FormText)), FormShown},
        {Put("form.DFM", Resource), ObjectBinaryToText(Resource)},
        {Put("long.~Df", LongForm), ObjectBinaryToText(LongForm).substr(0, 1024)},
        {Put("text.~dfm", Pattern(2000)), Pattern(1024)},
        {Put("raw.dfmx", Resource), Resource},
        {Path + "folder.dfm", ""},
        {Path + "*.txt", ""},
        {Path + "exa?t.txt", ""},
        {Path + "missing.txt", ""},
    };
    Dialog.SetPreview(true);
    std::vector<AnsiString> Shown;
    Run([&] {
        for (const auto& Case : Cases) {
            Select(Case.Name);
            Shown.push_back(Memo());
        }
    });
    for (std::size_t I = 0; I < std::size(Cases); ++I)
        EXPECT_EQ(Shown[I], AsMemoText(Cases[I].Shown)) << Cases[I].Name;
    EXPECT_TRUE(Reported.empty());
}

// Real files: a Shift-JIS list is shown as it stands, a UTF-8 one converted.
TEST_F(TextDlgsTest, PreviewOfRealFiles) {
    SKIP_WITHOUT_TESTDATA("/csv/mhlw_price_20250716.csv");
    const AnsiString Sjis = QUOVANT_TESTDATA "/csv/KEN_ALL.CSV";
    const AnsiString Utf8 = QUOVANT_TESTDATA "/csv/mhlw_price_20250716.csv";
    Dialog.SetPreview(true);
    AnsiString SjisShown, Utf8Shown;
    Run([&] {
        Select(Sjis);
        SjisShown = Memo();
        Select(Utf8);
        Utf8Shown = Memo();
    });
    EXPECT_EQ(SjisShown, AsMemoText(ReadFileBytes(Sjis).substr(0, 1024)));
    EXPECT_TRUE(IsValidAnsi(Utf8Shown));
    EXPECT_NE(Utf8Shown.find("医薬品"_sj), AnsiString::npos);
}

TEST_F(TextDlgsTest, ABrokenFormFileIsReportedAndTheDialogGoesOn) {
    const AnsiString Good = Put("good.txt", "good");
    const AnsiString Broken = Put("broken.dfm", std::string("TPF0\x02TB\x00\x01V\x63", 11));
    Dialog.SetPreview(true);
    AnsiString AfterBroken;
    AnsiString AfterGood;
    Run([&] {
        Select(Good);
        Select(Broken);
        AfterBroken = Memo();
        Select(Good);
        AfterGood = Memo();
    });
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_NE(Reported[0].find("オフセット 10"_sj), std::string::npos);
    EXPECT_EQ(AfterBroken, "");
    EXPECT_EQ(AfterGood, AsMemoText("good"));
}

// Reading a plain file asks the stream for no more than the preview shows.
TEST(TextDlgs, ReadingAPreviewNeverAsksForMoreThanItShows) {
    class THugeStream : public TStream {
    public:
        std::size_t Given = 0;
        std::int64_t Size() const override { return std::int64_t(1) << 40; }
        std::size_t Read(void* Buffer, std::size_t Count) override {
            const std::size_t Piece = std::min<std::size_t>(Count, 100);
            std::fill_n(static_cast<char*>(Buffer), Piece, 'z');
            Given += Piece;
            return Piece;
        }
    } Stream;
    EXPECT_EQ(ReadPreview(Stream), std::string(1024, 'z'));
    EXPECT_EQ(Stream.Given, 1024u);
}

TEST_F(TextDlgsTest, TickingAndUntickingActAtOnceAndPreviewIsKeptBetweenRuns) {
    const AnsiString File = Put("a.txt", "text");
    std::vector<AnsiString> Memos;
    std::vector<bool> Boxes;
    Run([&] {
        TCheckBox* Box = Dialog.PreviewCheckBox();
        const TPoint OnBox = {5, Box->Height() / 2};
        Select(File);
        Memos.push_back(Memo());
        TestSupport::Click(Box, mbLeft, OnBox);
        Memos.push_back(Memo());
        Boxes.push_back(Dialog.Preview());
        TestSupport::Click(Box, mbLeft, OnBox);
        Memos.push_back(Memo());
        Boxes.push_back(Dialog.Preview());
        Dialog.SetPreview(true);
        Memos.push_back(Memo());
        Boxes.push_back(TestSupport::ShowsChecked(Box));
    });
    EXPECT_EQ(Memos, (std::vector<AnsiString>{"", AsMemoText("text"), "", AsMemoText("text")}));
    EXPECT_EQ(Boxes, (std::vector<bool>{true, false, true}));
    bool TickedAtStart = false;
    Run([&] { TickedAtStart = Dialog.PreviewCheckBox()->Checked(); });
    EXPECT_TRUE(TickedAtStart);
    Dialog.SetPreview(false);
    Run([&] { TickedAtStart = Dialog.PreviewCheckBox()->Checked(); });
    EXPECT_FALSE(TickedAtStart);
}

TEST_F(TextDlgsTest, AltPTicksTheBox) {
    bool Ticked = false;
    Run([&] {
        TestSupport::Activate(Dialog.ExtraPanel());
        TestSupport::PressKeyInWindow(Dialog.ExtraPanel(), 'P', TShiftState{ssAlt});
        // The box clicks itself after showing the press for a moment.
        Ticked = TestSupport::WaitUntil([&] { return Dialog.Preview(); }, 1000);
    });
    EXPECT_TRUE(Ticked);
}

TEST_F(TextDlgsTest, WithoutAPreviewClassTheBoxStandsAloneAndDoesNothing) {
    Dialog.SetPreviewClass(nullptr);
    const AnsiString File = Put("a.txt", "text");
    bool Memo = true;
    bool Box = false;
    Run([&] {
        Dialog.SetPreview(true);
        Select(File);
        Memo = Dialog.PreviewMemo() != nullptr;
        Box = Dialog.PreviewCheckBox() && Dialog.PreviewCheckBox()->Checked();
    });
    EXPECT_FALSE(Memo);
    EXPECT_TRUE(Box);
    EXPECT_TRUE(Reported.empty());
    EXPECT_THROW(Dialog.SetPreviewClass(FindClassInfo("TPanel")), EComponentError);
    Dialog.SetPreviewClass(FindClassInfo("TMemo"));
    EXPECT_EQ(Dialog.PreviewClass(), FindClassInfo("TMemo"));
}

// Where the band, the box and the memo stand, with and without the sizing grip.
TEST_F(TextDlgsTest, LayoutOfThePreviewBand) {
    for (bool Sizing : {true, false}) {
        Dialog.SetOptions(Sizing ? TOpenDialog::DefaultOptions
                                 : TOpenDialog::DefaultOptions - TOpenOptions{ofEnableSizing});
        TRect Panel, Box, Memo;
        AnsiString Font;
        bool ReadOnly = false;
        TRect Frame;
        Run([&] {
            Panel = Dialog.ExtraPanel()->BoundsRect();
            Box = Dialog.PreviewCheckBox()->BoundsRect();
            Memo = Dialog.PreviewMemo()->BoundsRect();
            Font = Dialog.PreviewMemo()->Font()->Name();
            ReadOnly = Dialog.PreviewMemo()->ReadOnly();
            Frame = TestDriver::OpenDialogFrame();
            EXPECT_EQ(Dialog.PreviewCheckBox()->Caption(), "内容をプレビューする(&P)"_sj);
            EXPECT_EQ(Dialog.ExtraPanel()->Parent()->ClientRect(),
                      Dialog.ExtraPanel()->BoundsRect());
        });
        TCanvas Measure;
        Measure.Font()->SetName("Marlett");
        const int Grip = Sizing ? Measure.TextWidth("o") : 0;
        EXPECT_GT(Panel.Height(), 100);
        EXPECT_EQ(Box, Bounds(5, 2, 200, 25));
        EXPECT_EQ(Memo, Bounds(5, 25, Panel.Width() - 10 - Grip, Panel.Height() - 30)) << Sizing;
        EXPECT_EQ(Font, "ＭＳ ゴシック"_sj);
        EXPECT_TRUE(ReadOnly);
        EXPECT_LE(Frame.Width(), 1024);
        EXPECT_LE(Frame.Height(), 768 - 40) << "room for a task bar";
    }
}

TEST_F(TextDlgsTest, EventsComeInTheirOrderAroundThePreviewControls) {
    const AnsiString File = Put("a.txt", "text");
    auto State = [this] {
        return std::string(Dialog.ExtraPanel() ? "panel" : "-") +
               (Dialog.PreviewCheckBox() ? " box" : "") + (Dialog.PreviewMemo() ? " memo" : "");
    };
    Dialog.OnShow = [&](TObject*) { Dialog.Events.push_back("OnShow: " + State()); };
    Dialog.OnSelectionChange = [&](TObject*) { Dialog.Events.push_back("OnSelectionChange"); };
    Dialog.OnClose = [&](TObject*) { Dialog.Events.push_back("OnClose: " + State()); };
    Run([&] {
        Dialog.Events.push_back("shown: " + State());
        Select(File);
    });
    EXPECT_EQ(Dialog.Events,
              (std::vector<std::string>{"OnShow: panel", "shown: panel box memo",
                                        "OnSelectionChange", "preview", "OnClose: -"}));
}

} // namespace
