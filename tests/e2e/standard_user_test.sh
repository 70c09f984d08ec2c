#!/usr/bin/env bash
# An unprivileged account installs Vocalet under LANG=ru_RU.UTF-8 and, with the program's
# folders read-only, runs StandardUser_test.cpp.  Arguments: SETUP DRIVER MIC_DIR XDG_EMAIL
set -uo pipefail
account=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
  account=vocalet-user
  id -u "$account" >/dev/null 2>&1 || useradd -m "$account" || { echo "useradd failed"; exit 1; }
fi
# The account may not reach the build tree: what it uses is copied.
work=$(mktemp -d "${TMPDIR:-/tmp}/vocalet-standard-user.XXXXXX") || exit 1
log="$work/wine.log" xvfb= display=
as() {
  local run=()
  [ "$(id -u)" -eq 0 ] && run=(runuser -u "$account" --)
  "${run[@]}" env -i PATH="$work/fakebin:/usr/local/bin:/usr/bin:/bin" HOME="$work/home" \
    USER="$account" LOGNAME="$account" WINEPREFIX="$work/prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY="$display" \
    LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$@"
}
source "$(dirname "$0")/../installer/checks.sh"
trap 'as wineserver -k 2>/dev/null; [ -n "$xvfb" ] && kill $xvfb; chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/fakebin"
cp "$1" "$2" "$3/in.raw" "$work/"
install -m 755 "$4" "$work/fakebin/xdg-email"
sed "s|$3/in.raw|$work/in.raw|" "$3/.asoundrc" >"$work/home/.asoundrc"
chown -R "$account" "$work"

# A display of our own that any account may use.
exec 3>"$work/display"
Xvfb -displayfd 3 -ac -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for i in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")

cd "$work"
as wineboot -i </dev/null >>"$log" 2>&1
w reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
as wineserver -p </dev/null >>"$log" 2>&1
w cmd /c exit

check "setup /S succeeds as $account" w "$work/$(basename "$1")" /S
instdir=$(value "$UNINST" InstallLocation)
orvane="$(value 'HKLM\Software\Microsoft\Windows\CurrentVersion' CommonFilesDir)\\Orvane"
[ -n "$instdir" ] || { echo "the setup registered no InstallLocation"; tail -n 40 "$log"; exit 1; }
U_inst=$(unix "$instdir") U_orvane=$(unix "$orvane")

# What a standard user may not change.
chmod -R a-w "$U_inst" "$U_orvane"
check "the program folder refuses $account" eval '! as touch "$U_inst/probe" 2>/dev/null'
snapshot() { find "$U_inst" "$U_orvane" -printf '%P %s %T@ %m\n' | sort; }
snapshot >"$work/before"

xdg_args="Z:$(printf '%s' "$work/fakebin/xdg-email.args" | tr / '\\')"
as env VOCALET_BIN_DIR="$instdir" E2E_XDG_ARGS="$xdg_args" wine "$work/$(basename "$2")" \
  </dev/null >"$work/driver.log" 2>&1
driver_rc=$?
tr -d '\r' <"$work/driver.log" | grep -v '^\s*$'
check "the job is done without a message box" test $driver_rc -eq 0
snapshot >"$work/after"
check "nothing written into the program folder or <CommonFilesDir>\\Orvane" \
  diff "$work/before" "$work/after"

check "the language chosen last (Russian) remembered" \
  equals "$(value 'HKCU\Software\Quindle\MLS' Vocalet)" 0xd
# The driver made the machine's key refuse Easy Launch's note: it lands in the user's.
ICONS='Software\Orvane\Uninstall Icons\Quindle Vocalet' USER_ICONS="HKCU\\$ICONS"
check "no note in HKEY_LOCAL_MACHINE" eval '! has_key "HKLM\\$ICONS"'
mapfile -t links < <(reg32 query "$USER_ICONS" | sed -n 's/^    \(.*\)    REG_SZ    .*$/\1/p')
check "Easy Launch noted its one shortcut in HKEY_CURRENT_USER" test ${#links[@]} -eq 1
for l in "${links[@]}"; do
  check "the noted shortcut exists: $l" eval '[[ $l == *"\Quindle Vocalet.lnk" ]] && test -f "$(unix "$l")"'
done

chmod -R u+w "$U_inst" "$U_orvane"
check "uninstall /S finishes" uninstall "$U_inst"
for l in "${links[@]}"; do check "the shortcut is gone: $l" absent "$(unix "$l")"; done
check "the user's notes are gone" eval '! has_key "$USER_ICONS"'
finish
