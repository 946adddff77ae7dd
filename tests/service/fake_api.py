#!/usr/bin/env python3
"""A stand-in for the service's current API (OAuth 2 and the posts route), for tests.

Serves on 127.0.0.1 both the authorization pages and the API. It is as strict as the
service's published documentation: a request that breaks one of its rules gets a 400 with
an "errors" array, as the service answers, and the record says why. It records what it got
(multipart parts parsed by fake_service.parse_fields) and answers uploads as the test
script says. Control requests go to /_control/. Prints "PORT <n>" once it listens.
"""
import base64
import datetime
import json
import os
import re
import socket
import threading
import time
import urllib.parse

import fake_service
from fake_service import parse_fields

LOCK = threading.Lock()
CREATED = {"status": 201, "body": {"meta": {"status": 201, "msg": "Created"},
                                   "response": {"id": "1"}}}
STATE = {
    "config": {},
    "queue": [],
    "default": CREATED,
    "records": [],
    "codes": {},    # code -> the redirect_uri of its authorization request
    "access": {},   # access token -> still valid
    "refresh": set(),
    "issued": 0,
    "agent": None,  # the first User-Agent of the program; every later one must be the same
}
DEFAULT_CONFIG = {
    "client_id": "key", "client_secret": "secret", "expires_in": 2520,
    "name": "someone", "blogs": [], "bad_state": False,
    # None: any http://localhost:PORT/callback is taken as the registered address.
    "redirect_uri": None,
    # A path that becomes a folder while a refresh is answered, so nothing can be written there.
    "plant_dir_on_refresh": None,
}
POSTS = re.compile(r"^/v2/blog/([^/]+)/posts$")
LOCALHOST_CALLBACK = re.compile(r"^http://localhost:\d{1,5}/callback$")
RFC3339 = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}(\.\d+)?(Z|[+-]\d{2}:\d{2})$")
STATES = {"published", "queue", "draft", "private", "unapproved"}
FORMATS = {"bold", "italic", "strikethrough", "small", "link", "mention", "color"}
TOKEN_PARAMETERS = {
    "authorization_code": ({"grant_type", "code", "client_id", "client_secret"},
                           {"redirect_uri"}),
    "refresh_token": ({"grant_type", "client_id", "client_secret", "refresh_token"}, set()),
}
# Published limits of a post's content.
MAX_TEXT = 4096
MAX_BLOCKS = 1000
MAX_IMAGES = 30
MAX_LINKS = 100
RATE_HEADERS = {
    "X-Ratelimit-Perday-Limit": "5000", "X-Ratelimit-Perday-Remaining": "4000",
    "X-Ratelimit-Perday-Reset": "40000", "X-Ratelimit-Perhour-Limit": "1000",
    "X-Ratelimit-Perhour-Remaining": "900", "X-Ratelimit-Perhour-Reset": "1200",
}


class Refusal(Exception):
    """A request against the documented rules."""


def config(key):
    return STATE["config"].get(key, DEFAULT_CONFIG[key])


def error_body(status, msg, errors=None):
    body = {"meta": {"status": status, "msg": msg}, "response": []}
    if errors is not None:
        body["errors"] = errors
    return body


def bad_request(detail, code=0):
    return error_body(400, "Bad Request", [{"title": "Bad Request", "code": code,
                                            "detail": detail}])


def issue_tokens():
    with LOCK:
        STATE["issued"] += 1
        access = "access-%d" % STATE["issued"]
        refresh = "refresh-%d" % STATE["issued"]
        STATE["access"][access] = True
        STATE["refresh"].add(refresh)
    return {"access_token": access, "refresh_token": refresh,
            "expires_in": config("expires_in"), "token_type": "bearer",
            "scope": "basic write offline_access"}


def check_redirect(uri):
    registered = config("redirect_uri")
    ok = uri == registered if registered else bool(LOCALHOST_CALLBACK.match(uri or ""))
    if not ok:
        raise Refusal("redirect_uri %r is not the registered OAuth2 redirect URL" % uri)


def check_formatting(text, ranges):
    if not isinstance(ranges, list):
        raise Refusal("formatting must be an array")
    by_type = {}
    for item in ranges:
        start, end, kind = item.get("start"), item.get("end"), item.get("type")
        if not (isinstance(start, int) and isinstance(end, int) and 0 <= start < end <= len(text)):
            raise Refusal("formatting range %r is outside its text" % item)
        if kind not in FORMATS:
            raise Refusal("unknown formatting type %r" % kind)
        if kind == "link" and not isinstance(item.get("url"), str):
            raise Refusal("a link needs its url")
        by_type.setdefault(kind, []).append((start, end))
    for kind, spans in by_type.items():
        spans.sort()
        for (_, end), (start, _) in zip(spans, spans[1:]):
            if start < end:
                raise Refusal("overlapping %s ranges" % kind)
    return len(by_type.get("link", []))


