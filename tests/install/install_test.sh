#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a space and a percent sign in its name, as a
# user's folder may have) and checks what a desktop and the host product find there.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/my apps 100%"
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }

for f in lib/quovant/morvane lib/quovant/pellisk bin/formconv; do
  [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
"$prefix/bin/formconv" --help >/dev/null || fail "the installed formconv does not run"
[ -w "$prefix/lib/quovant" ] || fail "the wizards' folder is not writable for the hand-off file"

for p in morvane pellisk; do
  entry="$prefix/share/applications/quovant-$p.desktop"
  icon="$prefix/share/icons/hicolor/32x32/apps/quovant-$p.png"
  [ -f "$entry" ] || fail "no desktop entry for $p"
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "the icon of $p is no PNG"
  grep -qx "Icon=quovant-$p" "$entry" || fail "$p's entry names another icon"
  grep -q '^Name\[ja\]=クォヴァント' "$entry" || fail "$p's entry has no Japanese name"
  grep -qx 'Categories=Office;Finance;' "$entry" || fail "$p's entry has no menu category"
  # Exec, unquoted as a desktop does it, must name the installed program.
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  unescaped=$(printf '%s' "$exec_line" | sed -e 's/\\\\/\\/g' -e 's/%%/%/g' \
    -e 's/^"\(.*\)"$/\1/' -e 's/\\\(["`$\\]\)/\1/g')
  [ "$unescaped" = "$prefix/lib/quovant/$p" ] || fail "$p's Exec is $exec_line"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "$p's entry does not validate"
  fi
done
echo "installed and checked under $prefix"
