# Helpers for the end-to-end scripts. $1 of every script is the binary.
set -u
BIN=$1
TITLE="Parallaxis - Quenvar"
fail() { echo "FAIL: $*" >&2; exit 1; }

# start ARGS...: runs the show in the background; sets PID.
start() {
  "$BIN" "$@" >"${TMPDIR:-/tmp}/e2e.$$.out" 2>&1 &
  PID=$!
}

# waitWindow: waits up to 30 s for the show's window; sets WID.
waitWindow() {
  for _ in $(seq 300); do
    WID=$(xdotool search --pid "$PID" --name "^${TITLE}\$" 2>/dev/null | tail -n1)
    [ -n "$WID" ] && return 0
    kill -0 "$PID" 2>/dev/null || fail "the program ended before its window appeared"
    sleep 0.1
  done
  fail "no window after 30 s"
}

# waitExit SECONDS: waits for the program to end; sets CODE.
waitExit() {
  for _ in $(seq $(( $1 * 10 ))); do
    if ! kill -0 "$PID" 2>/dev/null; then
      wait "$PID"; CODE=$?; return 0
    fi
    sleep 0.1
  done
  kill -9 "$PID"; fail "still running after $1 s"
}

# geometry: prints the window's WIDTHxHEIGHT.
geometry() {
  xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p'
}

# press KEY: holds the key for 0.8 s, as a person does (the show reads the
# key table between frames, so a press shorter than a frame can be missed).
press() {
  xdotool windowfocus --sync "$WID" 2>/dev/null
  xdotool keydown "$1"
  sleep 0.8
  xdotool keyup "$1"
}

# waitGeometry WxH: waits up to 15 s for the show's window to have that size
# (after F1 the window is a new one: it is looked up again).
waitGeometry() {
  for _ in $(seq 150); do
    waitWindow
    [ "$(geometry)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "window is $(geometry), not $1"
}
