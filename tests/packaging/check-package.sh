#!/usr/bin/env bash
# Runs CPack into a scratch directory, unpacks the .deb with dpkg -x and checks
# the files a desktop expects, the program itself and the package metadata.
set -euo pipefail
build=$1
version=$2
app_id=app.velmora.Velmora
extensions=usr/share/gnome-shell/extensions

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# -B keeps CPack's staging tree out of the build directory.
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }

arch=$(dpkg --print-architecture)
deb="$work/out/velmora_${version}_${arch}.deb"
[ -f "$deb" ] || { ls -l "$work/out" >&2; fail "expected $(basename "$deb")"; }

root="$work/root"
dpkg -x "$deb" "$root"

expected=(
  usr/bin/velmora
  usr/share/applications/$app_id.desktop
  usr/share/metainfo/$app_id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$app_id.svg
  usr/share/doc/velmora/keyboard-access.md
  usr/share/doc/velmora/copyright
)
for uuid in velmora@velmora.app velmora-gnome43@velmora.app; do
  for f in metadata.json extension.js velmoraBus.js; do
    expected+=("$extensions/$uuid/$f")
  done
done
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
if [ -f "$(dirname "$0")/../../docs/velmora.1" ]; then
  expected+=(usr/share/man/man1/velmora.1.gz)
fi
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || fail "missing or empty: $f"
done
[ -x "$root/usr/bin/velmora" ] || fail "usr/bin/velmora is not executable"

# Each PNG must really be of its nominal size, not one bitmap copied around.
for size in 16 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims, expected ${size}x${size}"
done

# The names that tie the entry, the icon, the metainfo and the window together.
desktop="$root/usr/share/applications/$app_id.desktop"
grep -qx "Exec=velmora" "$desktop" || fail "desktop entry does not run velmora"
grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry does not name the installed icon"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"

# GNOME Shell loads an extension only from the folder named after its uuid,
# and only where its versions name the shell: between them, 43 to 51.
for uuid in velmora@velmora.app velmora-gnome43@velmora.app; do
  grep -q "\"uuid\": \"$uuid\"" "$root/$extensions/$uuid/metadata.json" || fail "extension uuid $uuid"
  grep -q 'VelmoraShellBus' "$root/$extensions/$uuid/extension.js" || fail "$uuid: entry does not load its body"
