#!/usr/bin/env bash
# Start-up: from process start to the first painted creator window, against a bare Qt program
# that shows the creator's own form, and for information against an empty Qt window. All run
# many times, alternating, on an X server of their own (offscreen when Xvfb is missing) with a
# session bus; medians compared.
# Usage: startup.sh <bench build folder> [runs=21]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

measure=(python3 "$here/startup_measure.py" "$build/bench/startup_marivane"
         "$build/bench/startup_form" "$build/bench/startup_peer" "$runs")
if command -v xvfb-run >/dev/null && command -v dbus-run-session >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "${measure[@]}"
else
    QT_QPA_PLATFORM=offscreen "${measure[@]}"
fi
