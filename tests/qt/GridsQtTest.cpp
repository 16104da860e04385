// The grid's in-place editor on its Qt widget.
#include "Grids.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(GridEditorQt, TheEditorsWidgetTakesTheGridFontAndFollowsItsChanges) {
    TStringGrid Grid(nullptr);
    Grid.SetOptions(Grid.Options() + TGridOptions{goEditing});
    Grid.SetBounds(0, 0, 300, 200);
    QWidget* W = TControlAccess::Widget(&Grid);
    W->show();
    QApplication::setActiveWindow(W);
    Grid.SetFocus();
    QApplication::processEvents();
    Grid.Font()->SetHeight(-20);
    QTest::keyClick(W, Qt::Key_F2);
    ASSERT_NE(Grid.InplaceEditor(), nullptr);
    auto* Edit = static_cast<QLineEdit*>(TControlAccess::Widget(Grid.InplaceEditor()));
    EXPECT_EQ(Edit->font().pixelSize(), 20);
    Grid.Font()->SetHeight(-16);
    EXPECT_EQ(Edit->font().pixelSize(), 16);
}
