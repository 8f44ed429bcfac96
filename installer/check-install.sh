#!/usr/bin/env bash
# The setup program, its uninstaller and the portable zip on a fresh Windows machine (a Wine prefix of
# their own): install silently, scan from the installed folder, read the uninstall entry, upgrade an
# older installation in place, uninstall silently and compare the prefix's files and HKLM with the
# state before; a file the user put into the program folder stays; the portable zip scans from a
# folder outside Program Files.
# Usage: installer/check-install.sh <setup.exe> <portable.zip> <work-folder> <version>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$(readlink -f "$1")
zip=$(readlink -f "$2")
mkdir -p "$3"
work=$(cd "$3" && pwd)
version=$4

. "$root/scripts/wine-env.sh"
brisfold_wine_env "$work"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
rm -rf "$WINEPREFIX" "$work/state"
mkdir -p "$work/state"
brisfold_wine_prefix "$work"

fail() {
  echo "install check: $*" >&2
  exit 1
}

program_win='C:\Program Files\Quillmar Brisfold'
program_dir="$WINEPREFIX/drive_c/Program Files/Quillmar Brisfold"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillmar Brisfold.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuillmarBrisfold'

# Every running program of the prefix has ended, pending restart deletions have run (the uninstaller's
# working copy in the temporary folder is one) and the registry is on disk.
settle() {
  wineserver -w
  wineboot -r >/dev/null 2>&1 || true
  wineserver -w
}

# The prefix's files (kind and path below drive_c) and HKLM's keys and value names, one per line.
snapshot() {
  (cd "$WINEPREFIX" && find drive_c -printf '%y %p\n' | LC_ALL=C sort) >"$work/state/$1.files"
  python3 - "$WINEPREFIX/system.reg" >"$work/state/$1.hklm" <<'EOF'
import re, sys
key, seen = None, set()
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if line.startswith("["):
        key = re.sub(r"\]\s*\d*$", "", line[1:])
        seen.add("key " + key)
    elif key is not None:
        match = re.match(r'(@|"(?:[^"\\]|\\.)*")=', line)
        if match:
            seen.add("value " + key + " | " + match.group(1))
for item in sorted(seen):
    print(item)
EOF
}

# Lines only in the first or only in the second snapshot file.
only_in() { LC_ALL=C comm -23 "$1" "$2"; }

