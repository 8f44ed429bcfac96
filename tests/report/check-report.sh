#!/usr/bin/env bash
# The JSON reports of the demo machine (a Wine prefix of its own with planted traces) against
# docs/report.schema.json: a scan, a scan with its repair, a restore of the repair's undo file and a
# listing of the quarantine that holds the repair's spyware, each
# written with /report and validated by Debian's python3-jsonschema under /usr/bin/python3 (another
# python3 on PATH may not see Debian's packages). The console's last line must be the report's summary.
# Usage: tests/report/check-report.sh <build-folder> <work-folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)

fail() {
  echo "report check: $*" >&2
  exit 1
}

/usr/bin/python3 -c 'import jsonschema' 2>/dev/null ||
  fail "the Python module jsonschema is missing for /usr/bin/python3: install Debian's python3-jsonschema (scripts/setup.sh does)"

bash "$root/scripts/demo-machine.sh" "$build" "$work/demo" >"$work/demo-machine.log" 2>&1 ||
  fail "the demo machine could not be prepared: $(tail -5 "$work/demo-machine.log")"
. "$root/scripts/wine-env.sh"
brisfold_wine_env "$work/demo" "$work/demo/prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
# The console program makes its (hidden) windows even without a display: Wine's null graphics driver.
brisfold_wine_headless
program='C:\Program Files\Quillmar Brisfold\BrisfoldCmd.exe'
reports_win='C:\Reports'
reports="$WINEPREFIX/drive_c/Reports"
mkdir -p "$reports"

# Runs the program with the arguments; its standard output goes to <name>.txt. Prints the status as a
# Unix shell sees it (3010 arrives as 194).
run() {
  local name=$1 status=0
  shift
  wine "$program" "$@" >"$work/$name.txt" 2>"$work/$name.err" || status=$?
  echo "$status"
}

status=$(run scan /scan /report "$reports_win\\scan.json")
[ "$status" = 1 ] || fail "the demo scan ended with status $status: $(cat "$work/scan.err")"
status=$(run repair /scan /repair /report "$reports_win\\repair.json")
case "$status" in 1 | 3 | 194) ;; *) fail "the demo repair ended with status $status: $(cat "$work/repair.err")" ;; esac
undo=$(/usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["scanners"][1]["repair"]["undoFile"] or "")' \
  "$reports/repair.json")
[ -n "$undo" ] || fail "the demo repair's report names no undo file"
status=$(run restore /restore "$undo" /report "$reports_win\\restore.json")
[ "$status" = 0 ] || fail "the restore ended with status $status: $(cat "$work/restore.err")"
run_name=$(/usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["scanners"][0]["repair"]["quarantineRun"] or "")' \
  "$reports/repair.json")
[ -n "$run_name" ] || fail "the demo repair's report names no quarantine run"
status=$(run quarantine /quarantine list /report "$reports_win\\quarantine.json")
[ "$status" = 0 ] || fail "the quarantine list ended with status $status: $(cat "$work/quarantine.err")"
grep -q "$run_name" "$reports/quarantine.json" || fail "the quarantine list's report does not name the run $run_name"
# No temporary file is left beside the reports.
leftover=$(cd "$reports" && ls | grep -v '^\(scan\|repair\|restore\|quarantine\)\.json$' || true)
[ -z "$leftover" ] || fail "files left beside the reports: $leftover"

/usr/bin/python3 "$root/tests/report/validate_report.py" "$root/docs/report.schema.json" \
  "$reports/scan.json=$work/scan.txt" "$reports/repair.json=$work/repair.txt" "$reports/restore.json=$work/restore.txt" \
  "$reports/quarantine.json=$work/quarantine.txt"
