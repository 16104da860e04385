// The drag and help properties and the drag events that these controls publish: read from a
// form file, bound to the form's handlers, written back, and left out while at their defaults.
// The box label publishes no OnStartDrag, so it is not among them.
#include "FormReader.h"
#include "FormWriter.h"
#include "Forms.h"
#include "IconBtn.h"
#include "URLLabel.h"

#include <gtest/gtest.h>

namespace {

const char* const Settings[] = {
    "DragCursor = crHandPoint", "DragMode = dmAutomatic", "HelpContext = 5",
    "HelpKeyword = 'kw'",       "HelpType = htKeyword",   "OnDragDrop = Dropped",
    "OnDragOver = Over",        "OnEndDrag = Ended",      "OnStartDrag = Started"};

class TCommonForm : public TForm {
public:
    TCommonForm() : TForm(nullptr) {
        PublishMethod("Started", TStartDragEvent([](TObject*, TDragObject*&) {}));
        PublishMethod("Over",
                      TDragOverEvent([](TObject*, TObject*, int, int, TDragState, bool&) {}));
        PublishMethod("Dropped", TDragDropEvent([](TObject*, TObject*, int, int) {}));
        PublishMethod("Ended", TEndDragEvent([](TObject*, TObject*, int, int) {}));
    }
};

class CommonPropertiesTest : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(CommonPropertiesTest, DragAndHelpPropertiesAreReadBoundWrittenAndOmittedAtDefaults) {
    const std::string Class = GetParam();
    TCommonForm Fresh;
    ReadComponentText(&Fresh, "object Form1: TForm\n  object C1: " + Class + "\n  end\nend\n");
    const std::string Plain = WriteComponentText(&Fresh);
    for (const char* Name : {"Drag", "Help"})
        EXPECT_EQ(Plain.find(Name), std::string::npos) << Plain;

    std::string Text = "object Form1: TForm\n  object C1: " + Class + "\n";
    for (const char* Line : Settings)
        Text += std::string("    ") + Line + "\n";
    Text += "  end\nend\n";
    TCommonForm Form;
    ReadComponentText(&Form, Text);
    const auto* C = ComponentByName<TControl>(&Form, "C1");
    EXPECT_EQ(C->DragCursor(), crHandPoint);
    EXPECT_EQ(C->DragMode(), dmAutomatic);
    EXPECT_EQ(C->HelpType(), htKeyword);
    EXPECT_EQ(C->HelpKeyword(), "kw");
    EXPECT_EQ(C->HelpContext(), 5);
    EXPECT_TRUE(C->OnStartDrag && C->OnDragOver && C->OnDragDrop && C->OnEndDrag);
    const std::string Written = WriteComponentText(&Form);
    for (const char* Line : Settings)
        EXPECT_NE(Written.find(Line), std::string::npos) << Line << "\n" << Written;
}

INSTANTIATE_TEST_SUITE_P(Controls, CommonPropertiesTest,
                         testing::Values("TIconButton", "TURLLabel", "TLabel", "TPanel", "TButton",
                                         "TListBox"));
