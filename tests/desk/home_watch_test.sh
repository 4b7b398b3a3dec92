#!/usr/bin/env bash
# home_watch.sh on home folders of its own: a fresh one (none of the watched
# folders exists), one with files planted during the watch, a prefix whose
# shell folder leads out. Each case names what it expected and what it got.
#   home_watch_test.sh [HOME_WATCH_SH]
set -u
watch=${1:-$(cd "$(dirname "$0")" && pwd)/home_watch.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
prefix_of() { echo "$work/$1/prefix"; }

# setup NAME: an empty home folder and a prefix whose shell folders are its own.
setup() {
  home="$work/$1/home"
  prefix=$(prefix_of "$1")
  mkdir -p "$home" "$prefix/drive_c/users/$(id -un)/Desktop" "$prefix/drive_c/users/Public/Desktop"
  stamp="$work/$1/stamp"
  HOME=$home bash "$watch" start "$stamp" >/dev/null || { echo "FAIL [$1]: start failed"; failed=1; }
  # What is planted after this is newer than the stamp, whatever the clock's grain.
  touch -d '2 seconds ago' "$stamp"
}
plant() {  # FILE [CONTENT]
  mkdir -p "$(dirname "$home/$1")"
  printf '%s\n' "${2:-}" >"$home/$1"
}

# check NAME RC TEXT...: the check's status and texts its output must hold.
check() {
  local name=$1 want=$2 out rc t
  shift 2
  out=$(HOME=$home bash "$watch" check "$stamp" "$prefix" 2>&1)
  rc=$?
  if [ "$rc" != "$want" ]; then
    printf 'FAIL [%s]: status %s, expected %s; output:\n%s\n' "$name" "$rc" "$want" "$out"
    failed=1
    return
  fi
  for t in "$@"; do
    if ! grep -qF -- "$t" <<<"$out"; then
      printf 'FAIL [%s]: no "%s" in the output:\n%s\n' "$name" "$t" "$out"
      failed=1
      return
    fi
  done
  echo "ok [$name]: status $rc"
}

# A fresh home folder: none of the watched folders is there.
setup fresh
check fresh 0 "looked at the 1 of 14 watched folders that $home holds (~); absent, so empty: ~/Desktop" "nothing of $prefix appeared"

# A link on a desktop of the home folder, from no prefix of this run: listed.
setup link
plant Desktop/Notepad.lnk
check link 0 "(from no prefix of this run: $home/Desktop/Notepad.lnk)"

# A file made before the watch began is not news.
setup old
plant Documents/old.txt
touch -d '1 hour ago' "$home/Documents/old.txt"
out=$(HOME=$home bash "$watch" check "$stamp" "$prefix" 2>&1)
if grep -q old.txt <<<"$out"; then echo "FAIL [old]: an older file was listed: $out"; failed=1; else echo "ok [old]"; fi

# Menu entries, deep in the menu builder's folders: one of the watched
# prefix, or naming none, fails; another prefix's is listed.
setup ours
plant .local/share/applications/wine/Programs/Notepad.desktop "Exec=env WINEPREFIX=\"$prefix\" wine notepad"
check ours 1 "$home/.local/share/applications/wine/Programs/Notepad.desktop" "appeared in the home folder"
setup unnamed
plant .local/share/applications/wine-extension-txt.desktop "Exec=wine start /unix %f"
check unnamed 1 "wine-extension-txt.desktop"
setup other
plant .local/share/applications/wine/Other.desktop "Exec=env WINEPREFIX=\"/elsewhere/wine\" wine x"
check other 0 "(menu entry of /elsewhere/wine: $home/.local/share/applications/wine/Other.desktop)"

# A shell folder of the prefix that leads out of it.
setup linked
rmdir "$prefix/drive_c/users/$(id -un)/Desktop"
ln -s "$home" "$prefix/drive_c/users/$(id -un)/Desktop"
check linked 1 "Desktop links to $home"

# No start stamp: the check says so.
setup nostamp
rm -f "$stamp"
check nostamp 1 "no start stamp"

if [ "$failed" -ne 0 ]; then echo "home_watch_test: failures above"; exit 1; fi
echo "home_watch_test: all cases passed"
