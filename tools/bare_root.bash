# Helpers for the scripts that work in a bare Debian 12 root (clean_root.sh,
# deb_check.sh). Source it after setting CACHE (where the bare root's tar file
# and apt's downloaded packages are kept) and ROOT (the folder of the root).
# Call unpackRoot to get a fresh root with the kernel file systems mounted,
# inside to run a shell command in it, unmountAll (also from an EXIT trap) to
# release the mounts.

TARBALL=$CACHE/bookworm-minbase.tar

# unmountAll: releases the root's mounts; never fails.
unmountAll() {
  local m
  for m in var/cache/apt/archives dev/pts dev sys proc; do
    mountpoint -q "$ROOT/$m" 2>/dev/null && umount -l "$ROOT/$m"
  done
  return 0
}

# unpackRoot: a fresh root from the tar file, with this machine's apt sources
# and name resolution, /dev, /dev/pts, proc, sysfs, and the package cache.
unpackRoot() {
  unmountAll
  # Never delete through a mount that is still there (/dev of this machine).
  if grep -q " $ROOT/" /proc/mounts; then
    echo "$ROOT still has mounts; not removing it" >&2
    return 1
  fi
  rm -rf "$ROOT"
  mkdir -p "$ROOT"
  tar -C "$ROOT" -xf "$TARBALL"
  cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
  # apt inside reads the same sources as this machine, in place of the
  # bare root's own (main suite only).
  rm -f "$ROOT/etc/apt/sources.list"
  [ -d /etc/apt/sources.list.d ] && cp -a /etc/apt/sources.list.d/. "$ROOT/etc/apt/sources.list.d/"
  [ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$ROOT/etc/apt/sources.list"
  mount -t proc proc "$ROOT/proc"
  mount -t sysfs sysfs "$ROOT/sys"
  mount --bind /dev "$ROOT/dev"
  mount --bind /dev/pts "$ROOT/dev/pts"
  mkdir -p "$CACHE/archives/partial"
  mount --bind "$CACHE/archives" "$ROOT/var/cache/apt/archives"
  # A root thrown away after the run needs no fsync per unpacked file.
  echo force-unsafe-io >"$ROOT/etc/dpkg/dpkg.cfg.d/unsafe-io"
}

# inside COMMAND: runs a shell command in the root as its root user.
inside() {
  chroot "$ROOT" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb \
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive /bin/bash -c "$1"
}
