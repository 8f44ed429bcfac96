#!/usr/bin/env bash
# Plants junk in the demo prefix ($WINEPREFIX): browser-cache files (with the names the scan skips),
# old and new temporary files, and recycle-bin content, so that the junk row shows a real size.
set -euo pipefail
# Wine empties the Unix trash as the recycle bin: only the scripts' environment keeps it inside the build.
: "${XDG_DATA_HOME:?run by scripts/demo-machine.sh, which keeps the Unix trash inside the build}"
win_var() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
unix_of() { winepath -u "$1" 2>/dev/null; }
blob() { head -c "$2" /dev/urandom > "$1"; }

cache=$(unix_of "$(win_var LOCALAPPDATA)\\Microsoft\\Windows\\INetCache")
mkdir -p "$cache/IE5/K3XQ7B2D" "$cache/IE5/0F9PLM4Z"
blob "$cache/IE5/K3XQ7B2D/news[1].htm" 184320
blob "$cache/IE5/K3XQ7B2D/logo[1].gif" 46080
blob "$cache/IE5/0F9PLM4Z/app[2].js" 311296
blob "$cache/IE5/0F9PLM4Z/banner[1].jpg" 102400
# Names the scan passes over: the cache index, icons, folder settings and cookie files.
blob "$cache/IE5/index.dat" 32768
blob "$cache/IE5/0F9PLM4Z/favicon[1].ico" 1150
printf '[.ShellClassInfo]\r\n' > "$cache/IE5/desktop.ini"

temp=$(unix_of "$(win_var TEMP)")
mkdir -p "$temp/~setup0412"
blob "$temp/~DF3A1C.tmp" 524288
blob "$temp/install.log" 20480
blob "$temp/~setup0412/data1.cab" 2097152
touch -d '10 days ago' "$temp/~DF3A1C.tmp" "$temp/install.log" "$temp/~setup0412/data1.cab"
blob "$temp/~DF9E02.tmp" 65536 # new: kept by the age rule

# The bin of the prefix's user: the folder named by the user's SID (the one key of that form below
# HKEY_USERS). The program measures and empties that folder only.
sid=$(wine reg query 'HKEY_USERS' 2>/dev/null | tr -d '\r' | grep -o 'S-1-5-21-[0-9-]*$' | head -n 1)
[ -n "$sid" ] || { echo "junk plant: no user SID in the prefix" >&2; exit 1; }
bin=$(unix_of 'C:\$Recycle.Bin')/$sid
mkdir -p "$bin"
blob "$bin/\$R1A2B3C.txt" 5242880
blob "$bin/\$I1A2B3C.txt" 544

# Junk of today's Windows, one kind per switch: an update download, an error report, two crash
# dumps (the user's own and a minidump) and a thumbnail cache.
windir=$(unix_of "$(win_var WINDIR)")
mkdir -p "$windir/SoftwareDistribution/Download/3f8a1c0e"
blob "$windir/SoftwareDistribution/Download/3f8a1c0e/windows10.0-kb5031356-x64.cab" 3145728
wer=$(unix_of "$(win_var ProgramData)\\Microsoft\\Windows\\WER\\ReportArchive")
mkdir -p "$wer/AppCrash_notepad.exe_7c1d"
blob "$wer/AppCrash_notepad.exe_7c1d/Report.wer" 12288
local_app=$(unix_of "$(win_var LOCALAPPDATA)")
mkdir -p "$local_app/CrashDumps" "$windir/Minidump" "$local_app/Microsoft/Windows/Explorer"
blob "$local_app/CrashDumps/notepad.exe.4120.dmp" 786432
blob "$windir/Minidump/121026-01.dmp" 262144
blob "$local_app/Microsoft/Windows/Explorer/thumbcache_256.db" 1048576
