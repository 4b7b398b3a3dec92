#!/bin/bash
# oldest_systems_check.sh on made-up objdump output: its verdicts are
# checked without building a program. A fake objdump prints the dump file it
# is given as the "program". Most cases read a small table of their own; the
# last ones read the real table, so a malformed line in it or a changed fact
# about the entry points the -posix toolchain brought fails here too.
# Usage: oldest_systems_check_test.sh
here=$(cd "$(dirname "$0")" && pwd)
check=$here/oldest_systems_check.sh
work=$(mktemp -d) || { echo "FAIL: no temporary folder" >&2; exit 1; }
trap 'rm -rf "$work"' EXIT

cat >"$work/objdump" <<'EOF'
#!/bin/bash
[ "$1" = -p ] && [ -f "$2" ] || { echo "fake objdump: wants -p DUMPFILE" >&2; exit 9; }
cat "$2"
EOF
chmod +x "$work/objdump"

cat >"$work/small.table" <<'EOF'
# dll     name                  9x    nt     on9x  note
KERNEL32  GetTickCount          95    3.1    yes
KERNEL32  LoadLibraryW          95    3.1    stub  wide: stub on 9x
KERNEL32  MultiByteToWideChar   95    3.1    part  no CP_UTF8 on Windows 95
KERNEL32  IsDebuggerPresent     98    4.0    yes
KERNEL32  GetTickCount64        none  Vista  -
USER32    MessageBoxA           95    3.1    yes

ADVAPI32  SomeNtOnlyCall        95    2000   stub  made up: NT 4.0 lacks it
EOF

# dump NAME FORMAT SUBSYSTEM "DLL name" ...: objdump -p output of a program
# named NAME (the dump file is $work/NAME) importing the given names, laid
# out as binutils 2.40 prints it; "<none>" stands for an import by ordinal.
dump() {
  local name=$1 format=$2 subsystem=$3 dll="" entry
  shift 3
  {
    printf '\n%s:     file format %s\n\nCharacteristics 0x10e\n\n' "$name" "$format"
    printf 'MajorSubsystemVersion\t%s\nMinorSubsystemVersion\t%s\n' "${subsystem%.*}" "${subsystem#*.}"
    printf '\nThere is an import table in .idata at 0x567000\n\n'
    printf 'The Import Tables (interpreted .idata section contents)\n'
    printf ' vma:            Hint    Time      Forward  DLL       First\n'
    for entry in "$@"; do
      if [ "${entry%% *}" != "$dll" ]; then
        dll=${entry%% *}
        printf ' 00167000\t001670b4 00000000 00000000 00169170 00167630\n\n'
        printf '\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n' "$dll"
      fi
      if [ "${entry#* }" = "<none>" ]; then
        printf '\t80000007\t    7  <none>\n'
      else
        printf '\t140a64\t 1032  %s\n' "${entry#* }"
      fi
    done
    printf '\n 001670a0\t00000000 00000000 00000000 00000000 00000000\n\n\n'
    # Past the import tables: a line shaped like an import must not count.
    printf 'PE File Base Relocations (interpreted .reloc section contents)\n\n'
    printf '\t00001000\t   12  NotAnImport\n'
  } >"$work/$name"
}

failed=0
# run CASE WANT_STATUS TABLE PROGRAMS... ; then the output is in $out.
run() {
  local case=$1 want=$2 table=$3
  shift 3
  out=$(cd "$work" && "$check" --table "$table" "$work/objdump" "$@" 2>&1)
  local rc=$?
  if [ $rc -ne "$want" ]; then
    echo "FAIL [$case]: exit status $rc, wanted $want; output:"
    printf '%s\n' "$out"
    failed=1
    return 1
  fi
}
# has CASE TEXT...: each text appears in the output of the last run.
has() {
  local case=$1 text
  shift
  for text in "$@"; do
    if ! grep -qF -- "$text" <<<"$out"; then
      echo "FAIL [$case]: no \"$text\" in the output:"
      printf '%s\n' "$out"
      failed=1
    fi
  done
}
# lacks CASE TEXT...: no text appears in the output of the last run.
lacks() {
  local case=$1 text
  shift
  for text in "$@"; do
    if grep -qF -- "$text" <<<"$out"; then
      echo "FAIL [$case]: \"$text\" should not be in the output:"
      printf '%s\n' "$out"
      failed=1
    fi
  done
}
# fails CASE COUNT: exactly COUNT lines name a failing import.
fails() {
  local n
  n=$(grep -c '^FAIL: .* imports ' <<<"$out")
  if [ "$n" -ne "$2" ]; then
    echo "FAIL [$1]: $n failing imports named, wanted $2:"
    printf '%s\n' "$out"
    failed=1
  fi
}

small=$work/small.table

# Every name known and old enough; the DLL's case does not matter.
dump good.exe pei-i386 4.0 "KERNEL32.dll GetTickCount" "kernel32.dll LoadLibraryW" \
  "KERNEL32.dll MultiByteToWideChar" "USER32.dll MessageBoxA"
run "all good" 0 "$small" good.exe &&
  has "all good" "good.exe imports 4 names:" "every one of the 4 is exported by Windows 95 and NT 4.0" \
    "only as stubs (LoadLibraryW)" "with a limit (MultiByteToWideChar)" &&
  lacks "all good" "FAIL" "NotAnImport"
