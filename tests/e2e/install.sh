# cmake --install into a prefix that is then moved: the installed program, run
# from another folder, finds its data and writes only into the capture folder;
# without its data it names the places it looked and exits with code 2.
. "$(dirname "$0")/lib.bash"
unset PARALLAXIS_DATA
BUILD=$(dirname "$BIN")
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'

cmake --install "$BUILD" --prefix "$OUT/first" >/dev/null || fail "cmake --install"
mv "$OUT/first" "$OUT/moved"
P=$OUT/moved
for f in bin/parallaxis share/applications/parallaxis.desktop share/man/man6/parallaxis.6.gz \
         share/doc/parallaxis/README.md share/doc/parallaxis/copyright; do
  [ -f "$P/$f" ] || fail "$f not installed"
done
for d in textures models sounds cg_programs; do
  [ -n "$(ls "$P/share/parallaxis/$d")" ] || fail "share/parallaxis/$d empty"
done
desktop-file-validate "$P/share/applications/parallaxis.desktop" || fail "desktop entry"
for n in 16 32 48 64 128 256; do
  python3 - "$P/share/icons/hicolor/${n}x$n/apps/parallaxis.png" "$n" <<'PY' || fail "icon $n"
import struct, sys
head = open(sys.argv[1], "rb").read(24)
assert head[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
assert struct.unpack(">II", head[16:24]) == (int(sys.argv[2]),) * 2, "size"
PY
done
man -l "$P/share/man/man6/parallaxis.6.gz" 2>/dev/null | grep -q "EXIT STATUS" || fail "manual page"

before=$(cd "$P" && find . | sort)
(cd / && "$P/bin/parallaxis" --resolution 640x480 --capture "$OUT/cap" --capture-png --capture-fps 10 --to 1 \
  2>/dev/null) || fail "installed program, exit code $?"
n=$(ls "$OUT/cap"/frame_*.png | wc -l)
[ "$n" = 10 ] || fail "$n frames for one second at 10 frames/s"
[ -s "$OUT/cap/soundtrack.wav" ] || fail "no soundtrack"

# A relative capture folder is taken from the starting folder.
mkdir "$OUT/start"
(cd "$OUT/start" && "$P/bin/parallaxis" --capture rel --capture-png --start 184.5 --capture-fps 2 2>/dev/null) ||
  fail "relative capture, exit code $?"
[ -f "$OUT/start/rel/frame_000000.png" ] || fail "relative capture not in the starting folder"
[ "$(cd "$P" && find . | sort)" = "$before" ] || fail "the run wrote into the prefix"

mv "$P/share/parallaxis" "$OUT/data"
(cd / && "$P/bin/parallaxis" --resolution 640x480 2>"$OUT/err"); code=$?
[ "$code" = 2 ] || fail "without data: exit code $code"
grep -q "no data folder" "$OUT/err" && grep -qF "$P/bin/../share/parallaxis" "$OUT/err" &&
  grep -qF "$P/bin/ (beside the program)" "$OUT/err" || fail "without data: $(cat "$OUT/err")"
PARALLAXIS_DATA=$OUT/nowhere "$P/bin/parallaxis" --resolution 640x480 2>"$OUT/err"; code=$?
[ "$code" = 2 ] && grep -qF "$OUT/nowhere (PARALLAXIS_DATA)" "$OUT/err" ||
  fail "PARALLAXIS_DATA without data: $code $(cat "$OUT/err")"
# The folder named on the command line is used.
(cd / && "$P/bin/parallaxis" --data "$OUT/data" --capture "$OUT/named" --capture-png --start 184.5 \
  --capture-fps 2 2>/dev/null) || fail "--data, exit code $?"
[ -f "$OUT/named/frame_000000.png" ] || fail "--data: no frame"
echo ok
