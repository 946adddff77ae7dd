#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) and runs every bench/*.sh, then prints one
# table. Each figure is a ratio of two runs measured side by side, so a busy machine moves
# both sides alike.
# Contract for a bench script: it is called with the bench build folder as its argument and
# prints one line per figure:  RESULT|name|ours|peer|ratio|goal|PASS or FAIL
# Everything else it prints goes to build-bench/bench-logs/<script>.log.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(pwd)/build-bench
cmake -S . -B "$build" -G Ninja -DMARIVANE_BENCH=ON -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_TESTING=OFF -DMARIVANE_WERROR=ON >/dev/null || exit 1
ninja -C "$build" >/dev/null || { echo "the benchmark build failed" >&2; exit 1; }
mkdir -p "$build/bench-logs"

rows=()
failed=0
for script in bench/*.sh; do
    [ "$(basename "$script")" = "run_all.sh" ] && continue
    name=$(basename "$script" .sh)
    log=$build/bench-logs/$name.log
    echo "running $name ..." >&2
    if ! bash "$script" "$build" >"$log" 2>&1; then
        rows+=("$name|-|-|-|-|FAIL (error, see $log)")
        failed=1
        continue
    fi
    found=0
    while IFS= read -r line; do
        rows+=("${line#RESULT|}")
        found=1
        [[ "$line" == *"|FAIL" ]] && failed=1
    done < <(grep '^RESULT|' "$log")
    [ "$found" -eq 1 ] || rows+=("$name|-|-|-|-|no figures (see $log)")
done

{
    echo "name|ours|peer|ratio|goal|result"
    printf '%s\n' "${rows[@]}"
} | awk -F'|' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) }
      if (NF > cols) cols = NF }
    END { for (r = 1; r <= NR; r++) { line = ""
            for (i = 1; i <= cols; i++) line = line sprintf("%-*s  ", w[i], cell[r, i])
            sub(/ +$/, "", line); print line } }'
exit $failed
