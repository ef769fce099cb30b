#!/usr/bin/env bash
# Runs CPack into a scratch directory, unpacks the .deb with dpkg -x and checks
# the files a desktop expects, the program itself and the package metadata.
set -euo pipefail
build=$1
version=$2
app_id=app.velmora.Velmora
gnome_extension=usr/share/gnome-shell/extensions/velmora@velmora.app

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
  $gnome_extension/metadata.json
  $gnome_extension/extension.js
  $gnome_extension/velmoraBus.js
)
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

# GNOME Shell loads an extension only from the folder named after its uuid.
grep -q '"uuid": "velmora@velmora.app"' "$root/$gnome_extension/metadata.json" || fail "extension uuid"
grep -q 'VelmoraShellBus' "$root/$gnome_extension/extension.js" || fail "extension entry does not load its body"

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
grep -q 'libsodium' <<<"$depends" || fail "Depends lacks libsodium, which checks update signatures"
grep -q 'qt6-wayland' <<<"$depends" || fail "Depends lacks qt6-wayland, without which no window opens on Wayland"
[ "$(dpkg-deb -f "$deb" Package)" = velmora ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
[ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "section"

echo "package OK: $(basename "$deb")"
