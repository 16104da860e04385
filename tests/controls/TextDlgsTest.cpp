// The open dialog with text preview, answered from the event loop as a user would answer it.
#include "TextDlgs.h"
#include "FormConvert.h"
#include "TestData.h"
#include "WizardDriver.h"
#include "internal/QtHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using WizardDriver::WhenModal;

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

// UTF-8 source text as UTF-16 with its byte-order mark.
std::string Utf16(const std::string& Utf8, bool BigEndian) {
    std::string Bytes = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar C : QString::fromStdString(Utf8)) {
        const char High = static_cast<char>(C.unicode() >> 8);
        const char Low = static_cast<char>(C.unicode() & 0xFF);
        Bytes += BigEndian ? std::string{High, Low} : std::string{Low, High};
    }
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
        ASSERT_TRUE(Dir.isValid());
        Path = Dir.path().toStdString() + "/";
        Dialog.SetInitialDir(Path);
        SetExceptionHandler([this](const std::exception& E) { Reported.push_back(E.what()); });
    }
    void TearDown() override { SetExceptionHandler(nullptr); }

    AnsiString Put(const char* Name, const std::string& Bytes) {
        QFile File(Dir.filePath(Name));
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
        return Path + Name;
    }
    // Runs the dialog; Answer acts while it is shown, then it is cancelled.
    void Run(const std::function<void(QFileDialog*)>& Answer) {
        WhenModal<QFileDialog>([&](QFileDialog* Shown) {
            Answer(Shown);
            Shown->reject();
        });
        Dialog.Execute();
    }
    static void Select(QFileDialog* Shown, const AnsiString& Name) {
        emit Shown->currentChanged(QString::fromStdString(AnsiToUtf8(Name)));
    }
    AnsiString Memo() const { return Dialog.PreviewMemo()->Lines()->Text(); }

    QTemporaryDir Dir;
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

// Each step chooses a file type with the name field holding Typed; the field and DefaultExt
// follow only with AutoExtChange on, and OnTypeChange is never raised.
TEST_F(TextDlgsTest, FileTypeChangesRewriteTheNameAndDefaultExtWhenAsked) {
    const struct {
        int Type;
        const char* Typed;
        const char* FieldOn;
        const char* ExtOn;
    } Steps[] = {{2, "report.txt", "report.*", "*"},
                 {1, "", "*.txt", "txt"},
                 {3, "dir.x/report.txt", "dir.x/report", ""},
                 {2, "", "*.*", "*"},
                 {3, "", "*", ""}};
    for (bool Auto : {true, false}) {
        Dialog.SetFilter("Text|*.txt;*.doc|All|*.*|Any|*");
        Dialog.SetFilterIndex(1);
        Dialog.SetDefaultExt("csv");
        Dialog.SetAutoExtChange(Auto);
        bool TypeChanged = false;
        Dialog.OnTypeChange = [&](TObject*) { TypeChanged = true; };
        std::vector<std::pair<std::string, std::string>> Seen;
        AnsiString ExtAtStart;
        Run([&](QFileDialog* Shown) {
            ExtAtStart = Dialog.DefaultExt();
            auto* Types = Shown->findChild<QComboBox*>("fileTypeCombo");
            for (const auto& Step : Steps) {
                Shown->findChild<QLineEdit*>("fileNameEdit")->setText(Step.Typed);
                while (Types->currentIndex() + 1 != Step.Type)
                    QTest::keyClick(Types, Types->currentIndex() + 1 < Step.Type ? Qt::Key_Down
                                                                                 : Qt::Key_Up);
                Seen.emplace_back(Dialog.FileNameFieldText(), Dialog.DefaultExt());
            }
        });
        EXPECT_EQ(ExtAtStart, Auto ? "txt" : "csv");
        EXPECT_FALSE(TypeChanged);
        for (std::size_t I = 0; I < std::size(Steps); ++I) {
            EXPECT_EQ(Seen[I].first, Auto ? Steps[I].FieldOn : Steps[I].Typed) << Auto << I;
            EXPECT_EQ(Seen[I].second, Auto ? Steps[I].ExtOn : "csv") << Auto << I;
        }
    }
}

