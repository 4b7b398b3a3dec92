#!/usr/bin/env bash
# lkdev_cases.sh CASE LKDEV... : one lkdev behaviour, run the way a developer
# would (through Wine in the Windows build). Exits non-zero with a note on a
# mismatch.
set -u
case_name=$1
shift
lkdev=("$@")
data="$(cd "$(dirname "$0")/../data/streams" && pwd)"
work="${LK_WORK:-$(mktemp -d)}"
rm -rf "$work" && mkdir -p "$work"

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }
# Runs lkdev; stdout in $out, stderr (CR dropped, last line) in $err, status in $rc.
run() {
  out="$("${lkdev[@]}" "$@" 2>"$work/stderr")"
  rc=$?
  err="$(tr -d '\r' <"$work/stderr" | tail -n 1)"
}
expect_out() { [ "$out" == "$1" ] || fail "stdout was [$out], expected [$1]"; }
expect_rc() { [ "$rc" == "$1" ] || fail "status $rc, expected $1 (stderr: $err)"; }

users=("All Users=secret\r\nWelcome <uname>\xFFbye\r\n1,6\r\n" 'Default=\r\nHi\r\n\r\n' 'bob=\x00\x01\\end')
users_dump='All Users=secret\r\nWelcome <uname>\xFFbye\r\n1,6\r\n
bob=\x00\x01\\end
Default=\r\nHi\r\n\r\n'

case "$case_name" in
  token-wrap)
    run token wrap 'C:\Tools\run.exe' '/a;b;c' 1
    expect_rc 0
    expect_out 'KFE3PwQEBxg3GR4FRQ4TDlBEClAJUAgoMSk=1' ;;
  token-unwrap)
    run token unwrap 'KFE3OxkEDBkKBkstAgcOGDcmDg8CCjcbBwoSRQ4TDlAvUTcmPjgiKDApNigwKQ==1'
    expect_rc 0
    expect_out $'C:\\Program Files\\Media\\play.exe\nD:\\MUSIC[B]\n0' ;;
  token-unwrap-marker-folder)
    run token unwrap 'L1E3Jj44IigwKTYoMSk=1'
    expect_rc 0
    expect_out $'D:\\MUSIC[B]\n\n1' ;;
  token-bad-mode)
    run token wrap 'x' '' 7
    expect_rc 1 ;;
  streams-pack-golden)
    # The same content as the golden file, packed by this build.
    run streams pack "$work/packed.bin" "${users[@]}"
    expect_rc 0
    cmp -s "$work/packed.bin" "$data/lkdev-pack.bin" || fail "packed bytes differ from lkdev-pack.bin" ;;
  streams-dump-golden)
    run streams dump "$data/lkdev-pack.bin"
    expect_rc 0
    expect_out "$users_dump" ;;
  streams-dump-test-golden)
    # A file written by the container tests, read by the tool.
    run streams dump "$data/log.bin"
    expect_rc 0
    expect_out '1=bob\r\nC:\\Program Files\\Game\\game.exe\r\n9:15:02 AM - 46000\r\n9:47:13 AM - 46000\r\n6\r\n
