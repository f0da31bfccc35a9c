#!/usr/bin/env bash
# CPU share of one core a program uses while it polls the display of an idle simulated
# instrument about 10 times a second.
#
# Usage: bench/idle_cpu.sh [build dir] [seconds] [viewer|bare] [changing|steady]
#   viewer    the viewer with its Display tab in front (default)
#   bare      bench_idlepoll, a bare QSerialPort loop polling at the same rate
#   changing  the simulator's display changes at most polls (a load with noise; default)
#   steady    it never changes (no noise, no load)
#
# The viewer runs from a copy of the program folder, so the port it is given does not end up
# in the build's config.ini. CPU time is the sum of all the program's threads, in
# nanoseconds from /proc/PID/task/*/schedstat.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
seconds=${2:-10}
program=${3:-viewer}
display=${4:-changing}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [[ -n ${KEEP_WORK:-} ]] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

case $display in
  changing) load=(--load 250 --noise 3) ;;
  steady) load=(--load 0 --noise 0) ;;
  *) echo "unknown display kind: $display" >&2; exit 2 ;;
esac
"$build/bin/q900sim" --log "$work/sim.log" "${load[@]}" >"$work/sim.out" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
device=$(head -n 1 "$work/sim.out")
[[ -n $device ]] || { echo "q900sim printed no device" >&2; exit 1; }

case $program in
  viewer)
    mkdir "$work/program"
    cp -r "$build/bin/." "$work/program/"
    "$work/program/viewer" --port "$device" --cable rs232 --address 1 >/dev/null 2>&1 &
    ;;
  bare) "$build/bench/bench_idlepoll" "$device" >/dev/null 2>&1 & ;;
  *) echo "unknown program: $program" >&2; exit 2 ;;
esac
pid=$!
pids+=("$pid")

cpu_ns() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
sleep 2 # start-up and connection are not part of the figure
kill -0 "$pid" 2>/dev/null || { echo "$program ended early" >&2; exit 1; }
line0=$(wc -l <"$work/sim.log")
t0=$(date +%s%N)
c0=$(cpu_ns)
sleep "$seconds"
c1=$(cpu_ns)
t1=$(date +%s%N)
# Display replies in the window and how many differed from the one before.
tail -n +"$((line0 + 1))" "$work/sim.log" | awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" \
  -v what="$program" -v kind="$display" '
  / >> A.110009:/ { n++; if (n > 1 && $3 != last) changed++; last = $3 }
  END {
    printf "%s CPU while polling a %s display: %.3f %% of one core (%d polls, %d changed)\n",
      what, kind, 100 * (c1 - c0) / (t1 - t0), n, changed
  }'
