#!/usr/bin/env bash
# Runs a command with one private Xvfb display and a persistent wineserver, then stops both.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TARVO_WINEPREFIX:-$here/build/wineprefix}
export WINEARCH=win32 WINEDEBUG=-all

n=
for d in $(seq 90 140); do
  if [ ! -e /tmp/.X$d-lock ]; then n=$d; break; fi
done
[ -n "$n" ] || { echo "with-display: no free X display number" >&2; exit 1; }
Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$n
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done

cleanup() {
  wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
}
trap cleanup EXIT
"$@"
