#!/usr/bin/env bash
# VocaletSetup.exe and its uninstaller, silent, in a fresh Wine prefix removed at the end.
#   setup_test.sh SETUP.exe BIN_DIR WORK_DIR
set -uo pipefail
setup=$1 bin=$2 work=$3
export WINEPREFIX="$work/prefix" WINEDEBUG=-all HOME="$work/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
as() { "$@"; }
log="$work/wine.log"
source "$(dirname "$0")/checks.sh"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

rm -rf "$work"
mkdir -p "$HOME"
wineboot -i </dev/null >>"$log" 2>&1
wineserver -p
w cmd /c exit

CV='HKLM\Software\Microsoft\Windows\CurrentVersion' SHARED="$CV\\SharedDLLs"
UI='Software\Orvane\Uninstall Icons'
ICONS="HKLM\\$UI\\Quindle Vocalet" USER_ICONS="HKCU\\$UI\\Quindle Vocalet"
OTHER_ICONS="HKLM\\$UI\\Orvane Other"
OPTIONS='HKCU\Software\Quindle\Vocalet' MLS='HKCU\Software\Quindle\MLS'
pf=$(value "$CV" ProgramFilesDir) cf=$(value "$CV" CommonFilesDir)
[ -n "$pf" ] && [ -n "$cf" ] || { echo "no ProgramFilesDir/CommonFilesDir in the prefix"; exit 1; }
env_var() { wine cmd /c echo "%$1%" </dev/null 2>>"$log" | tr -d '\r'; }
profile=$(env_var USERPROFILE)
instdir="$pf\\Quindle\\Vocalet"
sendmail="$cf\\Orvane\\SendMail.exe" draghook="$cf\\Orvane\\ovhkDrag.dll"
U_inst=$(unix "$instdir") U_quindle=$(unix "$pf\\Quindle") U_orvane=$(unix "$cf\\Orvane")
U_startdir=$(unix "$(env_var ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs\\Quindle")
version=$(sed -n 's/.*VOCALET_VERSION_TEXT "\(.*\)"/\1/p' "$bin/../src/shell/version.h")

