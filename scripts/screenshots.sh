#!/usr/bin/env bash
# Takes the README's pictures (docs/*.png): the stub's main window with its progress display and
# the free-space question in the message box, as the screenshot_scene fixture shows them under
# Wine on a private Xvfb display. Not part of `make test`; installs ImageMagick when missing.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)

inner() {
  local work=$1 prefix=$2
  export TARVO_WINEPREFIX=$prefix WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
  # Without a window manager on the display, Wine draws the frames and captions itself.
  bash "$here/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1
  export TARVO_SHOT_DIR="Z:${work//\//\\}"
  bash "$here/scripts/wine-run.sh" "$here/build/win/screenshot_scene.exe" &
  local scene=$!
  for name in progress question; do
    for _ in $(seq 600); do [ -f "$work/$name.ready" ] && break; sleep 0.1; done
    if [ ! -f "$work/$name.ready" ]; then
      echo "screenshots: the $name window did not come" >&2
      kill "$scene" 2>/dev/null || true
      return 1
    fi
    read -r x y w h <"$work/$name.ready"
    sleep 0.5
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$here/docs/screenshot-$name.png"
    touch "$work/$name.done"
    echo "docs/screenshot-$name.png"
  done
  wait "$scene"
}

if [ "${1:-}" = --inner ]; then
  inner "$2" "$3"
  exit
fi

if ! command -v import >/dev/null; then
  sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -q --no-install-recommends imagemagick
fi
cd "$here"
make --no-print-directory win
mkdir -p docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash scripts/with-display.sh bash "$0" --inner "$work" "$here/build/screenshots-prefix"
