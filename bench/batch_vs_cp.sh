#!/usr/bin/env bash
# Folder batch against cp: stores N pictures of S bytes as posts through the batch's code
# path, which puts every post on the disk before it shows, and copies the same files with cp
# followed by sync (the same promise) into a folder on the same file system, alternating
# the two for several rounds, and prints the best time of each and the throughput ratio
# ours / cp. It does so on the disk of the build folder and on a RAM file system
# (/dev/shm), which no earlier work on the machine can slow down.
# Each round also runs format_floor, the bare system calls of both jobs: how close two files
# per post can come to cp's one file at all.
# Usage: batch_vs_cp.sh <bench build folder> [count=1000] [size=262144] [rounds=5]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-1000}
size=${3:-262144}
rounds=${4:-5}
tool=$build/bench/batch_vs_cp
floor=$build/bench/format_floor

now() { date +%s%N; }
keep_best() { # keep_best <variable> <nanoseconds>
    if [ -z "${!1}" ] || [ "$2" -lt "${!1}" ]; then printf -v "$1" '%s' "$2"; fi
}

# measure <work folder> <where, for the table> <seconds to wait before the runs>
measure() {
    local work=$1 where=$2 settle=$3
    rm -rf "$work"
    mkdir -p "$work/pictures"
    python3 - "$work/pictures" "$count" "$size" <<'PY'
import os, sys
folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for i in range(count):
    with open(os.path.join(folder, "picture%05d.jpg" % i), "wb") as f:
        f.write(os.urandom(size))
PY
    # ext4 without a journal does not reuse an inode freed in the last minute (longer while
    # its table is unwritten), and every new file searches past all such inodes. Right after
    # files were deleted, runs measured that search more than the copy, and our two files
    # per post paid for it twice. So rounds write into fresh folders, nothing is deleted
    # until the end, and the runs start a while after the last deletion.
    sync
    sleep "$settle"
    ours='' cp_best='' floor_copy='' floor_posts=''
    local round start cp_run ours_run ratios=''
    for ((round = 1; round <= rounds; round++)); do
        mkdir -p "$work/copy$round" "$work/home$round" "$work/floor-copy$round" \
                 "$work/floor-posts$round"
        # A sync before each run keeps one run's write-back out of the next.
        sync
        start=$(now)
        cp "$work"/pictures/* "$work/copy$round/"
        sync
        cp_run=$(($(now) - start))
        keep_best cp_best "$cp_run"

        sync
        start=$(now)
        HOME=$work/home$round XDG_DATA_HOME=$work/home$round/data \
            XDG_CONFIG_HOME=$work/home$round/config "$tool" "$work/pictures" >/dev/null
        ours_run=$(($(now) - start))
        keep_best ours "$ours_run"
        ratios+=" $cp_run/$ours_run"

        sync
        "$floor" "$work/pictures" "$work/floor-copy$round" "$work/floor-posts$round" \
            >"$work/floor"
        keep_best floor_copy "$(awk '$1 == "copy" { printf "%d", $2 * 1e9 }' "$work/floor")"
        keep_best floor_posts "$(awk '$1 == "posts" { printf "%d", $2 * 1e9 }' "$work/floor")"
    done
    local stored
    stored=$(find "$work/home$rounds" -name '*.Info' | wc -l)
    [ "$stored" -eq "$count" ] || { echo "only $stored of $count posts stored" >&2; exit 1; }
    rm -rf "$work"

    python3 - "$where" "$ours" "$cp_best" "$floor_posts" "$floor_copy" "$count" "$size" \
        "$ratios" <<'PY'
import statistics, sys
where = sys.argv[1]
ours, cp, floor_posts, floor_copy, count, size = (int(v) for v in sys.argv[2:8])
ratio = cp / ours
verdict = "PASS" if ratio >= 0.9 else "FAIL"
print("RESULT|Folder batch (%d x %d KB) vs cp + sync, %s|%.3f s|%.3f s|%.2f|>= 0.90|%s"
      % (count, size // 1024, where, ours / 1e9, cp / 1e9, ratio, verdict))
# Each round's own ratio, so one noisy round shows as such.
rounds = [int(a) / int(b) for a, b in (pair.split("/") for pair in sys.argv[8].split())]
print("RESULT|  spread of the %d rounds' ratios, %s|min %.2f|max %.2f|median %.2f|-|INFO"
      % (len(rounds), where, min(rounds), max(rounds), statistics.median(rounds)))
print("RESULT|  limit: posts vs copies in bare system calls and a sync, %s|%.3f s|%.3f s|%.2f|-|INFO"
      % (where, floor_posts / 1e9, floor_copy / 1e9, floor_copy / floor_posts))
PY
}

measure "$build/bench-work/batch_vs_cp" "disk" "${BENCH_SETTLE_SECONDS:-65}"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    measure "/dev/shm/marivane-bench-$$" "RAM file system" 0
fi
