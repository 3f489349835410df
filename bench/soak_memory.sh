#!/usr/bin/env bash
# Memory over time: node frame 2 at 100 Hz from the simulator (a recorded stream,
# looped, paced at 172 bytes x 100 a second) into the live path with the node
# frame 2 page shown, its line and 2D tabs in front in turn (a minute each).
# Prints the resident set every 10 s.
#
# usage: bench/soak_memory.sh BUILD_DIR [SECONDS] [OUTPUT]
#   BUILD_DIR holds bin/talmeno-sim and bin/bench_latency (a Release build).
set -u
build=$(readlink -f "$1")
seconds=${2:-1800}
out=${3:-/dev/stdout}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/talmeno-soak.XXXXXX")
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/home" "$tmp/config/Quorvel" "$tmp/data" "$tmp/runtime"
chmod 700 "$tmp/runtime"
printf '[General]\nLanguage=English\n' > "$tmp/config/Quorvel/bench_latency.ini"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp/runtime"

# Ten seconds of frames (node frame 2 with four anchors: 172 bytes each), looped.
"$build/bin/bench_latency" --write-stream "$tmp/node2.bin" --frames 1000 || exit 1
"$build/bin/talmeno-sim" --mode silent --stream "$tmp/node2.bin" --rate 17200 --loop > "$tmp/sim.out" &
sim_pid=$!
for _ in $(seq 1 100); do [ -s "$tmp/sim.out" ] && break; sleep 0.05; done
port=$(head -n1 "$tmp/sim.out")
[ -n "$port" ] || { echo "simulator did not start" >&2; exit 1; }

xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/bench_latency" \
  --soak "$seconds" --port "$port" --tabs 1,2 --every 10 --switch 60 2>/dev/null \
  | grep -E '^ *[0-9]|^seconds|^received' > "$out"
