#!/usr/bin/env bash
# Demo: runs the stub under Wine and shows its version and exit code.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
stub=$here/build/win/tarvostub.exe
echo "tarvostub.exe: $(stat -c %s "$stub") bytes"
printf 'version resource: '
strings -el "$stub" | grep -A1 '^FileVersion$' | tail -1
bash "$here/scripts/with-display.sh" bash "$here/scripts/wine-run.sh" "$stub"
echo "exit code: $?"
