#!/usr/bin/env bash
# Runs the demo utility headless: Setup, Go with progress lines and report, Esc abort, Help and Read,
# the set-up file written and read back, and a set-up file of another version ignored.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*"; echo "--- log"; cat "$work"/*.log 2>/dev/null; exit 1; }
run() {  # run NAME: script NAME.script, log NAME.log
  MERO_SCRIPT=$1.script MERO_LOG=$1.log MERO_READER=/bin/true "$program"
  echo $? > $1.status
}
has() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }

cat > setup.script <<'S'
answer SETUP set 100 "3" set 101 "DEMO.RPT" press ok
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
[ "$(cat setup.status)" = 0 ] || fail "setup run ended with $(cat setup.status)"
has setup.log 'dialog DISPLAY'
has setup.log '"Step 3 Done"'
has setup.log 'box "UTILDEMO" "Completed ... 3 Steps"'
grep -q "Can't Find Help" setup.log || [ -x "$(dirname "$program")/whpv" ] || fail "no help start"
has DEMO.RPT 'Step 2 Done'
has DEMO.RPT 'Completed ... 3 Steps'
printf '6.00\r\n3\r\nDEMO.RPT\r\nNotepad\r\nDEMO.RPT\r\n' | cmp -n 33 - Utildemo.su6 || fail "set-up file: $(od -c Utildemo.su6 | head)"

cat > again.script <<'S'
answer PAUSE press cancel
command 14
wait
quit
S
run again
has again.log 'box "UTILDEMO" "Aborted ... Files may be Incomplete"'
has DEMO.RPT 'Step 1 Done'
grep -q 'Step 2 Done' DEMO.RPT && fail "the run went on after Cancel"

printf '6.01\r\n7\r\nOTHER.RPT\r\n' > Utildemo.su6
cat > version.script <<'S'
command 14
wait
quit
S
run version
has version.log 'Completed ... 5 Steps'
[ -f UTILDEMO.RPT ] || fail "defaults not used"
echo ok
