#!/usr/bin/env bash
# Vocalet's one entry for building, running and testing on Debian 12.
#   ./build.sh run       install what is missing, build, install Vocalet into the Wine prefix
#                        with its setup and start it
#   ./build.sh test      install what is missing, build both trees, run every test
#   ./build.sh build     build both trees only
#   ./build.sh package   build build/win32/VocaletSetup.exe (NSIS)
#   ./build.sh bench     release host build and the product's compressor, run the benchmarks
#   ./build.sh fuzz T [SECONDS]   build the libFuzzer targets with clang and run target T
#   ./build.sh mutate [--tree win32] [OPTIONS] PATHS...   seeded mutants of the sources against
#                        the tests that link them (tools/mutate.py --help)
# The Windows tree build/win32 is the product: optimised, its shipped binaries stripped (their
# debug information beside them as .debug files). VOCALET_DEBUG=1 before any verb works on an
# unoptimised development tree build/win32-debug instead, with its own Wine prefix.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")" && pwd)"
cd "$ROOT"
JOBS="${JOBS:-$(nproc)}"
HOST="$ROOT/build/host"
if [ -n "${VOCALET_DEBUG:-}" ] && [ "${VOCALET_DEBUG}" != 0 ]; then
  WIN="$ROOT/build/win32-debug"
  WIN_TYPE=Debug
else
  WIN="$ROOT/build/win32"
  WIN_TYPE=Release
fi
export WINEPREFIX="$WIN/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { printf '== %s\n' "$*" >&2; }

setup() { "$ROOT/tools/install-deps.sh"; }

# Configure every time: folders that appeared since the last run are picked up, and a
# configured tree costs about a second. The host tree is a Debug build under sanitizers.
configure() { # dir, extra cmake args... (a later -DCMAKE_BUILD_TYPE wins)
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
}
configure_build() { # dir, extra cmake args...
  configure "$@"
  cmake --build "$1" -j "$JOBS"
}

build_host() { log "host build"; configure_build "$HOST"; }
WIN_CONFIG=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake"
            -DCMAKE_BUILD_TYPE="$WIN_TYPE")
build_win() {
  log "win32 build ($WIN_TYPE, ${WIN#$ROOT/})"
  configure_build "$WIN" "${WIN_CONFIG[@]}"
}

wine_prefix() {
  if [ ! -f "$WINEPREFIX/.vocalet-ready" ]; then
    log "creating the Wine prefix (once)"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # Windows not managed by an X window manager: with none on the virtual display, Wine
    # would wait two seconds for one each time a window is hidden.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vocalet-ready"
  fi
  # This Wine looks for its own fonts (fonts-wine) beside its data folder under a path it
  # cannot resolve, so Marlett (the caption buttons' symbols) and Tahoma (the dialogs' font)
  # are missing and other fonts stand in. The prefix's Fonts folder is always read.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/"
  fi
}

