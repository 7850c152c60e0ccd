#!/usr/bin/env bash
# Demo: builds a sample installer from demo/ with the native tarvo-pack (the test suite's engine
# stand-in as its engine), runs it under Wine while tarvo-trace.exe captures the trace, and shows
# the trace, the engine's command line, the files the engine found beside it and the exit code.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/build/demo

# The run needs one X display and one wineserver: the outer call makes them, then comes back.
if [ -z "${TARVO_DEMO_INNER:-}" ]; then
  TARVO_DEMO_INNER=1 exec bash "$here/scripts/with-display.sh" bash "$0" "$@"
fi

section() { printf '\n== %s\n' "$1"; }

rm -rf "$out"
mkdir -p "$out/report"
cp "$here/build/win/engine_standin.exe" "$out/Engine.exe"
report_win=$(WINEPREFIX=${TARVO_WINEPREFIX:-$here/build/wineprefix} WINEDEBUG=-all \
  winepath -w "$out/report" 2>/dev/null)
[ -n "$report_win" ] || report_win="Z:${out//\//\\}\\report"

section "Building build/demo/DemoSetup.exe with tarvo-pack"
SOURCE_DATE_EPOCH=1700000000 "$here/build/native/tarvo-pack" build "$here/demo/demo.tarvo" \
  --engine-args "/E_report=$report_win /E_exit=${DEMO_ENGINE_EXIT:-0}" --quiet || exit 1
"$here/build/native/tarvo-pack" list "$out/DemoSetup.exe"

section "Running DemoSetup.exe /DemoSwitch=1 under Wine, tarvo-trace.exe listening"
trace=$out/trace.txt
bash "$here/scripts/wine-run.sh" "$here/build/win/tarvo-trace.exe" --quiet --file "$trace" \
  2>/dev/null &
viewer=$!
for _ in $(seq 600); do [ -e "$trace" ] && break; sleep 0.1; done
sleep 1  # the file exists a moment before the viewer's window
bash "$here/scripts/wine-run.sh" "$out/DemoSetup.exe" /DemoSwitch=1
code=$?
sleep 1
pkill -P "$viewer" 2>/dev/null
wait "$viewer" 2>/dev/null

section "Trace (tarvo-trace.exe)"
tr -d '\r' <"$trace"

section "Engine command line (from the stand-in's report)"
report=$out/report/engine_report.txt
if [ -f "$report" ]; then
  cmdline=$(tr -d '\r' <"$report" | sed -n 's/^cmdline=//p')
  echo "$cmdline"
  section "Extracted files the engine found beside it (name, bytes, DOS time)"
  tr -d '\r' <"$report" | sed -n 's/^file=//p' | while IFS='|' read -r name size dostime _; do
    d=$((dostime >> 16)) t=$((dostime & 0xFFFF))
    printf '  %-28s %8s  %04d-%02d-%02d %02d:%02d:%02d\n' "$name" "$size" \
      $(((d >> 9) + 1980)) $(((d >> 5) & 15)) $((d & 31)) $((t >> 11)) $(((t >> 5) & 63)) \
      $(((t & 31) * 2))
  done
else
  echo "  (the engine did not run)"
fi

  folder=${cmdline%%\\Engine.exe*}
  folder_unix=$(WINEPREFIX=${TARVO_WINEPREFIX:-$here/build/wineprefix} WINEDEBUG=-all \
    winepath -u "$folder" 2>/dev/null)
  if [ -n "$folder_unix" ] && [ ! -e "$folder_unix" ]; then
    echo "  (the extraction folder $folder is gone again)"
  fi
section "Exit code"
echo "  DemoSetup.exe ended with $code (the engine's exit code)"
