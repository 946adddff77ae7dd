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
