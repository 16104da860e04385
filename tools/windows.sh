#!/usr/bin/env bash
# The Windows programs: cross-built with mingw-w64 in build-windows/, every test run under Wine
# on a virtual screen, and the installer built and tested. Steps, all by default:
#   tools/windows.sh                  setup, build, test, installer
#   tools/windows.sh build            the Debian packages and the build only
#   tools/windows.sh test [ARGS...]   build, then the tests; ARGS go to ctest (-R Pattern, ...)
#   tools/windows.sh installer        build, then the installer and its test
# QUOVANT_WERROR=ON makes warnings errors; QUOVANT_WINDOWS_BUILD names another build folder;
# QUOVANT_WINE_PREFIX keeps the Wine prefix there between runs instead of a fresh one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUOVANT_WINDOWS_BUILD:-$top/build-windows}
step=${1:-all}
[ $# -gt 0 ] && shift
case $step in
  all | build | test | installer) ;;
  *) echo "usage: $0 [all|build|test [ctest arguments]|installer]" >&2; exit 2 ;;
esac

timed() {
  local start=$SECONDS
  echo "--- $1"
  "$@"
  echo "--- $1 took $((SECONDS - start)) s"
}

setup() {
  local packages=(g++-mingw-w64-x86-64-posix cmake ccache libgtest-dev wine wine64 nsis xvfb
                  xdotool locales python3 fonts-ipafont-gothic fonts-ipafont-mincho
                  fonts-dejavu-core) missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

compile() {
  # Configured without its compiler, a build folder would keep empty optimisation flags.
  command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    { echo "no mingw-w64 compiler: run '$0 build' first, which installs it" >&2; exit 1; }
  cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUOVANT_WERROR="${QUOVANT_WERROR:-OFF}" >/dev/null
  cmake --build "$build" -j"$(nproc)"
  # The programs must run on a bare Windows: the compiler's runtime (libstdc++-6.dll,
  # libgcc_s_seh-1.dll, libwinpthread-1.dll, ...) is linked in, never imported.
  local program imports
  for program in wizards/morvane/morvane.exe wizards/pellisk/pellisk.exe \
                 tools/formconv/formconv.exe; do
    imports=$(x86_64-w64-mingw32-objdump -p "$build/$program" | sed -n 's/^\s*DLL Name: //p')
    if grep -qi '^lib' <<<"$imports"; then
      echo "$program imports the compiler's runtime:" $(grep -i '^lib' <<<"$imports") >&2
      exit 1
    fi
  done
}

# Wine for the run: a fresh prefix with the IPA fonts in place of the MS fonts, a Japanese
# locale (ANSI code page 932), a 24-bit virtual screen and a server kept up between programs.
start_wine() {
  local locales="$build/locale"
  if [ ! -d "$locales/ja_JP.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" 2>/dev/null ||
      [ -d "$locales/ja_JP.UTF-8" ]
  fi
  unset LC_ALL LC_CTYPE LC_MESSAGES
  export LOCPATH=$locales
  export LANG=ja_JP.UTF-8
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  if [ -n "${QUOVANT_WINE_PREFIX:-}" ]; then
    export WINEPREFIX=$QUOVANT_WINE_PREFIX
  else
    WINEPREFIX=$(mktemp -d /tmp/quovant-wine.XXXXXX)
    export WINEPREFIX
    fresh_prefix=$WINEPREFIX
  fi
  local display tries=0
  display=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1600x1200x24 -nolisten tcp 5>"$display" 2>/dev/null &
  xvfb_pid=$!
  until [ -s "$display" ]; do
    ((++tries < 100)) || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
  DISPLAY=:$(cat "$display")
  export DISPLAY
  rm -f "$display"
  # A desktop session loads X resources; without any, Xlib reads the user's resource files
  # again for every pixmap Wine makes, thousands of times a run.
  export XENVIRONMENT="$WINEPREFIX/quovant.Xresources"
  mkdir -p "$WINEPREFIX"
  echo "quovant.session: on" >"$XENVIRONMENT"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i
    wineserver -w
  fi
  wineserver -p
  fonts
  # A crashing test ends at once with its exception's code, not held by the debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d "" /f >/dev/null
  # Without a window manager, Wine waits 2 s for one whenever a managed window hides.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # The programs stay managed: then an X window is their client area alone, as the end-to-end
  # run takes it.
  local program
  for program in morvane.exe pellisk.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d Y /f \
      >/dev/null
  done
}

# The MS fonts the forms name, and the framework's default font, as the Linux build resolves
# them: the IPA fonts, and DejaVu Sans for MS Sans Serif.
fonts() {
  local reg="$WINEPREFIX/quovant-fonts.reg" name
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for name in "ＭＳ Ｐ明朝=IPAPMincho" "ＭＳ 明朝=IPAMincho" "ＭＳ Ｐゴシック=IPAPGothic" \
                "ＭＳ ゴシック=IPAGothic" "MS PMincho=IPAPMincho" "MS Mincho=IPAMincho" \
                "MS PGothic=IPAPGothic" "MS Gothic=IPAGothic" "MS UI Gothic=IPAPGothic" \
                "MS Sans Serif=DejaVu Sans"; do
      printf '"%s"="%s"\r\n' "${name%%=*}" "${name#*=}"
    done
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  wine regedit /S "$reg"
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
  fi
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "${fresh_prefix:-}" ] && rm -rf "$fresh_prefix"
  return 0
}

# Wine now and then fails a process of its own accord: one that hangs at its exit after its
# tests passed, or one that ends at once without running. A test that fails runs once more;
# both runs' output stays in the log, and a test failing twice fails the run.
run_tests() {
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --repeat until-pass:2 "$@"
}

installer() {
  makensis -V2 -DBUILD="$build" -DOUTFILE="$build/quovant-setup.exe" \
    "$top/installer/quovant.nsi"
  bash "$top/tests/win32/install_test.sh" "$build/quovant-setup.exe" \
    python3 "$top/tests/win32/e2e/wizard_e2e.py" --installed
}

case $step in all | build) timed setup ;; esac
timed compile
[ "$step" = build ] && exit 0
trap stop_wine EXIT
timed start_wine
case $step in
  all) timed run_tests; timed installer ;;
  test) timed run_tests "$@" ;;
  installer) timed installer ;;
esac
