// Controls: bounds, alignment, colours, fonts, mouse and keys, painting through a canvas.
//
// Every control stands on one window of the platform (a widget). Controls that paint
// themselves do it in Paint on Canvas, which the layer binds to an image of the control's
// client area and then shows; Snapshot paints the same way into a bitmap for tests.
#pragma once

#include "Classes.h"
#include "DragDrop.h"
#include "Graphics.h"
#include "Help.h"
#include "WinTypes.h"

class TWinControl;
class TPopupMenu;
class TControlAccess;
class TControlLink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Answers to the window system's hit-test query (WM_NCHITTEST): which part of a window lies
// under a point of the screen.
constexpr int HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
              HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17;

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
const TIdentTable& CursorIdents();

const std::vector<const char*>& AlignNames();
const std::vector<const char*>& AlignmentNames();
const std::vector<const char*>& TextLayoutNames();
const std::vector<const char*>& ImeModeNames();
const std::vector<const char*>& BorderStyleNames();

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, unsigned short& Key, TShiftState Shift)>;
// Key is the typed text in code page 932 (one character, one or two bytes); emptying it
// swallows the key.
using TKeyPressEvent = std::function<void(TObject* Sender, AnsiString& Key)>;

// Virtual key codes of the platform, as the key events report them.
constexpr unsigned short VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
                         VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                         VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                         VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                         VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F2 = 0x71, VK_LBUTTON = 0x01;
constexpr unsigned short VK_F1 = 0x70;

// Traits of a control's kind: whether a form file may place controls inside it, and whether
// naming it in code gives its caption the name while the caption still is the old name.
enum TControlStyleItem { csAcceptsControls, csSetCaption };
using TControlStyle = TSet<TControlStyleItem>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    const char* ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    const AnsiString& Text() const { return FCaption; }
    void SetText(const AnsiString& Value) { SetCaption(Value); }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    // Whether ShowHint follows the parent's; setting ShowHint clears it.
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    // The menu a right click shows: the control's own, else the nearest parent's.
    TPopupMenu* GetPopupMenu() const;

    // Asks for a repaint from the event loop.
    void Invalidate();
    // Paints at once what is waiting to be painted.
    void Update();
    // Paints the whole control at once.
    void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    // Paints the whole client area into a new bitmap, as the screen would show it: through
    // Paint for a control that paints itself, children included; a windowless control over
    // its parent's surface.
    std::unique_ptr<TBitmap> Snapshot();

    // Form files: a control nests under its parent (a windowed control); a control that
    // accepts no controls refuses it (EComponentError).
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

    bool HandleAllocated() const { return FWidget != nullptr; }
    // The platform's window of the control, created on first use.
    TPlatformWidget* Widget() const;

    virtual void Click();

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    void SetName(const AnsiString& Value) override;

    // Drag and drop (DragDrop.cpp). BeginDrag starts at once, or when the pointer has moved
    // Threshold pixels (DefaultDragThreshold when negative); EndDrag drops where the pointer
    // is, or cancels.
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    THelpType HelpType() const { return FHelpType; }
    void SetHelpType(THelpType Value) { FHelpType = Value; }
    const AnsiString& HelpKeyword() const { return FHelpKeyword; }
    void SetHelpKeyword(const AnsiString& Value) { FHelpKeyword = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    static constexpr TCursor DefaultDragCursor = crDrag;
    static constexpr TDragMode DefaultDragMode = dmManual;
    static constexpr THelpType DefaultHelpType = htContext;
    static constexpr int DefaultHelpContext = 0;
    static constexpr bool DefaultVisible = true;
    static constexpr bool DefaultEnabled = true;
    static constexpr TColor DefaultColor = clWindow;
    static constexpr bool DefaultParentColor = false;
    static constexpr bool DefaultParentFont = true;
    static constexpr bool InitShowHint = false;
    static constexpr bool DefaultParentShowHint = true;

protected:
    // The setter of a property that only the picture shows: stores and repaints on a change.
    template <class T> void Change(T& Field, const T& Value) {
        if (Field == Value)
            return;
        Field = Value;
        Invalidate();
    }
    // Controls built on a ready-made platform widget create it here (called once, lazily).
    virtual TPlatformWidget* CreateWidget();
    // Called by the layer for the platform's events (through TControlAccess); behaviour that
    // descendants change is in the virtuals.
    void DispatchMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void DispatchMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void DispatchMouseMove(TShiftState Shift, int X, int Y);
    void DispatchDblClick(TMouseButton Button, TShiftState Shift, int X, int Y);
    void DispatchMouseEnter();
    void DispatchMouseLeave();
    void DispatchResize(int AWidth, int AHeight);
    // The window system moved the control's window (a form dragged by its caption).
    void DispatchMove(int ALeft, int ATop);
    void DispatchContextMenu(int X, int Y);
    virtual void DispatchWheel(int Delta, TShiftState Shift);
    TCanvas* Canvas() const { return FCanvas.get(); }
    virtual void Paint() {}
    // Whether the paint image starts filled with Color (windowed controls) or transparent.
    virtual bool OpaquePaint() const { return false; }
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Resize();
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged();
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    void ParentShowHintChanged();
    virtual void EnabledChanged();
    virtual void VisibleChanged();
    void Notification(TComponent* AComponent, bool Removing) override;
    // Runs a handler of the user's; an exception goes to the application's error report.
    // The layer runs every platform event this way, so a handler that the layer calls needs
    // no SafeCall of its own; a handler run from a Qt signal does.
    static void SafeCall(const std::function<void()>& Handler);
    // Width and height of the window frame that the bounds include (forms).
    virtual TPoint FrameExtent() const { return {}; }
    // The steps of a drag, raising OnStartDrag, OnDragOver, OnDragDrop and OnEndDrag. A
    // target without OnDragOver accepts nothing.
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);

