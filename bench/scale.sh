#!/usr/bin/env bash
# Opening the manage and the send windows (offscreen) over 5,000 waiting posts against 50,
# both measured in one process, alternating, median of several rounds. Also checks that
# opening over 5,000 posts stays below 100 ms, the pause a user starts to notice.
# Usage: scale.sh <bench build folder> [few=50] [many=5000] [rounds=21]
set -euo pipefail
build=$(cd "$1" && pwd)
few=${2:-50}
many=${3:-5000}
rounds=${4:-21}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work \
    QT_QPA_PLATFORM=offscreen "$build/bench/scale_windows" "$work" "$few" "$many" "$rounds" \
    | tee "$work/times"

python3 - "$work/times" "$few" "$many" <<'PY'
import sys
times = {}
for line in open(sys.argv[1]):
    window, posts, ms = line.split()
    times[(window, int(posts))] = float(ms)
few, many = int(sys.argv[2]), int(sys.argv[3])
names = {"manager": "Manage window opens", "sender": "Send window opens"}
for window in ("manager", "sender"):
    ours, peer = times[(window, many)], times[(window, few)]
    ratio = ours / peer
    print("RESULT|%s, %d vs %d posts|%.1f ms|%.1f ms|%.2f|< 3.00|%s"
          % (names[window], many, few, ours, peer, ratio, "PASS" if ratio < 3 else "FAIL"))
slowest = max(times[(window, many)] for window in ("manager", "sender"))
ratio = slowest / 100.0
print("RESULT|Slower window at %d posts (peer: a 100 ms pause)|%.1f ms|100 ms|%.2f|< 1.00|%s"
      % (many, slowest, ratio, "PASS" if ratio < 1 else "FAIL"))
PY
