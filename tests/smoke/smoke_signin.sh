#!/usr/bin/env bash
# A new user's first sign-in and first send runs on the current API, through the real program
# on an X server of its own, against the strict stand-in of the service: the send window,
# "Proxy", "Sign in"; the browser (BROWSER, a stand-in) follows the service's redirect to
# localhost; then a run with a plain post and one with a 5,000-character caption, and a run
# of a "Publish on..." post with "2030-05-01 10:00" typed. Nothing may be refused.
# Usage: smoke_signin.sh <marivane program> <fake_api.py> <fake_browser.py> <screenshot folder>
set -euo pipefail
source "$(dirname "$0")/smoke_common.sh"

# A post as the store keeps it: "<base>.Picture", then "<base>.Info" (group, tags, caption).
store_post() {
    local base=$1 tags=$2 caption=$3
    cp "$picture" "$data/$base.Picture"
    printf 'pier.tumblr.com\r\n%s\r\n%s' "$tags" "$caption" >"$data/$base.Info"
}

# Sends what the send window lists; the run ends with "All done ^_^v".
send_all() {
    local sender=$1 box
    click "$sender" 258 278
    box=$(wait_window '^Zentil - Marivane$')
    shot "$2" "$box"
    press "$box" Return
    wait_gone '^Zentil - Marivane$'
}

inside() {
    local program=$1 creator sender dialog
    "$program" &
    pid=$!
    creator=$(wait_window '^Marivane :: Creator mode$')

    click "$creator" 158 256
    sender=$(wait_window '^Marivane :: Send mode :: 2$')
    click "$sender" 174 278
    dialog=$(wait_window '^Connection settings$')
    click "$dialog" 48 336 # "Sign in": the browser goes to the service and comes back
    for _ in $(seq 1 100); do
        grep -q '^Access%20Token=' "$XDG_CONFIG_HOME/Velmora/Marivane.ini" && break
        sleep 0.1
    done
    grep -q '^Access%20Token=' "$XDG_CONFIG_HOME/Velmora/Marivane.ini" || fail "no sign-in was kept"
    sleep 0.5 # the account's name reaches the dialog
    shot signin "$dialog"
    click "$dialog" 142 442 # "Ok"
    wait_gone '^Connection settings$'
    send_all "$sender" signin-sent
    press "$sender" Escape
    wait_gone '^Marivane :: Send mode'

    store_post 20301231000003 'pier' 'Scheduled for May'
    click "$creator" 158 256
    sender=$(wait_window '^Marivane :: Send mode :: 1$')
    click "$sender" 228 243 # the state list, then "Publish on..."
    sleep 0.3
    xdotool key --clearmodifiers Down Down Return
    sleep 0.3
    click "$sender" 290 238
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 '2030-05-01 10:00'
    shot publish-on "$sender"
    send_all "$sender" publish-on-sent
    press "$sender" Escape
    wait_gone '^Marivane :: Send mode'
    press "$creator" Escape
    expect_program_end "$pid"
}

if [ "${1:-}" = "--inside" ]; then
    shift
    inside "$@"
    exit 0
fi

program=${1:?usage: smoke_signin.sh <marivane program> <fake_api.py> <fake_browser.py> <screenshots>}
service=${2:?the fake current API is needed}
browser=${3:?the browser stand-in is needed}
shots=${4:?a folder for the screenshots is needed}
need_tools xvfb-run xdotool dbus-run-session import python3 curl
begin_smoke_run "$program" "$shots"
data=$XDG_DATA_HOME/Velmora/Marivane
mkdir -p -m 700 "$XDG_CONFIG_HOME/Velmora" "$data"
picture=$home/pier.png
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0' >"$picture"
long_caption=$(python3 -c 'print(" ".join("word%d" % i for i in range(700))[:5000], end="")')
store_post 20301231000001 'sea, "Hello, world"' 'Evening at the <b>pier</b>'
store_post 20301231000002 'long' "$long_caption"

start_fake "$service"
redirect_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# What a new user typed once in the connection settings: the application's key and secret.
cat >"$XDG_CONFIG_HOME/Velmora/Marivane.ini" <<INI
[General]
Service=1
Consumer%20Key=key
Consumer%20Secret=$(scramble secret)
Redirect%20Port=$redirect_port
INI
chmod 600 "$XDG_CONFIG_HOME/Velmora/Marivane.ini"
export MARIVANE_API_BASE=http://127.0.0.1:$port MARIVANE_AUTH_BASE=http://127.0.0.1:$port
export BROWSER=$browser picture data shots
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION DEFAULT_BROWSER
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$0" --inside "$program"

curl -s -f "http://127.0.0.1:$port/_control/requests" >"$home/requests.json" ||
    fail "the fake service gave no record"
python3 - "$home/requests.json" "$redirect_port" "$long_caption" "$XDG_CONFIG_HOME/Velmora/Marivane.ini" <<'PY' || fail "the service saw a wrong exchange"
import base64, datetime, json, sys
records = json.load(open(sys.argv[1]))
refused = [r.get("refused") for r in records if "refused" in r]
assert not refused, refused
authorize = [r for r in records if r["path"].startswith("/oauth2/authorize")]
assert len(authorize) == 1, authorize
assert authorize[0]["query"]["redirect_uri"] == "http://localhost:%s/callback" % sys.argv[2]
program = [r for r in records if not r["path"].startswith("/oauth2/authorize")]
agents = {r["headers"].get("user-agent") for r in program}
assert len(agents) == 1 and agents.pop().startswith("Marivane/"), agents
posts = [r for r in records if r["path"].startswith("/v2/blog/")]
assert len(posts) == 3, [r["path"] for r in records]
npf = [json.loads(base64.b64decode(p["fields"][0]["value"])) for p in posts]
plain, long, scheduled = npf
assert plain["tags"] == "sea,Hello world", plain["tags"]
assert plain["content"][1] == {"type": "text", "text": "Evening at the pier",
                               "formatting": [{"start": 15, "end": 19, "type": "bold"}]}, plain
texts = [b["text"] for b in long["content"][1:]]
assert "".join(texts) == sys.argv[3] and max(map(len, texts)) <= 4096, list(map(len, texts))
local = datetime.datetime(2030, 5, 1, 10, 0).astimezone().isoformat()
assert scheduled["state"] == "queue" and scheduled["publish_on"] == local, scheduled
settings = open(sys.argv[4]).read()
assert "access-" not in settings and "refresh-" not in settings, "tokens kept in clear"
PY
links=$data/Links.LST
[ "$(grep -c '/post/1' "$links")" -eq 3 ] || fail "Links.LST holds $(cat "$links")"
leftover=$(find "$data" \( -name '*.Info' -o -name '*.Picture' \) | wc -l)
[ "$leftover" -eq 0 ] || fail "$leftover post files remain after the runs"
echo "signed in through the browser, three posts accepted by the strict stand-in; screenshots in $shots"
