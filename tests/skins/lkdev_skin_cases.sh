#!/usr/bin/env bash
# lkdev_skin_cases.sh CASE LKDEV... : one behaviour of "lkdev skin check",
# run the way a developer would (through Wine in the Windows build). Exits
# non-zero with a note on a mismatch.
set -u
case_name=$1
shift
lkdev=("$@")
work="${LK_WORK:-$(mktemp -d)}"
rm -rf "$work" && mkdir -p "$work/Night"

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }
run() {
  "${lkdev[@]}" "$@" >"$work/stdout" 2>"$work/stderr"
  rc=$?
  out="$(tr -d '\r' <"$work/stdout")"
  err="$(tr -d '\r' <"$work/stderr" | tail -n 1)"
}
expect_out() { [ "$out" == "$1" ] || fail "stdout was [$out], expected [$1]"; }
expect_err() { [ "$err" == "$1" ] || fail "stderr was [$err], expected [$1]"; }
expect_rc() { [ "$rc" == "$1" ] || fail "status $rc, expected $1 (stderr: $err)"; }

window='<text x="8" y="56" width="281" height="97" maxlength="40" color="#FF8000"/>
  <inputbox x="19" y="158" width="110" height="17" color="#f0fbff"/>
  <button x="243" y="167" width="43" height="15" buttonup="up.bmp" buttondown="img\down.bmp"/>'
skin() { printf '%s' "$1" >"$work/Night/skin.xml"; }

case "$case_name" in
  loads-folder)
    skin "<skin version=\"1.0\" name=\"Night\" author=\"Jos&#xE9;\"><window background=\"back.bmp\">$window</window></skin>"
    run skin check "$work/Night"
    expect_rc 0
    expect_out 'version=1.0
name=Night
author=Jos\xE9
background=back.bmp
text=8,56,281,97 maxlength=40 color=#FF8000
inputbox=19,158,110,17 color=#F0FBFF
button=243,167,43,15 up=up.bmp down=img\\down.bmp' ;;
  loads-file-with-link)
    skin "<skin version=\"1\" name=\"N\"><window background=\"b.bmp\">$window
      <link x=\"286\" y=\"8\" width=\"10\" height=\"13\" url=\"http://example.com/\" text=\"Go on\" color=\"#0000FF\"/></window></skin>"
    run skin check "$work/Night/skin.xml"
    expect_rc 0
    [ "$(printf '%s\n' "$out" | tail -n 1)" == 'link=286,8,10,13 url=http://example.com/ text=Go on color=#0000FF' ] ||
      fail "last line of [$out]" ;;
  errors)
    skin '<skin version="1"><window><Text/></window></skin>'
    run skin check "$work/Night"
    expect_rc 1
    expect_out 'Error parsing XML. Expected attribute [name] in node [skin].
Error parsing XML. Expected nodes [button].
Error parsing XML. Expected nodes [text].
Error parsing XML. Expected nodes [inputbox].' ;;
  not-parsed)
    skin $'<skin version="1" name="x">\n<window>\n</skin>'
    run skin check "$work/Night"
    expect_rc 1
    expect_out 'Error parsing XML. Line 3: Start-tag name "window" does not match end-tag name "skin"' ;;
  missing-file)
    run skin check "$work/Nothing/skin.xml"
    expect_rc 2
    case "$err" in "Cannot open file "*) ;; *) fail "stderr was [$err]" ;; esac ;;
  bad-coordinate)
    skin "<skin version=\"1\" name=\"x\"><window><text x=\"1\" y=\"2\" width=\"3\" height=\"4px\"/></window></skin>"
    run skin check "$work/Night"
    expect_rc 2
    expect_err "'4px' is not a valid integer value" ;;
  usage)
    run skin check
    expect_rc 2 ;;
  *) fail "unknown case" ;;
esac
exit 0
