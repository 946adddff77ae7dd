#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/, replays every kept crashing input, then fuzzes each target for N seconds
# (first argument, default 30) from its corpus. Fails on the first crash.
# With --merge as second argument, new corpus entries are folded back into tests/fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
merge=${2:-}
root=$(pwd)
build=$root/build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DMARIVANE_FUZZ=ON -DMARIVANE_WERROR=ON \
      -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" fuzz_all

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

status=0
for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    name=$(basename "$exe")
    corpus=$root/tests/fuzz/corpus/$name
    regressions=$root/tests/fuzz/regressions/$name
    work=$build/corpus/$name
    mkdir -p "$corpus" "$work" "$build/crashes/$name"

    # Inputs that once crashed must keep passing.
    if compgen -G "$regressions/*" >/dev/null; then
        echo "== $name: replaying $(ls "$regressions" | wc -l) kept inputs"
        "$exe" -runs=0 "$regressions"/* >"$build/crashes/$name/replay.log" 2>&1 || {
            cat "$build/crashes/$name/replay.log"
            echo "FAIL: $name crashes on a kept input"
            status=1
            continue
        }
    fi

    echo "== $name: fuzzing for ${seconds}s"
    dirs=("$work" "$corpus")
    [ -d "$regressions" ] && dirs+=("$regressions")
    if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
            -print_final_stats=1 -artifact_prefix="$build/crashes/$name/" \
            "${dirs[@]}" >"$build/crashes/$name/run.log" 2>&1; then
        tail -n 60 "$build/crashes/$name/run.log"
        echo "FAIL: $name crashed; the input is in $build/crashes/$name/"
        status=1
        continue
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$build/crashes/$name/run.log" || true

    if [ "$merge" = "--merge" ]; then
        "$exe" -merge=1 "$corpus" "$work" >/dev/null 2>&1
    fi
done
exit $status
