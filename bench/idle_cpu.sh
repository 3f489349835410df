#!/usr/bin/env bash
# CPU of the program at rest: window open, the machine's own ports in
# "IgnoredPortNames", nothing connected. Prints each thread's share of one core.
#
# usage: bench/idle_cpu.sh TALMENO_BINARY [SECONDS] [offscreen|xvfb]
set -u
exe=$(readlink -f "$1")
seconds=${2:-20}
mode=${3:-offscreen}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/talmeno-idle.XXXXXX")
pid=
xvfb_pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
mkdir -p "$tmp/home" "$tmp/config/Quorvel" "$tmp/data" "$tmp/cache" "$tmp/runtime"
chmod 700 "$tmp/runtime"
# The names the system lists as serial ports (what the scan would offer).
ports=$(ls /sys/class/tty 2>/dev/null | grep -E '^tty(S|USB|ACM)[0-9]+$' | paste -sd, -)
printf '[General]\nLanguage=English\n[SerialPort]\nIgnoredPortNames=%s\n' "$ports" \
  > "$tmp/config/Quorvel/$(basename "$exe").ini"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
       XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime"
export TALMENO_UDP_ADDRESS=127.0.0.1 TALMENO_DOWNLOAD_URL=http://127.0.0.1:9
unset TALMENO_EXTRA_PORTS
if [ "$mode" = xvfb ]; then
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
  export QT_QPA_PLATFORM=xcb DISPLAY=":$(head -n1 "$tmp/display")"
else
  export QT_QPA_PLATFORM=offscreen
fi
"$exe" >"$tmp/out.log" 2>&1 &
pid=$!
sleep 5 # start-up done, window shown
echo "$(basename "$exe") at rest ($mode), load average $(cut -d' ' -f1-3 /proc/loadavg):"
/usr/bin/python3 "$here/thread_cpu.py" "$pid" "$seconds"
