# Sourced by the setup's tests, which define as() (how Wine's commands run) and $log.
failures=0
check() { # description, command...
  local what=$1; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
equals() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }
absent() { [ ! -e "$1" ]; }
# Wine's output goes to the log: its background services would hold ctest's pipes open.
w() { as wine "$@" </dev/null >>"$log" 2>&1; }
reg32() { as wine reg "$@" /reg:32 </dev/null 2>>"$log" | tr -d '\r'; }
has_key() { as wine reg query "$1" /reg:32 </dev/null >/dev/null 2>&1; }
has_value() { as wine reg query "$1" /v "$2" /reg:32 </dev/null >/dev/null 2>&1; }
unix() { as winepath -u "$1" 2>>"$log"; }
value() { # key, name: the data, or nothing
  reg32 query "$1" /v "$2" | p="    $2    REG_" awk 'index($0, ENVIRON["p"]) == 1 {
    s = substr($0, length(ENVIRON["p"]) + 1); sub(/^[A-Z_]+    /, "", s); print s; exit }'
}
UNINST='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quindle Vocalet'
# The uninstaller's copy in the temporary folder deletes the uninstall entry last.
uninstall() { # program folder (Unix), extra switches...
  local dir=$1 i; shift
  w "$dir/Uninstall.exe" /S "$@" || return 1
  for i in $(seq 1 600); do has_key "$UNINST" || return 0; sleep 0.1; done
  echo "the uninstaller did not finish"; return 1
}
finish() {
  [ $failures -eq 0 ] && { echo "all checks passed"; return; }
  echo "$failures check(s) failed; Wine's output:"
  tail -n 40 "$log"
  exit 1
}
