#!/bin/sh
# Cinnamon in its root filesystem, on the X server and session bus of
# cinnamon-host.sh: a private system bus, the layouts in the user's settings
# before the start (Cinnamon 6.6 reads them there), then Cinnamon as that
# user. SHARED: the test's folder; CINNAMON: its arguments; SOURCES,
# XKB_OPTIONS and PER_WINDOW: its input sources, XKB options and per-window
# option, as gsettings values.
# Writes ready in its home once Cinnamon is settled: "sources" when it has input
# sources of its own (6.6; settled once it has loaded them a second time,
# with IBus up, selecting the first), "keymap" when it has not (6.4).
set -ea
. "$SHARED/cinnamon.env"
set +a
[ "$CINNAMON" = --replace ] && XDG_SESSION_TYPE=x11 || XDG_SESSION_TYPE=wayland
export XDG_SESSION_TYPE
dbus-daemon --system --fork --nopidfile
exec setpriv --reuid="$USER_ID" --regid="$GROUP_ID" --clear-groups sh -c '
gsettings set org.cinnamon.desktop.input-sources sources "$SOURCES"
gsettings set org.cinnamon.desktop.input-sources xkb-options "$XKB_OPTIONS"
gsettings set org.cinnamon.desktop.input-sources per-window "${PER_WINDOW:-false}"
gdbus monitor --session --dest org.Cinnamon --object-path /org/Cinnamon > "$HOME/signals" &
cinnamon $CINNAMON &
until gdbus introspect --session --dest org.Cinnamon --object-path /org/Cinnamon 2>/dev/null |
  grep -q CinnamonVersion; do sleep 0.1; done
if gdbus introspect --session --dest org.Cinnamon --object-path /org/Cinnamon | grep -q GetInputSources; then
  until [ "$(grep -c InputSourcesChanged "$HOME/signals")" -ge 2 ]; do sleep 0.1; done
  echo sources > "$HOME/ready"
else
  echo keymap > "$HOME/ready"
fi
wait'
