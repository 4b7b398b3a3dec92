#!/usr/bin/env bash
# Nothing of the Windows tests may land in the home folder: no link or other
# file in $HOME or in the folders a Wine prefix would link its shell folders
# to, and nothing from Wine's menu builder.
#   home_watch.sh start STAMP    marks the start of the run
#   home_watch.sh check STAMP PREFIX
#                                lists what appeared since; fails when anything
#                                did that is not another prefix's menu entry
set -euo pipefail
what=${1:?usage: home_watch.sh start|check STAMP}
stamp=${2:?usage: home_watch.sh start|check STAMP}
case "$what" in
  start)
    mkdir -p "$(dirname "$stamp")"
    touch "$stamp"
    echo "watching $HOME from $(date)"
    ;;
  check)
    prefix=${3:?usage: home_watch.sh check STAMP PREFIX}
    [ -f "$stamp" ] || { echo "home_watch.sh: no start stamp $stamp" >&2; exit 1; }
    # The prefix itself: no shell folder may lead out of it.
    for d in "$prefix"/drive_c/users/*/* "$prefix"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Templates; do
      [ -L "$d" ] && { echo "$d links to $(readlink "$d")"; exit 1; }
    done
    new=$(
      {
        # Files and links right in the folders a shell folder would link to.
        for d in "$HOME" "$HOME"/Desktop "$HOME"/Documents "$HOME"/Downloads "$HOME"/Music "$HOME"/Pictures \
                 "$HOME"/Videos "$HOME"/Templates "$HOME"/Public; do
          [ -d "$d" ] && find "$d" -mindepth 1 -maxdepth 1 \( -type f -o -type l \) -newer "$stamp"
        done
        # Anything of the menu builder.
        for d in "$HOME"/.local/share/applications "$HOME"/.local/share/desktop-directories \
                 "$HOME"/.local/share/icons "$HOME"/.config/menus "$HOME"/.local/share/mime/packages; do
          [ -d "$d" ] && find "$d" \( -type f -o -type l \) -newer "$stamp"
        done
      } 2>/dev/null | sort -u
    )
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
          if grep -q "WINEPREFIX=\"$prefix\"" "$f" 2>/dev/null || ! grep -q "WINEPREFIX=" "$f" 2>/dev/null; then
            ours+="$f"$'\n'
          else
            echo "(menu entry of $(sed -n 's/.*WINEPREFIX="\([^"]*\)".*/\1/p' "$f" | head -1): $f)"
          fi
          ;;
        *) echo "(from no prefix of this run: $f)" ;;
      esac
    done <<<"$new"
    if [ -n "$ours" ]; then
      echo "files appeared in the home folder during the run:"
      printf '%s' "$ours"
      exit 1
    fi
    echo "nothing of $prefix appeared in $HOME since $(date -r "$stamp")"
    ;;
  *) echo "usage: home_watch.sh start|check STAMP" >&2; exit 2 ;;
esac
