#!/bin/sh
# cmake/split-debug.sh OBJCOPY LINK-COMMAND...: runs the link command, then moves the debug
# information of its output (-o FILE) to FILE.debug and strips FILE, which keeps a link to it.
set -e
objcopy=$1
shift
"$@"
out=
while [ $# -gt 0 ]; do
  if [ "$1" = "-o" ] && [ $# -gt 1 ]; then out=$2; fi
  shift
done
[ -n "$out" ] || { echo "split-debug.sh: no -o in the link command" >&2; exit 1; }
"$objcopy" --only-keep-debug "$out" "$out.debug"
# The link names the .debug file without its folder: a debugger looks for it beside the binary.
cd "$(dirname "$out")"
"$objcopy" --strip-all --add-gnu-debuglink="$(basename "$out").debug" "$(basename "$out")"