done
versions=$(cat "$root"/$extensions/*/metadata.json | sed -n 's/.*"shell-version": \[\(.*\)\].*/\1/p' | tr -d '" ' | tr ',' '\n' | sort -n | paste -sd,)
[ "$versions" = 43,44,45,46,47,48,49,50,51 ] || fail "the extensions name GNOME $versions"
grep -q '^import ' "$root/$extensions/velmora@velmora.app/extension.js" || fail "the 45+ entry is not a module"
! grep -q '^import ' "$root/$extensions/velmora-gnome43@velmora.app/extension.js" || fail "the 43/44 entry is a module"

out=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/velmora" --version)
[ "$out" = "Velmora $version" ] || fail "velmora --version printed '$out'"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
else
  echo "appstreamcli not installed: metainfo not validated"
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6' <<<"$depends" || fail "Depends lacks Qt 6"
grep -q 'libxcb' <<<"$depends" || fail "Depends lacks the XCB libraries"
# libsodium is linked in: its soname differs between releases (libsodium23, libsodium26).
! grep -q 'libsodium' <<<"$depends" || fail "Depends names libsodium, whose package differs between releases"
nm -D "$root/usr/bin/velmora" | grep -q ' U crypto_sign' && fail "velmora does not carry libsodium"
grep -q 'qt6-wayland' <<<"$depends" || fail "Depends lacks qt6-wayland, without which no window opens on Wayland"
[ "$(dpkg-deb -f "$deb" Package)" = velmora ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"

# The same package on Debian 13 and unstable: installed with apt into a
# throwaway copy (an overlay) of each release's root filesystem, then run there.
roots=${VELMORA_ROOTS:-/var/cache/velmora/roots}
for release in trixie sid; do
  if [ ! -x "$roots/$release/usr/bin/gnome-shell" ]; then
    [ "${CI:-}" != true ] || fail "no $release root filesystem (scripts/rootfs makes it)"
    echo "no $release root filesystem: package not installed there"
    continue
  fi
  mkdir -p "$work/$release/upper" "$work/$release/work" "$work/$release/merged"
  cp "$deb" "$work/$release/upper/"
  # The installed extensions in the release's GNOME Shell, headless: the one
  # made for it serves Velmora's interface with the shell's sources.
  cat >"$work/$release/upper/gnome.sh" <<'GNOME'
export HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/home XDG_CONFIG_HOME=/tmp/home GSETTINGS_BACKEND=keyfile
mkdir -p "$HOME" /run/dbus
dbus-daemon --system --fork --nopidfile
gsettings set org.gnome.desktop.input-sources sources "[('xkb','ru'),('xkb','us')]"
gsettings set org.gnome.shell enabled-extensions "['velmora@velmora.app','velmora-gnome43@velmora.app']"
export DBUS_SESSION_BUS_ADDRESS=unix:path=/tmp/home/bus
dbus-daemon --session --fork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
gnome-shell --wayland --no-x11 --headless --virtual-monitor 1280x800 2>/tmp/home/log &
for _ in $(seq 600); do
  gdbus call --session -d app.velmora.Shell -o /app/velmora/Shell -m app.velmora.Shell.ListSources 2>/dev/null && exit 0
  sleep 0.1
done
tail -n 20 /tmp/home/log
exit 1
GNOME
  unshare --mount --pid --fork --kill-child=SIGKILL --propagation private bash -c '
    set -e
    root=$1 overlay=$2 deb=$3
    mount -t overlay overlay -o "lowerdir=$root,upperdir=$overlay/upper,workdir=$overlay/work" "$overlay/merged"
    cd "$overlay/merged"
    mount -t proc proc proc && mount --rbind /dev dev && mount -t tmpfs tmpfs tmp
    mount --bind /etc/resolv.conf etc/resolv.conf
    export DEBIAN_FRONTEND=noninteractive
    chroot . apt-get install -y -qq --no-install-recommends "/$deb" >/dev/null 2>"$overlay/apt.log" ||
      { chroot . apt-get update -qq && chroot . apt-get install -y -qq --no-install-recommends "/$deb" >/dev/null; }
    chroot . env QT_QPA_PLATFORM=offscreen velmora --version > "$overlay/version"
    # The layouts of an X server of the release (its default keymap, "us").
    chroot . Xvfb -displayfd 3 -nolisten tcp -noreset 3>"$overlay/display" 2>/dev/null &
    for _ in $(seq 100); do [ -s "$overlay/display" ] && break; sleep 0.1; done
    chroot . env DISPLAY=":$(cat "$overlay/display")" velmora --list-input-sources > "$overlay/sources"
    kill $!
    mount -t tmpfs tmpfs run
    chroot . sh /gnome.sh > "$overlay/extension" 2>&1 || true
  ' - "$roots/$release" "$work/$release" "$(basename "$deb")" >"$work/$release.log" 2>&1 ||
    { cat "$work/$release.log" "$work/$release/apt.log" >&2; fail "apt could not install the package on $release"; }
  [ "$(cat "$work/$release/version")" = "Velmora $version" ] ||
    fail "on $release velmora --version printed '$(cat "$work/$release/version")'"
  [ -s "$work/$release/sources" ] || fail "on $release velmora --list-input-sources printed nothing"
  grep -q "'xkb', 'ru'" "$work/$release/extension" ||
    { cat "$work/$release/extension" >&2; fail "on $release GNOME Shell does not run the installed extension"; }
  echo "installed and run on $release: $(cat "$work/$release/version"); --list-input-sources: $(head -n 1 "$work/$release/sources"); GNOME Shell's ListSources through the installed extension: $(cat "$work/$release/extension")"
done

echo "package OK: $(basename "$deb")"
