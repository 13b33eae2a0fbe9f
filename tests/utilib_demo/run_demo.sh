#!/usr/bin/env bash
# Runs the demo utility headless from a suite folder of its own: Setup, Go with its progress lines and
# report, Cancel at a pause and Esc during Go, Help and Read with stand-ins that note what they were
# started with, the set-up file written and read back, and a set-up file of another version ignored.
#
# usage: run_demo.sh WUTILDEMO
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
suite=$work/MERO6
mkdir -p "$suite" "$work/run"
cp "$1" "$suite/wutildemo"
cd "$work/run"

# A program that writes its arguments, one a line, into $work/NAME.args.
stand_in() {
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/%s.tmp" && mv "%s/%s.tmp" "%s/%s.args"\n' \
    "$work" "$1" "$work" "$1" "$work" "$1" > "$2"
  chmod +x "$2"
}
stand_in whpv "$suite/whpv"
stand_in reader "$work/reader"

fail() {
  echo "FAIL: $*"
  for f in "$work"/run/*.log; do echo "--- $f"; cat "$f"; done
  exit 1
}
run() {  # run NAME [VAR=VALUE...]: script NAME.script, log NAME.log, status NAME.status
  local name=$1
  shift
  env QT_QPA_PLATFORM=offscreen MERO_SCRIPT=$name.script MERO_LOG=$name.log MERO_READER="$work/reader" "$@" \
    "$suite/wutildemo" > "$name.out" 2>&1
  echo $? > "$name.status"
}
status() { [ "$(cat "$1.status")" = "$2" ] || fail "$1 ended with $(cat "$1.status"), not $2"; }
has() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }
lacks() { ! grep -qF -- "$2" "$1" || fail "$1 has: $2"; }
# The file's lines, CR LF ended, compared with the arguments.
lines() {
  local file=$1
  shift
  printf '%s\r\n' "$@" | cmp -s - "$file" || fail "$file is: $(od -c "$file" | head -20)"
}
# The set-up file: the version, two settings and ten reader pairs; the lines not given are empty.
setup_file() {
  local want=("$@")
  while [ ${#want[@]} -lt 23 ]; do want+=(''); done
  lines Utildemo.su6 "${want[@]}"
}
# A started program runs on its own: give it a moment to leave its note.
started() {
  for _ in $(seq 50); do [ -f "$work/$1.args" ] && break; sleep 0.1; done
  [ "$(cat "$work/$1.args" 2>/dev/null)" = "$2" ] || fail "$1 started with: $(cat "$work/$1.args" 2>/dev/null)"
}

# Setup, Go over six steps (five rotating lines, the sixth back on the first), Help, Read.
cat > setup.script <<'S'
answer SETUP set 100 "6" set 101 "DEMO.RPT" press ok
box ok
command 12
wait
command 14
wait
command 10
wait
answer READER set 400 "Notepad" set 401 "DEMO.RPT" press ok
command 11
wait
quit
S
run setup
status setup 0
has setup.log 'dialog DISPLAY'
has setup.log 'item DISPLAY 500 "Step 6 of 6 ..."'
has setup.log 'item DISPLAY 515 "Step 5 Done"'
has setup.log 'item DISPLAY 511 "Step 6 Done"'
has setup.log 'box "UTILDEMO" "Completed ... 6 Steps"'
lacks setup.log "Can't Find"
lines DEMO.RPT '*** Demo Report ***' '' 'Step 1 Done' 'Step 2 Done' 'Step 3 Done' 'Step 4 Done' 'Step 5 Done' \
  'Step 6 Done' '' 'Completed ... 6 Steps' ''
started whpv 'C:\MERO6\UTILDEMO.HPV'
started reader 'DEMO.RPT'
# The settings, then the reader pairs: the chosen file first, the report name of the defaults after it.
setup_file 6.00 6 DEMO.RPT Notepad DEMO.RPT '' UTILDEMO.RPT

# The set-up file read back: six steps into DEMO.RPT, the reader's file first; Cancel at a pause.
cat > cancel.script <<'S'
answer READER press cancel
answer PAUSE press cancel
box ok
command 11
wait
command 14
wait
quit
S
run cancel
status cancel 1  # stopped, the job ends "Aborted ...": a failed job
has cancel.log 'item READER 401 "DEMO.RPT"'
has cancel.log 'item DISPLAY 500 "Step 1 of 6 ..."'
has cancel.log 'box "UTILDEMO" "Aborted ... Files may be Incomplete"'
lines DEMO.RPT '*** Demo Report ***' '' 'Step 1 Done' '' 'Aborted ... Files may be Incomplete' ''

# Esc pressed while Go yields stops it at its next check; the pauses take their real time here.
cat > esc.script <<'S'
box ok
command 14
key Esc
wait
quit
S
run esc MERO_PAUSE_SCALE=1
status esc 1
has esc.log 'box "UTILDEMO" "Aborted ... Files may be Incomplete"'
lines DEMO.RPT '*** Demo Report ***' '' 'Step 1 Done' '' 'Aborted ... Files may be Incomplete' ''

# A set-up file of another version leaves the defaults (five steps into UTILDEMO.RPT), which the next
# Setup writes back. The keys take the accelerators; a help viewer that is missing and a reader
# program that cannot be found are told.
printf '6.01\r\n7\r\nOTHER.RPT\r\n' > Utildemo.su6
rm "$suite/whpv"
cat > version.script <<'S'
box ok
key alt+g
wait
box ok
key F1
wait
answer READER set 400 "no-such-reader-program" press ok
box ok
key alt+r
wait
box ok
key ctrl+c
wait
answer SETUP press ok
key alt+s
wait
quit
S
run version
status version 0
has version.log 'box "UTILDEMO" "Completed ... 5 Steps"'
has version.log "box \"UTILDEMO\" \"Can't Find Help\""
has version.log "box \"UTILDEMO\" \"Can't Find Reader Program\""
has version.log 'box "UTILDEMO" "UTILDEMO 6.0"'
has UTILDEMO.RPT 'Completed ... 5 Steps'
# The failed Read wrote nothing; Setup wrote the defaults and the reader choice made before it.
setup_file 6.00 5 UTILDEMO.RPT no-such-reader-program UTILDEMO.RPT Notepad
echo ok
