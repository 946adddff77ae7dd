#!/bin/sh
# Upload speed against curl, and peak memory of one large upload.
# Usage: bench/upload_bench.sh <build folder>   (configured with -DMARIVANE_BENCH=ON)
# Prints RESULT lines for bench/run_all.sh.
set -eu
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)
tool="$build/bench/upload_bench"
work=$(mktemp -d)
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT

python3 "$here/../tests/service/fake_service.py" --sink >"$work/port" &
server=$!
tries=0
while ! grep -q '^PORT ' "$work/port" 2>/dev/null; do
    # A fake service that never starts must not hang the whole benchmark run.
    tries=$((tries + 1))
    [ "$tries" -le 100 ] && kill -0 "$server" 2>/dev/null || { echo "no fake service" >&2; exit 1; }
    sleep 0.1
done
port=$(awk '/^PORT / {print $2}' "$work/port")
export MARIVANE_API_ENDPOINT="127.0.0.1:$port"
posts=${POSTS:-50}

ours=$("$tool" --posts "$posts" --size 4)

type=$("$tool" --size 4 --dump-body "$work/body")
start=$(date +%s.%N)
i=0
while [ $i -lt "$posts" ]; do
    curl -s -o /dev/null -H "Expect:" -H "Content-Type: $type" \
        --data-binary @"$work/body" "http://127.0.0.1:$port/api/write"
    i=$((i + 1))
done
curl_time=$(echo "$(date +%s.%N) - $start" | bc)

rss() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
idle=$(rss "$tool" --posts 0 --size 0)
# The largest picture a post may hold (kMaxPictureBytes).
peak=$(rss "$tool" --posts 1 --size 10)

printf '%-40s %s\n' "upload $posts x 4 MB, ours (s)" "$ours"
printf '%-40s %s\n' "upload $posts x 4 MB, curl (s)" "$curl_time"
printf '%-40s %s\n' "peak RSS idle (KB)" "$idle"
printf '%-40s %s\n' "peak RSS one 10 MB upload (KB)" "$peak"
printf '%-40s %s\n' "above idle (MB)" "$(( (peak - idle) / 1024 ))"
above=$(( (peak - idle) / 1024 ))
awk -v o="$ours" -v c="$curl_time" -v n="$posts" 'BEGIN {
    r = o / c; printf "RESULT|upload %d x 4 MB, s (peer: curl)|%.2f|%.2f|%.2f|<= 1.15|%s\n", n, o, c, r, (r <= 1.15 ? "PASS" : "FAIL") }'
awk -v a="$above" 'BEGIN {
    r = a / 10; printf "RESULT|peak MB above idle, one 10 MB upload (peer: picture size)|%d|10|%.2f|<= 2.0|%s\n", a, r, (r <= 2.0 ? "PASS" : "FAIL") }'
