#!/usr/bin/env bash
# Runs its arguments inside the caller's private D-Bus session (start it with dbus-run-session)
# with an unlocked Secret Service of its own and a virtual X display; stops the keyring after.
set -euo pipefail
scratch=$(mktemp -d)
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$scratch/keyring-data"
# The accessibility bus, started on demand by the session bus, keeps its socket in the runtime
# folder of the bus's own environment: a private one, or parallel sessions share one socket path
# and one session's end deletes the socket under the others.
dbus-update-activation-environment XDG_RUNTIME_DIR
# The keyring keeps its files in the scratch folder, never in a real home.
printf '%s' zemblo-test-keyring |
  XDG_DATA_HOME=$scratch/keyring-data gnome-keyring-daemon --foreground --unlock --components=secrets \
    >"$scratch/keyring.log" 2>&1 &
keyring=$!
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
    grep -q 'boolean true' && break
  sleep 0.1
done
status=0
xvfb-run -a -s "-screen 0 1440x920x24 -noreset" "$@" || status=$?
kill "$keyring" 2>/dev/null || true
wait "$keyring" 2>/dev/null || true
rm -rf "$scratch"
exit $status
