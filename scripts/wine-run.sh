#!/usr/bin/env bash
# Runs one Windows program under Wine for the tests: a private 32-bit prefix inside the build
# tree (made once and reused), no Wine debug output, no Mono/Gecko prompts, and an X display
# (the test run's Xvfb, or a private one when none is set).
set -u
exe=$1
shift
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${TARVO_WINEPREFIX:-$here/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.tarvo-ready" ]; then
    wineboot -i >/dev/null 2>&1
    # Xvfb has no window manager; unmanaged windows spare a 2 s wait on every hide or destroy.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tarvo-ready"
  fi
  flock -u 9
}

xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
  # A private display for this one run; the test target normally provides one for all.
  for n in $(seq 90 140); do
    if [ ! -e /tmp/.X$n-lock ]; then
      Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=:$n
      for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
      break
    fi
  done
fi

ensure_prefix
wine "$exe" "$@"
rc=$?
if [ -n "$xvfb_pid" ]; then
  wineserver -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null
fi
exit $rc
