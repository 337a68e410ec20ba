#!/usr/bin/env bash
# Installs the Debian package into a bare Debian 12 root with apt, as a user
# would, and runs the installed program there: one second of the show
# captured from / at 640x480 under the root's own Xvfb.
#
#   tools/deb_check.sh DEB [WORK_DIR]   (root only; default /var/tmp/parallaxis-deb-root)
#
# The bare root is the tarball tools/clean_root.sh keeps in CLEAN_ROOT_CACHE
# (default /var/cache/parallaxis-clean-root); run that once first. The root
# is unpacked afresh, so apt pulls exactly what the package depends on (the
# list goes to WORK_DIR/apt.log); Xvfb and xauth are added to run it.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "deb_check.sh: needs root (chroot, mount)" >&2; exit 2; }
[ $# -ge 1 ] && [ -f "$1" ] || { echo "usage: deb_check.sh DEB [WORK_DIR]" >&2; exit 2; }
DEB=$(realpath "$1")
WORK=${2:-/var/tmp/parallaxis-deb-root}
CACHE=${CLEAN_ROOT_CACHE:-/var/cache/parallaxis-clean-root}
ROOT=$WORK/root
. "$(dirname "$0")/bare_root.bash"
[ -f "$TARBALL" ] || { echo "deb_check.sh: no $TARBALL; run tools/clean_root.sh first" >&2; exit 2; }
trap unmountAll EXIT

mkdir -p "$WORK"
unpackRoot
cp "$DEB" "$ROOT/tmp/"

echo "== deb check: apt-get install ./$(basename "$DEB")"
inside "apt-get update -qq && apt-get install -y /tmp/$(basename "$DEB") >/tmp/apt.log 2>&1" || {
  tail -n 30 "$ROOT/tmp/apt.log"
  exit 1
}
cp "$ROOT/tmp/apt.log" "$WORK/apt.log"
grep -E "^[0-9]+ upgraded, [0-9]+ newly installed" "$WORK/apt.log"
inside "apt-get install -y --no-install-recommends xvfb xauth >/tmp/xvfb.log 2>&1" || {
  tail -n 30 "$ROOT/tmp/xvfb.log"
  exit 1
}
echo "== deb check: one second of the show captured by /usr/bin/parallaxis from /"
inside 'cd / && xvfb-run -a -s "-screen 0 1280x1024x24" env PARALLAXIS_UNATTENDED=1 \
  SDL_AUDIODRIVER=dummy parallaxis --resolution 640x480 --capture /tmp/x --capture-png --capture-fps 10 \
  --to 1 >/tmp/show.log 2>&1' || { cat "$ROOT/tmp/show.log"; exit 1; }
frames=$(ls "$ROOT/tmp/x" | grep -c '^frame_.*\.png$' || true)
[ "$frames" = 10 ] || { echo "deb_check.sh: $frames frames, not 10" >&2; exit 1; }
[ -s "$ROOT/tmp/x/soundtrack.wav" ] || { echo "deb_check.sh: no soundtrack.wav" >&2; exit 1; }
echo "== deb check: passed ($frames frames and soundtrack.wav)"
