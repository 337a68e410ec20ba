# The first line is typed from 2 s on, one character every 0.2 s (a little
# more at 20 frames per second), and each character clicks once: in the
# captured soundtrack the clicks stand out above 4 kHz, where the music's
# opening is dark.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'
start --resolution 640x480 --capture "$OUT" --capture-fps 20 --to 6
waitExit 300
[ "$CODE" = 0 ] || fail "capture exit code $CODE"
[ -s "$OUT/soundtrack.wav" ] || fail "no soundtrack"

# Loudness above 4 kHz in 5 ms windows; a click starts where it first
# crosses the threshold, at least 0.1 s after the one before. Two clicks
# started together would be twice as loud as one: the loudest window is
# printed last.
LEVELS=$(sox "$OUT/soundtrack.wav" -t dat -c 1 - highpass 4000 highpass 4000 | awk '
  /^;/ { next }
  { sum += $2 * $2; if (++n == 220) { rms = sqrt(sum / n); t = $1; if (rms > loudest) loudest = rms;
      if (rms > 0.018 && last <= 0.018 && t - prev > 0.1) { printf "%.3f\n", t; prev = t }
      last = rms; sum = 0; n = 0 } }
  END { printf "loudest %.3f\n", loudest }')
ONSETS=$(echo "$LEVELS" | grep -v loudest)
LOUDEST=$(echo "$LEVELS" | sed -n 's/loudest //p')
awk -v l="$LOUDEST" 'BEGIN { exit !(l < 0.06) }' || fail "a click is twice as loud as one ($LOUDEST)"
COUNT=$(echo "$ONSETS" | grep -c .)
echo "clicks at: $(echo $ONSETS); loudest window $LOUDEST"
[ "$COUNT" -ge 16 ] && [ "$COUNT" -le 21 ] || fail "$COUNT clicks between 0 and 6 s"
echo "$ONSETS" | awk 'NR == 1 && ($1 < 1.95 || $1 > 2.1) { exit 1 }
  NR > 1 && ($1 - p < 0.18 || $1 - p > 0.3) { exit 1 } { p = $1 }' ||
  fail "the clicks do not follow the typing: $(echo $ONSETS)"
echo ok
