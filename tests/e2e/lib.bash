# Helpers for the end-to-end scripts. $1 of every script is the binary.
#
# Nothing here waits a fixed time for the program: every wait polls for a
# condition (a window, a size, an exit) up to a deadline far beyond what a
# loaded machine needs, so a slow run is slow, never failed.
set -u
BIN=$1
TITLE="Parallaxis - Quenvar"
# fail WHY: ends the script, with what the program last said.
fail() {
  echo "FAIL: $*" >&2
  [ -s "${TMPDIR:-/tmp}/e2e.$$.out" ] && tail -n 5 "${TMPDIR:-/tmp}/e2e.$$.out" >&2
  exit 1
}

# waitFor SECONDS COMMAND...: true as soon as COMMAND succeeds; false when it
# has not within SECONDS of wall-clock time.
waitFor() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# Commands run when the script ends, however it ends (atExit COMMAND).
EXIT_COMMANDS=()
atExit() { EXIT_COMMANDS+=("$1"); }
runExitCommands() { for command in "${EXIT_COMMANDS[@]}"; do eval "$command"; done; }
trap runExitCommands EXIT
# A failed check leaves no program behind.
atExit 'kill -9 "${PID:-}" 2>/dev/null'

# A held key must not repeat: a repeated F1 switches the window back. The X
# server is normally the test's own (Xvfb); any other gets its setting back.
# An X server started without -noreset forgets the setting whenever its last
# client leaves, so a client that waits for a window that never comes keeps
# it company until the script ends.
xdotool search --sync --name "^no window has this name$" >/dev/null 2>&1 &
HOLDER=$!
disown "$HOLDER"
atExit 'kill "$HOLDER" 2>/dev/null'
connected() {
  ls -l "/proc/$HOLDER/fd" 2>/dev/null | grep -q socket && return 0
  kill -0 "$HOLDER" 2>/dev/null || fail "cannot reach the X display"
  return 1
}
waitFor 30 connected || fail "no connection to the X display after 30 s"
if xset q 2>/dev/null | grep -q "auto repeat: *on"; then
  xset r off && xset q | grep -q "auto repeat: *off" || fail "cannot turn key repeat off"
  atExit 'xset r on'
fi

# start ARGS...: runs the show in the background; sets PID.
start() {
  "$BIN" "$@" >"${TMPDIR:-/tmp}/e2e.$$.out" 2>&1 &
  PID=$!
}

# running / ended: whether the program started last is still there.
running() { kill -0 "$PID" 2>/dev/null; }
ended() { ! running; }

# findWindow: true when the show's window exists; sets WID.
findWindow() {
  WID=$(xdotool search --pid "$PID" --name "^${TITLE}\$" 2>/dev/null | tail -n1)
  [ -n "$WID" ] && return 0
  running || fail "the program ended before its window appeared"
  return 1
}

# waitWindow: waits up to 60 s for the show's window; sets WID.
waitWindow() { waitFor 60 findWindow || fail "no window after 60 s"; }

# waitExit SECONDS: waits for the program to end; sets CODE (and SECONDS_TAKEN).
waitExit() {
  local t0
  t0=$(date +%s%N)
  waitFor "$1" ended || { kill -9 "$PID"; fail "still running after $1 s"; }
  wait "$PID"
  CODE=$?
  SECONDS_TAKEN=$(awk -v ns=$(( $(date +%s%N) - t0 )) 'BEGIN { printf "%.2f", ns / 1e9 }')
}

# geometry: prints the window's WIDTHxHEIGHT.
geometry() {
  xdotool getwindowgeometry "$WID" 2>/dev/null | sed -n 's/.*Geometry: //p'
}

# hasGeometry WxH: whether the show's window has that size (after F1 the
# window is a new one: it is looked up again).
hasGeometry() { findWindow && [ "$(geometry)" = "$1" ]; }

# waitGeometry WxH: waits up to 60 s for the show's window to have that size.
waitGeometry() { waitFor 60 hasGeometry "$1" || fail "window is $(geometry), not $1"; }

# press KEY CONDITION...: holds the key down until CONDITION holds, then lets
# it go. The show reads the key table between frames, so a press that ends
# before the next frame (a loading scene, a slow machine) could be missed;
# with key repeat off a long hold is still a single press. A press that has
# had no effect after 20 s is made again, up to three times.
press() {
  local key=$1
  shift
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$WID" 2>/dev/null
    xdotool keydown "$key"
    if waitFor 20 "$@"; then
      xdotool keyup "$key"
      return 0
    fi
    xdotool keyup "$key"
    echo "press: $key had no effect in 20 s; again" >&2
  done
  return 1
}