TEST_F(TextDlgsTest, PlacesBarFollowsShowPlacesBar) {
    for (bool Places : {false, true}) {
        Dialog.SetShowPlacesBar(Places);
        bool Visible = !Places;
        Run([&](QFileDialog* Shown) {
            Visible = Shown->findChild<QWidget*>("sidebar")->isVisible();
        });
        EXPECT_EQ(Visible, Places);
    }
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
    QDir(Dir.path()).mkdir("folder.dfm");
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
        {Put("le.csv", Utf16("名称,単価🔩\r\n", false)), "名称,単価?\r\n"_sj},
        {Put("be.tsv", Utf16("名称\t単価\r\n", true)), "名称\t単価\r\n"_sj},
        // The limit falls between the halves of a pair.
        {Put("pair.csv", Utf16(std::string(510, 'x') + "🔩", true)), std::string(510, 'x')},
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
    Run([&](QFileDialog* Running) {
        for (const auto& Case : Cases) {
            Select(Running, Case.Name);
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
    Run([&](QFileDialog* Running) {
        Select(Running, Sjis);
        SjisShown = Memo();
        Select(Running, Utf8);
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
    Run([&](QFileDialog* Shown) {
        Select(Shown, Good);
        Select(Shown, Broken);
        AfterBroken = Memo();
        Select(Shown, Good);
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
    Run([&](QFileDialog* Shown) {
        auto* Box = TControlAccess::Widget(Dialog.PreviewCheckBox())->findChild<QCheckBox*>();
        if (!Box)
            Box = qobject_cast<QCheckBox*>(TControlAccess::Widget(Dialog.PreviewCheckBox()));
        Select(Shown, File);
        Memos.push_back(Memo());
        QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(5, Box->height() / 2));
        Memos.push_back(Memo());
        Boxes.push_back(Dialog.Preview());
        QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(5, Box->height() / 2));
        Memos.push_back(Memo());
        Boxes.push_back(Dialog.Preview());
        Dialog.SetPreview(true);
        Memos.push_back(Memo());
        Boxes.push_back(Box->isChecked());
    });
    EXPECT_EQ(Memos, (std::vector<AnsiString>{"", AsMemoText("text"), "", AsMemoText("text")}));
    EXPECT_EQ(Boxes, (std::vector<bool>{true, false, true}));
    bool TickedAtStart = false;
    Run([&](QFileDialog*) { TickedAtStart = Dialog.PreviewCheckBox()->Checked(); });
    EXPECT_TRUE(TickedAtStart);
    Dialog.SetPreview(false);
    Run([&](QFileDialog*) { TickedAtStart = Dialog.PreviewCheckBox()->Checked(); });
    EXPECT_FALSE(TickedAtStart);
}

TEST_F(TextDlgsTest, AltPTicksTheBox) {
    bool Ticked = false;
    Run([&](QFileDialog* Shown) {
        QApplication::setActiveWindow(Shown);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        // The box clicks itself after showing the press for a moment.
        for (int Wait = 0; Wait < 100 && !Dialog.Preview(); ++Wait)
            QTest::qWait(10);
        Ticked = Dialog.Preview();
    });
    EXPECT_TRUE(Ticked);
}

TEST_F(TextDlgsTest, WithoutAPreviewClassTheBoxStandsAloneAndDoesNothing) {
    Dialog.SetPreviewClass(nullptr);
    const AnsiString File = Put("a.txt", "text");
    bool Memo = true;
    bool Box = false;
    Run([&](QFileDialog* Shown) {
        Dialog.SetPreview(true);
        Select(Shown, File);
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
        QRect Frame;
        Run([&](QFileDialog* Shown) {
            Panel = Dialog.ExtraPanel()->BoundsRect();
            Box = Dialog.PreviewCheckBox()->BoundsRect();
            Memo = Dialog.PreviewMemo()->BoundsRect();
            Font = Dialog.PreviewMemo()->Font()->Name();
            ReadOnly = Dialog.PreviewMemo()->ReadOnly();
            Frame = Shown->frameGeometry();
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
        EXPECT_LE(Frame.width(), 1024);
        EXPECT_LE(Frame.height(), 768 - 40) << "room for a task bar";
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
    Run([&](QFileDialog* Shown) {
        Dialog.Events.push_back("shown: " + State());
        Select(Shown, File);
    });
    EXPECT_EQ(Dialog.Events,
              (std::vector<std::string>{"OnShow: panel", "shown: panel box memo",
                                        "OnSelectionChange", "preview", "OnClose: -"}));
}

TEST_F(TextDlgsTest, TypingAPathAndReturnOpensItWithThePreviewOn) {
    const AnsiString File = Put("data.CSV", "1,2\r\n");
    Dialog.SetFilter("CSVファイル|*.CSV"_sj);
    Dialog.SetPreview(true);
    WhenModal<QFileDialog>([](QFileDialog* Shown) {
        auto* Field = Shown->findChild<QLineEdit*>("fileNameEdit");
        Field->setFocus();
        QTest::keyClicks(Field, "data.CSV");
        QTest::keyClick(Field, Qt::Key_Return);
    });
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), File);
}

} // namespace
