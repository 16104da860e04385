// The process half of the test driver on Win32: timers of the thread's message loop, special
// files, the end request of a session, and child programs with their output read on threads.
#include "Win32Api.h"

#include "Win32Files.h"
#include "Win32Text.h"

#include <psapi.h>

#include <map>

namespace TestDriver {

namespace {

// The exit code of a process that the system ended at a console's or a session's end.
constexpr DWORD EndedBySystem = 0xC000013A;
// Exit codes from here up are exceptions the system caught (an access violation, ...).
constexpr DWORD ExceptionCodes = 0xC0000000;
// A crash is told by the exception's number, as a signal's number tells one elsewhere.
constexpr DWORD ExceptionNumber = 0xFFFF;
constexpr UINT EndSessionReason = ENDSESSION_CLOSEAPP;
const wchar_t* const PipePrefix = L"\\\\.\\pipe\\";
constexpr double HundredNsPerMs = 1e4;

std::map<UINT_PTR, std::function<void()>>& Ticks() {
    static std::map<UINT_PTR, std::function<void()>> Timers;
    return Timers;
}

std::vector<void (*)()>& StartRoutines() {
    static std::vector<void (*)()> Routines;
    return Routines;
}

HHOOK StartHook = nullptr;

// The routines run as the thread's first window is made, before it has a message.
LRESULT CALLBACK RunStartRoutines(int Code, WPARAM WParam, LPARAM LParam) {
    const LRESULT Next = CallNextHookEx(StartHook, Code, WParam, LParam);
    if (Code == HCBT_CREATEWND && StartHook) {
        UnhookWindowsHookEx(std::exchange(StartHook, nullptr));
        for (void (*Start)() : std::exchange(StartRoutines(), {}))
            SafeCall(Start);
    }
    return Next;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR Id, DWORD) {
    const auto Found = Ticks().find(Id);
    if (Found != Ticks().end())
        SafeCall(Found->second);
}

// Windows of this process, hidden ones too: the session's end reaches them all.
BOOL CALLBACK CollectOwnWindow(HWND Window, LPARAM Windows) {
    DWORD Process = 0;
    GetWindowThreadProcessId(Window, &Process);
    if (Process == GetCurrentProcessId())
        reinterpret_cast<std::vector<HWND>*>(Windows)->push_back(Window);
    return TRUE;
}

double Milliseconds(const FILETIME& Time) {
    return double(std::uint64_t(Time.dwHighDateTime) << 32 | Time.dwLowDateTime) / HundredNsPerMs;
}

// ---- Child programs

// One argument as the C runtime of the child splits its command line again.
std::wstring Quoted(const std::wstring& Argument) {
    if (!Argument.empty() && Argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return Argument;
    std::wstring Out = L"\"";
    std::size_t Backslashes = 0;
    for (const wchar_t C : Argument) {
        if (C == L'\\') {
            ++Backslashes;
            continue;
        }
        Out.append(C == L'"' ? 2 * Backslashes + 1 : Backslashes, L'\\');
        Backslashes = 0;
        Out += C;
    }
    Out.append(2 * Backslashes, L'\\');
    return Out + L'"';
}

struct TNoCaseLess {
    bool operator()(const std::wstring& A, const std::wstring& B) const {
        return CompareStringOrdinal(A.c_str(), -1, B.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    }
};

// This process's variables with Environment set over them, as CreateProcessW takes them.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& Environment) {
    std::map<std::wstring, std::wstring, TNoCaseLess> Variables;
    wchar_t* const Strings = GetEnvironmentStringsW();
    for (const wchar_t* Entry = Strings; *Entry; Entry += wcslen(Entry) + 1) {
        const std::wstring_view Text(Entry);
        // Names of the drives' current folders start with "=".
        const std::size_t Equals = Text.find(L'=', 1);
        if (Equals != Text.npos)
            Variables[std::wstring(Text.substr(0, Equals))] = Text.substr(Equals + 1);
    }
    FreeEnvironmentStringsW(Strings);
    for (const auto& [Name, Value] : Environment)
        Variables[WideOf(Name)] = WideOf(Value);
    std::wstring Block;
    for (const auto& [Name, Value] : Variables)
        Block += Name + L'=' + Value + L'\0';
    return Block + L'\0';
}

// A pipe whose writing end the child inherits; a thread of this process reads the other end.
class TOutputPipe {
public:
    HANDLE Write = nullptr;

    bool Open() {
        SECURITY_ATTRIBUTES Inherited{sizeof Inherited, nullptr, TRUE};
        return CreatePipe(&FRead, &Write, &Inherited, 0) &&
               SetHandleInformation(FRead, HANDLE_FLAG_INHERIT, 0);
    }
    void StartReading() {
        CloseHandle(std::exchange(Write, nullptr));
        FReader = CreateThread(nullptr, 0, ReadAll, this, 0, nullptr);
    }
    // What the child wrote. A process the child started may keep the pipe open after the
    // child's end (the system's crash reporter does): its reads are then cut short.
    std::string TakeText() {
        if (FReader && WaitForSingleObject(FReader, AfterEndMs) != WAIT_OBJECT_0) {
            CancelSynchronousIo(FReader);
            WaitForSingleObject(FReader, INFINITE);
        }
        return std::move(FText);
    }
    ~TOutputPipe() {
        if (Write)
            CloseHandle(Write);
        if (FReader) {
            TakeText();
            CloseHandle(FReader);
        }
        if (FRead)
            CloseHandle(FRead);
    }

private:
    static constexpr DWORD AfterEndMs = 2000;
    HANDLE FRead = nullptr;
    HANDLE FReader = nullptr;
    std::string FText;

    static DWORD WINAPI ReadAll(void* Pipe) {
        auto* Self = static_cast<TOutputPipe*>(Pipe);
        char Buffer[4096];
        DWORD Got = 0;
        while (ReadFile(Self->FRead, Buffer, sizeof Buffer, &Got, nullptr) && Got > 0)
            Self->FText.append(Buffer, Got);
        return 0;
    }
};

HANDLE NoInput() {
    SECURITY_ATTRIBUTES Inherited{sizeof Inherited, nullptr, TRUE};
    return CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &Inherited,
                       OPEN_EXISTING, 0, nullptr);
}

void NoteEnd(HANDLE Process, TProgramEnd& End) {
    DWORD Code = 0;
    GetExitCodeProcess(Process, &Code);
    End.Crashed = Code >= ExceptionCodes;
    End.ExitCode = static_cast<int>(End.Crashed ? Code & ExceptionNumber : Code);
}

} // namespace

// A timer of the thread: modal windows' loops dispatch its ticks too.
void Repeat(int Milliseconds, std::function<void()> Tick) {
    const UINT_PTR Id = SetTimer(nullptr, 0, static_cast<UINT>(Milliseconds), OnTimer);
    if (Id)
        Ticks()[Id] = std::move(Tick);
}

// Win32 has no application object: the application starts with its first window (the hidden
// one StartApplication makes), so Start runs when the thread makes a window for the first time.
TAtStart::TAtStart(void (*Start)()) {
    StartRoutines().push_back(Start);
    if (!StartHook)
        StartHook = SetWindowsHookExW(WH_CBT, RunStartRoutines, nullptr, GetCurrentThreadId());
}

// Only names in the pipe namespace can be pipes here: a folder holds no pipe. The pipe listens
// for as long as the process runs.
bool MakePipe(const AnsiString& Path) {
    const std::wstring Name = WideOf(Path);
    if (CompareStringOrdinal(Name.c_str(),
                             static_cast<int>(std::min(Name.size(), wcslen(PipePrefix))),
                             PipePrefix, -1, TRUE) != CSTR_EQUAL)
        return false;
    return CreateNamedPipeW(Name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0,
                            0, nullptr) != INVALID_HANDLE_VALUE;
}

// Windows has no device that reads without end or is always full, and no file whose reads
// fail that every test run can make (a locked range is not refused to readers everywhere).
AnsiString EndlessDevice() {
    return {};
}

AnsiString FullDevice() {
    return {};
}

AnsiString UnreadableFile() {
    return {};
}

THeldFile::THeldFile(const AnsiString& Path)
    : FHandle(reinterpret_cast<std::intptr_t>(
          CreateFileW(WideOf(Path).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, 0, nullptr))),
      FHeld(reinterpret_cast<HANDLE>(FHandle) != INVALID_HANDLE_VALUE &&
            HoldAsWriter(reinterpret_cast<HANDLE>(FHandle))) {}

THeldFile::~THeldFile() {
    if (reinterpret_cast<HANDLE>(FHandle) != INVALID_HANDLE_VALUE)
        CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

// As the session's end does: every window of the process is asked, then told, and then the
// system ends the process.
void RequestEnd() {
    std::vector<HWND> Windows;
    EnumWindows(CollectOwnWindow, reinterpret_cast<LPARAM>(&Windows));
    for (HWND Window : Windows)
        SendMessageW(Window, WM_QUERYENDSESSION, 0, EndSessionReason);
    for (HWND Window : Windows)
        SendMessageW(Window, WM_ENDSESSION, TRUE, EndSessionReason);
    TerminateProcess(GetCurrentProcess(), EndedBySystem);
}

int EndRequestCode() {
    return static_cast<int>(EndedBySystem & ExceptionNumber);
}

double ProcessCpuMs() {
    FILETIME Created, Exited, Kernel, User;
    if (!GetProcessTimes(GetCurrentProcess(), &Created, &Exited, &Kernel, &User))
        return 0;
    return Milliseconds(Kernel) + Milliseconds(User);
}

long PeakResidentKB() {
    PROCESS_MEMORY_COUNTERS Counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters))
        return 0;
    return static_cast<long>(Counters.PeakWorkingSetSize / 1024);
}