value_of() {
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

zip_names() {
  python3 - "$zip" <<'EOF'
import sys, zipfile
for name in zipfile.ZipFile(sys.argv[1]).namelist():
    if not name.endswith("/"):
        print(name.split("/", 1)[1])
EOF
}

settle
snapshot before

# Install, and what the setup program leaves.
wine "$setup" /S || fail "the setup program failed with status $?"
settle
expected=$( (zip_names; echo Uninstall.exe) | LC_ALL=C sort)
installed=$(cd "$program_dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ from the shipped ones:
$(diff <(echo "$expected") <(echo "$installed"))"
[ -f "$shortcut" ] || fail "no Start menu shortcut"
for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation EstimatedSize UninstallString \
            QuietUninstallString; do
  [ -n "$(value_of "$name")" ] || fail "the uninstall entry has no $name"
done
[ "$(value_of DisplayVersion)" = "$version" ] || fail "DisplayVersion is $(value_of DisplayVersion), not $version"
[ "$(value_of InstallLocation)" = "$program_win" ] || fail "InstallLocation is $(value_of InstallLocation)"
[ "$(value_of QuietUninstallString)" = "\"$program_win\\Uninstall.exe\" /S" ] ||
  fail "QuietUninstallString is $(value_of QuietUninstallString)"
if wine reg query "$uninstall_key" /reg:32 >/dev/null 2>&1; then
  fail "the uninstall entry is in the 32-bit view of the registry"
fi

# The installed program scans.
status=0
wine "$program_win\\BrisfoldCmd.exe" /scan >"$work/state/installed-scan.txt" 2>&1 || status=$?
[ "$status" -le 1 ] || fail "the installed program's scan ended with status $status: $(cat "$work/state/installed-scan.txt")"
grep -q "Quillmar Brisfold scan report" "$work/state/installed-scan.txt" || fail "the installed program printed no report"

# An older version is upgraded in place: same folder, one entry, the new files and version.
wine reg add "$uninstall_key" /v DisplayVersion /d 0.9.0 /f >/dev/null 2>&1
echo "older program" >"$program_dir/Brisfold.exe"
wine "$setup" /S || fail "the setup program over an older version failed with status $?"
settle
[ "$(value_of DisplayVersion)" = "$version" ] || fail "the upgrade left DisplayVersion at $(value_of DisplayVersion)"
python3 - "$zip" "$program_dir/Brisfold.exe" <<'EOF' || fail "the upgrade did not replace Brisfold.exe"
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
shipped = archive.read(next(n for n in archive.namelist() if n.endswith("/Brisfold.exe")))
sys.exit(0 if open(sys.argv[2], "rb").read() == shipped else 1)
EOF

# Uninstall the way "Apps and features" does it quietly; the uninstaller copies itself away and
# returns at once, so settle waits for its copy.
wine "$program_win\\Uninstall.exe" /S || fail "the uninstaller failed with status $?"
settle
snapshot after

# What a scan itself makes is not the program's: its application-data folder, the URL-cache
# containers that the system creates when the cache is first read, and registry keys that the
# registry fixer opens with create (they are created empty). The uninstaller's working copy is
# deleted at the restart, but the restart leaves its folder in the temporary folder, empty.
scan_made='^. drive_c/users/[^/]*/AppData/(Roaming/Kelvor(/|$)|Local/Microsoft/Windows/(History/History\.IE5|INetCache/Content\.IE5|INetCookies/index\.dat))'
working_copy='^d drive_c/users/[^/]*/Temp/~nsu[^/]*\.tmp$'
removed_files=$(only_in "$work/state/before.files" "$work/state/after.files")
added_files=$(only_in "$work/state/after.files" "$work/state/before.files" | grep -Ev "$scan_made|$working_copy" || true)
# Wine's display driver rebuilds the device classes whenever a program opens a desktop.
devices='^(key|value) System\\\\CurrentControlSet\\\\(Control\\\\Class|Enum)\\\\'
removed_keys=$(only_in "$work/state/before.hklm" "$work/state/after.hklm" | grep -Ev "$devices" || true)
added_values=$(only_in "$work/state/after.hklm" "$work/state/before.hklm" | grep -v '^key ' | grep -Ev "$devices" || true)
[ -z "$removed_files" ] || fail "files that were there before are gone:
$removed_files"
[ -z "$added_files" ] || fail "files are left behind:
$added_files"
[ -z "$removed_keys" ] || fail "HKLM entries that were there before are gone:
$removed_keys"
[ -z "$added_values" ] || fail "HKLM values are left behind:
$added_values"
if grep -iE 'brisfold|quillmar' "$work/state/after.files" "$work/state/after.hklm"; then
  fail "something of the program is left"
fi

# A file the user put into the program folder stays, and with it its folder.
wine "$setup" /S || fail "the second installation failed with status $?"
echo "my notes" >"$program_dir/notes.txt"
wine "$program_win\\Uninstall.exe" /S || fail "the second uninstallation failed with status $?"
settle
left=$(cd "$program_dir" && find . | LC_ALL=C sort | tr '\n' ' ')
[ "$left" = ". ./notes.txt " ] || fail "after uninstalling, the program folder holds: $left"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
rm -rf "$program_dir"

# The portable zip runs from wherever it is unpacked.
portable="$WINEPREFIX/drive_c/Tools"
mkdir -p "$portable"
(cd "$portable" && cmake -E tar xf "$zip")
status=0
wine 'C:\Tools\Quillmar Brisfold\BrisfoldCmd.exe' /scan >"$work/state/portable-scan.txt" 2>&1 || status=$?
[ "$status" -le 1 ] || fail "the portable program's scan ended with status $status: $(cat "$work/state/portable-scan.txt")"
grep -q "Quillmar Brisfold scan report" "$work/state/portable-scan.txt" || fail "the portable program printed no report"

wineserver -k 2>/dev/null || true
echo "install check: setup, upgrade, uninstall and portable zip of version $version passed"
