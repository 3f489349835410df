#!/usr/bin/env bash
# Runs one test executable in a private environment: its own settings, user data
# and runtime folders (never the real home), English as the language, and
# loopback-only addresses for UDP output and downloads.
set -u
mode=$1; shift
exe=$1; shift
name=$(basename "$exe")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/talmeno-test.XXXXXX")
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/home" "$tmp/config/Quorvel" "$tmp/data" "$tmp/cache" "$tmp/runtime" "$tmp/tmp"
chmod 700 "$tmp/runtime"
printf '[General]\nLanguage=English\n' > "$tmp/config/Quorvel/$name.ini"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
       XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime" TMPDIR="$tmp/tmp"
export LANG=C.UTF-8 LC_ALL=C.UTF-8 TALMENO_TEST_SANDBOX=1
export TALMENO_UDP_ADDRESS=127.0.0.1
export TALMENO_DOWNLOAD_URL=${TALMENO_TEST_DOWNLOAD_URL:-http://127.0.0.1:9}
unset TALMENO_EXTRA_PORTS
if [ -n "${TALMENO_SUPPRESSIONS:-}" ]; then
  export LSAN_OPTIONS="suppressions=$TALMENO_SUPPRESSIONS:print_suppressions=0"
  export ASAN_OPTIONS="${ASAN_OPTIONS:-fast_unwind_on_malloc=0}"
fi
if [ "$mode" = gl ]; then
  export QT_QPA_PLATFORM=xcb
  # Mesa is unloaded before the leak check under Xvfb: its leaks cannot be named.
  export ASAN_OPTIONS="detect_leaks=0"
  # Xvfb picks a free display itself (-displayfd), so parallel tests never race
  # for a display number the way xvfb-run -a does.
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$tmp/display" ] && break
    sleep 0.05
  done
  if [ ! -s "$tmp/display" ]; then
    echo "run_test.sh: Xvfb did not start" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$tmp/display")"
  exec_cmd=("$exe" "$@")
else
  export QT_QPA_PLATFORM=offscreen
  exec_cmd=("$exe" "$@")
fi
"${exec_cmd[@]}"
rc=$?
exit $rc
