#!/usr/bin/env bash
# Idle benchmark: what velmora costs while nobody uses it, beside a bare Qt 6 window in the same
# run, under a virtual display with a window manager (Xvfb with openbox). Each program starts,
# settles, and is then watched for a while: CPU time, wakeups (the context switches of all its
# threads) and process spawns. Velmora is watched twice: without any automation rule, and with an
# enabled "an app opens" rule (which looks for launches every second).
# Targets without an app-launch rule: nothing runs between the monitor's 20 s ticks, so at most
# the one tool run of each tick (pmset's battery report serves the power source and the level)
# and the bare window's wakeups plus ten per tick (the run's start and reaping, the tick itself);
# exits non-zero when missed. Takes about three
# times the watch; not part of the test run.
# Usage: bench/idle.sh [seconds watched, 60 by default]   (builds nothing; run scripts/test first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="${VELMORA_BUILD_DIR:-$here/build}/bin"
watch_seconds="${1:-60}"
settle_seconds=5
# The monitor ticks every 20 s; each tick reads the power source and the battery.
tick_seconds=20

for program in bench_app bench_bare_window; do
  [ -x "$bin/$program" ] || { echo "idle: $bin/$program is missing; build first" >&2; exit 1; }
done
if [ -z "${VELMORA_BENCH_UNDER_XVFB:-}" ]; then
  for tool in xvfb-run dbus-run-session openbox perf; do
    command -v "$tool" >/dev/null || { echo "idle: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
  done
  VELMORA_BENCH_UNDER_XVFB=1 exec dbus-run-session -- xvfb-run -a -s "-screen 0 1440x900x24" "$0" "$@"
fi

openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
sleep 0.5

# A home past the questionnaire, with one enabled app-launch rule when $2 is "launch-rule".
prepare_home() {
  local folder="$1/Library/Preferences" rules=""
  mkdir -p "$folder"
  local profile='{"fields":[],"goals":[],"device":"laptop","completedOnboarding":true}'
  if [ "$2" = launch-rule ]; then
    local rule='[{"id":"R","kind":"appLaunched","setupID":"S","enabled":true,"threshold":0,"hour":0,"minute":0,"appBundleID":"com.apple.Notes","appName":"Notes"}]'
    rules="<key>velmora_automation_rules</key><data>$(printf '%s' "$rule" | base64 -w0)</data>"
  fi
  cat >"$folder/com.velmora.app.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>userProfile</key><data>$(printf '%s' "$profile" | base64 -w0)</data>$rules</dict></plist>
PLIST
}

# Watches one start of $1 (home kind $2): prints "<cpu ms> <wakeups> <spawns>".
watch() {
  local program="$1" kind="$2" work pid report
  work="$(mktemp -d)"
  mkdir -m 700 "$work/runtime"
  prepare_home "$work/home" "$kind"
  XDG_RUNTIME_DIR="$work/runtime" VELMORA_HOME_ROOT="$work/home" VELMORA_SYSTEM_ROOT="$work/system" \
    "$bin/$program" >/dev/null 2>&1 &
  pid=$!
  sleep "$settle_seconds"
  report="$work/perf"
  perf stat -x, -o "$report" -e task-clock,context-switches,sched:sched_process_fork \
    --per-thread -p "$pid" -- sleep "$watch_seconds" >/dev/null 2>&1 || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  # Summed over the threads: task-clock in ms, switches and forks as counts.
  awk -F, '
    /task-clock/ { cpu += $2 }
    /context-switches/ { switches += $2 }
    /sched_process_fork/ { forks += $2 }
    END { printf "%.1f %d %d\n", cpu, switches, forks }' "$report"
  rm -rf "$work"
}

read -r bare_cpu bare_wake bare_spawn < <(watch bench_bare_window none)
read -r app_cpu app_wake app_spawn < <(watch bench_app none)
read -r rule_cpu rule_wake rule_spawn < <(watch bench_app launch-rule)

ticks=$((watch_seconds / tick_seconds))
echo "idle for ${watch_seconds} s after a ${settle_seconds} s settle (Xvfb 1440x900, openbox)"
printf '  %-34s %10s %10s %8s\n' "" "CPU (ms)" wakeups spawns
printf '  %-34s %10s %10s %8s\n' "bare Qt window" "$bare_cpu" "$bare_wake" "$bare_spawn"
printf '  %-34s %10s %10s %8s\n' "velmora, no app-launch rule" "$app_cpu" "$app_wake" "$app_spawn"
printf '  %-34s %10s %10s %8s\n' "velmora, an app-launch rule" "$rule_cpu" "$rule_wake" "$rule_spawn"
echo "  targets without an app-launch rule: spawns <= $ticks (one tool run per 20 s tick),"
echo "  wakeups <= bare + $((10 * ticks)) (ten per tick, nothing between the ticks)"
missed=0
[ "$app_spawn" -le "$ticks" ] || { echo "  MISSED: spawns"; missed=1; }
[ "$app_wake" -le $((bare_wake + 10 * ticks)) ] || { echo "  MISSED: wakeups"; missed=1; }
exit "$missed"
