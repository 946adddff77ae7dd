#!/usr/bin/env python3
"""A stand-in for the service's current API (OAuth 2 and the posts route), for tests.

Serves on 127.0.0.1 both the authorization pages and the API. It records what it got
(multipart parts parsed by fake_service.parse_fields) and answers uploads as the test
script says. Control requests go to /_control/. Prints "PORT <n>" once it listens.
"""
import json
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
    "codes": set(),
    "access": {},   # access token -> still valid
    "refresh": set(),
    "issued": 0,
}
DEFAULT_CONFIG = {
    "client_id": "key", "client_secret": "secret", "expires_in": 3600,
    "name": "someone", "blogs": [], "bad_state": False,
}
POSTS = re.compile(r"^/v2/blog/([^/]+)/posts$")


def config(key):
    return STATE["config"].get(key, DEFAULT_CONFIG[key])


def error_body(status, msg, errors=None):
    body = {"meta": {"status": status, "msg": msg}, "response": []}
    if errors is not None:
        body["errors"] = errors
    return body


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


class Handler(fake_service.Handler):
    def reply(self, status, body=b"", headers=None):
        if isinstance(body, str):
            body = body.encode("utf-8")
        elif not isinstance(body, bytes):
            body = json.dumps(body).encode("utf-8")
            headers = dict(headers or {}, **{"Content-Type": "application/json"})
        super().reply(status, body, headers)

    def record(self, **more):
        record = {"method": self.command, "path": self.path,
                  "headers": {k.lower(): v for k, v in self.headers.items()}}
        record.update(more)
        with LOCK:
            STATE["records"].append(record)

    def body(self):
        return self.rfile.read(int(self.headers.get("Content-Length", "0")))

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
            self.record()
            if not self.bearer_ok():
                self.reply(401, error_body(401, "Unauthorized"))
                return
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
            self.token(dict(urllib.parse.parse_qsl(self.body().decode("utf-8"))))
        elif POSTS.match(url.path):
            self.post(urllib.parse.unquote(POSTS.match(url.path).group(1)))
        else:
            self.body()
            self.reply(404, error_body(404, "Not Found"))

    def authorize(self, query):
        self.record(query=query)
        with LOCK:
            STATE["issued"] += 1
            code = "code-%d" % STATE["issued"]
            STATE["codes"].add(code)
        state = query.get("state", "")
        if config("bad_state"):
            state += "x"
        target = query["redirect_uri"] + "?" + urllib.parse.urlencode(
            {"code": code, "state": state})
        self.reply(302, b"", {"Location": target})

    def token(self, form):
        self.record(form=form)
        if form.get("client_id") != config("client_id") or \
                form.get("client_secret") != config("client_secret"):
            self.reply(401, {"error": "invalid_client",
                             "error_description": "Client authentication failed"})
            return
        grant = form.get("grant_type")
        with LOCK:
            if grant == "authorization_code" and form.get("code") in STATE["codes"]:
                STATE["codes"].discard(form["code"])
            elif grant == "refresh_token" and form.get("refresh_token") in STATE["refresh"]:
                STATE["refresh"].discard(form["refresh_token"])
            else:
                self.reply(400, {"error": "invalid_grant",
                                 "error_description": "The grant is not valid"})
                return
        self.reply(200, issue_tokens())

    def post(self, blog):
        body = self.body()
        content_type = self.headers.get("Content-Type", "")
        fields = parse_fields(content_type, body) if content_type.startswith("multipart/") else []
        self.record(blog=blog, fields=fields,
                    json=body.decode("utf-8") if content_type.startswith("application/json")
                    else None)
        if not self.bearer_ok():
            self.reply(401, error_body(401, "Unauthorized"))
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
        self.reply(action.get("status", 201), action.get("body", b""))


if __name__ == "__main__":
    fake_service.serve(Handler)
