#!/usr/bin/env bash
# The interface benchmarks (bench_views, bench_window) offscreen and on a real X server with a
# window manager (Xvfb with openbox, as the end-to-end desktop brings up), one after the other in
# the same run. Each program prints its figures and targets; the targets hold on X, so the X run
# decides the exit status. Pass benchmark flags through, e.g. --benchmark_repetitions=5.
# Usage: bench/views.sh [benchmark flags]   (builds nothing; run scripts/test first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELMORA_BUILD_DIR:-$here/build}/bin"
programs=(bench_views bench_window)

for program in "${programs[@]}"; do
  [ -x "$bin/$program" ] || { echo "views: $bin/$program is missing; build first" >&2; exit 1; }
done

if [ -z "${VELMORA_BENCH_UNDER_XVFB:-}" ]; then
  echo "== offscreen"
  for program in "${programs[@]}"; do
    QT_QPA_PLATFORM=offscreen "$bin/$program" "$@" 2>/dev/null || true
  done
  for tool in xvfb-run dbus-run-session openbox; do
    command -v "$tool" >/dev/null || { echo "views: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
  done
  echo "== X (Xvfb 1440x900, openbox)"
  VELMORA_BENCH_UNDER_XVFB=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1440x900x24" "$0" "$@"
fi

openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
sleep 0.5
status=0
for program in "${programs[@]}"; do
  QT_QPA_PLATFORM=xcb "$bin/$program" "$@" 2>/dev/null || status=1
done
exit "$status"
