#!/usr/bin/env bash
# Start-up benchmark under a virtual display with a window manager (openbox), velmora against a
# bare Qt 6 window measured by the same method in the same run, so that the ratios hold on a noisy
# machine. Velmora starts past its questionnaire, on Home, as at every start but the first; it is
# started from the benchmark's own entry (bench_app: the same program, which also reports its
# first paint). Exits non-zero when a target is missed.
#   - start to first paint: from starting the program to its main window's first paint (velmora's
#     window shows the Home page over the real layers: preference files, stand-in tools);
#   - resident memory 3 s after the start;
#   - resident memory after a visit of every page and both sheets (bench_visit: the application's
#     launch, then each page and sheet shown in turn), against the bare window's at 3 s.
# The bare window drawing one line of text in the default font (bench_bare_window --line) is
# measured beside them and printed as a reference only: it is what any window that shows text
# starts with (the font configuration, a font engine, the shaper). The targets are against the
# bare window.
# Usage: bench/startup.sh [runs]   (builds nothing; run scripts/run or scripts/test first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELMORA_BUILD_DIR:-$here/build}/bin"
runs="${1:-10}"
settle_seconds=3
show_timeout_seconds=10
targets="first paint <= 2x, memory at 3 s <= 1.2x, memory after the visit <= 1.4x"

for program in bench_app bench_bare_window bench_visit; do
  if [ ! -x "$bin/$program" ]; then
    echo "startup: $bin/$program is missing; build first (scripts/test)" >&2
    exit 1
  fi
