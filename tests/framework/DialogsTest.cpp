// The open dialog as a component of form files.
#include "Dialogs.h"
#include "FormReader.h"
#include "FormWriter.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogsTest, OpenDialogSurvivesAWriteAndReadRoundTrip) {
    class TDialogForm : public TComponent {
    public:
        using TComponent::TComponent;
        const char* ClassName() const override { return "TDialogForm"; }
        void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) const override {
            for (int I = 0; I < ComponentCount(); ++I)
                Proc(Components(I));
        }
    };
    TPublish<TDialogForm>("TDialogForm", "TComponent");
    const char* Text = R"(object Form: TDialogForm
  object TextOpenDialog1: TOpenDialog
    DefaultExt = 'CSV'
    Filter = 'CSVファイル|*.CSV'
    FilterIndex = 2
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
    Title = 'CSVファイルを指定して下さい'
  end
end
)";
    TDialogForm Form(nullptr);
    ReadComponentText(&Form, Text);
    auto* Loaded = ComponentByName<TOpenDialog>(&Form, "TextOpenDialog1");
    EXPECT_EQ(Loaded->Title(), "CSVファイルを指定して下さい"_sj);
    EXPECT_TRUE(Loaded->Options().Contains(ofFileMustExist));
    EXPECT_EQ(Loaded->FilterIndex(), 2);
    const std::string Written = WriteComponentText(&Form);
    TDialogForm Again(nullptr);
    ReadComponentText(&Again, Written);
    EXPECT_EQ(WriteComponentText(&Again), Written);
    EXPECT_EQ(ComponentByName<TOpenDialog>(&Again, "TextOpenDialog1")->Filter(),
              "CSVファイル|*.CSV"_sj);

    TOpenDialog Fresh(nullptr);
    EXPECT_EQ(Fresh.Options(), (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
    EXPECT_EQ(Fresh.FilterIndex(), 1);
}

} // namespace
