#!/usr/bin/env python3
"""End-to-end run of the Windows programs under Wine, driven from outside as a user would.

For each case a program starts in a temporary copy of its folder, the file is chosen in the
real open dialog (its name typed into the file-name field, then Enter), Start and the target
buttons are clicked in order, then Execute; the hand-off file csv_inport.tmp beside the program
must equal, byte for byte, the one the Linux build writes for the same file and clicks. Control
positions come from the form files; without a window manager a window is its client area and
sits where the program put it. formconv.exe must also write, and print, what the Linux
formconv does.

The Linux references are made in the same run when --linux-build is given (its programs are
driven the same way on the same display), otherwise read from --expected; --update-expected
writes them there.
"""
import argparse
import contextlib
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.abspath(os.path.join(HERE, "..", "..", ".."))
HAND_OFF = "csv_inport.tmp"
DIALOG_TITLE = "CSVファイルを指定して下さい"
START, EXECUTE, CANCEL, HELP = "Button21", "IconButton3", "IconButton1", "IconButton4"
HELP_FILE = "QUOVANT.CHM"
LINKS = ["URLLabel3", "URLLabel4"]
PELLISK_TARGETS = ["Button1", "Button2", "Button3", "Button8", "Button5", "Button7", "Button6",
                   "Button4", "Button14", "Button15", "Button16", "Button12", "Button13",
                   "Button17", "Button18", "Button19", "Button20", "Button9"]
WINDOW_WAIT_S = 30
END_WAIT_S = 60
# Time for a click's work to reach the screen before the next; loading waits for more.
CLICK_PAUSE_S = 0.3
HOVER_PAUSE_S = 0.2
# The open dialog fills its lists after it shows.
DIALOG_PAUSE_S = 1.0
START_PAUSE_S = 2.0


def sjis(text):
    return text.encode("cp932")


def windows_path(path):
    """A Unix path as Wine's programs see it, through the drive of the whole file system."""
    return "Z:" + path.replace("/", "\\")


# name, program, source bytes (or a path under the test data), separator item or None, clicks
CASES = [
    ("morvane-bolts", "morvane",
     sjis("ボルト,M10,本,100,30,\r\nナット,M10,個,200,12,\r\n"), None,
     ["Button1", "Button2", "Button3", "Button4", "Button6"]),
    ("morvane-utf8-bom", "morvane", b"\xEF\xBB\xBF" + "㈱髙橋,本\n".encode(), None,
     ["Button1", "Button3"]),
    ("morvane-utf8", "morvane", "ボルト,本\n異形棒鋼,t\n".encode(), None,
     ["Button1", "Button3"]),
    ("morvane-holidays", "morvane", "testdata:csv/syukujitsu.csv", None,
     ["Button1", "Button2"]),
    ("morvane-sekisan-comma", "morvane", "sample:sekisan-comma.CSV", None,
     ["Button1", "Button2", "Button3", "Button8", "Button4", "Button14"]),
    ("morvane-sekisan-tab", "morvane", "sample:sekisan-tab.csv", 1,
     ["Button1", "Button2", "Button3", "Button8", "Button4", "Button14"]),
    ("pellisk-eighteen", "pellisk",
     sjis("名,型,単,1,2,3,4,5,6,7,8,9,10,11,12,13,14,備\r\n"), None, PELLISK_TARGETS),
    ("pellisk-empty-fields", "pellisk", b"a,\r\n", None, ["Button1"]),
    ("pellisk-tanka", "pellisk", "sample:tanka-comma.CSV", None, PELLISK_TARGETS),
    ("pellisk-price-list", "pellisk", "testdata:csv/mhlw_price_20250716.csv", None,
     PELLISK_TARGETS[:14]),
]


# ---- Form files

class Control:
    def __init__(self, name, kind, parent):
        self.name, self.kind, self.parent = name, kind, parent
        self.props = {}
        self.children = []
        self.rect = None  # left, top, width, height in the parent

    def num(self, key, default=0):
        return int(self.props.get(key, default))


