#!/usr/bin/env bash
# Nothing of the Windows tests may land in the home folder: no link or other
# file in $HOME or in the folders a Wine prefix would link its shell folders
# to, and nothing from Wine's menu builder.
#   home_watch.sh start STAMP    marks the start of the run
#   home_watch.sh check STAMP PREFIX
#                                lists what appeared since; fails when anything
#                                did that is not another prefix's menu entry
# A home folder may lack any of the watched folders (a fresh machine has
# none of them): a missing one is empty. Every failure says why.
set -eEuo pipefail
# A command that fails unexpectedly names itself: no silent end.
trap 'echo "home_watch.sh: line $LINENO: \"$BASH_COMMAND\" failed (status $?)" >&2' ERR
usage="usage: home_watch.sh start STAMP | check STAMP PREFIX"
what=${1:?$usage}
stamp=${2:?$usage}

# The folders a fresh prefix links its shell folders to (only the files
# right in them count), and those the menu builder writes into (all below).
shell_dirs=("$HOME" "$HOME/Desktop" "$HOME/Documents" "$HOME/Downloads" "$HOME/Music" "$HOME/Pictures"
            "$HOME/Videos" "$HOME/Templates" "$HOME/Public")
menu_dirs=("$HOME/.local/share/applications" "$HOME/.local/share/desktop-directories"
           "$HOME/.local/share/icons" "$HOME/.config/menus" "$HOME/.local/share/mime/packages")

# new_files DEPTH DIR...: files and links newer than the stamp; a missing
# folder gives nothing.
new_files() {
  local depth=$1 d
  shift
  for d in "$@"; do
    if [ -d "$d" ]; then
      find "$d" -mindepth 1 $depth \( -type f -o -type l \) -newer "$stamp" -print 2>/dev/null || true
    fi
  done
}

case "$what" in
  start)
    mkdir -p "$(dirname "$stamp")"
    touch "$stamp"
    echo "watching $HOME from $(date)"
    ;;
  check)
    prefix=${3:?$usage}
    [ -f "$stamp" ] || { echo "home_watch.sh: no start stamp $stamp (did desk.home_watch_start run?)" >&2; exit 1; }
    # The prefix itself: no shell folder may lead out of it.
    for d in "$prefix"/drive_c/users/*/* "$prefix"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Templates; do
      if [ -L "$d" ]; then
        echo "home_watch.sh: the prefix's shell folder $d links to $(readlink "$d")"
        exit 1
      fi
    done
    new=$({ new_files "-maxdepth 1" "${shell_dirs[@]}"; new_files "" "${menu_dirs[@]}"; } | sort -u)
    # Other prefixes of the machine may run meanwhile (build trees whose
    # prefix an older recipe made: their desktop is $HOME). A menu entry
    # names its prefix: one of this prefix fails the check. A file that names
    # no prefix (a link, an icon) cannot have come from this one, whose
    # shell folders are its own (checked above, and by
    # desk.shell_folders_in_prefix): it is listed, not counted.
    ours=""
    while IFS= read -r f; do
      [ -n "$f" ] || continue
      case "$f" in
        *.desktop)
          if grep -qF "WINEPREFIX=\"$prefix\"" "$f" 2>/dev/null || ! grep -q "WINEPREFIX=" "$f" 2>/dev/null; then
            ours+="$f"$'\n'
          else
            echo "(menu entry of $(sed -n 's/.*WINEPREFIX="\([^"]*\)".*/\1/p' "$f" | head -n 1): $f)"
          fi
          ;;
        *) echo "(from no prefix of this run: $f)" ;;
      esac
    done <<<"$new"
    # What was looked at, so that a pass says what it covered.
    present=() missing=()
    for d in "${shell_dirs[@]}" "${menu_dirs[@]}"; do
      rel="~${d#"$HOME"}"
      if [ -d "$d" ]; then present+=("$rel"); else missing+=("$rel"); fi
    done
    echo "looked at the ${#present[@]} of $(( ${#present[@]} + ${#missing[@]} )) watched folders that $HOME holds" \
         "(${present[*]:-none}); absent, so empty: ${missing[*]:-none}"
    if [ -n "$ours" ]; then
      echo "home_watch.sh: files of $prefix appeared in the home folder during the run:"
      printf '%s' "$ours"
      exit 1
    fi
    echo "nothing of $prefix appeared in $HOME since $(date -r "$stamp")"
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
