#!/usr/bin/env bash
# Runs its arguments in a test session of their own: a private D-Bus session bus, an unlocked
# Secret Service and a virtual X display, with every file of theirs in a scratch folder. Exits with
# the status of its arguments: tearing the session down afterwards never fails the run.
#
# The bus starts on demand only the services the tests use. A desktop machine has more (the
# desktop portals, the virtual file systems), and the toolkit, the engine's sandbox and any
# application would start them: they would log screens of warnings here, and the document portal
# mounts a file system in the runtime folder.
set -euo pipefail
scratch=$(mktemp -d)
runtime=$scratch/runtime
bus=
readonly SERVICES=(org.a11y.Bus ca.desrt.dconf)

# The mount points below the scratch folder, deepest first.
mounts_below_scratch() {
  local point
  while read -r _ _ _ _ point _; do
    point=$(printf '%b' "${point//\\/\\0}") # the table escapes blanks as octal
    case $point in "$scratch"/*) echo "$point" ;; esac
  done </proc/self/mountinfo | sort -r
}

# The processes of this session still running: the services its bus started and whatever a test
# left behind (a program that hung, a bus of its own). All carry the session's runtime folder.
session_pids() {
  local process
  for process in /proc/[0-9]*; do
    [ "${process#/proc/}" != $$ ] || continue
    tr '\0' '\n' 2>/dev/null <"$process/environ" | grep -qxF "XDG_RUNTIME_DIR=$runtime" &&
      echo "${process#/proc/}"
  done
}

# Ends the processes, forcibly after five seconds.
stop() {
  [ $# -gt 0 ] || return 0
  kill "$@" 2>/dev/null
  for _ in $(seq 50); do
    kill -0 "$@" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$@" 2>/dev/null
}

tear_down() {
  # shellcheck disable=SC2046 # one process id a word
  stop $(session_pids)
  stop $bus
  mounts_below_scratch | while read -r point; do
    fusermount3 -u -z "$point" 2>/dev/null || fusermount -u -z "$point" 2>/dev/null ||
      umount -l "$point" 2>/dev/null || echo "warning: cannot unmount $point" >&2
  done
  rm -rf "$scratch" 2>/dev/null || echo "warning: cannot remove all of $scratch" >&2
}
trap 'set +e; tear_down' EXIT

export XDG_RUNTIME_DIR=$runtime
# The virtual display has no graphics card: there the toolkit's GL renderer is emulated in software
# and takes a few hundred milliseconds a frame on a busy machine, so an animated view keeps the
# main loop drawing and idle work waits behind it. Its software renderer takes a few milliseconds.
export GSK_RENDERER=cairo
# The style manager asks the settings portal for the desktop's colour scheme, which would start the
# portal on any bus that can; without it the style manager reads the same key from GSettings.
export ADW_DISABLE_PORTAL=1
# Browsers that a test runs as the user would get a bus of their own, built like this one.
export ZEMBLO_TEST_BUS_CONFIG=$scratch/bus.conf
mkdir -m 700 "$runtime"
mkdir "$scratch/services" "$scratch/home"
for service in "${SERVICES[@]}"; do
  cp "/usr/share/dbus-1/services/$service.service" "$scratch/services/"
done
cat >"$scratch/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir=$scratch</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$scratch/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
# The services the bus starts, and the keyring, keep their files in the scratch folder, never in a
# real home.
(
  export XDG_CONFIG_HOME=$scratch/home/config XDG_DATA_HOME=$scratch/home/data \
    XDG_CACHE_HOME=$scratch/home/cache
  exec dbus-daemon --config-file="$scratch/bus.conf" --fork --print-address=3 --print-pid=4 \
    3>"$scratch/bus.address" 4>"$scratch/bus.pid"
)
bus=$(cat "$scratch/bus.pid")
DBUS_SESSION_BUS_ADDRESS=$(cat "$scratch/bus.address")
export DBUS_SESSION_BUS_ADDRESS
printf '%s' zemblo-test-keyring |
  XDG_DATA_HOME=$scratch/home/data gnome-keyring-daemon --foreground --unlock --components=secrets \
    >"$scratch/keyring.log" 2>&1 &
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
    grep -q 'boolean true' && break
  sleep 0.1
done
status=0
xvfb-run -a -s "-screen 0 1440x920x24 -noreset" "$@" || status=$?
exit $status
