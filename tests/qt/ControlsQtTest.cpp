// Controls on Qt widgets: what the layer's properties set on the widget, and a control built on
// a ready-made Qt widget.
#include "Controls.h"
#include "qt/QtHost.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

// A control on a ready-made widget.
class TLine : public TWinControl {
public:
    using TWinControl::TWinControl;
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(TControlAccess::Widget(this)); }

protected:
    TPlatformWidget* CreateWidget() override { return PlatformWidget(new QLineEdit); }
};

TProbe* Child(TWinControl* Parent, TAlign Align, int L, int T, int W, int H) {
    auto* C = new TProbe(nullptr);
    C->SetBounds(L, T, W, H);
    C->SetAlign(Align);
    C->SetParent(Parent);
    return C;
}

} // namespace

TEST(ControlWidgetTest, TheWidgetHangsUnderItsParentsWithItsStateAndCursor) {
    TProbe Parent(nullptr);
    TProbe* C = Child(&Parent, alNone, 3, 4, 30, 20);
    C->SetEnabled(false);
    QWidget* W = TControlAccess::Widget(C);
    EXPECT_EQ(W->parentWidget(), TControlAccess::Widget(&Parent));
    EXPECT_FALSE(W->isEnabled());
    EXPECT_EQ(ControlOf(W), C);
    RegisterCursor(32761, QCursor(Qt::CrossCursor));
    C->SetCursor(32761);
    EXPECT_EQ(W->cursor().shape(), Qt::CrossCursor) << "a registered cursor number";
    UnregisterCursor(32761);
}

TEST(ControlWidgetTest, AMovedControlFollowsItsNewParentsWindowWhenThereIsOne) {
    TProbe First(nullptr);
    TProbe Second(nullptr);
    TProbe* C = Child(&First, alNone, 1, 2, 3, 4);
    QWidget* W = TControlAccess::Widget(C);
    C->SetParent(&Second);
    EXPECT_EQ(W->parentWidget(), nullptr) << "out of the old parent's window";
    EXPECT_EQ(First.ControlCount(), 0);
    TControlAccess::Widget(&Second);
    EXPECT_EQ(W->parentWidget(), TControlAccess::Widget(&Second));
    EXPECT_EQ(W->geometry(), QRect(1, 2, 3, 4));
    EXPECT_FALSE(W->isHidden());
    C->SetParent(&First);
    EXPECT_EQ(W->parentWidget(), TControlAccess::Widget(&First));
}

TEST(ControlWidgetTest, ImeModeSwitchesTheInputMethod) {
    TProbe C(nullptr);
    QWidget* W = TControlAccess::Widget(&C);
    EXPECT_TRUE(W->testAttribute(Qt::WA_InputMethodEnabled));
    for (TImeMode Off : {imDisable, imClose, imSAlpha, imAlpha}) {
        C.SetImeMode(Off);
        EXPECT_FALSE(W->testAttribute(Qt::WA_InputMethodEnabled)) << Off;
    }
    for (TImeMode On : {imOpen, imHira, imKata, imSKata, imDontCare}) {
        C.SetImeMode(On);
        EXPECT_TRUE(W->testAttribute(Qt::WA_InputMethodEnabled)) << On;
    }
    TLine Line(nullptr);
    SetImeMode(&Line, imAlpha);
    EXPECT_FALSE(Line.Edit()->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(Line.Edit()->inputMethodHints() & Qt::ImhPreferLatin);
}

TEST(ControlInputTest, AReadyMadeWidgetGetsTheKeysItsHandlersLeave) {
    TLine Line(nullptr);
    Line.OnKeyPress = [](TObject*, AnsiString& Key) {
        if (Key == "x")
            Key.clear();
        else if (Key == "a")
            Key = "b";
    };
    unsigned short Seen = 0;
    Line.OnKeyDown = [&](TObject*, unsigned short& Key, TShiftState) { Seen = Key; };
    QTest::keyClicks(Line.Edit(), "axc");
    EXPECT_EQ(Line.Edit()->text(), "bc");
    EXPECT_EQ(Seen, 'C');
    Line.OnKeyDown = [](TObject*, unsigned short& Key, TShiftState) {
        if (Key == VK_BACK)
            Key = 0;
    };
    QTest::keyClick(Line.Edit(), Qt::Key_Backspace);
    EXPECT_EQ(Line.Edit()->text(), "bc") << "a key set to 0 is swallowed";
}

TEST(ControlWidgetTest, AFontOfItsOwnReachesTheWidget) {
    TProbe Parent(nullptr);
    TProbe* C = Child(&Parent, alNone, 0, 0, 10, 10);
    Parent.Font()->SetHeight(-16);
    C->Font()->SetStyle({fsBold});
    Parent.Font()->SetHeight(-20);
    EXPECT_EQ(QFontInfo(TControlAccess::Widget(C)->font()).pixelSize(), 16);
}
