#!/usr/bin/env bash
# Runs a command on a private X server, for the editor's tests: Xvfb picks a free
# display itself (-displayfd), so tests started in parallel never race for one.
#   con_xvfb.sh COMMAND [ARGS...]
set -u
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
