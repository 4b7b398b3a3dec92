#!/usr/bin/env bash
# Nothing of the Windows tests may land in the home folder: no link or other
# file in $HOME or in the folders a Wine prefix would link its shell folders
# to, and nothing from Wine's menu builder.
#   home_watch.sh start STAMP    marks the start of the run
#   home_watch.sh check STAMP    lists what appeared since; fails when anything did
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
    [ -f "$stamp" ] || { echo "home_watch.sh: no start stamp $stamp" >&2; exit 1; }
    found=$(
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
    if [ -n "$found" ]; then
      echo "files appeared in the home folder during the run:"
      echo "$found"
      exit 1
    fi
    echo "nothing appeared in $HOME since $(date -r "$stamp")"
    ;;
  *) echo "usage: home_watch.sh start|check STAMP" >&2; exit 2 ;;
esac
