#!/usr/bin/env bash
# Runs the whole test suite on a busy machine: one busy loop per core used runs
# beside it the whole time. The suite is meant to pass like this, on many cores
# and on few.
#
#   scripts/test-under-load.sh            all cores, a busy loop on each
#   scripts/test-under-load.sh 0,1        the suite and two busy loops pinned to cores 0 and 1
#   RUNS=5 scripts/test-under-load.sh     five runs instead of three
#
# BUILD chooses the build folder (build unless given); it is built first. Each run's
# result and the load average are reported; the busy loops end with the script.
set -u
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
RUNS=${RUNS:-3}
cpus=${1:-}

if [ -n "$cpus" ]; then
  command -v taskset >/dev/null || { echo "taskset is missing (util-linux)" >&2; exit 2; }
  # 0,1 and 0-3 and 0-1,4: count the cores named.
  cores=0
  IFS=, read -ra parts <<<"$cpus"
  for p in "${parts[@]}"; do
    if [[ $p =~ ^([0-9]+)-([0-9]+)$ ]]; then
      cores=$((cores + BASH_REMATCH[2] - BASH_REMATCH[1] + 1))
    elif [[ $p =~ ^[0-9]+$ ]]; then
      cores=$((cores + 1))
    else
      echo "usage: $0 [cores, such as 0,1 or 0-3]" >&2
      exit 2
    fi
  done
  pin=(taskset -c "$cpus")
else
  cores=$(nproc)
  pin=()
fi

if [ ! -f "$BUILD/CTestTestfile.cmake" ]; then
  make build BUILD="$BUILD" || exit 1
else
  cmake --build "$BUILD" >/dev/null || { cmake --build "$BUILD"; exit 1; }
fi

busy=()
stop_busy() {
  for pid in "${busy[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${busy[@]}"; do
    wait "$pid" 2>/dev/null
  done
  busy=()
}
trap stop_busy EXIT
trap 'exit 130' INT TERM

for _ in $(seq 1 "$cores"); do
  "${pin[@]}" bash -c 'while :; do :; done' &
  busy+=($!)
done

echo "suite under load: $cores busy loops${cpus:+ on cores $cpus}, $RUNS runs"
failed=0
for run in $(seq 1 "$RUNS"); do
  log="$BUILD/Testing/under-load-$run.log"
  mkdir -p "$BUILD/Testing"
  start=$(date +%s)
  (cd "$BUILD" && "${pin[@]}" ctest --output-on-failure -j "$cores") >"$log" 2>&1
  rc=$?
  seconds=$(($(date +%s) - start))
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  summary=$(grep -E 'tests passed|tests failed' "$log" | tail -n1)
  if [ "$rc" -eq 0 ]; then
    echo "run $run: passed in ${seconds} s, load average $load: $summary"
  else
    failed=$((failed + 1))
    echo "run $run: FAILED in ${seconds} s, load average $load: $summary (log: $log)"
    sed -n '/The following tests FAILED/,$p' "$log"
  fi
done
[ "$failed" -eq 0 ]
