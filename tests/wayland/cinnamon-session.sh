#!/bin/sh
# Cinnamon in its root filesystem, on the test's X server and session bus:
# a private system bus, the layouts in the user's settings before the start
# (Cinnamon 6.6 reads them there; 6.4 leaves the X server's keymap alone),
# then Cinnamon as that user. CINNAMON holds its arguments.
set -e
dbus-daemon --system --fork --nopidfile
exec setpriv --reuid="$USER_ID" --regid="$GROUP_ID" --clear-groups sh -c '
gsettings set org.cinnamon.desktop.input-sources sources "[(\"xkb\", \"ru\"), (\"xkb\", \"us\"), (\"xkb\", \"de\")]"
exec cinnamon $CINNAMON'
