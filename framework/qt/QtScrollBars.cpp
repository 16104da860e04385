// Scroll bars that a self-scrolling window lays out on itself, on Qt scroll bar widgets.
#include "PlatformControls.h"

#include "QtHost.h"

#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

namespace {

using Platform::TScrollBarInfo;
using Platform::TScrollBarKind;

class TQtScrollBars : public Platform::TScrollBars {
public:
    TQtScrollBars(QWidget* AWindow, std::function<void(TScrollBarKind, int)> AOnScroll)
        : FWindow(AWindow), FOnScroll(std::move(AOnScroll)),
          FVert(MakeBar(TScrollBarKind::Vertical)), FHorz(MakeBar(TScrollBarKind::Horizontal)) {}
    // The bars call back into their owner: they go with this object.
    ~TQtScrollBars() override {
        delete FVert;
        delete FHorz;
    }

    bool Alive() const override { return !FWindow.isNull(); }
    int Extent() const override {
        return FWindow->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }

    void SetInfo(TScrollBarKind Kind, const TScrollBarInfo& Info) override {
        QScrollBar* Bar = BarOf(Kind);
        const QSignalBlocker Block(Bar);
        Bar->setVisible(Info.Visible);
        if (!Info.Visible)
            return;
        const TRect& R = Info.Bounds;
        Bar->setGeometry(R.Left, R.Top, R.Width(), R.Height());
        Bar->setTracking(Info.Tracking);
        Bar->setRange(Info.Min, Info.Max);
        Bar->setPageStep(Info.Page);
    }

    int Position(TScrollBarKind Kind) const override { return BarOf(Kind)->value(); }

    void SetPosition(TScrollBarKind Kind, int Position) override {
        QScrollBar* Bar = BarOf(Kind);
        const QSignalBlocker Block(Bar);
        Bar->setValue(Position);
    }

private:
    QScrollBar* MakeBar(TScrollBarKind Kind) {
        auto* Bar = new QScrollBar(Kind == TScrollBarKind::Vertical ? Qt::Vertical : Qt::Horizontal,
                                   FWindow);
        Bar->setFocusPolicy(Qt::NoFocus);
        Bar->hide();
        QObject::connect(Bar, &QScrollBar::valueChanged, Bar,
                         [this, Kind](int Value) { FOnScroll(Kind, Value); });
        return Bar;
    }
    QScrollBar* BarOf(TScrollBarKind Kind) const {
        return Kind == TScrollBarKind::Vertical ? FVert : FHorz;
    }
    QPointer<QWidget> FWindow;
    std::function<void(TScrollBarKind, int)> FOnScroll;
    QPointer<QScrollBar> FVert;
    QPointer<QScrollBar> FHorz;
};

} // namespace

namespace Platform {

std::unique_ptr<TScrollBars> CreateScrollBars(TPlatformWidget* Window,
                                              std::function<void(TScrollBarKind, int)> OnScroll) {
    return std::make_unique<TQtScrollBars>(QtWidget(Window), std::move(OnScroll));
}

} // namespace Platform
