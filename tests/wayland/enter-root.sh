#!/bin/bash
# The first process of the namespaces around a root filesystem: it stays
# (no exec), so that killing it ends whatever the desktop started, as
# another user too.
# Usage: enter-root.sh ROOT SHARED COMMAND...
root=$1 shared=$2
shift 2
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/run"
mkdir -p "$root/run/dbus" "$root/run/systemd"
mount -t tmpfs tmpfs "$root/tmp"
mkdir -p "$root$shared"
mount --bind "$shared" "$root$shared"
/usr/sbin/chroot "$root" "$@" || true
exit 0
