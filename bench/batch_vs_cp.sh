#!/usr/bin/env bash
# Folder batch against cp: stores N pictures of S bytes as posts through the batch's code
# path and copies the same files with cp into a folder on the same disk, alternating the two
# for several rounds. Prints the best time of each and the throughput ratio ours / cp.
# Usage: batch_vs_cp.sh <bench build folder> [count=1000] [size=262144] [rounds=5]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-1000}
size=${3:-262144}
rounds=${4:-5}
tool=$build/bench/batch_vs_cp
work=$build/bench-work/batch_vs_cp
rm -rf "$work"
mkdir -p "$work/pictures"

python3 - "$work/pictures" "$count" "$size" <<'PY'
import os, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(count):
    with open(os.path.join(folder, "picture%05d.jpg" % i), "wb") as f:
        f.write(os.urandom(size))
PY
sync

now() { date +%s%N; }
best_ours=
best_cp=
for ((round = 1; round <= rounds; round++)); do
    rm -rf "$work/home" "$work/copy"
    mkdir -p "$work/copy"
    sync
    start=$(now)
    cp "$work"/pictures/* "$work/copy/"
    took=$(($(now) - start))
    [ -z "$best_cp" ] || [ "$took" -lt "$best_cp" ] && best_cp=$took

    rm -rf "$work/home" "$work/copy"
    mkdir -p "$work/home"
    sync
    start=$(now)
    HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config \
        "$tool" "$work/pictures" >/dev/null
    took=$(($(now) - start))
    [ -z "$best_ours" ] || [ "$took" -lt "$best_ours" ] && best_ours=$took
done
stored=$(find "$work/home" -name '*.Info' | wc -l)
[ "$stored" -eq "$count" ] || { echo "only $stored of $count posts stored" >&2; exit 1; }
rm -rf "$work"

python3 - "$best_ours" "$best_cp" "$count" "$size" <<'PY'
import sys
ours, cp, count, size = (int(v) for v in sys.argv[1:])
ratio = cp / ours
verdict = "PASS" if ratio >= 0.8 else "FAIL"
name = "Folder batch (%d x %d KB) vs cp" % (count, size // 1024)
print("RESULT|%s|%.3f s|%.3f s|%.2f|>= 0.80|%s" % (name, ours / 1e9, cp / 1e9, ratio, verdict))
PY
