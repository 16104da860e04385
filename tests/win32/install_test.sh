#!/usr/bin/env bash
# The Windows installer under Wine (run by tools/windows.sh in its Wine environment): a silent
# install for the current user puts the programs, the Start-menu links and the uninstall entry
# in place, the installed formconv.exe runs, and a silent uninstall leaves nothing behind but
# what the user put into the folder, the hand-off file included.
#   install_test.sh SETUP_EXE [COMMAND...]
# COMMAND, when given, drives the installed morvane.exe through one import, in its folder; the
# exe's path is appended to COMMAND's arguments. Without it a stand-in hand-off file is left
# there as a wizard's run leaves it.
set -euo pipefail
setup=$1
shift
fail() { echo "FAIL: $*" >&2; exit 1; }
# A folder of the user's, as the Windows path behind a variable and as the Unix path.
folder() { winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')"; }

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quovant'
dir="$(folder LOCALAPPDATA)/Programs/Quovant"
menu="$(folder APPDATA)/Microsoft/Windows/Start Menu/Programs/クォヴァント"
links=("クォヴァント CSVエディタ 積算データ編.lnk:morvane.exe" "クォヴァント CSV→CODE単価.lnk:pellisk.exe")

# Whether a value of the uninstall entry holds a text. The value is read whole first: with
# pipefail, grep -q leaving early would break reg's pipe and fail the check at random.
holds() {
  local out
  out=$(wine reg query "$key" /v "$1") && grep -qF "$2" <<<"$out"
}

install() {
  wine "$setup" /S || fail "the silent install failed"
  for f in morvane.exe pellisk.exe formconv.exe uninstall.exe; do
    [ -f "$dir/$f" ] || fail "$f is not installed in $dir"
  done
  for link in "${links[@]}"; do
    [ -f "$menu/${link%%:*}" ] || fail "no Start-menu link ${link%%:*}"
    grep -aqF "Programs\\Quovant\\${link#*:}" "$menu/${link%%:*}" ||
      fail "${link%%:*} does not start the installed ${link#*:}"
  done
  holds InstallLocation 'AppData\Local\Programs\Quovant' ||
    fail "the uninstall entry names no install location"
  holds UninstallString 'Quovant\uninstall.exe' ||
    fail "the uninstall entry names no uninstaller"
  holds DisplayName REG_SZ || fail "the uninstall entry has no name"
}

# The uninstaller runs a copy of itself from the temporary folder and returns at once.
uninstall() {
  wine "$dir/uninstall.exe" /S || fail "the silent uninstall failed"
  local tries=0
  until [ ! -e "$dir/uninstall.exe" ]; do
    ((++tries < 300)) || fail "the uninstaller did not finish"
    sleep 0.2
  done
  sleep 0.5
  [ ! -e "$menu" ] || fail "the Start-menu folder is left"
  if wine reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry is left"; fi
}

install
wine "$dir/formconv.exe" --help >/dev/null || fail "the installed formconv does not run"
if [ $# -gt 0 ]; then
  "$@" "$dir/morvane.exe" || fail "the installed morvane.exe did not import"
  [ -f "$dir/csv_inport.tmp" ] || fail "the installed morvane.exe wrote no hand-off file"
else
  echo "hand-off" >"$dir/csv_inport.tmp"
fi
echo "left by a wizard ended outright" >"$dir/csv_inport.tmp.0123abcd.part"
uninstall
[ ! -e "$dir" ] || fail "the program folder is left: $(ls -A "$dir")"

# A file of the user's in the folder stays, and with it the folder.
install
echo "mine" >"$dir/notes.txt"
uninstall
[ "$(ls -A "$dir")" = notes.txt ] || fail "the uninstall took more or less than its own files"
rm -r "$dir"
echo "installer test passed"
