#!/usr/bin/env python3
"""A stand-in for the service's HTTP API, for tests and benchmarks.

It records every request (its multipart fields parsed by the standard library's
email package) and answers as the test script says. Control requests go to /_control/.
Prints "PORT <n>" once it listens on 127.0.0.1. --sink reads bodies without keeping them;
--tls <pem> serves HTTPS with the certificate and key in that file.
"""
import base64
import email.parser
import email.policy
import json
import os
import socket
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SINK = "--sink" in sys.argv
LOCK = threading.Lock()
STATE = {"queue": [], "default": {"status": 201, "body": "1"}, "records": []}


def parse_fields(content_type, body):
    message = email.parser.BytesParser(policy=email.policy.compat32).parsebytes(
        b"Content-Type: " + content_type.encode("latin-1") + b"\r\n\r\n" + body)
    if not message.is_multipart():
        return []
    fields = []
    for part in message.get_payload():
        fields.append({
            "name": part.get_param("name", header="content-disposition"),
            "filename": part.get_param("filename", header="content-disposition"),
            "type": part.get_content_type() if part.get("Content-Type") else None,
            "value": base64.b64encode(part.get_payload(decode=True) or b"").decode("ascii"),
        })
    return fields


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=None):
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_GET(self):
        if self.path == "/_control/requests":
            with LOCK:
                data = json.dumps(STATE["records"]).encode()
            self.reply(200, data, {"Content-Type": "application/json"})
        else:
            self.serve()

    def do_POST(self):
        if self.path == "/_control/script":
            script = json.loads(self.rfile.read(int(self.headers["Content-Length"])))
            with LOCK:
                STATE["queue"] = list(script.get("queue", []))
                STATE["default"] = script.get("default", {"status": 201, "body": "1"})
                STATE["records"] = []
            self.reply(200, b"ok")
        else:
            self.serve()

    def read_body(self, action):
        length = int(self.headers.get("Content-Length", "0"))
        mode = action.get("mode", "answer")
        if mode == "drop":
            self.rfile.read(min(length, action.get("after", 1000)))
            return None
        if mode == "slowread":
            chunks, left = [], length
            while left > 0:
                chunk = self.rfile.read(min(left, action.get("chunk", 65536)))
                if not chunk:
                    return None
                chunks.append(chunk)
                left -= len(chunk)
                time.sleep(action.get("delay", 0.05))
            return b"".join(chunks)
        if SINK:
            left = length
            while left > 0:
                chunk = self.rfile.read(min(left, 1 << 20))
                if not chunk:
                    return None
                left -= len(chunk)
            return b""
        body = self.rfile.read(length)
        # A client that gave up part way sent no post, whatever the part holds.
        return body if len(body) == length else None

    def stream(self, action):
        """A hostile answer: "huge" sends a body of `size` bytes as fast as it can, "trickle"
        one byte every `delay` seconds; both of digits, as a 201's id would be. With
        "announce" false the length is not told beforehand."""
        size = action.get("size", 1 << 31)
        piece = b"7" * (1 << 16 if action["mode"] == "huge" else 1)
        self.send_response(action.get("status", 201))
        if action.get("announce", True):
            self.send_header("Content-Length", str(size))
        else:
            self.send_header("Connection", "close")  # the body ends when the connection does
        self.end_headers()
        self.close_connection = True
        try:
            for _ in range(0, size, len(piece)):
                self.wfile.write(piece)
                if action["mode"] == "trickle":
                    self.wfile.flush()
                    time.sleep(action.get("delay", 0.5))
        except OSError:
            pass  # the client gave up, as it should

    def serve(self):
        with LOCK:
            action = STATE["queue"].pop(0) if STATE["queue"] else STATE["default"]
        body = self.read_body(action)
        record = {"method": self.command, "path": self.path,
                  "headers": {k.lower(): v for k, v in self.headers.items()},
                  "complete": body is not None}
        if body is not None and not SINK:
            record["fields"] = parse_fields(self.headers.get("Content-Type", ""), body)
        with LOCK:
            STATE["records"].append(record)
        if body is None or action.get("mode") == "close_after_body":
            # Gone mid-upload, or gone with the whole post: no answer at all.
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if "plant_dir" in action:
            # Makes the post's file undeletable behind the client's back.
            os.remove(action["plant_dir"])
            os.makedirs(os.path.join(action["plant_dir"], "keep"))
        if action.get("mode") == "stall":
            time.sleep(action.get("seconds", 5))
        if action.get("mode") in ("huge", "trickle"):
            self.stream(action)
            return
        answer = action.get("body", "").encode("utf-8")
        if action.get("id_from_caption"):
            # The post's id names the post, so a test can match links to posts.
            answer = next((base64.b64decode(f["value"]) for f in record.get("fields", [])
                           if f["name"] == "caption"), b"")
        self.reply(action.get("status", 201), answer, action.get("headers"))


def serve(handler):
    server = ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    # An answer's headers and body go out in two writes; Nagle would hold the body back
    # for the client's delayed acknowledgement, and a benchmark would measure that wait.
    handler.disable_nagle_algorithm = SINK
    if "--tls" in sys.argv:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[sys.argv.index("--tls") + 1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    serve(Handler)
