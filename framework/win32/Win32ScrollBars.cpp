// Scroll bars that a self-scrolling window lays out on itself, on two SCROLLBAR children of it.
#include "Win32Host.h"

#include <algorithm>
#include <memory>

namespace {

using Platform::TScrollBarInfo;
using Platform::TScrollBarKind;

// The part of the bars that their window's reflected notices reach; it lives as long as the
// bars' object or their window, whichever goes first.
class TBarPair {
public:
    TBarPair(HWND Window, std::function<void(TScrollBarKind, int)> AOnScroll)
        : FOnScroll(std::move(AOnScroll)), FVert(MakeBar(Window, SBS_VERT)),
          FHorz(MakeBar(Window, SBS_HORZ)) {}
    ~TBarPair() {
        if (!Alive())
            return;
        SetReflectHandler(FVert, {});
        SetReflectHandler(FHorz, {});
        DestroyWindow(FVert);
        DestroyWindow(FHorz);
    }
    TBarPair(const TBarPair&) = delete;
    TBarPair& operator=(const TBarPair&) = delete;

    void Connect(const std::shared_ptr<TBarPair>& Self) {
        for (const auto& [Bar, Kind] :
             {std::pair{FVert, TScrollBarKind::Vertical}, {FHorz, TScrollBarKind::Horizontal}})
            SetReflectHandler(Bar, [Weak = std::weak_ptr(Self), Kind](UINT Msg, WPARAM WParam,
                                                                      LPARAM, LRESULT& Result) {
                const std::shared_ptr<TBarPair> Pair = Weak.lock();
                if (!Pair || (Msg != WM_VSCROLL && Msg != WM_HSCROLL))
                    return false;
                Pair->Scrolled(Kind, LOWORD(WParam));
                Result = 0;
                return true;
            });
    }

    bool Alive() const { return IsWindow(FVert) && IsWindow(FHorz); }
    HWND BarOf(TScrollBarKind Kind) const {
        return Kind == TScrollBarKind::Vertical ? FVert : FHorz;
    }
    bool Tracking[2] = {false, false};

private:
    static HWND MakeBar(HWND Window, DWORD Style) {
        return CreateWindowExW(0, WC_SCROLLBARW, nullptr, WS_CHILD | Style, 0, 0, 0, 0, Window,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    // The position the user moved the bar to, set on the bar and told the owner when it changed.
    void Scrolled(TScrollBarKind Kind, WORD Code) {
        const HWND Bar = BarOf(Kind);
        SCROLLINFO Info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(Bar, SB_CTL, &Info);
        const int Last = Info.nMax - std::max(0, static_cast<int>(Info.nPage) - 1);
        const int Page = std::max(1, static_cast<int>(Info.nPage));
        const bool Tracks = Tracking[static_cast<int>(Kind)];
        int Position = Info.nPos;
        switch (Code) {
        case SB_LINEUP:
            Position -= 1;
            break;
        case SB_LINEDOWN:
            Position += 1;
            break;
        case SB_PAGEUP:
            Position -= Page;
            break;
        case SB_PAGEDOWN:
            Position += Page;
            break;
        case SB_TOP:
            Position = Info.nMin;
            break;
        case SB_BOTTOM:
            Position = Last;
            break;
        case SB_THUMBTRACK:
            if (!Tracks)
                return;
            Position = Info.nTrackPos;
            break;
        case SB_THUMBPOSITION:
            Position = Info.nTrackPos;
            break;
        default:
            return;
        }
        Position = std::clamp(Position, Info.nMin, std::max(Info.nMin, Last));
        if (Position == Info.nPos)
            return;
        SetScrollPos(Bar, SB_CTL, Position, TRUE);
        FOnScroll(Kind, Position);
    }
    std::function<void(TScrollBarKind, int)> FOnScroll;
    HWND FVert;
    HWND FHorz;
};

class TWin32ScrollBars : public Platform::TScrollBars {
public:
    TWin32ScrollBars(HWND Window, std::function<void(TScrollBarKind, int)> OnScroll)
        : FPair(std::make_shared<TBarPair>(Window, std::move(OnScroll))) {
        FPair->Connect(FPair);
    }

    bool Alive() const override { return FPair->Alive(); }
    int Extent() const override { return GetSystemMetrics(SM_CXVSCROLL); }

    void SetInfo(TScrollBarKind Kind, const TScrollBarInfo& Info) override {
        const HWND Bar = FPair->BarOf(Kind);
        if (!Info.Visible) {
            ShowWindow(Bar, SW_HIDE);
            return;
        }
        FPair->Tracking[static_cast<int>(Kind)] = Info.Tracking;
        const TRect& R = Info.Bounds;
        SetWindowPos(Bar, HWND_TOP, R.Left, R.Top, R.Width(), R.Height(),
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        // The bar's range ends where a page still fits, so the last position is Max.
        const int Page = std::max(1, Info.Page);
        SCROLLINFO Range{sizeof(SCROLLINFO),
                         SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL,
                         Info.Min,
                         Info.Max + Page - 1,
                         static_cast<UINT>(Page),
                         0,
                         0};
        SetScrollInfo(Bar, SB_CTL, &Range, TRUE);
    }

    int Position(TScrollBarKind Kind) const override {
        return GetScrollPos(FPair->BarOf(Kind), SB_CTL);
    }

    void SetPosition(TScrollBarKind Kind, int Position) override {
        SCROLLINFO Info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, Position, 0};
        SetScrollInfo(FPair->BarOf(Kind), SB_CTL, &Info, TRUE);
    }

private:
    std::shared_ptr<TBarPair> FPair;
};

} // namespace

namespace Platform {

// Bars without WS_TABSTOP never take the focus.
std::unique_ptr<TScrollBars> CreateScrollBars(TPlatformWidget* Window,
                                              std::function<void(TScrollBarKind, int)> OnScroll) {
    return std::make_unique<TWin32ScrollBars>(Hwnd(Window), std::move(OnScroll));
}

} // namespace Platform
