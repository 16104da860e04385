// Answers the modal windows a program runs, for tests, benchmarks and the programs' test
// drivers: the open dialog and message boxes. An answer is set up before the call that runs
// the window and is given from inside the window's modal loop as soon as the window shows.
// Also what these need of the process: timers, child programs, processor time and memory.
// Built into the test library only, never into the programs.
#pragma once

#include "Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TestDriver {

// The next open dialog: Inside runs while it shows (it may use the calls below), then Path
// is typed into the dialog's file-name field and confirmed; an empty Path cancels the dialog.
void AnswerOpenDialog(const AnsiString& Path, std::function<void()> Inside = {});
// While an open dialog shows: it lists the folder of Path and the user clicks the file there,
// which sends the dialog's selection-change notice. False when the file does not show in time.
bool SelectInOpenDialog(const AnsiString& Path);
// While an open dialog shows: Name typed into its file-name field in place of what it held;
// screen text for names the code page cannot hold.
void TypeInOpenDialog(const AnsiString& Name);
void TypeInOpenDialog(const std::u16string& Name);
// While an open dialog shows: the text of its file-name field as the user sees it.
AnsiString OpenDialogNameText();
// While an open dialog shows: its confirming button pressed, as Enter in the file-name field
// presses it. The dialog may refuse the name and stay.
void ConfirmOpenDialog();
// While an open dialog shows: the notice it sends when the user selects Path, whether or not
// Path names a file.
void SendOpenDialogSelection(const AnsiString& Path);
// While an open dialog shows: the caption of its confirming button.
AnsiString OpenDialogConfirmText();
// While an open dialog shows: its outer bounds on the screen, frame included, and a picture of
// it as the screen shows it.
TRect OpenDialogFrame();
std::unique_ptr<TBitmap> OpenDialogImage();

// The next message box: Inside gets its text while it shows, then the box is closed with Button
// (IDOK, IDCANCEL, IDYES or IDNO).
void AnswerMessageBox(std::function<void(const AnsiString& Text)> Inside, int Button = IDOK);
// The next message box's text goes to Seen and the box is closed with Button.
void AnswerMessageBox(AnsiString* Seen, int Button = IDOK);

// Modal windows and the message loop.
// Whether a modal window (a dialog, a message box) shows now.
bool ModalWindowShown();
// Closes the modal window that shows now, as its close box does.
void CloseModalWindow();

// Tick runs every Milliseconds from the message loop, for as long as the program runs.
void Repeat(int Milliseconds, std::function<void()> Tick);
// A static object of this type runs Start as soon as the application object exists: how a
// driver linked beside a program's own entry joins in.
struct TAtStart {
    explicit TAtStart(void (*Start)());
};

// Special files, for the refusals of the file readers and writers.
// Makes a named pipe at Path, which a reader would wait on for a writer; false when it cannot.
bool MakePipe(const AnsiString& Path);
// A device that reads as endless bytes, and one whose writes fail for lack of space (empty where
// the system has none).
AnsiString EndlessDevice();
AnsiString FullDevice();
// A file that opens but whose reads fail with an input/output error (empty where the system has
// none).
AnsiString UnreadableFile();
// Holds a file as a running writer holds its temporary file, for as long as it lives.
class THeldFile {
public:
    explicit THeldFile(const AnsiString& Path);
    ~THeldFile();
    THeldFile(const THeldFile&) = delete;
    THeldFile& operator=(const THeldFile&) = delete;
    bool Held() const { return FHeld; }

private:
    std::intptr_t FHandle;
    bool FHeld;
};

// The process and its children.
// Asks the system to end this process, as another program or the user's session does; the
// process's own handlers for that request run.
void RequestEnd();
// The ExitCode of a child ended by that request (with Crashed set).
int EndRequestCode();
// The process's processor time so far, user and system, in milliseconds.
double ProcessCpuMs();
// The most memory the process has held resident so far, in kilobytes.
long PeakResidentKB();

// How a program run as a child ended.
struct TProgramEnd {
    bool Finished = false; // false: still running at the time limit, and killed
    bool Crashed = false;  // ended by a signal (or an exception the system caught)
    int ExitCode = 0;      // the signal's number after a crash
    std::string Out, Err;  // its standard output and error, whole
};
// Runs Program with Arguments and no input, without a screen as the tests run, and with
// Environment added to this process's variables; waits for its end, at most TimeoutMs
// milliseconds (no limit when negative).
TProgramEnd RunProgram(const AnsiString& Program, const std::vector<std::string>& Arguments = {},
                       const std::vector<std::pair<std::string, std::string>>& Environment = {},
                       int TimeoutMs = -1);

} // namespace TestDriver
