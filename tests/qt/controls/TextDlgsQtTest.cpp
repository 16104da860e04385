// The toolkit's own parts of the open dialog with text preview: its file-type list, places bar
// and file-name field, driven through their Qt widgets.
#include "TempDir.h"
#include "TextDlgs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs Answer on the open dialog as soon as it shows.
void WhenDialog(std::function<void(QFileDialog*)> Answer) {
    auto* Poll = new QTimer(QCoreApplication::instance());
    Poll->setInterval(5);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Answer] {
        if (auto* Shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            Poll->stop();
            Poll->deleteLater();
            Answer(Shown);
        }
    });
    Poll->start();
}

class TextDlgsQtTest : public testing::Test {
protected:
    void SetUp() override { Dialog.SetInitialDir(Dir.Path() + "/"); }
    AnsiString Put(const char* Name, const std::string& Bytes) { return Dir.Write(Name, Bytes); }
    // Runs the dialog; Answer acts while it is shown, then it is cancelled.
    void Run(const std::function<void(QFileDialog*)>& Answer) {
        WhenDialog([&](QFileDialog* Shown) {
            Answer(Shown);
            Shown->reject();
        });
        Dialog.Execute();
    }

    TTempDir Dir;
    TTextOpenDialog Dialog{nullptr};
};

// Each step chooses a file type with the name field holding Typed; the field and DefaultExt
// follow only with AutoExtChange on, and OnTypeChange is never raised.
TEST_F(TextDlgsQtTest, FileTypeChangesRewriteTheNameAndDefaultExtWhenAsked) {
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

TEST_F(TextDlgsQtTest, PlacesBarFollowsShowPlacesBar) {
    for (bool Places : {false, true}) {
        Dialog.SetShowPlacesBar(Places);
        bool Visible = !Places;
        Run([&](QFileDialog* Shown) {
            Visible = Shown->findChild<QWidget*>("sidebar")->isVisible();
        });
        EXPECT_EQ(Visible, Places);
    }
}

TEST_F(TextDlgsQtTest, TypingAPathAndReturnOpensItWithThePreviewOn) {
    const AnsiString File = Put("data.CSV", "1,2\r\n");
    Dialog.SetFilter("CSVファイル|*.CSV"_sj);
    Dialog.SetPreview(true);
    WhenDialog([](QFileDialog* Shown) {
        auto* Field = Shown->findChild<QLineEdit*>("fileNameEdit");
        Field->setFocus();
        QTest::keyClicks(Field, "data.CSV");
        QTest::keyClick(Field, Qt::Key_Return);
    });
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), File);
}

} // namespace
