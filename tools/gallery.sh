#!/usr/bin/env bash
# Regenerates docs/gallery/: one frame of each scene at 1024x768 made by the
# capture mode, a loading screen and the settings dialog. Needs a built tree
# (tools/build.sh). Runs on its own Xvfb unless GALLERY_DISPLAY names one.
# With names (screen, words, ..., dialog) only those pictures are made.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=$PWD/build/parallaxis
OUT=$PWD/docs/gallery
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"; [ -n "${XVFB:-}" ] && kill "$XVFB"' EXIT
mkdir -p "$OUT"
export PARALLAXIS_UNATTENDED=1

if [ -n "${GALLERY_DISPLAY:-}" ]; then
  export DISPLAY=$GALLERY_DISPLAY
else
  export DISPLAY=:97
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -noreset >/dev/null 2>&1 &
  XVFB=$!
  sleep 1
fi
# A plain blue desktop for the opening scene to show.
xsetroot -solid "#2d5f8a"

# small IN OUT: a 256-colour PNG, a fraction of the size at no visible loss.
small() {
  ffmpeg -loglevel error -y -i "$1" \
    -vf "split[a][b];[a]palettegen=max_colors=256[p];[b][p]paletteuse=dither=sierra2_4a" "$2"
}

WANTED=" $* "
wanted() { [ "$WANTED" = "  " ] || [[ "$WANTED" == *" $1 "* ]]; }

# shot NAME FROM TO FPS: captures from the scene's start (per-frame motion
# needs every frame) and keeps the last frame as NAME.png.
shot() {
  wanted "$1" || return 0
  rm -rf "$WORK/cap"
  "$BIN" --capture "$WORK/cap" --resolution 1024x768 --start "$2" --to "$3" \
    --capture-fps "$4" 2>/dev/null >/dev/null
  last=$(ls "$WORK/cap"/frame_*.png | tail -n1)
  small "$last" "$OUT/$1.png"
  if [ "$1" = screen ]; then small "$WORK/cap/loading_3.png" "$OUT/loading.png"; fi
  echo "gallery: $1"
}

shot screen 0 31.5 60
shot words 40 44 60
shot torus_knot 50 56 60
shot laser 85 95 60
shot evolution_text 115 139 60
shot skull_skybox 150 156 60

# The settings dialog, at rest after its bounce.
if wanted dialog; then
  "$BIN" >/dev/null 2>&1 &
  PID=$!
  WID=""
  for _ in $(seq 200); do
    WID=$(xdotool search --pid "$PID" --name '^Parallaxis$' 2>/dev/null | tail -n1)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  sleep 3
  xwd -silent -id "$WID" -out "$WORK/dialog.xwd"
  ffmpeg -loglevel error -y -f xwd_pipe -i "$WORK/dialog.xwd" "$OUT/dialog.png"
  kill "$PID"
  echo "gallery: dialog"
fi
