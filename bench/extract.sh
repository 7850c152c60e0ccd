#!/usr/bin/env bash
# Extraction speed and peak memory of the stub under Wine against two plain zlib loops over the
# same installer in the same run: bench/inflate_ref.cpp built natively (g++ -O2) and with mingw
# (run under Wine). Not part of `make test`.
#   bench/extract.sh
# BENCH_SCALE scales every input size (default 1: 200 MB in 2000 files, one 400 MB file);
# BENCH_HUGE=1 adds one 1 GB highly compressible file; BENCH_RUNS (default 3) runs of each program,
# the table keeps the fastest time and the highest peak; BENCH_KEEP=1 keeps build/bench/run.*.
# Needs the native and Windows builds (make native win).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

# One X display and one wineserver for the whole run: the outer call makes them, then comes back.
if [ -z "${TARVO_BENCH_INNER:-}" ]; then
  TARVO_BENCH_INNER=1 exec bash "$here/scripts/with-display.sh" bash "$0" "$@"
fi

scale=${BENCH_SCALE:-1}
runs=${BENCH_RUNS:-3}
native=$here/build/native
win=$here/build/win
for f in "$native/tarvo-pack" "$win/tarvostub.exe" "$win/engine_standin.exe" "$win/tarvo-trace.exe"; do
  [ -f "$f" ] || { echo "extract.sh: $f is missing (run make native win)" >&2; exit 1; }
done
mkdir -p "$here/build/bench"
work=$(mktemp -d "$here/build/bench/run.XXXXXX")
viewer=
cleanup() {
  set +e  # whatever state the viewer is in, the inputs must go
  if [ -n "$viewer" ]; then
    pkill -P "$viewer" 2>/dev/null
    wait "$viewer" 2>/dev/null
  fi
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
  return 0
}
trap cleanup EXIT
wine_path() { winepath -w "$1" 2>/dev/null; }
bytes_of() { python3 -c "print(int(float('$scale') * $1))"; }

echo "== building the references"
srcs=("$here/bench/inflate_ref.cpp" "$here/src/payload/ByteSource.cpp"
  "$here/src/payload/TrailerReader.cpp" "$here/src/payload/StubImage.cpp")
g++ -std=c++20 -O2 -I"$here/src" "${srcs[@]}" -lz -o "$work/inflate_ref"
i686-w64-mingw32-g++-posix -std=c++20 -O2 -I"$here/src" "${srcs[@]}" \
  /usr/i686-w64-mingw32/lib/libz.a -static -o "$work/inflate_ref.exe"
cp "$win/engine_standin.exe" "$work/Engine.exe"

echo "== making the inputs (BENCH_SCALE=$scale)"
mkdir -p "$work/in/many" "$work/in/one" "$work/in/huge"
count=$(python3 -c "print(max(2, int(float('$scale') * 2000)))")
python3 "$here/bench/make_inputs.py" many "$work/in/many" "$(bytes_of 200000000)" "$count"
python3 "$here/bench/make_inputs.py" one "$work/in/one/big.bin" "$(bytes_of 400000000)"
sets=(many one)
if [ -n "${BENCH_HUGE:-}" ]; then
  python3 "$here/bench/make_inputs.py" flat "$work/in/huge/huge.txt" "$(bytes_of 1000000000)"
  sets+=(huge)
fi

echo "== building the installers"
for set in "${sets[@]}"; do
  # The big files go in one entry each (the largest an entry can hold), so the memory column
  # shows whether the stub streams an entry or holds it.
  piece=()
  [ "$set" != many ] && piece=(--piece-size 1G)
  "$native/tarvo-pack" build --stub "$win/tarvostub.exe" --engine "$work/Engine.exe" \
    --engine-args "/E_exit=0" --product-folder "$work/in/$set" "${piece[@]}" -j 2 --seed 1 \
    -o "$work/$set.exe" --quiet >/dev/null
  # Up to 50 MiB the stub first checksums its file; a twin without the checksum shows what the
  # extraction alone costs.
  if [ "$(stat -c %s "$work/$set.exe")" -le 52428800 ]; then
    "$native/tarvo-pack" build --stub "$win/tarvostub.exe" --engine "$work/Engine.exe" \
      --engine-args "/E_exit=0" --product-folder "$work/in/$set" "${piece[@]}" -j 2 --seed 1 \
      --no-checksum -o "$work/$set-nock.exe" --quiet >/dev/null
  fi
  printf '  %-5s %s files, %s bytes in, installer %s bytes\n' "$set" \
    "$(find "$work/in/$set" -type f | wc -l)" "$(du -sb "$work/in/$set" | cut -f1)" \
    "$(stat -c %s "$work/$set.exe")"
done

