// The unit-price wizard's busy cursor as the program shows it over all its windows, sampled
// inside a step when the field list takes its new items.
#include "TempDir.h"
#include "TestDriver.h"
#include "WinApi.h"
#include "WizardDriver.h"
#include "upellisk.h"

#include <gtest/gtest.h>

namespace {

TCursor Shown() {
    return TestSupport::ProgramCursor();
}

// The field list takes its items in one update inside the step, while the step's cursor shows.
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
    EXPECT_EQ(Shown(), crCross) << "after loading";
    std::vector<TCursor> DuringFill;
    TestSupport::OnItemsShown(ComponentByName<TControl>(Form.get(), "ListBox1"),
                              [&] { DuringFill.push_back(Shown()); });
    Press(Form.get(), "Button21");
    Press(Form.get(), "Button1");
    Press(Form.get(), "Button2");
    EXPECT_EQ(DuringFill, std::vector<TCursor>(2, crHourGlass)) << "Start and the first target";
    EXPECT_EQ(Shown(), crCross) << "after the clicks";
    Dir.MakeFolder("csv_inport.tmp");
    TCursor AtError = crNone;
    TestDriver::AnswerMessageBox([&](const AnsiString&) { AtError = Shown(); });
    Press(Form.get(), "IconButton3");
    EXPECT_EQ(AtError, crCross) << "a failed Execute gives the cursor back before its report";
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Shown(), crDefault);
    Form.reset();
    SetProgramDirForTesting("");
}

} // namespace
