#!/bin/sh
# The host side of a Cinnamon test: an Xvfb with the test's layouts and XKB
# options (which Cinnamon 6.4 and a nested Cinnamon keep, and 6.6 on X11
# replaces with its own keymap) and a session bus
# of the test's own that lets root's Velmora in beside Cinnamon's user (the
# default session bus refuses any other user). Both stay in the script's
# process group, which the test ends. The bus sees its clients' process ids
# (the tests' check that Velmora heard the desktop needs them).
# Usage: cinnamon-host.sh SHARED LAYOUTS [OPTIONS]; writes SHARED/cinnamon.env for the root side.
set -e
shared=$1 user=$1/cinnamon
ids=$(getent passwd velmora-test | cut -d: -f3,4)
[ -n "$ids" ] || { echo "no user velmora-test (scripts/bootstrap creates it)" >&2; exit 1; }
chmod o+x "$shared"
mkdir -p "$user/run"
chown -R "$ids" "$user"
chmod 700 "$user/run"
cat > "$shared/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:path=$shared/session-bus</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
CONF
dbus-daemon --config-file="$shared/bus.conf" --nofork --nopidfile &
Xvfb -noreset -nolisten tcp -displayfd 3 3>"$shared/display.new" 2>/dev/null &
while [ ! -s "$shared/display.new" ]; do sleep 0.05; done
display=:$(cat "$shared/display.new")
while [ ! -S "$shared/session-bus" ]; do sleep 0.05; done
setxkbmap -display "$display" -layout "$2" ${3:+-option "$3"}
cat > "$shared/cinnamon.env" <<ENV
HOME=$user
XDG_CONFIG_HOME=$user
XDG_RUNTIME_DIR=$user/run
DISPLAY=$display
DBUS_SESSION_BUS_ADDRESS=unix:path=$shared/session-bus
LIBGL_ALWAYS_SOFTWARE=1
XDG_CURRENT_DESKTOP=X-Cinnamon
GSETTINGS_BACKEND=keyfile
USER_ID=${ids%:*}
GROUP_ID=${ids#*:}
ENV
echo "$display" > "$shared/display"
wait
