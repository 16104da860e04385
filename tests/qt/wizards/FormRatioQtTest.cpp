// The costing-data form with its filled grid on high-density screens, rendered as the screen
// shows it: what the layer paints itself keeps the places and colours it has at ratio 1, each
// logical pixel on the device pixels it covers, and its text is drawn at the device size.
#include "StrCGrid.h"
#include "TempDir.h"
#include "WizardDriver.h"
#include "qt/DeviceImages.h"
#include "qt/QtHost.h"
#include "umorvane.h"

#include <gtest/gtest.h>

namespace {

using namespace DeviceImages;

template <class T> T* Get(const TComponent* Form, const char* Name) {
    return ComponentByName<T>(Form, Name);
}

// The form started on the sample, Start pressed and every field mapped: the grid is filled.
class FormRatioQtTest : public testing::Test {
protected:
    FormRatioQtTest() {
        SetProgramDirForTesting(Dir.Path());
        WizardDriver::AnswerOpenDialog(QUOVANT_SAMPLES "/sekisan-comma.CSV");
        Form = new Tfmorvane(nullptr);
        Form->Show();
        for (const char* Name :
             {"Button21", "Button1", "Button2", "Button3", "Button8", "Button4", "Button14",
              "Button7", "Button6", "Button5", "Button12", "Button13", "Button9"})
            WizardDriver::Click(Get<TControl>(Form, Name));
    }
    ~FormRatioQtTest() override {
        delete Form;
        SetProgramDirForTesting("");
    }
    QWidget* Widget(const TControl* Control) const { return TControlAccess::Widget(Control); }
    // Where Control lies in Outer's widget.
    QRect Area(const TControl* Control, const TControl* Outer) const {
        return {Widget(Control)->mapTo(Widget(Outer), QPoint()), Widget(Control)->size()};
    }

    TTempDir Dir;
    Tfmorvane* Form = nullptr;
};

QRect Doubled(const QRect& R) {
    return {2 * R.x(), 2 * R.y(), 2 * R.width(), 2 * R.height()};
}

TEST_F(FormRatioQtTest, TheBottomBarKeepsItsPlacesAndColoursAndDrawsItsCaptionsAtRatioTwo) {
    auto* Bar = Get<TWinControl>(Form, "GradPan2");
    const QImage Logical = RenderAt(Widget(Bar), 1), Device = RenderAt(Widget(Bar), 2);
    std::vector<QRect> Children;
    for (int I = 0; I < Bar->ControlCount(); ++I)
        Children.push_back(Area(Bar->Controls(I), Bar));
    EXPECT_EQ(Misplaced(Logical, Device, {2, {}}, Children), "");
    for (const char* Name : {"BoxLabel1", "BoxLabel20", "BoxLabel21", "IconButton4"})
        EXPECT_GT(MixedBlocks(Device, Doubled(Area(Get<TControl>(Form, Name), Bar))), 20) << Name;
}

// The grid's lines, its empty cells and the fixed cells' frames stay where they are; the cells
// with text show it at the device size.
TEST_F(FormRatioQtTest, TheGridKeepsItsLinesAndEmptyCellsAndDrawsItsTextAtRatioTwo) {
    auto* Grid = Get<TStrColGrid>(Form, "StrColGrid1");
    const QImage Logical = RenderAt(Widget(Grid), 1), Device = RenderAt(Widget(Grid), 2);
    std::vector<QRect> Skipped;
    for (QWidget* Bar : Widget(Grid)->findChildren<QWidget*>())
        Skipped.push_back(Bar->geometry());
    for (int Row = 0; Row < Grid->RowCount(); ++Row)
        for (int Col = 0; Col < Grid->ColCount(); ++Col)
            if (!Grid->Cells(Col, Row).empty() || Row < Grid->FixedRows())
                Skipped.push_back(ToQRect(Grid->CellRect(Col, Row)));
    EXPECT_EQ(Misplaced(Logical, Device, {2, {}}, Skipped), "");
    EXPECT_GT(MixedBlocks(Device, Doubled(ToQRect(Grid->CellRect(1, 2)))), 20);
}

// At ratio 1.5 the children start between device pixels (the banner at 61.5): each paints on the
// window's device grid, so the form's own painting, the bars' and the banner's upper half, whose
// bands hold no caption, meet as at ratio 1.
TEST_F(FormRatioQtTest, TheFormKeepsThePlacesAndColoursOfItsOwnPaintingAtRatioOneAndAHalf) {
    QWidget* Window = Widget(Form);
    const QImage Logical = RenderAt(Window, 1), Device = RenderAt(Window, 1.5);
    std::vector<QRect> Leaves;
    for (int I = 0; I < Form->ComponentCount(); ++I) {
        auto* Control = dynamic_cast<TControl*>(Form->Components(I));
        auto* Parent = dynamic_cast<TWinControl*>(Control);
        if (!Control || !Widget(Control)->isVisible() || (Parent && Parent->ControlCount() > 0))
            continue;
        QRect R = Area(Control, Form);
        if (Control->Name() == "LT1")
            R.setTop(R.top() + R.height() / 2);
        Leaves.push_back(R);
    }
    EXPECT_EQ(Misplaced(Logical, Device, {1.5, {}}, Leaves), "");
}

} // namespace