// The program is looked for as the system looks for a command, ".exe" added.
TProgramEnd RunProgram(const AnsiString& Program, const std::vector<std::string>& Arguments,
                       const std::vector<std::pair<std::string, std::string>>& Environment,
                       int TimeoutMs) {
    TProgramEnd End;
    std::wstring CommandLine = Quoted(WideOf(Program));
    for (const std::string& Argument : Arguments)
        CommandLine += L' ' + Quoted(WideOf(Argument));
    std::wstring Variables = EnvironmentBlock(Environment);
    TOutputPipe Out, Err;
    const HANDLE Input = NoInput();
    if (!Out.Open() || !Err.Open() || Input == INVALID_HANDLE_VALUE) {
        if (Input != INVALID_HANDLE_VALUE)
            CloseHandle(Input);
        End.Err = "cannot make the pipes of " + Program;
        return End;
    }
    STARTUPINFOW Start{};
    Start.cb = sizeof Start;
    Start.dwFlags = STARTF_USESTDHANDLES;
    Start.hStdInput = Input;
    Start.hStdOutput = Out.Write;
    Start.hStdError = Err.Write;
    PROCESS_INFORMATION Child{};
    // The child inherits the mode: a crash ends it at once instead of showing the crash dialog.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const bool Started =
        CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, Variables.data(), nullptr, &Start, &Child);
    CloseHandle(Input);
    if (!Started) {
        End.Err = "cannot start " + Program;
        return End;
    }
    CloseHandle(Child.hThread);
    Out.StartReading();
    Err.StartReading();
    End.Finished = WaitForSingleObject(Child.hProcess,
                                       TimeoutMs < 0 ? INFINITE : static_cast<DWORD>(TimeoutMs)) ==
                   WAIT_OBJECT_0;
    if (!End.Finished) {
        TerminateProcess(Child.hProcess, EndedBySystem);
        WaitForSingleObject(Child.hProcess, INFINITE);
    }
    NoteEnd(Child.hProcess, End);
    CloseHandle(Child.hProcess);
    End.Out = Out.TakeText();
    End.Err = Err.TakeText();
    return End;
}

} // namespace TestDriver
