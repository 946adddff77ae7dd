#!/usr/bin/env bash
# Starts the real program on an X server of its own, waits for the creator window, closes
# it with Esc as a user would, and checks that the program ended and wrote its settings.
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
    program=$2
    "$program" &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --name '^Marivane :: Creator mode$' | head -n 1)
    [ -n "$wid" ] || { echo "the creator window did not appear"; exit 1; }
    sleep 0.5
    xdotool windowfocus --sync "$wid"
    xdotool key --clearmodifiers Escape
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program still runs after its creator window was closed"
        kill "$pid"
        exit 1
    fi
    wait "$pid" || { echo "the program ended with status $?"; exit 1; }
    exit 0
fi

program=${1:?usage: smoke_creator.sh <path of the marivane program>}
for tool in xvfb-run xdotool dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "$tool is needed for this test"; exit 1; }
done

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" --inside "$program"

settings=$XDG_CONFIG_HOME/Velmora/Marivane.ini
[ -s "$settings" ] || { echo "no settings file at $settings"; exit 1; }
for key in "Last%20Caption" "Quick%20Mode" "Group%20Index" "Window%20placement"; do
    grep -q "^$key=" "$settings" || { echo "$key missing from the settings"; cat "$settings"; exit 1; }
done
echo "creator window opened, closed with Esc, settings written"