# Runs "$@" with a display: a private virtual one unless VOCALET_USE_DISPLAY is set and
# DISPLAY names a reachable X server.
with_display() {
  if [ -n "${VOCALET_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
  fi
}

# A warm wineserver: Wine's background services start here and not under ctest, whose
# output pipes they would otherwise inherit and hold open.
# A wineserver already running for the prefix (a manual run) serves as well.
wine_warm() { wineserver -p 2>/dev/null || true; wine cmd /c exit </dev/null >/dev/null 2>&1 || true; }
wine_cold() { wineserver -k 2>/dev/null || true; }

# For the tests, which run the program from build/win32/bin: the mail-sender and the drag hook
# library where the program looks for them, "<CommonFilesDir>\Orvane" of the prefix (the
# 32-bit view of the registry, as the program sees it). Needs a warm wineserver.
place_components() {
  local common unix
  common=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v CommonFilesDir \
             /reg:32 </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [ -n "$common" ] || { log "CommonFilesDir not found in the Wine prefix"; return 0; }
  unix=$(winepath -u "$common\Orvane" 2>/dev/null) || return 0
  mkdir -p "$unix"
  for f in SendMail.exe ovhkDrag.dll; do
    if [ -f "$WIN/bin/$f" ]; then cp "$WIN/bin/$f" "$unix/"; fi
  done
}

# Each tree's test reports, for the count of test cases at the end of the test command:
# ctest's own (one entry per executable) and one per GoogleTest executable.
# Python's unittest tells its count at the end of its output: ctest keeps the output whole.
fresh_results() { rm -rf "$1/test-results"; mkdir -p "$1/test-results"; }
REPORT_SIZES=(--test-output-size-passed 4000000 --test-output-size-failed 4000000)

run_win_tests() {
  wine_warm
  place_components
  local rc=0
  fresh_results "$WIN"
  # GoogleTest under Wine takes a path without a drive letter for a relative one.
  local reports
  reports=$(winepath -w "$WIN/test-results" </dev/null 2>/dev/null | tr -d '\r')
  # Tests that drive the virtual display with synthetic input get a second chance: under a
  # loaded machine an X event can come late. A test that fails twice fails.
  GTEST_OUTPUT="xml:$reports\\" ctest --test-dir "$WIN" --output-on-failure -j 1 \
    --repeat until-pass:2 --output-junit "$WIN/test-results/ctest.xml" "${REPORT_SIZES[@]}" \
    "$@" || rc=$?
  wine_cold
  return $rc
}

cmd_test() {
  setup
  build_host
  build_win
  wine_prefix
  local rc=0
  log "host tests"
  fresh_results "$HOST"
  GTEST_OUTPUT="xml:$HOST/test-results/" ctest --test-dir "$HOST" --output-on-failure \
    -j "$JOBS" --output-junit "$HOST/test-results/ctest.xml" "${REPORT_SIZES[@]}" || rc=1
  log "win32 tests (under Wine)"
  with_display "$0" _wintests "$@" || rc=1
  # The last line: the test cases of both trees. A skipped case fails the command too.
  local count
  count=$(python3 "$ROOT/tools/test-count.py" "$HOST/test-results" "$WIN/test-results") || rc=1
  [ $rc -eq 0 ] && log "all tests passed" || log "SOME TESTS FAILED"
  echo "$count"
  return $rc
}

cmd_run() {
  setup
  build_win
  wine_prefix
  if [ -n "${DISPLAY:-}" ]; then
    VOCALET_USE_DISPLAY=1 "$0" _start
  else
    log "no DISPLAY: starting a virtual one"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" _start
  fi
}

SETUP="$WIN/VocaletSetup.exe"

cmd_package() {
  setup
  log "win32 build ($WIN_TYPE): the setup"
  configure "$WIN" "${WIN_CONFIG[@]}"
  cmake --build "$WIN" -j "$JOBS" --target vocalet_setup
  log "$SETUP: $(stat -c %s "$SETUP") bytes; Vocalet.exe $(stat -c %s "$WIN/bin/Vocalet.exe") bytes"
}

# Installs the program with its setup, silently, as a user would (needs a warm wineserver);
# prints where Vocalet.exe went. A setup over an earlier one replaces it.
install_program() {
  [ -f "$SETUP" ] || { log "no $SETUP"; return 1; }
  log "installing Vocalet into the Wine prefix (VocaletSetup.exe /S)"
  # No menu entries on the Linux desktop for the prefix's Start menu shortcut.
  if ! WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" \
       wine "$SETUP" /S </dev/null >/dev/null 2>&1; then
    log "the setup failed (is Vocalet still running in this prefix?)"
    return 1
  fi
  local dir
  dir=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quindle Vocalet' \
          /v InstallLocation /reg:32 </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [ -n "$dir" ] || { log "the setup registered no InstallLocation"; return 1; }
  winepath -u "$dir\\Vocalet.exe"
}

cmd_start() {
  wine_warm
  local rc=0 exe
  if exe=$(install_program); then
    wine "$exe" "$@" || rc=$?
  else
    rc=1
  fi
  wine_cold
  return $rc
}

cmd_bench() {
  setup
  log "release host build for benchmarks"
  configure_build "$ROOT/build/bench" -DCMAKE_BUILD_TYPE=Release -DVOCALET_BENCH=ON \
    -DVOCALET_SANITIZE=OFF
  log "the product's compressor ($WIN_TYPE, ${WIN#$ROOT/})"
  configure "$WIN" "${WIN_CONFIG[@]}"
  cmake --build "$WIN" -j "$JOBS" --target vocalet-compress
  wine_prefix
  wine_warm
  local rc=0
  "$ROOT/bench/run.sh" "$ROOT/build/bench" "$WIN/bin/vocalet-compress.exe" || rc=$?
  wine_cold
  return $rc
}

cmd_fuzz() {
  setup
  local target=${1:?usage: ./build.sh fuzz TARGET [SECONDS]} secs=${2:-60}
  CC=clang CXX=clang++ configure_build "$ROOT/build/fuzz" -DVOCALET_FUZZ=ON
  local corpus="$ROOT/fuzz/corpus/$target" work="$ROOT/build/fuzz/corpus/$target"
  mkdir -p "$work"
  "$ROOT/build/fuzz/bin/$target" -max_total_time="$secs" -print_final_stats=1 "$work" \
    $( [ -d "$corpus" ] && echo "$corpus" )
}

cmd_mutate() {
  local tree=host prev=
  for a in "$@"; do
    case "$prev$a" in --treewin32|--tree=win32) tree=win32 ;; esac
    prev=$a
  done
  if [ "$tree" = host ]; then
    [ -f "$HOST/build.ninja" ] || build_host
    python3 "$ROOT/tools/mutate.py" "$@"
  else
    [ -f "$WIN/build.ninja" ] || build_win
    wine_prefix
    with_display "$0" _mutate "$@"
  fi
}

# Under Wine, like the Windows tests: a warm wineserver and the shared components in place.
run_win_mutants() {
  wine_warm
  place_components
  local rc=0
  python3 "$ROOT/tools/mutate.py" "$@" || rc=$?
  wine_cold
  return $rc
}

verb=${1:-test}; shift || true
case "$verb" in
  setup) setup ;;
  build) setup; build_host; build_win ;;
  package) cmd_package ;;
  test) cmd_test "$@" ;;
  run) cmd_run "$@" ;;
  bench) cmd_bench "$@" ;;
  fuzz) cmd_fuzz "$@" ;;
  mutate) cmd_mutate "$@" ;;
  _mutate) run_win_mutants "$@" ;;
  _wintests) run_win_tests "$@" ;;
  _start) cmd_start "$@" ;;
  *) echo "usage: $0 run|test|build|package|bench|fuzz|mutate" >&2; exit 2 ;;
esac
