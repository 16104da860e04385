// The unit-price wizard's busy cursor as the toolkit shows it: the application's override
// cursor, sampled inside a step from the field list's model.
#include "TempDir.h"
#include "TestDriver.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "qt/QtHost.h"
#include "upellisk.h"

#include <QApplication>
#include <QListView>
#include <gtest/gtest.h>

namespace {

Qt::CursorShape Shown() {
    const QCursor* C = QApplication::overrideCursor();
    return C ? C->shape() : Qt::BitmapCursor;
}

// The field list is filled in one update inside the step, so its model shows what the screen
// showed then.
TEST(PelliskCursor, LongStepsShowTheHourglassAndThenTheCursorThatWasThere) {
    TTempDir Dir;
    SetProgramDirForTesting(Dir.Path());
    const auto Press = [](Tfpellisk* Form, const char* Name) {
        WizardDriver::Click(ComponentByName<TControl>(Form, Name));
    };
    Screen->SetCursor(crCross);
    WizardDriver::AnswerOpenDialog(Dir.Write("source.CSV", "1,2\r\n3,4\r\n"));
    auto Form = std::make_unique<Tfpellisk>(nullptr);
    Form->Show();
    EXPECT_EQ(Shown(), Qt::CrossCursor) << "after loading";
    std::vector<Qt::CursorShape> DuringFill;
    QObject::connect(static_cast<QListView*>(
                         TControlAccess::Widget(ComponentByName<TControl>(Form.get(), "ListBox1")))
                         ->model(),
                     &QAbstractItemModel::modelReset, [&] { DuringFill.push_back(Shown()); });
    Press(Form.get(), "Button21");
    Press(Form.get(), "Button1");
    Press(Form.get(), "Button2");
    EXPECT_EQ(DuringFill, std::vector<Qt::CursorShape>(2, Qt::WaitCursor))
        << "Start and the first target";
    EXPECT_EQ(Shown(), Qt::CrossCursor) << "after the clicks";
    Dir.MakeFolder("csv_inport.tmp");
    Qt::CursorShape AtError = Qt::BitmapCursor;
    TestDriver::AnswerMessageBox([&](const AnsiString&) { AtError = Shown(); });
    Press(Form.get(), "IconButton3");
    EXPECT_EQ(AtError, Qt::CrossCursor)
        << "a failed Execute gives the cursor back before its report";
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Form.reset();
    SetProgramDirForTesting("");
}

} // namespace
