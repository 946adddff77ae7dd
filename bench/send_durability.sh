#!/usr/bin/env bash
# What making each sent post's fate durable costs (send marker, link, deletion): sends 200
# posts of 50 KB to the HTTPS stand-in from a data folder on the build folder's disk and on
# /dev/shm, against curl posting the same bodies, and counts the sync calls a sent post
# makes (a trace of storing and sending, less one of storing alone).
# Usage: bench/send_durability.sh <bench build folder>
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/standin.sh"
in_private_mounts "$0" "$@"
tool=$build/bench/upload_bench
posts=${POSTS:-200}
kb=50
work=$(mktemp -d)
disk=$build/durability-home
standin=''
trap 'kill $standin 2>/dev/null; rm -rf "$work" "$disk"' EXIT
mkdir -p "$disk"

make_authority "$work"
start_standin "$work" --tls "$work/server.pem"
answer_with_ids
export MARIVANE_API_BASE=https://127.0.0.1:$port
type=$("$tool" --api --kb "$kb" --dump-body "$work/body")

syncs() { # syncs <tool options>: sync calls of one run in the disk folder
    TMPDIR=$disk strace -f -c -o "$work/strace" \
        -e trace=fsync,fdatasync,syncfs,sync_file_range,msync "$tool" "$@" >/dev/null
    awk '$NF ~ /^(fsync|fdatasync|syncfs|sync_file_range|msync)$/ { n += $4 } END { print n + 0 }' \
        "$work/strace"
}
sent=$(syncs --api --posts "$posts" --kb "$kb")
stored=$(syncs --api --posts "$posts" --kb "$kb" --store-only)

curl_time=$(curl_posts "$posts" "$type" "$work/body")
on_disk=$(TMPDIR=$disk "$tool" --api --posts "$posts" --kb "$kb")
on_ram=$(TMPDIR=/dev/shm "$tool" --api --posts "$posts" --kb "$kb")
echo "syncs: stored and sent $sent, stored only $stored"
echo "seconds: curl $curl_time, ours on disk $on_disk, ours on /dev/shm $on_ram"

python3 - "$posts" "$sent" "$stored" "$curl_time" "$on_disk" "$on_ram" <<'PY'
import sys
posts, sent, stored = (int(v) for v in sys.argv[1:4])
curl, disk, ram = (float(v) * 1000 / posts for v in sys.argv[4:7])
per_post = (sent - stored) / posts
# A send marker's name before the upload and the link's line after it, and once the new
# links list's name: nothing less keeps the promise (see the README).
needed = (2 * posts + 1) / posts
print("RESULT|Syncs a sent post makes (peer: what the promise needs)|%.3f|%.3f|%.2f|<= 1.00|%s"
      % (per_post, needed, per_post / needed, "PASS" if per_post <= needed else "FAIL"))
print("RESULT|  send %d x 50 KB over HTTPS from /dev/shm, ms a post (peer: curl)|%.1f|%.1f|%.2f|-|INFO"
      % (posts, ram, curl, ram / curl))
print("RESULT|  the same from the disk, ms a post (peer: from /dev/shm); beyond it: %.1f ms"
      "|%.1f|%.1f|%.2f|-|INFO" % (disk - ram, disk, ram, disk / ram))
PY