def check_post(post, parts):
    """Raises Refusal for a new NPF post against the published rules."""
    content = post.get("content")
    if not isinstance(content, list) or not content:
        raise Refusal("'content' must be an array")
    if len(content) > MAX_BLOCKS:
        raise Refusal("more than %d content blocks" % MAX_BLOCKS)
    texts = images = links = 0
    for block in content:
        kind = block.get("type") if isinstance(block, dict) else None
        if kind == "text":
            texts += 1
            text = block.get("text")
            if not isinstance(text, str):
                raise Refusal("a text block needs its text")
            if len(text) > MAX_TEXT:  # code points, as the service counts
                raise Refusal("a text block of %d characters is over %d" % (len(text), MAX_TEXT))
            links += check_formatting(text, block.get("formatting", []))
        elif kind == "image":
            images += 1
            media = block.get("media")
            if not isinstance(media, list) or not media:
                raise Refusal("an image block needs its media array")
            for item in media:
                if "identifier" in item:
                    if item["identifier"] not in parts:
                        raise Refusal("no part named %r" % item["identifier"])
                elif not isinstance(item.get("url"), str):
                    raise Refusal("an image needs a url or an uploaded part")
        else:
            raise Refusal("unknown content block type %r" % kind)
    if texts > MAX_BLOCKS or images > MAX_IMAGES or links > MAX_LINKS:
        raise Refusal("over the post's content limits")
    state = post.get("state", "published")
    if state not in STATES:
        raise Refusal("unknown state %r" % state)
    if "publish_on" in post:
        publish_on = post["publish_on"]
        if not isinstance(publish_on, str) or not RFC3339.match(publish_on):
            raise Refusal("publish_on %r is not an ISO 8601 date-time with its offset"
                          % publish_on)
        if state != "queue":
            raise Refusal("publish_on needs the state queue")
        when = datetime.datetime.fromisoformat(publish_on.replace("Z", "+00:00"))
        if when <= datetime.datetime.now(datetime.timezone.utc):
            raise Refusal("publish_on must be in the future")
    if "tags" in post and not isinstance(post["tags"], str):
        raise Refusal("tags must be a comma-separated string")


def read_post(content_type, body):
    """The post's JSON and the names of its media parts; Refusal when the body is malformed."""
    if content_type.startswith("application/json"):
        return json.loads(body), set()
    if not content_type.startswith("multipart/form-data"):
        raise Refusal("Content-Type %r is not one the posts route takes" % content_type)
    fields = parse_fields(content_type, body)
    if not fields or fields[0]["name"] != "json" or fields[0]["type"] != "application/json":
        raise Refusal("the first part must be the json part, of type application/json")
    return json.loads(base64.b64decode(fields[0]["value"])), {f["name"] for f in fields[1:]}


