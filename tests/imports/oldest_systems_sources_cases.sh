#!/bin/bash
# oldest_systems_sources.sh against copies of the sources with one fault put
# in each: every fault fails the check and the check names it; the sources as
# they are pass.
# Usage: oldest_systems_sources_cases.sh SOURCE_ROOT
root=$1
check="$(dirname "$0")/oldest_systems_sources.sh"
if [ -z "$root" ] || [ ! -f "$root/forms/win/menus.cpp" ]; then
  echo "usage: $0 SOURCE_ROOT (the folder that holds forms/win/menus.cpp)" >&2
  exit 2
fi
work=$(mktemp -d) || { echo "FAIL: no temporary folder" >&2; exit 1; }
trap 'rm -rf "$work"' EXIT
failures=0

# A copy of the sources the check reads; `edit` (a command run in it) puts the fault in.
run_case() {
  local name=$1 expect=$2 says=$3 edit=$4
  local tree="$work/$name"
  mkdir -p "$tree"
  for d in base forms controls console gate shared; do cp -r "$root/$d" "$tree/"; done
  if ! (cd "$tree" && eval "$edit"); then
    echo "FAIL: $name: the fault could not be put in ($edit)" >&2
    failures=$((failures + 1))
    return
  fi
  local out status
  out=$(bash "$check" "$tree" 2>&1)
  status=$?
  if [ "$status" -ne "$expect" ] || ! grep -q -- "$says" <<<"$out"; then
    echo "FAIL: $name: wanted status $expect and \"$says\", got status $status:" >&2
    printf '%s\n' "$out" >&2
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
}

branch='TMenuItemForm::TypeAndText'
menus=forms/win/menus.cpp
# `swap OLD NEW`: OLD must stand in menus.cpp (else the fault would not be put in).
swap() { grep -qF -- "$1" "$menus" && sed -i "s/$1/$2/" "$menus"; }
run_case as_they_are 0 "only in the TypeAndText branch" "true"
run_case string_in_the_old_form 1 "outside the branch taken for $branch" \
  "swap 'mi.fMask |= MIIM_TYPE;' 'mi.fMask |= MIIM_TYPE | MIIM_STRING;'"
run_case ftype_after_the_function 1 "outside the branch taken for $branch" \
  "swap 'void TMenuItem::Click() {' 'static const UINT kMask = MIIM_FTYPE;\\nvoid TMenuItem::Click() {'"
run_case ftype_in_another_file 1 "outside forms/win/menus.cpp" \
  "echo 'static const unsigned kMask = MIIM_FTYPE;' >> controls/win/menupainter.cpp"
run_case bitmap_in_the_branch 1 "MIIM_BITMAP or hbmpItem" \
  "swap 'mi.fMask |= MIIM_FTYPE;' 'mi.fMask |= MIIM_FTYPE | MIIM_BITMAP;'"
run_case hbmpitem_in_the_console 1 "MIIM_BITMAP or hbmpItem" \
  "echo '// mi.hbmpItem = nullptr;' >> console/win/desktoppage.cpp"
run_case branch_renamed 1 "outside the branch taken for $branch" \
  "swap '== $branch) {' '!= TMenuItemForm::TypeOnly) {'"
run_case flags_gone 1 "no MIIM_STRING or MIIM_FTYPE inside" \
  "swap MIIM_FTYPE 0 && swap MIIM_STRING 0"

if [ "$failures" -ne 0 ]; then
  echo "FAIL: $failures case(s) of the menu-flag check went wrong" >&2
  exit 1
fi
echo "every case of the menu-flag check as wanted"
