# From --start 39 the show plays both music streams: SDL's disk audio driver
# records what the device was given, and that must be music, not silence.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/mix.raw"
start --resolution 640x480 --start 39
waitWindow
sleep 4
press Escape
waitExit 30
[ "$CODE" = 0 ] || fail "exit code $CODE"
grep -q "FMOD error" "${TMPDIR:-/tmp}/e2e.$$.out" && fail "sound errors: $(cat "${TMPDIR:-/tmp}/e2e.$$.out")"
[ -s "$OUT/mix.raw" ] || fail "no audio was written"

# The device takes 32-bit float stereo at 44.1 kHz.
STATS=$(sox -t f32 -r 44100 -c 2 "$OUT/mix.raw" -n stat 2>&1)
LEN=$(echo "$STATS" | sed -n 's/^Length (seconds): *//p')
RMS=$(echo "$STATS" | sed -n 's/^RMS  *amplitude: *//p')
awk -v l="$LEN" 'BEGIN { exit !(l > 2.0) }' || fail "only $LEN s of audio"
awk -v r="$RMS" 'BEGIN { exit !(r > 0.02) }' || fail "the mix is silent (RMS $RMS)"
echo "ok: $LEN s, RMS $RMS"
