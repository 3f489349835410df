#!/usr/bin/env bash
# The guards against damaged node keys and false heads, measured through the live
# path (bench_latency on a pty, the page shown under Xvfb): floods of fresh node keys
# against the same streams with fixed keys, real tags after a flood, a real
# installation's first frame, and bursts of false heads in the anchor frame 0 stream.
# Each run is bounded by a time-out; the summary lines of every run go to OUTPUT,
# each run's whole output and log into the folder OUTPUT.d.
#
# usage: bench/guards_measure.sh BUILD_DIR [SECONDS] [OUTPUT]
#   BUILD_DIR holds bin/bench_latency; SECONDS is each flood's length (default 60).
set -u
build=$(readlink -f "$1")
seconds=${2:-60}
out=$(readlink -f "${3:-guards.txt}")
logs="$out.d"
mkdir -p "$logs"
: > "$out"
bench="$build/bin/bench_latency"
limit=$((seconds + 90))

run() {
  local name=$1
  shift
  local tmp
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/talmeno-guards.XXXXXX")
  mkdir -p "$tmp/home" "$tmp/config/Quorvel" "$tmp/data" "$tmp/runtime"
  chmod 700 "$tmp/runtime"
  printf '[General]\nLanguage=English\n' > "$tmp/config/Quorvel/bench_latency.ini"
  HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/runtime" \
    timeout "$limit" xvfb-run -a -s "-screen 0 1600x1000x24" "$bench" "$@" > "$logs/$name.out" 2> "$logs/$name.log"
  local rc=$?
  rm -rf "$tmp"
  {
    echo "== $name: $* (exit $rc)"
    grep -E '^(node|iot|anchor|written|writes|newest|real|  )' "$logs/$name.out"
    # A crash shows as exit 139 (SIGSEGV) above, its last lines here.
    [ "$rc" -ge 128 ] && [ "$rc" != 124 ] && tail -n 3 "$logs/$name.log"
    echo "   log: $(grep -c 'previous data will be discarded' "$logs/$name.log") discard lines, $(grep -c 'not shown,' "$logs/$name.log") not-shown lines"
  } >> "$out"
}

# Real tags after a flood of fresh node frame 1 keys, with the Data, 2D and 3D tabs.
for tab in 0 2 3; do
  run "node1-fresh-tab$tab" --flood node1-fresh --seconds "$seconds" --real-seconds 10 --tab "$tab" --every 5
  run "node1-fixed-tab$tab" --flood node1-fixed --seconds "$seconds" --tab "$tab" --every 5
done
# Tags whose keys the bound may not show when the flood ends (the evictions' path).
run node1-fresh-real100-tab0 --flood node1-fresh --seconds "$seconds" --real-seconds 10 --real-first-id 100 --tab 0 --every 5
run node1-fresh-real150-tab3 --flood node1-fresh --seconds "$seconds" --real-seconds 10 --real-first-id 150 --tab 3 --every 5
# iot node frames: five fresh ids a frame against five fixed ids (Data and line tabs).
for tab in 0 1; do
  run "iot-fresh-tab$tab" --flood iot-fresh --seconds "$seconds" --tab "$tab" --every 5
  run "iot-fixed-tab$tab" --flood iot-fixed --seconds "$seconds" --tab "$tab" --every 5
done
# Node frame 4: fresh (tag, anchor) pairs against mode 12 at capacity (its first frame
# makes 4,840 items); the frame has a Data page only.
run node4-fresh --flood node4-fresh --seconds "$seconds" --every 5
run node4-mode12 --flood node4-mode12 --seconds "$seconds" --every 5
# A real installation's first frame of 255 new nodes (1,275 items) with a chart in front.
for tab in 2 3; do
  run "node1-first255-tab$tab" --flood node1-fixed --first-frame 255 --seconds 10 --tab "$tab" --every 5
done
# The largest installation the modes allow (256 nodes, five a frame in turn) and damage
# that repeats keys (random roles and ids), on the Data, 2D and 3D tabs: whether the
# port's buffer ever fills, the page's thread's share, the chart draws and the memory.
for tab in 0 2 3; do
  run "node1-installation-tab$tab" --flood node1-installation --seconds "$seconds" --tab "$tab" --every 10
  run "node1-random-tab$tab" --flood node1-random --seconds "$seconds" --real-seconds 10 --tab "$tab" --every 10
done
# False heads "55 02 FF FF" in one write between anchor frames 0 at 100 Hz.
for heads in 0 16500 132000; do
  run "burst$heads" --hz 100 --frames 1000 --burst "$heads" --tab 0
done
