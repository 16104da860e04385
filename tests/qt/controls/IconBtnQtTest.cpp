// The icon button against the toolkit's own ways of reporting input: an entry that comes from
// outside with the button held, and a held Space whose repeats arrive as release-press pairs.
#include "IconBtn.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class IconButtonQtTest : public testing::Test {
protected:
    void SetUp() override {
        QCursor::setPos(QPoint(5, 5));
        Window.SetBounds(100, 100, 120, 80);
        Button = new TIconButton(&Window);
        Button->SetParent(&Window);
        Button->SetBounds(20, 20, 36, 36);
        Button->SetButtonStyle(IconBtn::bsIELike);
        Button->OnClick = [this](TObject*) { ++Clicks; };
        TControlAccess::Widget(&Window)->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(TControlAccess::Widget(&Window)));
        QCursor::setPos(TControlAccess::Widget(&Window)->mapToGlobal(QPoint(2, 2)));
        QApplication::processEvents();
    }
    TWinControl Window{nullptr};
    TIconButton* Button = nullptr;
    int Clicks = 0;
};

// The toolkit reports no entry while another widget holds the pressed pointer, so the entry
// comes from outside, as a drag from another window brings it.
TEST_F(IconButtonQtTest, EnteringWithTheLeftButtonDownShowsThePressedLook) {
    QWindow* Shown = TControlAccess::Widget(&Window)->windowHandle();
    QTest::mousePress(Shown, Qt::LeftButton, {}, QPoint(2, 2));
    QEnterEvent Enter(QPointF(10, 10), QPointF(10, 10), QPointF(130, 130));
    QApplication::sendEvent(TControlAccess::Widget(Button), &Enter);
    EXPECT_EQ(Button->BevelOuter(), bvLowered);
    QTest::mouseRelease(Shown, Qt::LeftButton, {}, QPoint(2, 2));
}

// A held Space repeats only its key-down on the platform: the repeats' releases click not.
TEST_F(IconButtonQtTest, TheReleasesOfAHeldSpaceDoNotClick) {
    Button->SetFocus();
    QKeyEvent Down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent Repeat(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
    QKeyEvent Up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(TControlAccess::Widget(Button), &Down);
    QApplication::sendEvent(TControlAccess::Widget(Button), &Repeat);
    EXPECT_EQ(Clicks, 0);
    QApplication::sendEvent(TControlAccess::Widget(Button), &Up);
    EXPECT_EQ(Clicks, 1);
}

} // namespace