def read_form(path):
    """The control tree of a text form file, with the properties that place controls."""
    root = None
    stack = []
    for line in open(path, encoding="utf-8"):
        text = line.strip()
        match = re.match(r"(?:object|inherited) (\w+): (\w+)$", text)
        if match:
            parent = stack[-1] if stack else None
            control = Control(match.group(1), match.group(2), parent)
            if parent:
                parent.children.append(control)
            else:
                root = control
            stack.append(control)
        elif text == "item":
            stack.append(None)
        elif re.fullmatch(r"end>?", text):
            stack.pop()
        elif stack and stack[-1] is not None:
            prop = re.fullmatch(r"(Left|Top|Width|Height|ClientWidth|ClientHeight|Columns) = "
                                r"(-?\d+)|(Align|Visible) = (\w+)", text)
            if prop:
                key = prop.group(1) or prop.group(3)
                stack[-1].props[key] = prop.group(2) or prop.group(4)
            caption = re.fullmatch(r"Caption = '([^'#]*)'", text)
            if caption:
                stack[-1].props["Caption"] = caption.group(1)
    place(root, 0, 0, root.num("ClientWidth"), root.num("ClientHeight"))
    return root


# Kinds whose alignment is not alNone when the form file says nothing.
DEFAULT_ALIGN = {"TStatusBar": "alBottom"}


def place(control, left, top, width, height):
    """Sets the control's rectangle and lays out its children as alignment does."""
    control.rect = (left, top, width, height)
    free = [0, 0, width, height]  # left, top, right, bottom of what alignment leaves
    order = ["alTop", "alBottom", "alLeft", "alRight", "alClient"]
    for child in control.children:
        child.props.setdefault("Align", DEFAULT_ALIGN.get(child.kind, "alNone"))
    aligned = sorted((c for c in control.children if c.props["Align"] in order),
                     key=lambda c: order.index(c.props["Align"]))
    for child in control.children:
        if child not in aligned:
            place(child, child.num("Left"), child.num("Top"), child.num("Width"),
                  child.num("Height"))
    for child in aligned:
        align, w, h = child.props["Align"], child.num("Width"), child.num("Height")
        l, t, r, b = free
        if align == "alTop":
            place(child, l, t, r - l, h)
            free[1] += h
        elif align == "alBottom":
            place(child, l, b - h, r - l, h)
            free[3] -= h
        elif align == "alLeft":
            place(child, l, t, w, b - t)
            free[0] += w
        elif align == "alRight":
            place(child, r - w, t, w, b - t)
            free[2] -= w
        else:
            place(child, l, t, r - l, b - t)


def find(control, name):
    if control.name == name:
        return control
    for child in control.children:
        found = find(child, name)
        if found:
            return found
    return None