done
# Always a fresh virtual display and a session bus of its own, as a desktop session has one (a
# program without a bus would have one autolaunched at its start, which is no start a user
# sees), so that the figures do not depend on the desktop in use. Both end with the run.
if [ -z "${VELMORA_BENCH_UNDER_XVFB:-}" ]; then
  for tool in xvfb-run dbus-run-session openbox; do
    command -v "$tool" >/dev/null || { echo "startup: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
  done
  VELMORA_BENCH_UNDER_XVFB=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1440x900x24" "$0" "$@"
fi

# The shell's own clock in nanoseconds, read without starting a process (not even a subshell):
# the start is stamped right before the program's own process is made.
now_ns() { now="${EPOCHREALTIME/./}000"; }

# The session's runtime folder (the instance lock and socket) on a memory file system, as a
# desktop session's /run/user/<uid> is; a lock file on disk would cost a flush to the disk.
runtime_folder() {
  local parent=/dev/shm
  [ -d "$parent" ] && [ -w "$parent" ] || parent="$1"
  mktemp -d -p "$parent"
}

# The window manager of the display, as on a desktop; it ends with the display.
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
sleep 0.5

# The profile of a user past the questionnaire, in the simulated home's preferences.
profile_json='{"fields":[],"goals":[],"device":"laptop","completedOnboarding":true}'
past_questionnaire() {
  local folder="$1/Library/Preferences"
  mkdir -p "$folder"
  cat >"$folder/com.velmora.app.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>userProfile</key><data>$(printf '%s' "$profile_json" | base64 -w0)</data></dict></plist>
PLIST
}

# One start of $1 (with the arguments after it) over a fresh simulated Mac: prints
# "<ms to first paint> <resident KiB at 3 s>".
# The program writes the time of its first paint into a pipe that this shell waits on, so that
# nothing of the benchmark's runs beside the program while it starts: polling for a file would
# start a process every few milliseconds, on the cores the program and the display share.
measure() {
  local program="$1" work runtime shown fd now start pid stamp ms rss remaining
  shift
  work="$(mktemp -d)"
  runtime="$(runtime_folder "$work")"
  past_questionnaire "$work/home"
  shown="$work/shown"
  mkfifo "$shown"
  # Open for reading and writing, which does not wait for a writer; the program's own open then
  # finds a reader at once.
  exec {fd}<>"$shown"
  now_ns
  start="$now"
  VELMORA_FIRST_SHOW_FILE="$shown" XDG_RUNTIME_DIR="$runtime" \
    VELMORA_HOME_ROOT="$work/home" VELMORA_SYSTEM_ROOT="$work/system" \
    "$bin/$program" "$@" 2>/dev/null {fd}<&- &
  pid=$!
  if ! read -r -t "$show_timeout_seconds" -u "$fd" stamp; then
    exec {fd}<&-
    kill "$pid" 2>/dev/null || true
    rm -rf "$work" "$runtime"
    echo "startup: $program showed no window within ${show_timeout_seconds} s" >&2
    return 1
  fi
  exec {fd}<&-
  ms="$(awk -v a="$start" -v b="$stamp" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')"
  now_ns
  remaining=$(awk -v a="$start" -v n="$now" -v s="$settle_seconds" 'BEGIN { r = s - (n - a) / 1e9; printf "%.3f", (r > 0 ? r : 0) }')
  sleep "$remaining"
  rss="$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$work" "$runtime"
  echo "$ms $rss"
}

# One visit over a fresh simulated Mac: prints the resident KiB at its end.
visit() {
  local work runtime
  work="$(mktemp -d)"
  runtime="$(runtime_folder "$work")"
  past_questionnaire "$work/home"
  XDG_RUNTIME_DIR="$runtime" VELMORA_HOME_ROOT="$work/home" \
    VELMORA_SYSTEM_ROOT="$work/system" "$bin/bench_visit" 2>/dev/null | awk '/^rss_kib/ { print $2 }'
  rm -rf "$work" "$runtime"
}

app_ms=() app_rss=() bare_ms=() bare_rss=() line_ms=() line_rss=() visit_rss=()
for ((run = 1; run <= runs; run++)); do
  # Alternated, so that a slow stretch of the machine weighs on both alike.
  read -r ms rss < <(measure bench_app) || exit 1
  app_ms+=("$ms") app_rss+=("$rss")
  read -r ms rss < <(measure bench_bare_window) || exit 1
  bare_ms+=("$ms") bare_rss+=("$rss")
  read -r ms rss < <(measure bench_bare_window --line) || exit 1
  line_ms+=("$ms") line_rss+=("$rss")
  visit_rss+=("$(visit)")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

a_ms="$(median "${app_ms[@]}")" b_ms="$(median "${bare_ms[@]}")"
a_rss="$(median "${app_rss[@]}")" b_rss="$(median "${bare_rss[@]}")"
v_rss="$(median "${visit_rss[@]}")"
l_ms="$(median "${line_ms[@]}")" l_rss="$(median "${line_rss[@]}")"
echo "velmora against a bare Qt 6 window, medians of $runs runs (Xvfb 1440x900, openbox)"
printf '  %-38s %10s %10s %7s\n' "" velmora bare ratio
printf '  %-38s %10s %10s %7s\n' "start to first paint (ms)" "$a_ms" "$b_ms" "$(ratio "$a_ms" "$b_ms")"
printf '  %-38s %10s %10s %7s\n' "resident memory at ${settle_seconds} s (MiB)" "$(mib "$a_rss")" "$(mib "$b_rss")" "$(ratio "$a_rss" "$b_rss")"
printf '  %-38s %10s %10s %7s\n' "resident memory after the visit (MiB)" "$(mib "$v_rss")" "$(mib "$b_rss")" "$(ratio "$v_rss" "$b_rss")"
echo "  reference, not a target: the bare window drawing one line of text"
printf '  %-38s %10s %10s %7s\n' "start to first paint (ms)" "$a_ms" "$l_ms" "$(ratio "$a_ms" "$l_ms")"
printf '  %-38s %10s %10s %7s\n' "resident memory at ${settle_seconds} s (MiB)" "$(mib "$a_rss")" "$(mib "$l_rss")" "$(ratio "$a_rss" "$l_rss")"
printf '  %-38s %10s %10s %7s\n' "resident memory after the visit (MiB)" "$(mib "$v_rss")" "$(mib "$l_rss")" "$(ratio "$v_rss" "$l_rss")"
echo "  targets: $targets"
missed=0
awk -v a="$a_ms" -v b="$b_ms" 'BEGIN { exit !(a <= 2 * b) }' || { echo "  MISSED: first paint"; missed=1; }
awk -v a="$a_rss" -v b="$b_rss" 'BEGIN { exit !(a <= 1.2 * b) }' || { echo "  MISSED: memory at ${settle_seconds} s"; missed=1; }
awk -v a="$v_rss" -v b="$b_rss" 'BEGIN { exit !(a <= 1.4 * b) }' || { echo "  MISSED: memory after the visit"; missed=1; }
exit "$missed"
