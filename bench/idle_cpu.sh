#!/usr/bin/env bash
# CPU share of one core the viewer uses while its Display tab polls an idle simulated
# instrument. Usage: bench/idle_cpu.sh [build dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/bin/viewer" --simulator >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
sleep 2 # start-up and connection are not part of the figure
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
sleep "$seconds"
t1=$(ticks)
awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "viewer CPU while polling the display: %.2f %% of one core\n", 100 * d / hz / s }'
