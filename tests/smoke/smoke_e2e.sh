#!/usr/bin/env bash
# One post from start to end through the real program on an X server of its own: the
# picture's path goes on the clipboard, Shift+Insert and Enter in the creator make the post,
# the send window uploads it to the fake service, and the test checks what the service
# received, the line in "Links.LST" and that the post's files are gone. On the way it takes
# a screenshot of every window into the given folder.
# Usage: smoke_e2e.sh <marivane program> <fake_service.py> <screenshot folder>
set -euo pipefail
source "$(dirname "$0")/smoke_common.sh"

# Opens a window with a click in its opener, screenshots it and closes it with Esc.
visit() {
    local opener=$1 x=$2 y=$3 title=$4 name=$5 wid
    click "$opener" "$x" "$y"
    wid=$(wait_window "$title")
    shot "$name" "$wid"
    press "$wid" Escape
    wait_gone "$title"
}

inside() {
    local program=$1 creator manager sender box groups
    printf '%s' "$picture" | xclip -selection clipboard &
    "$program" &
    pid=$!
    creator=$(wait_window '^Marivane :: Creator mode$')
    shot creator "$creator"

    # Shift+Insert takes the file from the clipboard, Enter makes the post.
    press "$creator" shift+Insert
    sleep 0.3
    press "$creator" Return
    for _ in $(seq 1 50); do
        [ -n "$(find "$data" -name '*.Info' 2>/dev/null)" ] && break
        sleep 0.1
    done
    [ "$(find "$data" -name '*.Info' | wc -l)" -eq 1 ] || fail "the creator made no post"
    [ "$(find "$data" -name '*.Picture' | wc -l)" -eq 1 ] || fail "the post has no picture file"
    cmp -s "$picture" "$(find "$data" -name '*.Picture')" || fail "the stored picture differs"
    shot creator-after-post "$creator"

    # Manage posts lists the one post.
    click "$creator" 58 256
    manager=$(wait_window '^Marivane :: Manage mode :: 1$')
    shot manager "$manager"
    press "$manager" Return
    sleep 0.5
    shot manager-preview "$manager"
    press "$manager" Escape
    press "$manager" Escape
    wait_gone '^Marivane :: Manage mode'

    # Send posts: Enter presses "Send posts"; the run ends with "All done ^_^v".
    click "$creator" 158 256
    sender=$(wait_window '^Marivane :: Send mode :: 1$')
    shot sender "$sender"
    press "$sender" Return
    box=$(wait_window '^Zentil - Marivane$')
    shot all-done "$box"
    press "$box" Return
    wait_gone '^Zentil - Marivane$'
    xdotool search --onlyvisible --name '^Marivane :: Send mode :: 0$' >/dev/null ||
        fail "the send window does not show 0 posts after the run"
    press "$sender" Escape
    wait_gone '^Marivane :: Send mode'

    visit "$creator" 232 256 '^Marivane :: Links$' links
    visit "$creator" 132 222 '^Marivane :: Batch mode' batch
    visit "$creator" 172 222 '^Marivane :: URLs mode$' urls
    visit "$creator" 362 50 ':: History$' history

    # The groups editor, and from it the fetch dialog.
    click "$creator" 362 19
    groups=$(wait_window '^Groups list$')
    shot groups "$groups"
    visit "$groups" 28 192 '^Get groups list$' fetch
    press "$groups" Escape
    wait_gone '^Groups list$'

    press "$creator" Escape
    expect_program_end "$pid"
}

if [ "${1:-}" = "--inside" ]; then
    shift
    inside "$@"
    exit 0
fi

program=${1:?usage: smoke_e2e.sh <marivane program> <fake_service.py> <screenshot folder>}
service=${2:?the fake service script is needed}
shots=${3:?a folder for the screenshots is needed}
need_tools xvfb-run xdotool dbus-run-session xclip import python3
begin_smoke_run "$program" "$shots"
mkdir -p "$XDG_CONFIG_HOME/Velmora"
mkdir -p "$home/Documents" "$home/Pictures" # the batch mode starts in the documents folder
data=$XDG_DATA_HOME/Velmora/Marivane

# A real PNG (the manager previews it), in a folder whose name has a blank.
picture="$home/my pictures/pier.png"
mkdir -p "$(dirname "$picture")"
python3 - "$picture" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
width, height = 64, 40
raw = b"".join(b"\0" + b"".join(bytes((x * 4, y * 6, 160)) for x in range(width)) for y in range(height))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
open(sys.argv[1], "wb").write(png)
PY

# Settings of a user who has sent before: a group line with a label, the account, a caption.
password='s3cret pw'
scrambled=$(scramble "$password")
cat >"$XDG_CONFIG_HOME/Velmora/Marivane.ini" <<INI
[General]
Groups=Pier pictures | pier.example.com
Group%20Index=0
Last%20Caption=Evening at the pier
Last%20Tags=sea pier
E-Mail=walker@example.com
Password=$scrambled
INI
chmod 600 "$XDG_CONFIG_HOME/Velmora/Marivane.ini"

start_fake "$service"
curl -s -f -d '{"default": {"status": 201, "body": "731000042"}}' \
    "http://127.0.0.1:$port/_control/script" >/dev/null || fail "the fake service took no script"
export MARIVANE_API_ENDPOINT=127.0.0.1:$port

export picture data shots
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" --inside "$program"

# What the service received: one write with the fields in their order and the picture whole.
curl -s -f "http://127.0.0.1:$port/_control/requests" >"$home/requests.json" ||
    fail "the fake service gave no record"
python3 - "$home/requests.json" "$picture" "$password" <<'PY' || fail "the service received a wrong request"
import base64, json, sys
records = json.load(open(sys.argv[1]))
picture = open(sys.argv[2], "rb").read()
assert len(records) == 1, "%d requests, expected 1" % len(records)
request = records[0]
assert request["method"] == "POST" and request["path"] == "/api/write", request["path"]
fields = [(f["name"], base64.b64decode(f["value"])) for f in request["fields"]]
names = [name for name, _ in fields]
expected = ["email", "password", "type", "caption", "data", "generator", "tags", "group", "state"]
assert names == expected, names
values = dict(fields)
assert values["email"] == b"walker@example.com", values["email"]
assert values["password"] == sys.argv[3].encode("latin-1"), values["password"]
assert values["type"] == b"photo"
assert values["caption"] == b"Evening at the pier", values["caption"]
assert values["data"] == picture, "picture bytes differ (%d sent)" % len(values["data"])
assert values["generator"], "empty generator"
assert values["tags"] == b"sea pier", values["tags"]
assert values["group"] == b"pier.example.com", values["group"]
assert values["state"] == b"published", values["state"]
PY

links=$data/Links.LST
[ -f "$links" ] || fail "no Links.LST"
printf 'http://pier.example.com/post/731000042\r\n' | cmp -s - "$links" ||
    fail "Links.LST holds $(od -c "$links" | head -n 5)"
leftover=$(find "$data" \( -name '*.Info' -o -name '*.Picture' \) | wc -l)
[ "$leftover" -eq 0 ] || fail "$leftover post files remain after the upload"
for name in creator manager manager-preview sender all-done links batch urls history groups fetch; do
    [ -s "$shots/$name.png" ] || fail "no screenshot $name.png"
done
echo "post made from the clipboard, sent, linked and removed; screenshots in $shots"
