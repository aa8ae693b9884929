#!/usr/bin/env bash
# Time from the answer to the first presented frame, and peak memory: the
# demo against a bare GLX window program, several runs each, medians printed.
#   bench/startup/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "${DISPLAY:-}" ] || { echo "needs an X display" >&2; exit 1; }
export vblank_mode=0

cc -O2 -shared -fPIC "$here/present_probe.c" -o "$work/probe.so" -ldl
cc -O2 "$here/bare_glx.c" -o "$work/bare_glx" -lGL -lX11

now_ns() { date +%s%N; }

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: >"$work/demo.txt"
: >"$work/bare.txt"
for i in $(seq "$runs"); do
  # The demo: the clock starts when the question is answered.
  (cd "$build/bin" && PRESENT_PROBE_OUT="$work/d.out" LD_PRELOAD="$work/probe.so" ./rayheight 2>/dev/null) &
  pid=$!
  xdotool search --sync --name '^Video!$' >/dev/null
  sleep 0.2
  t0=$(now_ns)
  xdotool key n 2>/dev/null
  xdotool search --sync --name '^Rilevamento' >/dev/null
  sleep 0.5
  xdotool key Escape
  wait $pid
  read -r first peak <"$work/d.out"
  echo "$(( (first - t0) / 1000 )) $peak" >>"$work/demo.txt"

  # The baseline: the clock starts when it is started.
  t0=$(now_ns)
  PRESENT_PROBE_OUT="$work/b.out" LD_PRELOAD="$work/probe.so" "$work/bare_glx" 2>/dev/null
  read -r first peak <"$work/b.out"
  echo "$(( (first - t0) / 1000 )) $peak" >>"$work/bare.txt"
done

printf '%-10s %22s %16s\n' program "answer to first frame" "peak memory"
for p in demo bare; do
  us=$(cut -d' ' -f1 "$work/$p.txt" | median)
  kib=$(cut -d' ' -f2 "$work/$p.txt" | median)
  printf '%-10s %19d us %12d KiB\n' "$p" "$us" "$kib"
done
