#!/usr/bin/env python3
"""Test update service: a small HTTP server on 127.0.0.1 with scripted answers.

Each route (a path without its query) has a list of replies; every request to it
takes the next reply, and the last one repeats. A reply sets the status, the
content type, the body (text, a JSON value, or a file) and a delay before the
answer; for hostile-server tests it may drip its body a byte at a time or
announce another Content-Length than it sends. Every request line is logged.
Unknown paths get 404.

In-process (pytest):
    with UpdateService(port=18080) as service:
        service.set_route("/velko_browser_update/getinfo", [Reply(body={"ok": True})])
        ...
        service.request_lines()

Out of process (demo, other tools):
    update_service.py --port 18080 --scenario scenario.json --log requests.log
    scenario.json: {"routes": {"/path": [{"status": 200, "content_type": "...",
                                          "body": ..., "body_file": "...", "delay_s": 0}]}}
    The scenario can be replaced at run time with POST /__control/scenario (same JSON),
    the log read with GET /__control/log and cleared with POST /__control/reset.
"""

from __future__ import annotations

import argparse
import json
import threading
import time
from dataclasses import dataclass, field
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from typing import Any
from urllib.parse import urlsplit

CONTROL_PREFIX = "/__control/"


@dataclass
class Reply:
    status: int = 200
    content_type: str | None = "application/json"
    body: Any = b""  # bytes, str, or a JSON value (dumped)
    body_file: str | None = None
    delay_s: float = 0.0
    headers: dict[str, str] = field(default_factory=dict)
    drip_interval_s: float = 0.0      # > 0: one body byte per interval
    declared_length: int | None = None  # Content-Length sent instead of the real one

    @classmethod
    def from_dict(cls, data: dict[str, Any]) -> "Reply":
        known = {k: data[k] for k in ("status", "content_type", "body", "body_file", "delay_s",
                                      "headers", "drip_interval_s", "declared_length")
                 if k in data}
        return cls(**known)

    def body_bytes(self) -> bytes:
        if self.body_file is not None:
            return Path(self.body_file).read_bytes()
        if isinstance(self.body, bytes):
            return self.body
        if isinstance(self.body, str):
            return self.body.encode("utf-8")
        return json.dumps(self.body).encode("utf-8")


class _Script:
    """Routes and the request log, shared by the handler threads."""

    def __init__(self) -> None:
        self._lock = threading.Lock()
        self._routes: dict[str, list[Reply]] = {}
        self._served: dict[str, int] = {}
        self._log: list[str] = []
        self.log_file: Path | None = None

    def set_route(self, path: str, replies: list[Reply]) -> None:
        if not replies:
            raise ValueError("a route needs at least one reply")
        with self._lock:
            self._routes[path] = list(replies)
            self._served[path] = 0

    def load(self, scenario: dict[str, Any]) -> None:
        with self._lock:
            self._routes.clear()
            self._served.clear()
        for path, replies in scenario.get("routes", {}).items():
            self.set_route(path, [Reply.from_dict(r) for r in replies])

    def reset(self) -> None:
        with self._lock:
            self._routes.clear()
            self._served.clear()
            self._log.clear()

    def take(self, request_line: str, path: str) -> Reply | None:
        with self._lock:
            self._log.append(request_line)
            if self.log_file is not None:
                with self.log_file.open("a", encoding="utf-8") as log:
                    log.write(request_line + "\n")
            replies = self._routes.get(path)
            if replies is None:
                return None
            index = min(self._served[path], len(replies) - 1)
            self._served[path] += 1
            return replies[index]

    def lines(self) -> list[str]:
        with self._lock:
            return list(self._log)


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server: "_Server"

    def log_message(self, format: str, *args: Any) -> None:  # noqa: A002 - quiet
        pass

    def _send(self, status: int, content_type: str | None, body: bytes,
              headers: dict[str, str] | None = None, declared_length: int | None = None,
              drip_interval_s: float = 0.0) -> None:
        self.send_response(status)
        if content_type is not None:
            self.send_header("Content-Type", content_type)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        length = len(body) if declared_length is None else declared_length
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        if self.command == "HEAD":
            return
        try:
            if drip_interval_s <= 0:
                self.wfile.write(body)
                return
            for byte in body:
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(drip_interval_s)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should

    def _control(self, path: str) -> None:
        script = self.server.script
        if path == CONTROL_PREFIX + "log" and self.command == "GET":
            self._send(200, "application/json", json.dumps(script.lines()).encode())
        elif path == CONTROL_PREFIX + "reset" and self.command == "POST":
            script.reset()
            self._send(200, "application/json", b"{}")
        elif path == CONTROL_PREFIX + "scenario" and self.command == "POST":
            length = int(self.headers.get("Content-Length", "0"))
            try:
                script.load(json.loads(self.rfile.read(length) or b"{}"))
            except (ValueError, TypeError) as error:
                self._send(400, "text/plain", str(error).encode())
                return
            self._send(200, "application/json", b"{}")
        else:
            self._send(404, "text/plain", b"unknown control request")

    def _serve(self) -> None:
        path = urlsplit(self.path).path
        if path.startswith(CONTROL_PREFIX):
            self._control(path)
            return
        reply = self.server.script.take(self.requestline, path)
        if reply is None:
            self._send(404, "text/plain", b"no such route")
            return
        if reply.delay_s > 0:
            time.sleep(reply.delay_s)
        self._send(reply.status, reply.content_type, reply.body_bytes(), reply.headers,
                   reply.declared_length, reply.drip_interval_s)

    do_GET = _serve
    do_HEAD = _serve
    do_POST = _serve


