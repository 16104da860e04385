// Forms, the application object and the screen: top-level windows, the message loop, the
// default error report and the cursor table.
//
// Tests answer a message box (MessageBox, the error report) as a user would: it is the
// platform's own, run modally, so a timer started before the call finds it as the active
// modal window and accepts or rejects it.
#pragma once

#include "Controls.h"
#include "WinApi.h"

#include <map>

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
const std::vector<const char*>& PositionNames();

// A top-level window whose client area is its widget; Width and Height include the frame of
// the border style, as on the platform. Left and Top place the client area on the screen: the
// window system decides the frame's own size only once the window is shown.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    const char* ClassName() const override { return "TCustomForm"; }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    // Keeps the client size: the frame grows or shrinks around it.
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    int ClientWidth() const override { return Width() - FrameExtent().X; }
    int ClientHeight() const override { return Height() - FrameExtent().Y; }

    // Showing a form for the first time fires OnShow before the window appears; a form
    // closed by its OnShow handler does not appear.
    void SetVisible(bool Value) override;
    // Fires OnClose; then hides the form (caHide), frees it later (caFree), minimises it
    // (caMinimize) or keeps it (caNone). Closing the main form ends the application.
    void Close();
    // Frees the form from the event loop, after the current handler has returned.
    void Release();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;
    // Fires from the destructor: a handler must not use members of a derived form.
    TNotifyEvent OnDestroy;

    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;

    static constexpr TColor DefaultColor = clBtnFace;
    static constexpr TFormBorderStyle DefaultBorderStyle = bsSizeable;
    static constexpr TPosition DefaultPosition = poDesigned;

protected:
    // Reads the form file compiled in as ":/forms/<ResourceName>" into this form.
    void ReadForm(const AnsiString& ResourceName);
    // Fires OnCreate; a derived form calls it at the end of its constructor.
    void DoCreate();
    virtual void DoShow();
    virtual void DoClose(TCloseAction& Action);
    TPlatformWidget* CreateWidget() override;
    TPoint FrameExtent() const override;
    void TextChanged() override;

private:
    void ApplyBorderStyle();
    void PlaceOnScreen();
    TFormBorderStyle FBorderStyle = DefaultBorderStyle;
    TPosition FPosition = DefaultPosition;
    bool FShown = false;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    const char* ClassName() const override { return "TForm"; }
};

// Buttons, icons and answers of message boxes.
constexpr unsigned MB_OK = 0x00, MB_OKCANCEL = 0x01, MB_YESNOCANCEL = 0x03, MB_YESNO = 0x04,
                   MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
                   MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
// Type says which of Keyword and Context names the help asked for.
using THelpEvent = std::function<bool(THelpType Type, const AnsiString& Keyword, int Context)>;

// The application: its title, its forms (the first created is the main form), the message
// loop and the default error report for exceptions that escape a handler.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    const char* ClassName() const override { return "TApplication"; }

    // Creates the platform's application object when there is none yet; the programs read no
    // command line, so it gets a fixed one.
    void Initialize();
    // Frees the forms, lets go of the screen's cursors and ends the platform's application
    // object if Initialize created it: the program's last step, taken while the platform is
    // still whole (static destruction comes after the platform's own thread data is gone).
    void Finalize();
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    TCustomForm* MainForm() const { return FMainForm; }

    template <class T> void CreateForm(T*& Reference) {
        Reference = new T(this);
        if (!FMainForm)
            FMainForm = Reference;
    }

    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    void ProcessMessages();

    // OnException when assigned, else ShowException.
    void HandleException(const std::exception& E);
    // The default error report: a modal message box titled with Title showing the message.
    void ShowException(const std::exception& E);
    TExceptionEvent OnException;

    int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags = MB_OK);

    // Help requests, from F1 on a control that names help or from the program: handed to
    // OnHelp, which answers whether it showed help. Without a handler nothing happens.
    bool HelpKeyword(const AnsiString& Keyword);
    bool HelpContext(int Context);
    THelpEvent OnHelp;

protected:
    void Notification(TComponent* AComponent, bool Removing) override;

private:
    void FreeForms();
    AnsiString FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
};

extern TApplication* Application;

// A program's main block (Initialize, CreateForm, Run) and its end: Finalize runs however the
// block ends. An exception that escapes the block is shown by the default error report (on
// the standard error stream when there is no platform application to show it) and makes the
// exit status 1; otherwise it is 0.
int RunProgram(const std::function<void()>& Block);

// The screen: the table of cursors by number that controls show through Cursor.
class TScreen : public TComponent {
public:
    TScreen() : TComponent(nullptr) {}
    const char* ClassName() const override { return "TScreen"; }
    HCURSOR Cursors(int Index) const;
    // Registers (or, with a null cursor, forgets) the cursor shown for number Index.
    void SetCursors(int Index, HCURSOR Cursor);
    // The cursor shown over every window of the program; crDefault leaves each control its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int Width() const;
    int Height() const;
    // Lets go of every cursor: they must go before the platform's application object does.
    void ReleaseCursors();

private:
    std::map<int, HCURSOR> FCursors;
    TCursor FCursor = crDefault;
};

extern TScreen* Screen;

// Shows the hourglass over the program while a long step runs, then the cursor that was there,
// however the step ends.
class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    TCursor FSaved;
};

// The unit's classes and published properties, for the form files; RegisterFrameworkClasses
// calls it once.
void RegisterForms();

// Registers the classes and published properties of every unit of the layer, once: the
// application's Initialize calls it, and so does a program that reads form files before.
void RegisterFrameworkClasses();
