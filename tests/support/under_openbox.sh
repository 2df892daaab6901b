#!/bin/sh
# Runs a command with a window manager (openbox) on $DISPLAY, as a desktop has one.
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
timeout 5 xdotool search --sync --name '^Openbox$' >/dev/null
"$@"
status=$?
kill "$manager"
wait "$manager" 2>/dev/null
exit "$status"