grep -qE '^  KERNEL32\.dll +2$' <<<"$out" && grep -qE '^  kernel32\.dll +1$' <<<"$out" ||
  { echo "FAIL [all good]: no count per DLL:"; printf '%s\n' "$out"; failed=1; }

# One failing case a line: case, dump entries, texts the failure must say.
while IFS='|' read -r case entry texts; do
  dump bad.exe pei-i386 4.0 "KERNEL32.dll GetTickCount" "$entry"
  run "$case" 1 "$small" bad.exe || continue
  fails "$case" 1
  IFS=';' read -r -a want <<<"$texts"
  has "$case" "${want[@]}" "FAIL: bad.exe: 1 of its 2 imported names keeps it from loading"
done <<'EOF'
not in the table|KERNEL32.dll GetTickCount32|bad.exe imports GetTickCount32 from KERNEL32.dll, which small.table does not know
Windows 95 lacks it|KERNEL32.dll IsDebuggerPresent|bad.exe imports IsDebuggerPresent from KERNEL32.dll, which Windows 95 lacks (9x line: from 98; NT line: from 4.0)
NT 4.0 lacks it|ADVAPI32.dll SomeNtOnlyCall|bad.exe imports SomeNtOnlyCall from ADVAPI32.dll, which NT 4.0 lacks (9x line: from 95; NT line: from 2000); made up: NT 4.0 lacks it
both lack it|KERNEL32.dll GetTickCount64|which Windows 95 and NT 4.0 lack (9x line: none; NT line: from Vista)
by ordinal only|USER32.dll <none>|bad.exe imports ordinal 7 of USER32.dll by number only
EOF

# The image itself: a 64-bit program, and a subsystem newer than 4.0.
dump wide.exe pei-x86-64 4.0 "KERNEL32.dll GetTickCount"
run "64-bit program" 1 "$small" wide.exe && has "64-bit program" "wide.exe is not a 32-bit Windows program"
dump newer.exe pei-i386 5.1 "KERNEL32.dll GetTickCount"
run "subsystem 5.1" 1 "$small" newer.exe && has "subsystem 5.1" "newer.exe has subsystem version 5.1" && fails "subsystem 5.1" 0

# Two programs: the good one is still reported, the bad one fails the run;
# a program that is not there is named.
dump bad.exe pei-i386 4.0 "KERNEL32.dll GetTickCount64"
run "two programs" 1 "$small" good.exe bad.exe missing.exe &&
  has "two programs" "good.exe: every one of the 4" "bad.exe imports GetTickCount64" "missing.exe was not built"

# A malformed table line is named and stops the check.
while IFS='|' read -r case line text; do
  { cat "$small"; printf '%s\n' "$line"; } >"$work/broken.table"
  run "table: $case" 2 "$work/broken.table" good.exe && has "table: $case" "broken.table line 10: $text"
done <<'EOF'
too few columns|KERNEL32 Sleep 95 3.1|five columns wanted
unknown 9x system|KERNEL32 Sleep 96 3.1 yes|9x column "96"
unknown NT system|KERNEL32 Sleep 95 4 yes|NT column "4"
unknown on9x|KERNEL32 Sleep 95 3.1 maybe|on9x column "maybe"
none but carried out|KERNEL32 Sleep none 3.1 yes|on9x is "-" exactly when
part without its limit|KERNEL32 Sleep 95 3.1 part|a "part" line names its limit
listed twice|kernel32 GetTickCount 95 3.1 yes|kernel32 GetTickCount is listed twice
EOF

# The real table: it reads without a complaint, and names each entry point
# the -posix toolchain's programs imported and the two systems lack.
dump posix.exe pei-i386 4.0 "ADVAPI32.dll OpenProcessToken" "KERNEL32.dll AddVectoredExceptionHandler" \
  "KERNEL32.dll GetTickCount64" "KERNEL32.dll IsDebuggerPresent" "KERNEL32.dll MoveFileExA" \
  "KERNEL32.dll RemoveVectoredExceptionHandler" "KERNEL32.dll SetProcessAffinityMask" \
  "KERNEL32.dll TryEnterCriticalSection" "msvcrt.dll _filelengthi64" "USER32.dll LoadStringW"
run "real table, -posix runtime" 1 "$here/oldest_systems.table" posix.exe &&
  fails "real table, -posix runtime" 6 &&
  has "real table, -posix runtime" "imports AddVectoredExceptionHandler from" "imports GetTickCount64 from" \
    "imports IsDebuggerPresent from KERNEL32.dll, which Windows 95 lacks" "imports RemoveVectoredExceptionHandler from" \
    "imports SetProcessAffinityMask from KERNEL32.dll, which Windows 95 lacks" \
    "imports TryEnterCriticalSection from KERNEL32.dll, which Windows 95 lacks"
dump win32rt.exe pei-i386 4.0 "KERNEL32.dll CreateSemaphoreW" "KERNEL32.dll GetModuleHandleW" \
  "KERNEL32.dll IsDBCSLeadByteEx" "KERNEL32.dll TlsAlloc" "KERNEL32.dll TlsFree" "msvcrt.dll _setjmp3"
run "real table, -win32 runtime" 0 "$here/oldest_systems.table" win32rt.exe &&
  has "real table, -win32 runtime" "only as stubs (CreateSemaphoreW, GetModuleHandleW)"

[ $failed -eq 0 ] && echo "oldest_systems_check.sh: every case gave the verdict wanted"
exit $failed
