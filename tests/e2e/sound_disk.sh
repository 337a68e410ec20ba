# From --start 39 the show plays both music streams: SDL's disk audio driver
# records what the device was given, and that must be music, not silence.
# The device is silent while the scenes load; what counts starts with the
# music.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/mix.raw"
start --resolution 640x480 --start 39
waitWindow
# stats: sox's figures of what the device was given once the music began.
stats() { sox -t f32 -r 44100 -c 2 "$OUT/mix.raw" -n silence 1 0.01 1% stat 2>&1; }
length() { stats | sed -n 's/^Length (seconds): *//p'; }
threeSeconds() { awk -v l="$(length)" 'BEGIN { exit !(l > 3.0) }'; }
waitFor 90 threeSeconds || fail "no music after 90 s ($(length) s)"
press Escape ended || fail "ESC did not end the show"
waitExit 30
[ "$CODE" = 0 ] || fail "exit code $CODE"
grep -q "FMOD error" "${TMPDIR:-/tmp}/e2e.$$.out" && fail "sound errors: $(cat "${TMPDIR:-/tmp}/e2e.$$.out")"
[ -s "$OUT/mix.raw" ] || fail "no audio was written"

# The device takes 32-bit float stereo at 44.1 kHz.
STATS=$(stats)
LEN=$(echo "$STATS" | sed -n 's/^Length (seconds): *//p')
RMS=$(echo "$STATS" | sed -n 's/^RMS  *amplitude: *//p')
awk -v l="$LEN" 'BEGIN { exit !(l > 2.0) }' || fail "only $LEN s of audio"
awk -v r="$RMS" 'BEGIN { exit !(r > 0.02) }' || fail "the mix is silent (RMS $RMS)"
echo "ok: $LEN s, RMS $RMS"