10=x\r\n
2=All Users\r\nC:\\Windows\\notepad.exe\r\n10:00:00 AM - 46001\r\n' ;;
  streams-stored-plain)
    run streams pack "$work/sp.bin" --stored --plain 'a\x3Db=1' 'Z=' 'y=\xff'
    expect_rc 0
    [ "$(head -c 2 "$work/sp.bin")" == "  " ] || fail "markers are not blank"
    run streams dump "$work/sp.bin"
    expect_rc 0
    expect_out $'a\\x3Db=1\ny=\\xFF\nZ=' ;;
  streams-own-key)
    run streams pack "$work/k.bin" --key 'my key' 'n=v'
    expect_rc 0
    run streams dump "$work/k.bin" --key 'my key'
    expect_rc 0
    expect_out 'n=v' ;;
  streams-wrong-key)
    run streams pack "$work/k.bin" 'n=v'
    run streams dump "$work/k.bin" --key 4618
    expect_rc 1
    [ "$err" == "File is corrupt." ] || fail "stderr [$err]" ;;
  streams-damaged)
    printf '  \x01\x02\x03\x04\x05\x06\x07\x08\x01\x00\x00\x00\x02\x00ab\x09\x00\x00\x00xy' >"$work/cut.bin"
    run streams dump "$work/cut.bin"
    expect_rc 1
    [ "$err" == "Stream read error" ] || fail "stderr [$err]"
    printf '&' >"$work/short.bin"
    run streams dump "$work/short.bin"
    expect_rc 1
    [ "$err" == "File is corrupt." ] || fail "stderr [$err]" ;;
  streams-bad-escape)
    run streams pack "$work/x.bin" 'a=\q'
    expect_rc 2
    [ ! -e "$work/x.bin" ] || fail "a file was written" ;;
  lh5-round-trip)
    head -c 30000 "$data/large.bin" >"$work/in.bin"
    cat "$data/log.bin" "$data/log.bin" >>"$work/in.bin"
    run lh5 compress "$work/in.bin" "$work/in.lh5"
    expect_rc 0
    run lh5 expand "$work/in.lh5" "$work/out.bin"
    expect_rc 0
    cmp -s "$work/in.bin" "$work/out.bin" || fail "expanded bytes differ"
    [ "$(od -An -tu4 -N4 "$work/in.lh5" | tr -d ' ')" == "$(stat -c %s "$work/in.bin")" ] || fail "size prefix" ;;
  lh5-damaged)
    printf '\x10\x00\x00\x00\xff\xff\xff\xff' >"$work/bad.lh5"
    run lh5 expand "$work/bad.lh5" "$work/bad.out"
    expect_rc 1
    [ "$err" == "Compressed file is corrupt" ] || fail "stderr [$err]"
    [ ! -e "$work/bad.out" ] || fail "an output file was written" ;;
  users-dump-golden)
    # Entries in file order; a record of one line leaves the rest empty.
    run users dump "$data/lkdev-pack.bin"
    expect_rc 0
    expect_out '[All Users]
password=secret
message=Welcome <uname>\xFFbye
options=1,6
[bob]
password=\x00\x01\\end
message=
options=
[Default]
password=
message=Hi
options=' ;;
  users-dump-damaged)
    printf '&' >"$work/short.bin"
    run users dump "$work/short.bin"
    expect_rc 1
    [ "$err" == "File is corrupt." ] || fail "stderr [$err]"
    run users dump "$data/lkdev-pack.bin" --key 4618
    expect_rc 1
    [ "$err" == "File is corrupt." ] || fail "stderr [$err]" ;;
  log-rows | log-rows-full-path)
    # Records of 3, 4 and 5 lines, a damaged one, a gap ("4" deleted) and a
    # name that sorts before "2" as text.
    run streams pack "$work/log.bin" \
      '1=alice\r\nC:\\Apps\\calc.exe\r\n2:05 PM - 9/12/2026\r\n' \
      '2=bob\r\nC:\\Program Files\\Game\\game.exe\r\n9:15:02 AM - 46000\r\n9:47:13 AM - 46000\r\n' \
      '3=carol\r\nD:\\x\\run.bat\r\n11:50 PM - 1\r\n12:10 AM - 2\r\n7\r\n' \
      '5=dave\r\n' \
      '10=erin\r\nC:\\a.exe\r\n1:00 PM - x\r\nlate - x\r\n42\r\n'
    expect_rc 0
    if [ "$case_name" == log-rows ]; then
      run log rows "$work/log.bin"
      second=(calc.exe game.exe run.bat)
    else
      run log rows "$work/log.bin" --full-path
      second=('C:\Apps\calc.exe' 'C:\Program Files\Game\game.exe' 'D:\x\run.bat')
    fi
    expect_rc 0
    expect_out "alice	${second[0]}	2:05 PM - 9/12/2026	n/a	-
bob	${second[1]}	9:15:02 AM - 46000	0:32:11	-
carol	${second[2]}	11:50 PM - 1	0:20:00	Reboot
dave	n/a	n/a	n/a	n/a
erin	$( [ "$case_name" == log-rows ] && echo a.exe || echo 'C:\a.exe')	1:00 PM - x	n/a	42" ;;
  log-rows-bad-file)
    run log rows "$work/none.bin"
    expect_rc 1
    printf '&' >"$work/short.bin"
    run log rows "$work/short.bin"
    expect_rc 1
    [ "$err" == "File is corrupt." ] || fail "stderr [$err]"
    # A file of no bytes is an empty log: no rows, no error.
    : >"$work/empty.bin"
    run log rows "$work/empty.bin"
    expect_rc 0
    expect_out '' ;;
  *) fail "unknown case" ;;
esac
echo "ok [$case_name]"