install() { w "$(unix "$setup")" /S; }
same_files() { # the installed copies are the built ones
  local f ok=0
  for f in Vocalet.exe $(cd "$bin" && ls VocaletTips.* mls/*.mls); do
    cmp -s "$bin/$f" "$U_inst/$f" || ok=1
  done
  for f in SendMail.exe ovhkDrag.dll; do cmp -s "$bin/$f" "$U_orvane/$f" || ok=1; done
  [ "$(ls "$U_inst/mls" | wc -l)" -eq "$(ls "$bin"/mls/*.mls | wc -l)" ] && return $ok
}
uses() { equals "$(value "$SHARED" "$sendmail") $(value "$SHARED" "$draghook")" "$1 $1"; }

check "setup /S in a fresh prefix succeeds" install
check "program, tips, translations and shared files installed as built" same_files
check "Start menu shortcut to the program" grep -aq Vocalet.exe "$U_startdir/Vocalet.lnk"
small() { [ "$(stat -c %s "$1")" -le "$2" ]; }
check "setup at most 1.5 MiB" small "$setup" 1572864
check "installed Vocalet.exe at most 2 MiB" small "$U_inst/Vocalet.exe" 2097152
check "installed Vocalet.exe without debug sections" \
  sh -c '! i686-w64-mingw32-objdump -h "$1" | grep -q "\.debug"' - "$U_inst/Vocalet.exe"
while IFS='|' read -r name expected; do
  check "entry: $name" equals "$(value "$UNINST" "$name")" "$expected"
done <<EOF
DisplayName|Quindle Vocalet
DisplayVersion|$version
Publisher|Quindle
DisplayIcon|$instdir\\Vocalet.exe,0
UninstallString|"$instdir\\Uninstall.exe"
QuietUninstallString|"$instdir\\Uninstall.exe" /S
EOF
size_kb=$(( $(value "$UNINST" EstimatedSize) ))
files_kb=$(( $(du -cb "$U_inst" "$U_orvane"/{SendMail.exe,ovhkDrag.dll} | tail -1 | cut -f1) / 1024 ))
check "entry: size ${size_kb} KB matches the files (${files_kb} KB)" \
  test "$size_kb" -ge $((files_kb * 9 / 10)) -a "$size_kb" -le $((files_kb * 11 / 10 + 8))
check "mail-sender and drag hook used once" uses 0x1

check "setup /S over the first succeeds" install
check "files still as built" same_files
check "the shared files still count one use" uses 0x1

# The user's message, options and language; Easy Launch's shortcuts and notes (path = value).
msg_win="$profile\\My Message.wav" msg=$(unix "$msg_win")
printf 'RIFF....WAVE' >"$msg"
reg32 add "$OPTIONS" /v MsgFileName /d "$msg_win" /f >/dev/null
for v in Vocalet SoundRec; do reg32 add "$MLS" /v $v /t REG_DWORD /d 3 /f >/dev/null; done
mkdir -p "$(unix "$profile\\Desktop")" "$(unix "$profile")/Quick Launch" \
         "$(unix "$profile\\Start Menu\\Programs")"
keep_win="$profile\\keep.txt"  # a note that names no shortcut
echo keep >"$(unix "$keep_win")"
other_link="$profile\\Desktop\\Other Program.lnk"  # named only by wildcards
links=("$profile\\Desktop\\Quindle Vocalet.lnk" "$profile\\Quick Launch\\Quindle Vocalet.lnk"
       "$profile\\Start Menu\\Programs\\Quindle Vocalet.lnk")
for l in "${links[@]}" "$other_link"; do cp "$U_startdir/Vocalet.lnk" "$(unix "$l")"; done
while IFS='|' read -r key note; do reg32 add "$key" /v "$note" /d "" /f >/dev/null; done <<EOF
$ICONS|${links[0]}
$ICONS|${links[1]}
$USER_ICONS|${links[2]}
$USER_ICONS|$profile\\Desktop\\*.lnk
$ICONS|$profile\\Desktop\\Other Progra?.lnk
$ICONS|$keep_win
$OTHER_ICONS|C:\\other.lnk
EOF
check "uninstall /S with nothing else of the family finishes" uninstall "$U_inst"
for f in "$U_inst" "$U_quindle" "$U_startdir" "$U_orvane"; do check "gone: $f" absent "$f"; done
for l in "${links[@]}"; do check "Easy Launch shortcut gone: $l" absent "$(unix "$l")"; done
check "the notes' keys gone" eval '! has_key "$ICONS" && ! has_key "$USER_ICONS"'
check "a note with a wildcard is not expanded" test -f "$(unix "$other_link")"
check "a note naming no shortcut is not followed" test -f "$(unix "$keep_win")"
check "another program's notes kept" has_value "$OTHER_ICONS" 'C:\other.lnk'
check "uninstall entry gone" eval '! has_key "$UNINST"'
check "use counts gone" eval '! has_value "$SHARED" "$sendmail" && ! has_value "$SHARED" "$draghook"'
check "message file kept" test -f "$msg"
check "options kept" equals "$(value "$OPTIONS" MsgFileName)" "$msg_win"
check "language kept" equals "$(value "$MLS" Vocalet)" "0x3"
reg32 delete 'HKLM\Software\Orvane' /f >/dev/null

check "setup /S succeeds" install
for f in "$sendmail" "$draghook"; do reg32 add "$SHARED" /v "$f" /t REG_DWORD /d 2 /f >/dev/null; done
printf 'RIFF....WAVE' >"$msg.new"
check "uninstall /S /REMOVEUSERDATA while another program uses the shared files finishes" \
  uninstall "$U_inst" /REMOVEUSERDATA
check "program folder gone" absent "$U_inst"
check "shared files kept for the other program" test -f "$U_orvane/SendMail.exe" -a -f "$U_orvane/ovhkDrag.dll"
check "their use counts down to one" uses 0x1
check "message file and a compression's leftover beside it removed" eval 'absent "$msg" && absent "$msg.new"'
check "options removed" eval '! has_key "$OPTIONS"'
check "Vocalet's language removed" eval '! has_value "$MLS" Vocalet'
check "the family's other language values kept" equals "$(value "$MLS" SoundRec)" "0x3"

for f in "$sendmail" "$draghook"; do reg32 delete "$SHARED" /v "$f" /f >/dev/null; done
check "setup /S beside shared files that nobody counted succeeds" install
check "the uncounted copy counts as one use more" uses 0x2
check "uninstall /S finishes" uninstall "$U_inst"
check "shared files kept" test -f "$U_orvane/SendMail.exe" -a -f "$U_orvane/ovhkDrag.dll"

default_msg="$(unix "$(env_var TEMP)")/vocalet.wav"
others_win="$profile\\Others" others=$(unix "$others_win")
mkdir -p "$others/folder.wav"
kept=(a.txt b.txt notes.wav folder.wav/inside.txt)
for f in "${kept[@]}"; do echo "not a wave" >"$others/$f"; done
for named in "$others_win\\*.txt" "$others_win\\notes.wav" "$others_win\\folder.wav"; do
  check "setup /S succeeds" install
  printf 'RIFF....WAVE' >"$default_msg"
  reg32 add "$OPTIONS" /v MsgFileName /d "$named" /f >/dev/null
  check "uninstall /S /REMOVEUSERDATA finishes (MsgFileName $named)" uninstall "$U_inst" /REMOVEUSERDATA
  check "the default message removed" absent "$default_msg"
  check "nothing that MsgFileName names removed" eval '(cd "$others" && ls "${kept[@]}" >/dev/null)'
done
finish
