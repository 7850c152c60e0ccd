#!/usr/bin/env bash
# Throughput of HTTP_DownloadFile under Wine against curl, both fetching the same file from one
# loopback server in the same run. Not part of `make test`.
#   bench/http_download.sh [size in MB, default 200]
# Needs the Windows build (make win); BUILD_DIR picks another build folder than build/win.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build/win}
size_mb=${1:-200}
work=$(mktemp -d /tmp/tarvo_bench.XXXXXX)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

[ -f "$build/libtarvo_core.a" ] || { echo "no Windows build in $build (run make win)" >&2; exit 1; }
exe=$work/http_download_bench.exe
i686-w64-mingw32-g++-posix -std=c++20 -O2 -DWINVER=0x0601 -D_WIN32_WINNT=0x0601 -DNOMINMAX \
  -DSTRICT -D__USE_MINGW_ANSI_STDIO=1 -I"$here/src" "$here/bench/http_download_bench.cpp" \
  "$build/libtarvo_core.a" /usr/i686-w64-mingw32/lib/libz.a -lcomctl32 -lpsapi -lshlwapi \
  -lversion -lgdi32 -luser32 -ladvapi32 -lshell32 -static -o "$exe"

mkdir -p "$work/www"
head -c "$((size_mb * 1048576))" /dev/urandom > "$work/www/file.bin"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
url=http://127.0.0.1:$port/file.bin

curl_s=$(curl -s -o "$work/curl.bin" -w '%{time_total}' "$url")
cmp -s "$work/curl.bin" "$work/www/file.bin" || { echo "curl fetched other bytes" >&2; exit 1; }
rm -f "$work/curl.bin"

export WINEPREFIX=${TARVO_WINEPREFIX:-$here/build/wineprefix}
win_dest=$(winepath -w "$work/wine.bin" 2>/dev/null)
read -r bytes wine_s < <(bash "$here/scripts/wine-run.sh" "$exe" "$url" "$win_dest")
cmp -s "$work/wine.bin" "$work/www/file.bin" || { echo "HTTP_DownloadFile fetched other bytes" >&2; exit 1; }

python3 - "$size_mb" "$bytes" "$curl_s" "$wine_s" <<'PY'
import sys
mb, size, curl_s, wine_s = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
rate = lambda s: size / s / 1048576
print(f"file            {mb} MB ({size} bytes) from a loopback python3 http.server")
print(f"curl            {curl_s:8.3f} s  {rate(curl_s):9.1f} MB/s")
print(f"HTTP_DownloadFile {wine_s:6.3f} s  {rate(wine_s):9.1f} MB/s  (under Wine, the call alone)")
print(f"ratio           {curl_s / wine_s:8.3f}  (HTTP_DownloadFile throughput / curl throughput)")
PY