class Handler(fake_service.Handler):
    def reply(self, status, body=b"", headers=None):
        if isinstance(body, str):
            body = body.encode("utf-8")
        elif not isinstance(body, bytes):
            body = json.dumps(body).encode("utf-8")
            headers = dict(headers or {}, **{"Content-Type": "application/json"})
        self.answered = status
        super().reply(status, body, headers)

    def record(self, **more):
        record = {"method": self.command, "path": self.path,
                  "headers": {k.lower(): v for k, v in self.headers.items()}}
        record.update(more)
        with LOCK:
            STATE["records"].append(record)
        return record

    def body(self):
        return self.rfile.read(int(self.headers.get("Content-Length", "0")))

    def refuse(self, record, why, code=0):
        record["refused"] = why
        self.reply(400, bad_request(why, code))

    def agent_refusal(self):
        """Why the program's User-Agent breaks the rule of one agent per application."""
        agent = self.headers.get("User-Agent", "")
        if not agent or agent.startswith("Mozilla/"):
            return "User-Agent %r is not the application's own" % agent
        with LOCK:
            STATE["agent"] = STATE["agent"] or agent
            if agent != STATE["agent"]:
                return "User-Agent %r differs from the application's %r" % (agent, STATE["agent"])
        return None

    def bearer_ok(self):
        header = self.headers.get("Authorization", "")
        token = header[len("Bearer "):] if header.startswith("Bearer ") else ""
        with LOCK:
            return STATE["access"].get(token, False)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/_control/requests":
            with LOCK:
                data = json.dumps(STATE["records"]).encode()
            self.reply(200, data, {"Content-Type": "application/json"})
        elif url.path == "/oauth2/authorize":
            self.authorize(dict(urllib.parse.parse_qsl(url.query)))
        elif url.path == "/v2/user/info":
            record = self.record()
            why = self.agent_refusal()
            if why:
                self.refuse(record, why)
            elif not self.bearer_ok():
                self.reply(401, error_body(401, "Unauthorized"))
            else:
                self.reply(200, {"meta": {"status": 200, "msg": "OK"},
                                 "response": {"user": {"name": config("name"),
                                                       "blogs": config("blogs")}}})
        else:
            self.reply(404, error_body(404, "Not Found"))

    def do_POST(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/_control/script":
            script = json.loads(self.body())
            with LOCK:
                STATE["queue"] = list(script.get("queue", []))
                STATE["default"] = script.get("default", CREATED)
                STATE["records"] = []
            self.reply(200, b"ok")
        elif url.path == "/_control/config":
            settings = json.loads(self.body())
            with LOCK:
                STATE["config"] = settings
            self.reply(200, b"ok")
        elif url.path == "/_control/tokens":
            self.body()
            self.reply(200, issue_tokens())
        elif url.path == "/_control/expire":
            self.body()
            with LOCK:
                for token in STATE["access"]:
                    STATE["access"][token] = False
            self.reply(200, b"ok")
        elif url.path == "/v2/oauth2/token":
            self.token(self.body())
        elif POSTS.match(url.path):
            self.post(urllib.parse.unquote(POSTS.match(url.path).group(1)))
        else:
            self.body()
            self.reply(404, error_body(404, "Not Found"))

    def authorize(self, query):
        # The user's browser asks for this page, not the program: its agent is the browser's.
        record = self.record(query=query)
        try:
            if query.get("client_id") != config("client_id"):
                raise Refusal("unknown client_id")
            if query.get("response_type") != "code" or not query.get("scope") or \
                    not query.get("state"):
                raise Refusal("response_type, scope and state are required")
            check_redirect(query.get("redirect_uri"))
        except Refusal as refusal:
            self.refuse(record, str(refusal))
            return
        with LOCK:
            STATE["issued"] += 1
            code = "code-%d" % STATE["issued"]
            STATE["codes"][code] = query["redirect_uri"]
        state = query["state"]
        if config("bad_state"):
            state += "x"
        target = query["redirect_uri"] + "?" + urllib.parse.urlencode(
            {"code": code, "state": state})
        self.reply(302, b"", {"Location": target})

    def token(self, body):
        content_type = self.headers.get("Content-Type", "")
        form = dict(urllib.parse.parse_qsl(body.decode("utf-8"), keep_blank_values=True))
        record = self.record(form=form)
        grant = form.get("grant_type")
        why = self.agent_refusal()
        if not why and not content_type.startswith("application/x-www-form-urlencoded"):
            why = "Content-Type %r for a form" % content_type
        if not why and grant not in TOKEN_PARAMETERS:
            why = "unknown grant_type %r" % grant
        if not why:
            required, optional = TOKEN_PARAMETERS[grant]
            extra = set(form) - required - optional
            missing = required - set(form)
            if extra or missing:
                why = "parameters beyond the grant's own: %s, or missing: %s" % (
                    sorted(extra), sorted(missing))
        if why:
            self.refuse(record, why)
            return
        if form.get("client_id") != config("client_id") or \
                form.get("client_secret") != config("client_secret"):
            self.reply(401, {"error": "invalid_client",
                             "error_description": "Client authentication failed"})
            return
        with LOCK:
            if grant == "authorization_code" and form.get("code") in STATE["codes"]:
                # The redirect address of the authorization, repeated exactly.
                if STATE["codes"].pop(form["code"]) != form.get("redirect_uri"):
                    why = "redirect_uri differs from the authorization request's"
            elif grant == "refresh_token" and form.get("refresh_token") in STATE["refresh"]:
                STATE["refresh"].discard(form["refresh_token"])
                planted = config("plant_dir_on_refresh")
                if planted:
                    os.remove(planted)
                    os.makedirs(os.path.join(planted, "keep"))
            else:
                self.reply(400, {"error": "invalid_grant",
                                 "error_description": "The grant is not valid"})
                return
        if why:
            self.refuse(record, why)
            return
        self.reply(200, issue_tokens())

    def post(self, blog):
        body = self.body()
        content_type = self.headers.get("Content-Type", "")
        fields = parse_fields(content_type, body) if content_type.startswith("multipart/") else []
        record = self.record(blog=blog, fields=fields,
                             json=body.decode("utf-8") if content_type.startswith("application/json")
                             else None)
        try:
            why = self.agent_refusal()
            if why:
                raise Refusal(why)
            post, parts = read_post(content_type, body)
            check_post(post, parts)
        except (Refusal, ValueError, AttributeError, TypeError) as refusal:
            self.refuse(record, str(refusal), 8001)
            return
        if not self.bearer_ok():
            self.reply(401, error_body(401, "Unauthorized"))
            return
        if blog.isdigit():
            self.reply(404, error_body(404, "Not Found"))
            return
        with LOCK:
            action = STATE["queue"].pop(0) if STATE["queue"] else STATE["default"]
        if action.get("mode") == "close_after_body":
            # Gone with the whole post: no answer at all.
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if action.get("mode") == "stall":
            time.sleep(action.get("seconds", 5))
        if action.get("mode") in ("huge", "trickle"):
            self.stream(action)
            return
        status = action.get("status", 201)
        headers = action.get("headers")
        if status == 429 and headers is None:
            headers = RATE_HEADERS
        self.reply(status, action.get("body", b""), headers)


if __name__ == "__main__":
    fake_service.serve(Handler)
