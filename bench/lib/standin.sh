# Sourced by the upload benchmarks: a throw-away certificate authority and the fake service.
# Not a benchmark itself (run_all.sh runs bench/*.sh only).

# in_private_mounts "$0" "$@": runs the calling script again in a mount namespace of its own
# (root only), where make_authority may change what the system trusts for it alone.
in_private_mounts() {
    [ -n "${BENCH_PRIVATE_MOUNTS:-}" ] && return 0
    [ "$(id -u)" -eq 0 ] || { echo "needs root, for a mount namespace" >&2; exit 1; }
    BENCH_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private bash "$@"
}

# make_authority <folder>: a throw-away certificate authority, which signs <folder>/server.pem
# (certificate and key) for 127.0.0.1, and which this namespace's system trust store then
# holds: the program and curl trust it as they trust any system authority, with no setting of
# their own.
make_authority() {
    local dir=$1
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=bench authority" \
        -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" \
        -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
    printf 'subjectAltName=IP:127.0.0.1\n' >"$dir/san"
    openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
        -CAcreateserial -days 2 -extfile "$dir/san" -out "$dir/server.crt" 2>/dev/null
    cat "$dir/server.crt" "$dir/server.key" >"$dir/server.pem"
    # The system's folder of authorities (one file each, found by hash, as Qt reads them) and
    # its bundle (as curl reads it), each with the new authority added.
    cp -a /etc/ssl/certs "$dir/certs"
    cp "$dir/ca.pem" "$dir/certs/bench-authority.pem"
    cat "$dir/ca.pem" >>"$dir/certs/ca-certificates.crt"
    openssl rehash "$dir/certs" 2>/dev/null
    mount --bind "$dir/certs" /etc/ssl/certs
}

# start_standin <folder> [fake_service options]: starts the fake service as a sink, sets
# $standin (its process) and $port.
start_standin() {
    local dir=$1 tries=0
    shift
    rm -f "$dir/port" # an earlier stand-in's port is no answer
    python3 "$(dirname "${BASH_SOURCE[0]}")/../../tests/service/fake_service.py" --sink "$@" \
        >"$dir/port" &
    standin=$!
    while ! grep -q '^PORT ' "$dir/port" 2>/dev/null; do
        # A fake service that never starts must not hang the whole benchmark run.
        tries=$((tries + 1))
        [ "$tries" -le 100 ] && kill -0 "$standin" 2>/dev/null || { echo "no fake service" >&2; return 1; }
        sleep 0.1
    done
    port=$(awk '/^PORT / {print $2}' "$dir/port")
}

# answer_with_ids: the stand-in answers every upload as the current API does, with the new
# post's id, so every post sent is linked too.
answer_with_ids() {
    curl -sf -o /dev/null -d '{"default": {"status": 201, "body":
        "{\"meta\": {\"status\": 201, \"msg\": \"Created\"}, \"response\": {\"id\": \"1\"}}"}}' \
        "https://127.0.0.1:$port/_control/script"
}

# curl_posts <count> <content type> <body file>: prints the seconds curl takes to post the
# body <count> times to the stand-in's posts route, in one process and, as the program
# does, on a new connection each time.
curl_posts() {
    local urls=() i start
    for ((i = 0; i < $1; i++)); do urls+=(-o /dev/null "https://127.0.0.1:$port/v2/blog/g/posts"); done
    start=$(date +%s%N)
    curl -sf -H "Expect:" -H "Connection: close" -H "Content-Type: $2" \
        -H "Authorization: Bearer bench" --data-binary @"$3" "${urls[@]}"
    echo "$(( $(date +%s%N) - start ))" | awk '{ printf "%.3f\n", $1 / 1e9 }'
}