class _Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address: tuple[str, int]) -> None:
        super().__init__(address, _Handler)
        self.script = _Script()


class UpdateService:
    """The server on a background thread, for use from Python."""

    def __init__(self, host: str = "127.0.0.1", port: int = 18080,
                 log_file: Path | None = None, ssl_context=None) -> None:
        """With an ssl.SSLContext (server side), the service speaks https."""
        self._server = _Server((host, port))
        self._server.script.log_file = log_file
        if ssl_context is not None:
            self._server.socket = ssl_context.wrap_socket(self._server.socket, server_side=True)
        self._scheme = "https" if ssl_context is not None else "http"
        self._thread: threading.Thread | None = None

    @property
    def port(self) -> int:
        return self._server.server_address[1]

    @property
    def base_url(self) -> str:
        return f"{self._scheme}://127.0.0.1:{self.port}"

    def start(self) -> "UpdateService":
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def serve_forever(self) -> None:
        """Serves on the calling thread until interrupted."""
        try:
            self._server.serve_forever()
        except KeyboardInterrupt:
            pass
        finally:
            self._server.server_close()

    def stop(self) -> None:
        self._server.shutdown()
        self._server.server_close()
        if self._thread is not None:
            self._thread.join()

    def __enter__(self) -> "UpdateService":
        return self.start()

    def __exit__(self, *exc: object) -> None:
        self.stop()

    def set_route(self, path: str, replies: list[Reply]) -> None:
        self._server.script.set_route(path, replies)

    def add_file(self, path: str, file_path: str | Path,
                 content_type: str = "application/octet-stream") -> None:
        self.set_route(path, [Reply(content_type=content_type, body_file=str(file_path))])

    def load_scenario(self, scenario: dict[str, Any]) -> None:
        self._server.script.load(scenario)

    def reset(self) -> None:
        self._server.script.reset()

    def request_lines(self) -> list[str]:
        return self._server.script.lines()


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=18080)
    parser.add_argument("--scenario", type=Path, help="JSON file with the routes")
    parser.add_argument("--log", type=Path, help="append every request line to this file")
    options = parser.parse_args()
    service = UpdateService(options.host, options.port, options.log)
    if options.scenario is not None:
        service.load_scenario(json.loads(options.scenario.read_text(encoding="utf-8")))
    print(f"update service on {service.base_url}", flush=True)
    service.serve_forever()


if __name__ == "__main__":
    main()
