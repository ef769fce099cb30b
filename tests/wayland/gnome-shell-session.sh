#!/bin/sh
# Run in private mount and process namespaces: the shell sees no systemd
# and a system bus of its own, and all it started ends with it. In a root
# filesystem its session bus listens in the shared folder, where the host
# reaches it (Debian 12's IBus does not come up on a bus started that way).
# (A root filesystem has its own /run already; unstable's may lack mount.)
set -e
if command -v mount >/dev/null; then
  mount -t tmpfs tmpfs /run/systemd
  mount -t tmpfs tmpfs /run/dbus
fi
dbus-daemon --system --fork --nopidfile
sources=$(echo "$LAYOUTS" | sed "s/[^,][^,]*/('xkb','&')/g")
options=$(echo "$XKB_OPTIONS" | sed "s/[^,][^,]*/'&'/g")
gsettings set org.gnome.desktop.input-sources sources "[$sources]"
gsettings set org.gnome.desktop.input-sources xkb-options "[$options]"
gsettings set org.gnome.desktop.input-sources per-window "${PER_WINDOW:-false}"
gsettings set org.gnome.shell enabled-extensions "$EXTENSIONS"
shell='echo "$DBUS_SESSION_BUS_ADDRESS" > "$HOME/bus.address"
exec gnome-shell --wayland --no-x11 --headless --virtual-monitor 1280x800'
[ -n "$SESSION_BUS" ] || exec dbus-run-session -- sh -c "$shell"
export DBUS_SESSION_BUS_ADDRESS="$SESSION_BUS"
dbus-daemon --session --fork --nopidfile --address="$SESSION_BUS"
exec sh -c "$shell"