private:
    friend class TDragManager;
    friend class TWinControl;
    friend class TControlAccess;
    friend class TControlDispatch;
    void CreateHandle();
    void PlaceWidget();
    void ApplyBounds();
    void ApplyCursor();
    void ApplyHint();
    void ShowHintChanged();
    void FontChangedInternal();
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = DefaultVisible;
    bool FEnabled = DefaultEnabled;
    TColor FColor = DefaultColor;
    bool FParentColor = DefaultParentColor;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = DefaultParentFont;
    bool FChangingParentFont = false;
    TCursor FCursor = crDefault;
    AnsiString FCaption;
    AnsiString FHint;
    bool FShowHint = InitShowHint;
    bool FParentShowHint = DefaultParentShowHint;
    TPopupMenu* FPopupMenu = nullptr;
    bool FClicked = false; // the left button went down on a self-painted control
    TControlStyle FControlStyle;
    TCursor FDragCursor = DefaultDragCursor;
    TDragMode FDragMode = DefaultDragMode;
    THelpType FHelpType = DefaultHelpType;
    AnsiString FHelpKeyword;
    int FHelpContext = DefaultHelpContext;
    std::unique_ptr<TCanvas> FCanvas;
    mutable TPlatformWidget* FWidget = nullptr;
    TControlLink* FLink = nullptr; // forwards FWidget's input here; goes with FWidget
};

using HWND = TWinControl*;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }

    HWND Handle() { return this; }
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(Index); }

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
    TImeMode ImeMode() const { return FImeMode; }
    virtual void SetImeMode(TImeMode Value);
    // WM_SETREDRAW: while off, nothing of the control is repainted.
    void SetRedraw(bool Value);
    bool Redraw() const { return FRedraw; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    static constexpr bool DefaultTabStop = false;
    static constexpr int DefaultTabOrder = -1;
    static constexpr bool DefaultCtl3D = true;
    static constexpr TImeMode DefaultImeMode = imDontCare;

    // A posted message (PostMessage) arriving from the queue.
    virtual void DispatchMessage(unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam);
    // Lays out the aligned children in the client area, in the platform's order: top,
    // bottom, left, right, then client; among equals by position, then by insertion.
    void Realign();

    // The children nested in a form file: the child controls owned by Root.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;
    void Loaded() override;

protected:
    bool OpaquePaint() const override { return true; }
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(unsigned short& Key, TShiftState Shift);
    virtual void KeyUp(unsigned short& Key, TShiftState Shift);
    virtual void KeyPress(AnsiString& Key);
    void Resize() override;
    void FontChanged() override;
    void ColorChanged() override;
    // The client area that aligned children share, in client coordinates.
    virtual TRect AlignArea() const { return ClientRect(); }
    virtual int WMNCHitTest(TPoint) { return HTCLIENT; }
    void DispatchKeyDown(unsigned short& Key, TShiftState Shift);
    void DispatchKeyUp(unsigned short& Key, TShiftState Shift);
    void DispatchKeyPress(AnsiString& Key);
    void DispatchEnter();
    void DispatchExit();
    // The hit-test query for a point of the screen. The layer asks it before mouse input
    // reaches the window or a windowless control drawn on it: HTCLIENT lets the input through,
    // HTCAPTION drags the window about its parent, the edge and corner answers resize it, and
    // any other answer keeps the input from them.
    int DispatchHitTest(TPoint Screen) { return WMNCHitTest(Screen); }

private:
    friend class TControl;
    friend class TControlAccess;
    friend class TControlDispatch;
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void RenumberTabs();
    void ApplyFocusPolicy();
    void ApplyWindowState();
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList; // windowed children in tab order
    int FAlignLevel = 0;
    bool FTabStop = DefaultTabStop;
    int FTabOrder = DefaultTabOrder;
    bool FCtl3D = DefaultCtl3D;
    bool FDoubleBuffered = false;
    TImeMode FImeMode = DefaultImeMode;
    bool FRedraw = true;
};

// Applies an input method mode to a window: on, off, or the kind of input where the platform
// has it.
void SetImeMode(HWND Window, TImeMode Mode);

// A control without a window of its own in the platform's sense: it paints on its parent's
// surface, so its paint image starts transparent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    const char* ClassName() const override { return "TGraphicControl"; }
    using TControl::Canvas;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    const char* ClassName() const override { return "TCustomControl"; }
    using TControl::Canvas;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterControls();
