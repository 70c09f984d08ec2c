#!/usr/bin/env bash
# bench/run.sh BUILDDIR [PRODUCT_EXE]: the compression benchmark. Compresses a 10-minute
# 44100 Hz stereo 16-bit speech file with sox, with the host vocalet-compress of BUILDDIR
# (CompressWaveFile) and, when given, with the product's vocalet-compress.exe under Wine
# (WINEPREFIX and a running wineserver come from the caller: build.sh bench). Prints the times
# and their ratios to sox, Wine's bare process start-up apart, whether the two builds' outputs
# are the same bytes, the host build's peak memory against input + output + 8 MiB, and our
# GSM 06.10 encoder against libgsm on the same 8000 Hz input.
set -euo pipefail
BUILD=$(cd "${1:?usage: bench/run.sh BUILDDIR [PRODUCT_EXE]}" && pwd)
PRODUCT=${2:+$(cd "$(dirname "$2")" && pwd)/$(basename "$2")}
WORK="$BUILD/bench-data"
ROUNDS=${ROUNDS:-5}
mkdir -p "$WORK"
cd "$WORK"

if [ ! -f in.wav ]; then
  echo "== making 10 minutes of 44100 Hz stereo speech" >&2
  espeak-ng -s 150 -w a.wav "Please call me back when you get this message. The meeting moved to Thursday at \
half past three, in the small room on the second floor. Bring the figures for the last quarter."
  espeak-ng -v en-us -s 180 -p 70 -w b.wav "If the train is late again I will take the bus from the station \
and walk the last part. Seventy seven, one hundred and four, nine thousand. See you soon."
  sox a.wav b.wav -r 44100 -c 2 -b 16 pair.wav
  # The two channels differ a little, as from a real stereo microphone.
  sox pair.wav long.wav remix 1v1.0 1v0.8 repeat 80
  sox long.wav in.wav trim 0 600
  sox in.wav -r 8000 -c 1 -b 16 -e signed -t raw in8k.raw
  rm -f a.wav b.wav pair.wav long.wav
fi

# Runs "$@" ROUNDS times on a fresh copy of in.wav (the copy is not timed); prints the best
# wall time and the largest peak resident size in KiB.
measure() {
  local best="" peak=0
  for _ in $(seq "$ROUNDS"); do
    cp in.wav run.wav
    rm -f out.wav
    # The copy's own write-back is not the candidate's: a candidate that flushes its output
    # (ours does, before it replaces the message) would otherwise wait for these 100 MB too.
    sync
    if [ -x /usr/bin/time ]; then
      /usr/bin/time -f "%e %M" -o time.txt "$@" >/dev/null
      read -r secs kib < time.txt
    else
      # Without GNU time the peak memory includes the launching Python's own (about 10 MiB).
      read -r secs kib < <(python3 -c '
import resource, subprocess, sys, time
t = time.monotonic()
if subprocess.call(sys.argv[1:], stdout=subprocess.DEVNULL) != 0: sys.exit("failed")
print("%.3f %d" % (time.monotonic() - t, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss))' "$@")
    fi
    if [ -z "$best" ] || awk "BEGIN{exit !($secs < $best)}"; then best=$secs; fi
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  echo "$best $peak"
}

# Interleaved, so that a change in the machine's load touches every candidate alike.
read -r sox_secs sox_kib < <(measure sox run.wav -r 8000 -c 1 -e gsm-full-rate out.wav)
sox_out=$(stat -c %s out.wav)
read -r ours ours_kib < <(measure "$BUILD/bin/vocalet-compress" run.wav)
ours_out=$(stat -c %s run.wav)
cp run.wav host.wav
if [ -n "$PRODUCT" ]; then
  read -r startup _ < <(measure wine cmd /c exit)
  read -r product _ < <(measure wine "$PRODUCT" run.wav)
  product_out=$(stat -c %s run.wav)
  cp run.wav product.wav
fi
in_size=$(stat -c %s in.wav)

echo "input: $(soxi -d in.wav) of 44100 Hz stereo 16-bit, $in_size bytes; best of $ROUNDS runs"
printf 'sox (native):                     %6.2f s  output %d bytes\n' "$sox_secs" "$sox_out"
printf 'host vocalet-compress:            %6.2f s  output %d bytes\n' "$ours" "$ours_out"
awk -v a="$ours" -v b="$sox_secs" 'BEGIN{printf "ratio host/sox:                   %6.2f  (target <= 0.35)\n", a / b}'
if [ -n "$PRODUCT" ]; then
  printf 'Wine start-up (wine cmd /c exit): %6.2f s\n' "$startup"
  printf 'product vocalet-compress.exe:     %6.2f s  output %d bytes (under Wine, start-up included)\n' \
    "$product" "$product_out"
  awk -v a="$product" -v s="$startup" -v b="$sox_secs" 'BEGIN{
    printf "ratio product/sox:                %6.2f  (target <= 0.50, aim 0.35)\n", a / b
    printf "ratio product/sox, less start-up: %6.2f\n", (a - s) / b}'
  if cmp -s host.wav product.wav; then
    echo "host and product outputs: byte-identical"
  else
    echo "host and product outputs: DIFFERENT ($(cmp host.wav product.wav | head -1))"
  fi
fi
budget=$(( (in_size + ours_out) / 1024 + 8192 ))
echo "peak memory: vocalet-compress ${ours_kib} KiB, budget input + output + 8 MiB = ${budget} KiB ($([ "$ours_kib" -le "$budget" ] && echo within || echo OVER)); sox ${sox_kib} KiB"
"$BUILD/bin/bench_gsm_encoder" in8k.raw
