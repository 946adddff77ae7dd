#!/usr/bin/env bash
# Upload speed against curl: over HTTPS to the current API, and over plain HTTP to the classic
# interface; and peak memory of one large upload.
# Usage: bench/upload_bench.sh <build folder>   (configured with -DMARIVANE_BENCH=ON)
# Prints RESULT lines for bench/run_all.sh.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/standin.sh"
in_private_mounts "$0" "$@"
tool="$build/bench/upload_bench"
work=$(mktemp -d)
standin=''
trap 'kill $standin 2>/dev/null; rm -rf "$work"' EXIT
posts=${POSTS:-50}

make_authority "$work"
start_standin "$work" --tls "$work/server.pem"
answer_with_ids
type=$(MARIVANE_API_BASE=https://127.0.0.1:$port "$tool" --api --size 4 --dump-body "$work/body")
https_ours=$(MARIVANE_API_BASE=https://127.0.0.1:$port "$tool" --api --posts "$posts" --size 4)
https_curl=$(curl_posts "$posts" "$type" "$work/body")
kill "$standin"

start_standin "$work"
export MARIVANE_API_ENDPOINT="127.0.0.1:$port"
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

printf '%-40s %s\n' "HTTPS $posts x 4 MB, ours (s)" "$https_ours"
printf '%-40s %s\n' "HTTPS $posts x 4 MB, curl (s)" "$https_curl"
printf '%-40s %s\n' "HTTP $posts x 4 MB, ours (s)" "$ours"
printf '%-40s %s\n' "HTTP $posts x 4 MB, curl (s)" "$curl_time"
printf '%-40s %s\n' "peak RSS idle (KB)" "$idle"
printf '%-40s %s\n' "peak RSS one 10 MB upload (KB)" "$peak"
printf '%-40s %s\n' "above idle (MB)" "$(( (peak - idle) / 1024 ))"
above=$(( (peak - idle) / 1024 ))
awk -v o="$https_ours" -v c="$https_curl" -v n="$posts" 'BEGIN {
    r = o / c; printf "RESULT|upload %d x 4 MB over HTTPS, current API, s (peer: curl)|%.2f|%.2f|%.2f|<= 1.15|%s\n", n, o, c, r, (r <= 1.15 ? "PASS" : "FAIL") }'
# Information: the goal of 2.0 dates from Qt's HTTP thread, which carried uploads at about half
# of curl's rate; curl runs once per post here. The HTTPS row above is the one the service sees.
awk -v o="$ours" -v c="$curl_time" -v n="$posts" 'BEGIN {
    r = o / c; printf "RESULT|  upload %d x 4 MB over plain HTTP, classic, s (peer: curl)|%.2f|%.2f|%.2f|<= 2.0|%s\n", n, o, c, r, (r <= 2.0 ? "PASS" : "FAIL") }'
awk -v a="$above" 'BEGIN {
    r = a / 10; printf "RESULT|peak MB above idle, one 10 MB upload (peer: picture size)|%d|10|%.2f|<= 2.0|%s\n", a, r, (r <= 2.0 ? "PASS" : "FAIL") }'
