#!/usr/bin/env bash
# Regenerates docs/gallery/: one frame of each scene at 1024x768 made by the
# capture mode, a loading screen and the settings dialog. Needs a built tree
# (tools/build.sh). Runs on its own Xvfb unless GALLERY_DISPLAY names one.
# With names (screen, words, ..., dialog) only those pictures are made. Every
# picture is written opaque, and the result is checked as a white page shows
# it; the exit status is 1 when a check fails.
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

# small IN OUT: a 256-colour PNG, a fraction of the size at no visible loss,
# with no transparent palette entry.
small() {
  ffmpeg -loglevel error -y -i "$1" -vf "split[a][b];[a]palettegen=max_colors=256:\
reserve_transparent=0[p];[b][p]paletteuse=dither=sierra2_4a" "$2"
}

# size PNG: its WIDTHxHEIGHT.
size() {
  ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$1"
}

# onPage PNG COLOUR: the picture laid on a page of that colour (white or
# black), as raw RGB bytes.
onPage() {
  ffmpeg -loglevel error -i "$1" -filter_complex "color=c=$2:s=$(size "$1")[page];\
[page][0:v]overlay=shortest=1:format=rgb,format=rgb24" -frames:v 1 -f rawvideo - 2>/dev/null
}

# within PNG X Y W H LOW HIGH: how many pixels of the region, on a white
# page, have every channel from LOW to HIGH.
within() {
  onPage "$1" white |
    ffmpeg -loglevel error -f rawvideo -pix_fmt rgb24 -s "$(size "$1")" -i - \
      -vf "crop=$4:$5:$2:$3" -f rawvideo - |
    od -An -v -tu1 -w3 |
    awk -v lo="$6" -v hi="$7" '$1 >= lo && $1 <= hi && $2 >= lo && $2 <= hi &&
      $3 >= lo && $3 <= hi { n++ } END { print n + 0 }'
}

WANTED=" $* "
wanted() { [ "$WANTED" = "  " ] || [[ "$WANTED" == *" $1 "* ]]; }

# shot NAME FROM TO FPS: captures from the scene's start (per-frame motion
# needs every frame) and keeps the last frame as NAME.png.
shot() {
  wanted "$1" || return 0
  rm -rf "$WORK/cap"
  "$BIN" --capture "$WORK/cap" --capture-png --resolution 1024x768 --start "$2" --to "$3" \
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
    WID=$(xdotool search --pid "$PID" --name '^Parallaxis$' 2>/dev/null | tail -n1) || true
    [ -n "$WID" ] && break
    sleep 0.1
  done
  sleep 3
  xwd -silent -id "$WID" -out "$WORK/dialog.xwd"
  # The window's alpha channel is opaque only where text is: dropped.
  ffmpeg -loglevel error -y -f xwd_pipe -i "$WORK/dialog.xwd" -pix_fmt rgb24 "$OUT/dialog.png"
  kill "$PID"
  echo "gallery: dialog"
fi

# As a browser shows them: every picture looks the same on a white page as on
# a black one, and the dialog has its controls (the OK button and the
# options box, on the dialog's grey) and its banner (neither white nor black).
status=0
for png in "$OUT"/*.png; do
  if ! cmp -s <(onPage "$png" white) <(onPage "$png" black); then
    echo "gallery: $(basename "$png") is not opaque" >&2
    status=1
  fi
done
# check WHAT X Y W H LOW HIGH PERCENT: at least PERCENT of the region's pixels
# lie within LOW..HIGH on a white page.
check() {
  local n
  n=$(within "$OUT/dialog.png" "$2" "$3" "$4" "$5" "$6" "$7")
  if [ "$n" -lt $(($4 * $5 * $8 / 100)) ]; then
    echo "gallery: dialog.png: no $1 on a white page ($n of $(($4 * $5)) pixels)" >&2
    status=1
  fi
}
check "grey OK button" 232 8 70 26 150 239 75
check "grey options box" 8 40 200 80 150 239 90
check "banner (not white)" 10 135 300 80 0 239 30
check "banner (not black)" 10 135 300 80 16 255 30
exit "$status"
