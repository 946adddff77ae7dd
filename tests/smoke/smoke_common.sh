# Shared by the smoke tests (sourced): failing, the tools they need, a private home for the
# program, and its ending after the creator window was closed.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is needed for this test"
    done
}

# Points HOME and the XDG folders into a fresh folder, $home, which the caller removes.
make_private_home() {
    home=$(mktemp -d)
    export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
    export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=xcb
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

# The program must end within ten seconds of its creator window closing, and end well.
expect_program_end() {
    local pid=$1
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        fail "the program still runs after its creator window was closed"
    fi
    wait "$pid" || fail "the program ended with status $?"
}

# Waits for a visible window whose title matches; prints its id.
wait_window() {
    local wid
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1) || true
    [ -n "$wid" ] || fail "no window titled $1"
    sleep 0.4 # let it paint before keys or screenshots reach it
    echo "$wid"
}

wait_gone() {
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the window titled $1 did not close"
}

shot() {
    import -window "$2" "$shots/$1.png" || fail "no screenshot of $1" # $shots: the caller's folder
}

# Keys go to the window that has the focus; without a window manager we give it ourselves.
press() {
    xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers "$2"
}

# A click at a control's place in the window, in pixels as the layout gives them.
click() {
    xdotool mousemove --window "$1" --sync "$2" "$3" click 1
}

# A password or secret as the settings file keeps it.
scramble() {
    python3 -c '
import random, sys
print("".join("%02X%02X" % (255 - ord(c), random.randrange(256)) for c in reversed(sys.argv[1])))
' "$1"
}

# Starts a fake service script on 127.0.0.1; sets $server (its process) and $port.
start_fake() {
    python3 "$1" >"$home/service.out" &
    server=$!
    for _ in $(seq 1 100); do
        grep -q '^PORT ' "$home/service.out" && break
        sleep 0.1
    done
    port=$(awk '/^PORT / {print $2}' "$home/service.out")
    [ -n "$port" ] || fail "the fake service did not start"
}

# The program's path made whole, the screenshot folder ($shots) made, a private home, and a
# fake service ($server, once started) that ends with the test.
begin_smoke_run() {
    [ -x "$1" ] || fail "no program at $1"
    program=$(realpath "$1")
    mkdir -p "$2"
    shots=$(cd "$2" && pwd)
    make_private_home
    server=
    trap end_smoke_run EXIT
}

end_smoke_run() {
    [ -z "$server" ] || kill "$server" 2>/dev/null || true
    rm -rf "$home"
}
