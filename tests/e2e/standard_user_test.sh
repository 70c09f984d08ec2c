#!/usr/bin/env bash
# Vocalet as a standard user on a Russian system meets it: an unprivileged account installs it
# with VocaletSetup.exe into a Wine prefix of its own under LANG=ru_RU.UTF-8 (ANSI code page
# 1251); then the program folder and "<CommonFilesDir>\Orvane" are made read-only, as they are
# for a standard user, and the driver (StandardUser_test.cpp) goes through the whole job with
# the scripted microphone. Afterwards: nothing was written into those folders, and the
# uninstaller removes the Easy Launch shortcut noted in the user's registry.
#   standard_user_test.sh SETUP.exe DRIVER.exe MIC_DIR XDG_EMAIL_STAND_IN
set -uo pipefail
mic=$3 xdg=$4

# Root writes everywhere: the test needs an account that may not. Under CI (root) it is made
# once; a developer who is not root is such an account already.
account=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  account=vocalet-user
  id -u "$account" >/dev/null 2>&1 || useradd -m "$account" || { echo "useradd failed"; exit 1; }
fi

failures=0
pass() { printf 'ok    %s\n' "$*"; }
fail() { printf 'FAIL  %s\n' "$*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

xvfb= display=
cleanup() {
  as_user wineserver -k 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}

# Everything the account uses is copied into a folder of its own under /tmp: the build tree
# may lie where it cannot go (a clone in root's home).
work=$(mktemp -d "${TMPDIR:-/tmp}/vocalet-standard-user.XXXXXX") || exit 1
trap cleanup EXIT
mkdir -p "$work/home" "$work/fakebin"
cp "$1" "$work/VocaletSetup.exe"
cp "$2" "$work/driver.exe"
setup="$work/VocaletSetup.exe" driver="$work/driver.exe"
cp "$mic/in.raw" "$work/in.raw"
cp "$xdg" "$work/fakebin/xdg-email"
chmod 755 "$work/fakebin/xdg-email"
# The scripted microphone (see cmake/Vocalet.cmake, vocalet_scripted_mic) in the account's HOME.
cat >"$work/home/.asoundrc" <<EOF
pcm.!default { type asym playback.pcm "outnull" capture.pcm "cap" }
pcm.outnull { type null }
pcm.nullcap { type null }
pcm.capraw { type file slave.pcm "nullcap" file "/dev/null" infile "$work/in.raw" format "raw" }
pcm.cap { type plug slave { pcm "capraw" format S16_LE rate 22050 channels 1 } }
EOF
chown -R "$account" "$work"

# A display of our own that any account may use.
exec 3>"$work/display"
Xvfb -displayfd 3 -ac -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for i in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")

log="$work/wine.log"
as_user() {
  local run=()
  [ "$(id -u)" -eq 0 ] && run=(runuser -u "$account" --)
  "${run[@]}" env -i PATH="$work/fakebin:/usr/local/bin:/usr/bin:/bin" HOME="$work/home" \
    USER="$account" LOGNAME="$account" WINEPREFIX="$work/prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY="$display" \
    LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$@"
}
# Wine's output goes to the log: its background services would hold ctest's pipes open.
w() { as_user wine "$@" </dev/null >>"$log" 2>&1; }
reg32() { as_user wine reg "$@" /reg:32 </dev/null 2>>"$log" | tr -d '\r'; }
value() { reg32 query "$1" /v "$2" | sed -n "s/^    $2    REG_[A-Z_]*    //p"; }
has_key() { as_user wine reg query "$1" /reg:32 </dev/null >/dev/null 2>&1; }
unix() { as_user winepath -u "$1" 2>>"$log"; }
# The value names of a key: the shortcuts its notes name.
names() { reg32 query "$1" | sed -n 's/^    \(.*\)    REG_SZ    .*$/\1/p'; }

cd "$work"
echo "creating a Wine prefix as $account under LANG=ru_RU.UTF-8"
as_user wineboot -i </dev/null >>"$log" 2>&1
w reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
as_user wineserver -p </dev/null >>"$log" 2>&1
w cmd /c exit

check "setup /S succeeds as $account" w "$setup" /S
UNINST='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quindle Vocalet'
instdir=$(value "$UNINST" InstallLocation)
orvane="$(value 'HKLM\Software\Microsoft\Windows\CurrentVersion' CommonFilesDir)\\Orvane"
[ -n "$instdir" ] || { echo "the setup registered no InstallLocation"; tail -n 40 "$log"; exit 1; }
U_inst=$(unix "$instdir")
U_orvane=$(unix "$orvane")

# What a standard user may not change.
chmod -R a-w "$U_inst" "$U_orvane"
check "the program folder refuses $account" eval '! as_user touch "$U_inst/probe" 2>/dev/null'
snapshot() { find "$U_inst" "$U_orvane" -printf '%P %s %T@ %m\n' | sort; }
snapshot >"$work/before"

echo "== the whole job (StandardUser_test.cpp)"
xdg_args="Z:$(printf '%s' "$work/fakebin/xdg-email.args" | tr / '\\')"
as_user env VOCALET_BIN_DIR="$instdir" E2E_XDG_ARGS="$xdg_args" wine "$driver" \
  </dev/null >"$work/driver.log" 2>&1
driver_rc=$?
tr -d '\r' <"$work/driver.log" | grep -v '^\s*$'
check "the job is done without a message box" test $driver_rc -eq 0
snapshot >"$work/after"
check "nothing written into the program folder or <CommonFilesDir>\\Orvane" \
  diff "$work/before" "$work/after"

USER_ICONS='HKCU\Software\Orvane\Uninstall Icons\Quindle Vocalet'
mapfile -t links < <(names "$USER_ICONS")
check "Easy Launch noted its shortcut in HKEY_CURRENT_USER" test ${#links[@]} -eq 1
for l in "${links[@]}"; do check "the noted shortcut exists: $l" test -f "$(unix "$l")"; done

echo "== uninstall (by whoever may write the program folder)"
chmod -R u+w "$U_inst" "$U_orvane"
uninstall() {
  w "$U_inst/Uninstall.exe" /S || return 1
  for i in $(seq 1 600); do has_key "$UNINST" || return 0; sleep 0.1; done
  return 1
}
check "uninstall /S finishes" uninstall
for l in "${links[@]}"; do check "the shortcut is gone: $l" test ! -e "$(unix "$l")"; done
check "the user's notes are gone" eval '! has_key "$USER_ICONS"'

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed; Wine's output:"
  tail -n 40 "$log"
  exit 1
fi
echo "all checks passed"
