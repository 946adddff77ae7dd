#!/usr/bin/env bash
# Starts the real program on an X server of its own, waits for the creator window, checks that
# its window class is the one the desktop entry names (so the window joins its menu entry),
# closes it with Esc as a user would, and checks that the program ended and wrote its settings.
set -euo pipefail
source "$(dirname "$0")/smoke_common.sh"

if [ "${1:-}" = "--inside" ]; then
    program=$2
    desktop=$3
    "$program" &
    pid=$!
    wid=$(timeout 30 xdotool search --sync --name '^Marivane :: Creator mode$' | head -n 1)
    [ -n "$wid" ] || fail "the creator window did not appear"
    class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
    xprop -id "$wid" WM_CLASS | grep -q ", \"$class\"\$" ||
        fail "the window class is not \"$class\": $(xprop -id "$wid" WM_CLASS)"
    sleep 0.5
    xdotool windowfocus --sync "$wid"
    xdotool key --clearmodifiers Escape
    expect_program_end "$pid"
    exit 0
fi

program=${1:?usage: smoke_creator.sh <path of the marivane program> <its desktop entry>}
desktop=${2:?usage: smoke_creator.sh <path of the marivane program> <its desktop entry>}
need_tools xvfb-run xdotool xprop dbus-run-session
make_private_home
trap 'rm -rf "$home"' EXIT

xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" --inside "$program" "$desktop"

settings=$XDG_CONFIG_HOME/Velmora/Marivane.ini
[ -s "$settings" ] || fail "no settings file at $settings"
for key in "Last%20Caption" "Quick%20Mode" "Group%20Index" "Window%20placement"; do
    grep -q "^$key=" "$settings" || { echo "$key missing from the settings"; cat "$settings"; exit 1; }
done
echo "creator window opened, closed with Esc, settings written"
