#!/usr/bin/env bash
# Start-up benchmark of the velmora program under a virtual display: the time from starting the
# program to its main window's first paint, and its resident memory 3 seconds after the start.
# Usage: bench/startup.sh [runs]   (builds nothing; run scripts/run or scripts/test first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
program="${VELMORA_BUILD_DIR:-$here/build}/bin/velmora"
runs="${1:-10}"
settle_seconds=3
show_timeout_ms=10000

if [ ! -x "$program" ]; then
  echo "startup: $program is missing; build first (scripts/test)" >&2
  exit 1
fi
# Always a fresh virtual display, so that the figures do not depend on the desktop in use.
if [ -z "${VELMORA_BENCH_UNDER_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "startup: xvfb-run is missing (scripts/setup installs it)" >&2; exit 1; }
  VELMORA_BENCH_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1440x900x24" "$0" "$@"
fi

now_ns() { date +%s%N; }

times_ms=()
rss_kib=()
for ((run = 1; run <= runs; run++)); do
  work="$(mktemp -d)"
  mkdir -m 700 "$work/runtime"
  shown="$work/shown"
  start=$(now_ns)
  VELMORA_FIRST_SHOW_FILE="$shown" XDG_RUNTIME_DIR="$work/runtime" \
    VELMORA_HOME_ROOT="$work/home" VELMORA_SYSTEM_ROOT="$work/system" \
    "$program" 2>/dev/null &
  pid=$!
  waited=0
  while [ ! -s "$shown" ] && ((waited < show_timeout_ms)); do
    sleep 0.002
    waited=$(( ($(now_ns) - start) / 1000000 ))
  done
  if [ ! -s "$shown" ]; then
    kill "$pid" 2>/dev/null || true
    echo "startup: run $run showed no window within ${show_timeout_ms} ms" >&2
    exit 1
  fi
  times_ms+=("$(awk -v a="$start" -v b="$(cat "$shown")" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')")
  # Resident memory 3 seconds after the start.
  remaining=$(awk -v a="$start" -v n="$(now_ns)" -v s="$settle_seconds" 'BEGIN { r = s - (n - a) / 1e9; printf "%.3f", (r > 0 ? r : 0) }')
  sleep "$remaining"
  rss_kib+=("$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$work"
done

summary() {  # prints min, median and max of its arguments
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "min %s  median %s  max %s", v[1], v[int((NR + 1) / 2)], v[NR] }'
}
echo "velmora start-up over $runs runs (Xvfb 1440x900)"
echo "  start to first window paint (ms): $(summary "${times_ms[@]}")   target <= 80"
rss_mib=()
for k in "${rss_kib[@]}"; do rss_mib+=("$(awk -v k="$k" 'BEGIN { printf "%.1f", k / 1024 }')"); done
echo "  resident memory after ${settle_seconds} s (MiB): $(summary "${rss_mib[@]}")   target <= 45"
