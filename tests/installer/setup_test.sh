#!/usr/bin/env bash
# VocaletSetup.exe and its uninstaller, silent, in a Wine prefix of their own (created fresh,
# removed at the end): the files, the Start menu shortcut and the entry in the list of
# installed programs; a second setup over the first; Easy Launch's shortcuts named by its
# uninstall notes in the machine's and the user's keys; the use count of the family's shared
# files; the user's message and options kept, or removed on request.
#   setup_test.sh SETUP.exe BIN_DIR WORK_DIR
set -uo pipefail
setup=$1 bin=$2 work=$3

export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No menu entries on the Linux desktop for the shortcuts setup makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine links the user's folders (Desktop, ...) to those of $HOME: a private one keeps the
# tests' shortcuts out of the real home.
export HOME="$work/home"

failures=0
pass() { printf 'ok    %s\n' "$*"; }
fail() { printf 'FAIL  %s\n' "$*"; failures=$((failures + 1)); }
check() { # description, command...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
absent() { [ ! -e "$1" ]; }

cleanup() {
  wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Wine's output goes to a log, never to ctest's pipes: its background services would
# inherit them and ctest would wait for those.
log="$work/wine.log"
w() { wine "$@" </dev/null >>"$log" 2>&1; }
reg32() { wine reg "$@" /reg:32 </dev/null 2>>"$log" | tr -d '\r'; }
# The data of a value, or nothing.
value() { # key, name
  local line prefix="    $2    REG_"
  while IFS= read -r line; do
    if [ "${line:0:${#prefix}}" = "$prefix" ]; then
      line=${line:${#prefix}}  # the rest of the type, four spaces, the data
      printf '%s\n' "${line#*    }"
      return
    fi
  done < <(reg32 query "$1" /v "$2")
}
has_key() { wine reg query "$1" /reg:32 </dev/null >/dev/null 2>&1; }
has_value() { wine reg query "$1" /v "$2" /reg:32 </dev/null >/dev/null 2>&1; }
unix() { winepath -u "$1" 2>>"$log"; }

rm -rf "$work"
mkdir -p "$HOME"
echo "creating a Wine prefix in $WINEPREFIX"
wineboot -i </dev/null >>"$log" 2>&1
# A persistent server for the whole run: each Wine command then starts in a fraction of a
# second.
wineserver -p
w cmd /c exit

CV='HKLM\Software\Microsoft\Windows\CurrentVersion'
UNINST="$CV\\Uninstall\\Quindle Vocalet"
SHARED="$CV\\SharedDLLs"
ICONS='HKLM\Software\Orvane\Uninstall Icons\Quindle Vocalet'
USER_ICONS='HKCU\Software\Orvane\Uninstall Icons\Quindle Vocalet'
OPTIONS='HKCU\Software\Quindle\Vocalet'
MLS='HKCU\Software\Quindle\MLS'

pf=$(value "$CV" ProgramFilesDir)
cf=$(value "$CV" CommonFilesDir)
[ -n "$pf" ] && [ -n "$cf" ] || { echo "no ProgramFilesDir/CommonFilesDir in the prefix"; exit 1; }
profile=$(wine cmd /c echo %USERPROFILE% </dev/null 2>>"$log" | tr -d '\r')
programdata=$(wine cmd /c echo %ProgramData% </dev/null 2>>"$log" | tr -d '\r')
instdir="$pf\\Quindle\\Vocalet"
orvane="$cf\\Orvane"
sendmail="$orvane\\SendMail.exe"
draghook="$orvane\\ovhkDrag.dll"
U_inst=$(unix "$instdir")
U_quindle=$(unix "$pf\\Quindle")
U_orvane=$(unix "$orvane")
U_startdir=$(unix "$programdata\\Microsoft\\Windows\\Start Menu\\Programs\\Quindle")
U_desktop=$(unix "$profile\\Desktop")
version=$(sed -n 's/.*VOCALET_VERSION_TEXT "\(.*\)"/\1/p' "$bin/../src/shell/version.h")

install() { w "$(unix "$setup")" /S; }
# The uninstaller copies itself to the temporary folder, starts the copy and ends; the copy
# deletes the uninstall entry last, so the uninstall is over when that key is gone.
uninstall() { # extra switches...
  w "$U_inst/Uninstall.exe" /S "$@" || return 1
  local i
  for i in $(seq 1 600); do
    has_key "$UNINST" || return 0
    sleep 0.1
  done
  echo "the uninstaller did not finish"
  return 1
}

same_files() { # the installed copies are the built ones
  local f ok=0
  for f in Vocalet.exe VocaletTips.enu; do cmp -s "$bin/$f" "$U_inst/$f" || ok=1; done
  for f in SendMail.exe ovhkDrag.dll; do cmp -s "$bin/$f" "$U_orvane/$f" || ok=1; done
  for f in "$bin"/mls/*.mls; do cmp -s "$f" "$U_inst/mls/$(basename "$f")" || ok=1; done
  [ "$(ls "$U_inst/mls" | wc -l)" -eq "$(ls "$bin"/mls/*.mls | wc -l)" ] || ok=1
  return $ok
}
equals() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }
shortcut_to_program() { [ -f "$1" ] && grep -aq 'Vocalet.exe' "$1"; }

echo "== silent setup in a fresh prefix"
check "setup /S succeeds" install
check "program, tips, translations and shared files installed as built" same_files
check "uninstaller in the program's folder" test -f "$U_inst/Uninstall.exe"
check "Start menu shortcut to the program" shortcut_to_program "$U_startdir/Vocalet.lnk"
check "entry: name" equals "$(value "$UNINST" DisplayName)" "Quindle Vocalet"
check "entry: version of the built program ($version)" equals "$(value "$UNINST" DisplayVersion)" "$version"
check "entry: publisher" equals "$(value "$UNINST" Publisher)" "Quindle"
check "entry: icon" equals "$(value "$UNINST" DisplayIcon)" "$instdir\\Vocalet.exe,0"
check "entry: uninstall command" equals "$(value "$UNINST" UninstallString)" "\"$instdir\\Uninstall.exe\""
check "entry: silent uninstall command" equals "$(value "$UNINST" QuietUninstallString)" "\"$instdir\\Uninstall.exe\" /S"
size_kb=$(( $(value "$UNINST" EstimatedSize) ))
files_kb=$(( ($(du -cb "$U_inst" "$U_orvane/SendMail.exe" "$U_orvane/ovhkDrag.dll" | tail -1 | cut -f1)) / 1024 ))
check "entry: size ${size_kb} KB matches the files (${files_kb} KB)" \
  test "$size_kb" -ge $((files_kb * 9 / 10)) -a "$size_kb" -le $((files_kb * 11 / 10 + 8))
check "mail-sender used once" equals "$(value "$SHARED" "$sendmail")" "0x1"
check "drag hook used once" equals "$(value "$SHARED" "$draghook")" "0x1"

echo "== the installed program starts and finds its translations"
# Vocalet fills MLSReport.txt beside itself, when that file exists, with the languages it
# found for each string module.
report="$U_inst/MLSReport.txt"
: >"$report"
timeout 120 wine "$U_inst/Vocalet.exe" </dev/null >>"$log" 2>&1 &
program=$!
for i in $(seq 1 600); do
  grep -q "Present Languages" "$report" 2>/dev/null && break
  sleep 0.1
done
codes=$(ls "$U_inst/mls" | sed -n 's/^Vocalet_\([a-z]*\)\.mls$/\1/p' | sort | tr '\n' ' ')
reported=$(tr -d '\r' <"$report" | sed -n 's/^MLS Module Vocalet=//p' | tr -d ' ' | tr ',' '\n' |
           grep -v '^enu$' | sort | tr '\n' ' ')
check "the program reports the installed translations ($codes)" eval '[ -n "$codes" ] && equals "$reported" "$codes"'
check "every module has every language" eval '! grep -q "Missing Languages" "$report"'
# taskkill without /f closes the windows, as a user would.
w taskkill /im Vocalet.exe
check "the program closes" wait $program
rm -f "$report"

echo "== a second setup over the first"
check "setup /S again succeeds" install
check "files still as built" same_files
check "the shared files still count one use" \
  equals "$(value "$SHARED" "$sendmail") $(value "$SHARED" "$draghook")" "0x1 0x1"

echo "== silent uninstall with nothing else of the family"
# The user's things: options naming a message file, the language, and Easy Launch's
# shortcuts with the notes it writes (value = the shortcut's full path, data empty).
msg_win="$profile\\My Message.wav"
msg=$(unix "$msg_win")
printf 'RIFF....WAVE' >"$msg"
reg32 add "$OPTIONS" /v MsgFileName /d "$msg_win" /f >/dev/null
reg32 add "$OPTIONS" /v GSM610 /t REG_DWORD /d 1 /f >/dev/null
reg32 add "$MLS" /v Vocalet /t REG_DWORD /d 3 /f >/dev/null
reg32 add "$MLS" /v SoundRec /t REG_DWORD /d 3 /f >/dev/null
mkdir -p "$U_desktop" "$(unix "$profile")/Quick Launch"
links=("$profile\\Desktop\\Quindle Vocalet.lnk" "$profile\\Quick Launch\\Quindle Vocalet.lnk")
for l in "${links[@]}"; do
  cp "$U_startdir/Vocalet.lnk" "$(unix "$l")"
  reg32 add "$ICONS" /v "$l" /d "" /f >/dev/null
done
# A standard user's notes, in the user's own key.
user_links=("$profile\\Start Menu\\Programs\\Quindle Vocalet.lnk")
mkdir -p "$(unix "$profile\\Start Menu\\Programs")"
for l in "${user_links[@]}"; do
  cp "$U_startdir/Vocalet.lnk" "$(unix "$l")"
  reg32 add "$USER_ICONS" /v "$l" /d "" /f >/dev/null
done
# A note with a wildcard names no one shortcut: it is not expanded.
other_link="$profile\\Desktop\\Other Program.lnk"
cp "$U_startdir/Vocalet.lnk" "$(unix "$other_link")"
reg32 add "$USER_ICONS" /v "$profile\\Desktop\\*.lnk" /d "" /f >/dev/null
reg32 add "$ICONS" /v "$profile\\Desktop\\Other Progra?.lnk" /d "" /f >/dev/null
# A note that names something other than a shortcut is not followed.
keep_win="$profile\\keep.txt"
echo keep >"$(unix "$keep_win")"
reg32 add "$ICONS" /v "$keep_win" /d "" /f >/dev/null
# Another program's uninstall notes stay.
reg32 add 'HKLM\Software\Orvane\Uninstall Icons\Orvane Other' /v 'C:\other.lnk' /d "" /f >/dev/null

check "uninstall /S finishes" uninstall
check "program folder gone" absent "$U_inst"
check "publisher folder gone" absent "$U_quindle"
check "Start menu shortcut and its folder gone" absent "$U_startdir"
for l in "${links[@]}"; do check "Easy Launch shortcut gone: $l" absent "$(unix "$l")"; done
for l in "${user_links[@]}"; do check "Easy Launch shortcut noted by the user gone: $l" absent "$(unix "$l")"; done
check "the notes' key gone" eval '! has_key "$ICONS"'
check "the user's notes' key gone" eval '! has_key "$USER_ICONS"'
check "a note with a wildcard is not expanded" test -f "$(unix "$other_link")"
check "another program's notes kept" has_value 'HKLM\Software\Orvane\Uninstall Icons\Orvane Other' 'C:\other.lnk'
check "a note naming no shortcut is not followed" test -f "$(unix "$keep_win")"
check "uninstall entry gone" eval '! has_key "$UNINST"'
check "no Orvane folder left" absent "$U_orvane"
check "use counts gone" eval '! has_value "$SHARED" "$sendmail" && ! has_value "$SHARED" "$draghook"'
check "message file kept" test -f "$msg"
check "options kept" equals "$(value "$OPTIONS" MsgFileName)" "$msg_win"
check "language kept" equals "$(value "$MLS" Vocalet)" "0x3"
reg32 delete 'HKLM\Software\Orvane' /f >/dev/null

echo "== uninstall while another program of the family uses the shared files, removing user data"
check "setup /S succeeds" install
# Another program's setup counts its use of the same files.
reg32 add "$SHARED" /v "$sendmail" /t REG_DWORD /d 2 /f >/dev/null
reg32 add "$SHARED" /v "$draghook" /t REG_DWORD /d 2 /f >/dev/null
printf 'RIFF....WAVE' >"$msg.new"
check "uninstall /S /REMOVEUSERDATA finishes" uninstall /REMOVEUSERDATA
check "program folder gone" absent "$U_inst"
check "shared files kept for the other program" test -f "$U_orvane/SendMail.exe" -a -f "$U_orvane/ovhkDrag.dll"
check "their use counts down to one" \
  equals "$(value "$SHARED" "$sendmail") $(value "$SHARED" "$draghook")" "0x1 0x1"
check "message file removed" absent "$msg"
check "a compression's leftover beside it removed" absent "$msg.new"
check "options removed" eval '! has_key "$OPTIONS"'
check "Vocalet's language removed" eval '! has_value "$MLS" Vocalet'
check "the family's other language values kept" equals "$(value "$MLS" SoundRec)" "0x3"

echo "== setup beside a shared file that nobody counted"
reg32 delete "$SHARED" /v "$sendmail" /f >/dev/null
reg32 delete "$SHARED" /v "$draghook" /f >/dev/null
check "setup /S succeeds" install
check "the uncounted copy counts as one use more" \
  equals "$(value "$SHARED" "$sendmail") $(value "$SHARED" "$draghook")" "0x2 0x2"
check "uninstall /S finishes" uninstall
check "shared files kept" test -f "$U_orvane/SendMail.exe" -a -f "$U_orvane/ovhkDrag.dll"

echo "== removing user data when MsgFileName names no message"
# Only the default message in the temporary folder goes; what the value names stays.
temp_win=$(wine cmd /c echo %TEMP% </dev/null 2>>"$log" | tr -d '\r')
default_msg="$(unix "$temp_win")/vocalet.wav"
others_win="$profile\\Others"
others=$(unix "$others_win")
mkdir -p "$others/folder.wav"
echo a >"$others/a.txt"
echo b >"$others/b.txt"
echo "not a wave" >"$others/notes.wav"
echo inside >"$others/folder.wav/inside.txt"
for named in "$others_win\\*.txt" "$others_win\\notes.wav" "$others_win\\folder.wav"; do
  check "setup /S succeeds" install
  printf 'RIFF....WAVE' >"$default_msg"
  reg32 add "$OPTIONS" /v MsgFileName /d "$named" /f >/dev/null
  check "uninstall /S /REMOVEUSERDATA finishes (MsgFileName $named)" uninstall /REMOVEUSERDATA
  check "the default message removed" absent "$default_msg"
  check "nothing that MsgFileName names removed" \
    test -f "$others/a.txt" -a -f "$others/b.txt" -a -f "$others/notes.wav" -a -f "$others/folder.wav/inside.txt"
done

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed; Wine's output:"
  tail -n 40 "$log"
  exit 1
fi
echo "all checks passed"