def client_point(form, name, item=None):
    """The middle of a control in the form's client area; for a radio group, of its item."""
    control = find(form, name)
    if control is None:
        raise SystemExit(f"no control {name} in the form")
    left, top, width, height = control.rect
    node = control.parent
    while node is not None and node.parent is not None:
        left, top = left + node.rect[0], top + node.rect[1]
        node = node.parent
    if item is None:
        return left + width // 2, top + height // 2
    # Items stand in columns, top to bottom, below the caption's line.
    columns = control.num("Columns", 1)
    caption_height = 13
    per_column = 2
    item_width = (width - 10) // columns
    item_height = (height - caption_height - 5) // per_column
    column, row = divmod(item, per_column)
    return (left + 8 + column * item_width + 20,
            top + caption_height + 1 + row * item_height + item_height // 2)


# ---- The display

def xdotool(*args):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    return result.stdout.split()


def wait_for(what, test, seconds):
    end = time.time() + seconds
    while time.time() < end:
        found = test()
        if found:
            return found
        time.sleep(0.1)
    raise TimeoutError(f"{what} did not come within {seconds} s")


def visible_windows(name):
    return xdotool("search", "--onlyvisible", "--name", name)


def geometry(window):
    values = dict(line.split("=") for line in
                  subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                 capture_output=True, text=True).stdout.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


# The pointer rests before the press: a control that lights up under the pointer takes the
# press only once it has seen the pointer come.
def click(x, y):
    xdotool("mousemove", "--sync", x, y)
    time.sleep(HOVER_PAUSE_S)
    xdotool("click", "1")
    time.sleep(CLICK_PAUSE_S)


# ---- One run

class Run:
    shots = None  # a folder for a picture of the screen when a case fails

    def __init__(self, program, windows, linux_build, wine, installed=None):
        self.program, self.windows, self.wine = program, windows, wine
        self.form = read_form(os.path.join(SOURCE_ROOT, "wizards", program,
                                           f"u{program}.dfm"))
        # An installed program runs where it is and leaves its hand-off file there.
        self.installed = installed
        build = windows or linux_build
        self.exe = installed or os.path.join(build, "wizards", program,
                                             program + (".exe" if windows else ""))

    def source_name(self, path):
        return windows_path(path) if self.windows else path

    def start(self, folder):
        exe = self.exe if self.installed else shutil.copy(self.exe, folder)
        if self.windows:
            return subprocess.Popen([self.wine, exe], cwd=folder, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.PIPE)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        return subprocess.Popen([exe], cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)

    # Alt+N reaches the file-name field (its label's mnemonic) wherever the focus starts.
    def answer_dialog(self, source):
        dialog = wait_for("the open dialog", lambda: visible_windows(DIALOG_TITLE),
                          WINDOW_WAIT_S)[0]
        time.sleep(DIALOG_PAUSE_S)
        xdotool("windowfocus", "--sync", dialog)
        xdotool("key", "alt+n")
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", "20", self.source_name(source))
        xdotool("key", "Return")

    @contextlib.contextmanager
    def opened(self, folder, source):
        """The program started in the folder with the source chosen in its open dialog: yields
        a click at a point of the form's client area; ends when the program has ended."""
        process = self.start(folder)
        try:
            self.answer_dialog(source)
            form = wait_for("the form", lambda: visible_windows(self.form.props["Caption"]),
                            WINDOW_WAIT_S)
            origin = geometry(form[0])
            yield lambda x, y: click(origin[0] + x, origin[1] + y)
            process.wait(END_WAIT_S)
        except Exception:
            if Run.shots and shutil.which("import"):
                subprocess.run(["import", "-window", "root",
                                os.path.join(Run.shots, f"{self.program}-failed.png")])
            raise
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
            self.stderr = process.stderr.read()[-2000:]

    def drive(self, source, separator, clicks):
        """The hand-off file the program leaves, or an error."""
        with tempfile.TemporaryDirectory(prefix=f"e2e-{self.program}-") as folder:
            if self.installed:
                folder = os.path.dirname(self.installed)
            with self.opened(folder, source) as at:
                if separator is not None:
                    at(*client_point(self.form, "Separater_Char", separator))
                at(*client_point(self.form, START))
                time.sleep(START_PAUSE_S)
                for name in clicks + [EXECUTE]:
                    at(*client_point(self.form, name))
            path = os.path.join(folder, HAND_OFF)
            if not os.path.exists(path):
                raise RuntimeError(f"no {HAND_OFF}; stderr: {self.stderr!r}")
            return open(path, "rb").read()

    def shell_targets(self, source, names, shell):
        """What the shell was handed for each control clicked, the program's help file beside
        it; then the program is closed."""
        with tempfile.TemporaryDirectory(prefix=f"e2e-{self.program}-") as folder:
            open(os.path.join(folder, HELP_FILE), "wb").close()
            with self.opened(folder, source) as at:
                for name in names:
                    before = len(shell.opened())
                    at(*client_point(self.form, name))
                    wait_for(f"the shell to be handed {name}'s target",
                             lambda: len(shell.opened()) > before, WINDOW_WAIT_S)
                at(*client_point(self.form, CANCEL))
            return shell.opened(), windows_path(os.path.join(folder, HELP_FILE))


class ShellRecorder:
    """For the run, the shell opens web and mail addresses and help files with a command that
    writes down what it was given; the system's own commands come back afterwards."""
    KEYS = [r"HKCR\https\shell\open\command", r"HKCR\mailto\shell\open\command",
            r"HKCR\chm.file\shell\open\command"]

    def __init__(self, wine, folder):
        self.wine, self.folder = wine, folder
        self.record = os.path.join(folder, "opened.txt")

    def reg(self, *args):
        subprocess.run([self.wine, "reg", *args], check=True, capture_output=True)

    def __enter__(self):
        command = rf"C:\windows\system32\cmd.exe /c echo %1>>{windows_path(self.record)}"
        for i, key in enumerate(self.KEYS):
            self.reg("export", key, windows_path(os.path.join(self.folder, f"{i}.reg")), "/y")
            self.reg("add", key, "/ve", "/d", command, "/f")
        return self

    def __exit__(self, *_):
        for i in range(len(self.KEYS)):
            self.reg("import", windows_path(os.path.join(self.folder, f"{i}.reg")))

    def opened(self):
        if not os.path.exists(self.record):
            return []
        return open(self.record, "rb").read().decode("cp932").split()


def source_file(given, folder, name, testdata):
    if isinstance(given, bytes):
        path = os.path.join(folder, name + ".csv")
        with open(path, "wb") as out:
            out.write(given)
        return path
    kind, relative = given.split(":", 1)
    base = testdata if kind == "testdata" else os.path.join(SOURCE_ROOT, "samples")
    return os.path.join(base, relative)


# ---- formconv

FORMS = [os.path.join(SOURCE_ROOT, "wizards", p, f"u{p}.dfm") for p in ("morvane", "pellisk")]


def formconv_outputs(build, form, windows, wine):
    """What formconv makes of a form: its binary form, and that printed as text and as
    code page 932 text."""
    def run(*arguments):
        if windows:
            command = [wine, os.path.join(build, "tools", "formconv", "formconv.exe")]
            arguments = [windows_path(a) if a.startswith("/") else a for a in arguments]
        else:
            command = [os.path.join(build, "tools", "formconv", "formconv")]
        result = subprocess.run(command + list(arguments), capture_output=True)
        if result.returncode != 0:
            raise RuntimeError(f"formconv {arguments} failed ({result.returncode}): "
                               f"{result.stderr[-500:]!r}")
        return result.stdout

    with tempfile.TemporaryDirectory(prefix="e2e-formconv-") as folder:
        binary = os.path.join(folder, "form.dfm")
        run("--binary", form, binary)
        image = open(binary, "rb").read()
        return {"binary": image, "text": run(binary), "cp932": run("--cp932", binary)}


# ---- Main

# References larger than this are kept as their SHA-256 only.
LARGEST_KEPT = 16_384


def reference(name, make, args):
    """The Linux build's bytes (made now when --linux-build is given), or a checked-in
    reference: the bytes, or for a large one its hash, which got is then compared by."""
    expected = os.path.join(args.expected, name)
    if args.linux_build:
        data = make()
        if args.update_expected:
            for stale in (expected, expected + ".sha256"):
                if os.path.exists(stale):
                    os.remove(stale)
            if len(data) > LARGEST_KEPT:
                with open(expected + ".sha256", "w") as out:
                    out.write(hashlib.sha256(data).hexdigest() + "\n")
            else:
                with open(expected, "wb") as out:
                    out.write(data)
        return data
    if os.path.exists(expected + ".sha256"):
        return Digest(open(expected + ".sha256").read().strip())
    if not os.path.exists(expected):
        raise RuntimeError(f"no reference {expected}")
    return open(expected, "rb").read()


class Digest:
    """A reference known by its hash: equal to the bytes that have it."""

    def __init__(self, digest):
        self.digest = digest

    def __eq__(self, data):
        return hashlib.sha256(data).hexdigest() == self.digest



def shown(data):
    if isinstance(data, Digest):
        return f"the bytes of SHA-256 {data.digest}"
    return f"{len(data)} bytes {data[:120]!r}"


def wizard_case(case, args, sources):
    name, program, given, separator, clicks = case
    source = source_file(given, sources, name, args.testdata)
    if not os.path.exists(source):
        return f"no {source}"
    want = reference(name + ".tmp", lambda: Run(program, None, args.linux_build, args.wine)
                     .drive(source, separator, clicks), args)
    if args.windows_build:
        got = Run(program, args.windows_build, None, args.wine).drive(source, separator, clicks)
        if got != want:
            raise RuntimeError(f"hand-off differs: {shown(got)}, want {shown(want)}")
    return None


def shell_case(program, args, sources):
    """The link labels and Help hand their targets to the shell."""
    if not args.windows_build:
        return "the shell is the Windows build's"
    run = Run(program, args.windows_build, None, args.wine)
    source = source_file(b"a,b\r\n", sources, f"shell-{program}", args.testdata)
    with tempfile.TemporaryDirectory(prefix="e2e-shell-") as folder:
        with ShellRecorder(args.wine, folder) as shell:
            got, help_file = run.shell_targets(source, LINKS + [HELP], shell)
    want = [find(run.form, name).props["Caption"] for name in LINKS] + [help_file]
    if [g.lower() for g in got] != [w.lower() for w in want]:
        raise RuntimeError(f"the shell was handed {got}, want {want}")
    return None


def formconv_cases(args):
    """Each form's outputs, made once per build, as cases of their own."""
    cases = []
    for form in FORMS:
        made = {}

        def output(build, windows, form=form, made=made):
            if windows not in made:
                made[windows] = formconv_outputs(build, form, windows, args.wine)
            return made[windows]

        for kind in ("binary", "text", "cp932"):
            name = f"formconv-{os.path.basename(form)}.{kind}"

            def case(name=name, kind=kind, output=output):
                want = reference(name, lambda: output(args.linux_build, False)[kind], args)
                if args.windows_build:
                    got = output(args.windows_build, True)[kind]
                    if got != want:
                        raise RuntimeError(f"formconv.exe writes {shown(got)}, want {shown(want)}")

            cases.append((name, case))
    return cases


def installed_case(args):
    """The sample import with an installed morvane.exe, its hand-off file left beside it."""
    name, program, given, separator, clicks = next(c for c in CASES
                                                  if c[0] == "morvane-sekisan-comma")
    with tempfile.TemporaryDirectory(prefix="e2e-sources-") as sources:
        source = source_file(given, sources, name, args.testdata)
        want = reference(name + ".tmp", None, args)
        got = Run(program, True, None, args.wine, args.installed).drive(source, separator, clicks)
    if got != want:
        print(f"the installed {program} writes {shown(got)}, want {shown(want)}")
        return 1
    print(f"the installed {program} wrote the expected hand-off file")
    return 0


# The exit code that tells CTest the run was skipped.
SKIPPED = 77


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--windows-build", help="the mingw build folder (none: references only)")
    parser.add_argument("--linux-build", help="a Linux build folder, to make the references now")
    parser.add_argument("--expected", default=os.path.join(HERE, "expected"))
    parser.add_argument("--update-expected", action="store_true")
    parser.add_argument("--testdata", default=os.path.join(SOURCE_ROOT, "..", "shared", "testdata"))
    parser.add_argument("--wine", default="wine")
    parser.add_argument("--shots", help="a folder for pictures of the screen of failed cases")
    parser.add_argument("--only", help="run the cases whose names contain this")
    parser.add_argument("--installed", metavar="EXE",
                        help="only the sample import, with this installed morvane.exe in place")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY") or not shutil.which("xdotool"):
        print("no display or no xdotool: the end-to-end run needs both")
        return SKIPPED
    os.environ.setdefault("WINEDEBUG", "-all")
    Run.shots = args.shots
    if args.installed:
        return installed_case(args)

    cases = [(case[0], lambda case=case: wizard_case(case, args, sources)) for case in CASES]
    cases += [(f"{program}-shell", lambda program=program: shell_case(program, args, sources))
              for program in ("morvane", "pellisk")]
    cases += formconv_cases(args)
    passed = failed = skipped = 0
    with tempfile.TemporaryDirectory(prefix="e2e-sources-") as sources:
        for name, run in cases:
            if args.only and args.only not in name:
                continue
            try:
                why_not = run()
            except Exception as error:  # one case's failure must not hide the others
                print(f"FAILED {name}: {error}")
                failed += 1
                continue
            if why_not:
                print(f"SKIPPED {name}: {why_not}")
                skipped += 1
            else:
                print(f"PASSED {name}")
                passed += 1
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