# Starts the peak sampler for processes whose command line holds $1; stop_peak leaves its answer
# (KiB, processes seen, the one measured) in $work/peak.out.
start_peak() {
  stopfile=$work/stop.$RANDOM
  python3 "$here/bench/peak_rss.py" "$1" "$stopfile" >"$work/peak.out" &
  sampler=$!
  sleep 0.3
}
stop_peak() {
  touch "$stopfile"
  wait "$sampler"
}
# The files a reference wrote (product files carry a "00001#" prefix) must equal the inputs.
same_files() {
  local f n=0
  for f in "$work/out"/*#*; do
    cmp -s "$f" "$work/in/$1/${f##*#}" || return 1
    n=$((n + 1))
  done
  [ "$n" = "$(find "$work/in/$1" -type f | wc -l)" ]
}
ms_of() { sed -n 's/.*ms=\([0-9]*\).*/\1/p' <<<"$1"; }

echo "== starting tarvo-trace.exe"
trace=$work/trace.txt
bash "$here/scripts/wine-run.sh" "$win/tarvo-trace.exe" --quiet --file "$(wine_path "$trace")" \
  2>/dev/null &
viewer=$!
for _ in $(seq 600); do [ -e "$trace" ] && break; sleep 0.1; done
sleep 1  # the file exists a moment before the viewer's window

# Runs the installer $1 with /hide while the viewer listens: $ms (its UnCompressTime) and $peak.
run_stub() {
  local code=0 lines n who
  sync
  lines=$(wc -l <"$trace")
  start_peak "$1"
  bash "$here/scripts/wine-run.sh" "$work/$1" /hide || code=$?
  stop_peak
  read -r peak n who <"$work/peak.out"
  sleep 0.5
  ms=$(tail -n +"$((lines + 1))" "$trace" | tr -d '\r' | sed -n 's/.*UnCompressTime: \([0-9]*\) MS.*/\1/p' | tail -1)
  if [ "$code" != 0 ] || [ -z "$ms" ]; then
    echo "  $1 failed (exit code $code); its trace:" >&2
    tail -n +"$((lines + 1))" "$trace" | tr -d '\r' >&2
    exit 1
  fi
  if tail -n +"$((lines + 1))" "$trace" | grep -q 'unable to save\|UnPackSetup: .*record'; then
    echo "  $1 reported an extraction problem; see $trace" >&2
    exit 1
  fi
  echo "  stub $1: UnCompressTime ${ms} ms, exit code $code, VmHWM ${peak} KiB over $n process(es) ($who)"
}

min() { [ -z "$1" ] || [ "$2" -lt "$1" ] && echo "$2" || echo "$1"; }
max() { [ -z "$1" ] || [ "$2" -gt "$1" ] && echo "$2" || echo "$1"; }

declare -A t_native t_wine t_stub t_nock m_native m_wine m_stub
for set in "${sets[@]}"; do
  echo "== $set"
  installer=$work/$set.exe
  for run in $(seq "$runs"); do
    rm -rf "$work/out" && mkdir "$work/out"
    sync
    out=$(/usr/bin/time -o "$work/time.out" -f '%M' "$work/inflate_ref" "$installer" "$work/out")
    rss=$(tail -1 "$work/time.out")
    t_native[$set]=$(min "${t_native[$set]:-}" "$(ms_of "$out")")
    m_native[$set]=$(max "${m_native[$set]:-}" "$rss")
    echo "  native reference: $out, max RSS ${rss} KiB (/usr/bin/time: the program itself)"
    # The references must write exactly the input files.
    [ "$run" = 1 ] && { same_files "$set" || { echo "native reference output differs" >&2; exit 1; }; }

    rm -rf "$work/out" && mkdir "$work/out"
    sync
    start_peak inflate_ref.exe
    out=$(bash "$here/scripts/wine-run.sh" "$work/inflate_ref.exe" "$(wine_path "$installer")" \
      "$(wine_path "$work/out")" | tr -d '\r')
    stop_peak
    read -r peak _ who <"$work/peak.out"
    t_wine[$set]=$(min "${t_wine[$set]:-}" "$(ms_of "$out")")
    m_wine[$set]=$(max "${m_wine[$set]:-}" "$peak")
    echo "  Wine reference:   $out, VmHWM ${peak} KiB ($who)"
    [ "$run" = 1 ] && { same_files "$set" || { echo "Wine reference output differs" >&2; exit 1; }; }
    rm -rf "$work/out"

    run_stub "$set.exe"
    t_stub[$set]=$(min "${t_stub[$set]:-}" "$ms")
    m_stub[$set]=$(max "${m_stub[$set]:-}" "$peak")
    if [ -f "$work/$set-nock.exe" ]; then
      run_stub "$set-nock.exe"
      t_nock[$set]=$(min "${t_nock[$set]:-}" "$ms")
    fi
  done
done

ratio() { python3 -c "print(f'{$1 / max($2, 1):.2f}')"; }
mib() { python3 -c "print(f'{$1 / 1024:.1f}')"; }
echo
echo "== results (BENCH_SCALE=$scale; fastest of $runs runs in ms; highest peak memory in MiB)"
printf '%-6s %8s %8s %8s %10s %10s %11s %8s %8s %8s\n' set native wine stub stub-nock \
  stub/wine stub/native mem-nat mem-wine mem-stub
for set in "${sets[@]}"; do
  printf '%-6s %8s %8s %8s %10s %10s %11s %8s %8s %8s\n' "$set" "${t_native[$set]}" \
    "${t_wine[$set]}" "${t_stub[$set]}" "${t_nock[$set]:--}" "$(ratio "${t_stub[$set]}" "${t_wine[$set]}")" \
    "$(ratio "${t_stub[$set]}" "${t_native[$set]}")" "$(mib "${m_native[$set]}")" \
    "$(mib "${m_wine[$set]}")" "$(mib "${m_stub[$set]}")"
done
echo "target: within 1.15 of the Wine reference; memory flat in entry size"
echo "(native: max RSS of inflate_ref; wine/stub: VmHWM of the Wine process running the .exe,"
echo " Wine's own baseline included; the stub's time is its UnCompressTime trace line, which also"
echo " covers its checksum pass over installers up to 50 MiB; stub-nock: the same installer built
 without a checksum, so the stub skips that pass)"
