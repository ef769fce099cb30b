#!/bin/sh
# Cinnamon in its root filesystem, on the X server and session bus of
# cinnamon-host.sh: a private system bus, the layouts in the user's settings
# before the start (Cinnamon 6.6 reads them there), then Cinnamon as that
# user. SHARED: the test's folder; CINNAMON: its arguments.
set -ea
. "$SHARED/cinnamon.env"
set +a
[ "$CINNAMON" = --replace ] && XDG_SESSION_TYPE=x11 || XDG_SESSION_TYPE=wayland
export XDG_SESSION_TYPE
dbus-daemon --system --fork --nopidfile
exec setpriv --reuid="$USER_ID" --regid="$GROUP_ID" --clear-groups sh -c '
gsettings set org.cinnamon.desktop.input-sources sources "[(\"xkb\", \"ru\"), (\"xkb\", \"us\"), (\"xkb\", \"de\")]"
exec cinnamon $CINNAMON'
