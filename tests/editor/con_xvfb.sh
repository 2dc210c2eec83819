#!/usr/bin/env bash
# Runs a command on a private X server, for the editor's tests: Xvfb picks a free
# display itself (-displayfd), so tests started in parallel never race for one.
#   con_xvfb.sh COMMAND [ARGS...]
set -u
# LeakSanitizer's end-of-run check now and then crashes its own tracer ("Tracer caught
# signal 11") in a process that runs Qt's X connection and the GL driver's threads, after
# every test has passed. Address and undefined-behaviour checks stay on in these tests;
# leaks of the code behind the window are checked by the tests that run without one.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/display"
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
display=""
read -r -t 20 display <"$dir/display" || true
if [ -z "$display" ]; then
  echo "con_xvfb.sh: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
DISPLAY=":$display" "$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
