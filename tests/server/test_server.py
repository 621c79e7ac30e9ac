#!/usr/bin/env python3
"""Scriptable HTTP and HTTPS server on 127.0.0.1 for Quenbrook's tests.

Standard library only. The tests start it as a child process, script it
through its standard input and read what it received. It never listens on
anything but the loopback address.

Start
-----
    test_server.py --listen NAME=KIND [--listen NAME=KIND ...]

KIND is one of
    plain                  plain HTTP
    tls:CERT.pem:KEY.pem   HTTPS with that certificate chain and key
    mute                   accepts TCP connections and never reads or writes
                           (a server that hangs before or during a handshake)
Append "@PORT" to a KIND for a fixed port (default: a free one), e.g.
"plain@8080". Once every listener is up the server prints one line to
standard output:
    {"ports": {"NAME": PORT, ...}}

Control (standard input / standard output)
------------------------------------------
One JSON object per line in, one JSON object per line out ({"ok": true} or
{"ok": false, "error": "..."}). The server exits when its standard input
closes, so it never outlives the test that started it.

    {"cmd": "route", ...ROUTE}   add a route; a later route for the same
                                 path (and listener) replaces the earlier one
    {"cmd": "clear"}             forget all routes and recorded requests
    {"cmd": "requests"}          {"ok": true, "requests": [REQUEST, ...]}
                                 every request received so far, in order
    {"cmd": "quit"}              stop

ROUTE fields (all optional except "path"):
    path        the path to answer, query ignored; "*" answers any path that
                has no route of its own
    listener    answer only on this listener
    status      status code (200); reason: reason phrase ("OK" etc.)
    headers     list of header lines sent exactly as given, in order, e.g.
                ["Set-Cookie: a=1; Path=/", "Set-Cookie:tight=2"]
    headers_hex the same, each line hex-encoded (any bytes)
    body        body text (UTF-8); body_hex: body bytes hex-encoded
    repeat      send the body this many times over (big bodies)
    echo        true: the body is the raw bytes of the request
    content_length  false: send no Content-Length and close the
                connection after the body (default: Content-Length added
                unless "headers" hold one or "chunked" is set)
    chunked     true: send the body in chunked encoding, chunk_size bytes
                a chunk (default 1)
    delay_ms    wait this long before answering
    action      "respond" (default); "silent": read the request, answer
                nothing and keep the connection open; "close": close the
                connection without an answer; "trickle": send the status
                line and headers, then the body one byte every interval_ms
                (default 200); "reset": send the headers and the first
                reset_after bytes (default 1) of the body, then reset the
                connection (TCP RST)
    times       answer this many requests, then drop the route

Without a matching route the answer is 404 with the body "no route".

REQUEST (recorded for every request, answered or not):
    listener    the listener's NAME
    raw_hex     the request's bytes exactly as received (head and body)
    method, target, path, version
    headers     [[name, value], ...] in order, as received (value trimmed)
    body_hex    the body (by Content-Length)

A request through a proxy arrives with an absolute target
("http://host/p"): "path" is then "/p". A CONNECT request is recorded and
answered like any other (no tunnelling).

Extending it
------------
Routes answer from data, so a stand-in service mostly needs only "route"
commands. For behaviour that data cannot express, add a function to
ACTIONS (it gets the connection, the route and the parsed request).
"""

import json
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

LOCK = threading.Lock()
ROUTES = []        # list of route dicts, newest last
REQUESTS = []      # recorded requests, in arrival order
STOP = threading.Event()
OPEN_CONNECTIONS = set()


class Request:
    def __init__(self, listener, raw, head, body):
        self.listener = listener
        self.raw = raw
        self.body = body
        lines = head.split(b"\r\n")
        parts = lines[0].split(b" ")
        self.method = parts[0].decode("latin-1") if parts else ""
        self.target = parts[1].decode("latin-1") if len(parts) > 1 else ""
        self.version = parts[2].decode("latin-1") if len(parts) > 2 else ""
        self.headers = []
        for line in lines[1:]:
            name, sep, value = line.partition(b":")
            if sep:
                self.headers.append((name.decode("latin-1"),
                                     value.strip().decode("latin-1")))
        self.path = urllib.parse.urlsplit(self.target).path or self.target

    def header(self, name):
        for n, v in self.headers:
            if n.lower() == name.lower():
                return v
        return None

    def record(self):
        return {
            "listener": self.listener,
            "raw_hex": self.raw.hex(),
            "method": self.method,
            "target": self.target,
            "path": self.path,
            "version": self.version,
            "headers": [[n, v] for n, v in self.headers],
            "body_hex": self.body.hex(),
        }


def read_request(conn, buffer):
    """Reads one request; returns (head, body, raw, rest) or None at EOF."""
    while b"\r\n\r\n" not in buffer:
        data = conn.recv(65536)
        if not data:
            return None
        buffer += data
    end = buffer.index(b"\r\n\r\n") + 4
    head = buffer[:end - 4]
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, sep, value = line.partition(b":")
        if sep and name.strip().lower() == b"content-length":
            try:
                length = int(value.strip())
            except ValueError:
                length = 0
    while len(buffer) < end + length:
        data = conn.recv(65536)
        if not data:
            break
        buffer += data
    body = buffer[end:end + length]
    raw = buffer[:end + length]
    return head, body, raw, buffer[end + length:]


def find_route(request):
    with LOCK:
        for path in (request.path, "*"):
            for route in reversed(ROUTES):
                if route["path"] != path:
                    continue
                if route.get("listener") not in (None, request.listener):
                    continue
                if "times" in route:
                    route["times"] -= 1
                    if route["times"] <= 0:
                        ROUTES.remove(route)
                return route
    return None


def response_head(route, body):
    status = int(route.get("status", 200))
    reason = route.get("reason") or {200: "OK", 301: "Moved Permanently",
                                     302: "Found", 303: "See Other",
                                     307: "Temporary Redirect",
                                     404: "Not Found"}.get(status, "Status")
    lines = [("HTTP/1.1 %d %s" % (status, reason)).encode("latin-1")]
    header_lines = [h.encode("utf-8") for h in route.get("headers", [])]
    header_lines += [bytes.fromhex(h) for h in route.get("headers_hex", [])]
    lines += header_lines
    has_length = any(h.lower().startswith(b"content-length:")
                     for h in header_lines)
    if route.get("chunked"):
        lines.append(b"Transfer-Encoding: chunked")
    elif not has_length and route.get("content_length", True):
        lines.append(b"Content-Length: %d" % len(body))
    return b"\r\n".join(lines) + b"\r\n\r\n"


def route_body(route, request):
    if route.get("echo"):
        return request.raw
    if "body_hex" in route:
        body = bytes.fromhex(route["body_hex"])
    else:
        body = route.get("body", "").encode("utf-8")
    return body * int(route.get("repeat", 1))


def act_respond(conn, route, request):
    body = route_body(route, request)
    if route.get("chunked"):
        size = int(route.get("chunk_size", 1))
        payload = b"".join(b"%x\r\n" % len(body[i:i + size]) + body[i:i + size] +
                           b"\r\n" for i in range(0, len(body), size))
        payload += b"0\r\n\r\n"
    else:
        payload = body
    if request.method == "HEAD":
        payload = b""
    conn.sendall(response_head(route, body) + payload)
    # Without a length the body ends with the connection.
    return bool(route.get("content_length", True) or route.get("chunked"))


def act_silent(conn, route, request):
    while not STOP.is_set():
        try:
            conn.settimeout(0.2)
            if not conn.recv(65536):
                break
        except socket.timeout:
            continue
        except OSError:
            break
    return False


def act_close(conn, route, request):
    return False


def act_trickle(conn, route, request):
    body = route_body(route, request)
    conn.sendall(response_head(route, body))
    interval = route.get("interval_ms", 200) / 1000.0
    for i in range(len(body)):
        if STOP.is_set():
            break
        time.sleep(interval)
        conn.sendall(body[i:i + 1])
    return True


def act_reset(conn, route, request):
    body = route_body(route, request)
    count = int(route.get("reset_after", 1))
    conn.sendall(response_head(route, body) + body[:count])
    time.sleep(0.05)
    # Closing with a zero linger time sends a TCP reset (no TLS alert).
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    return False


ACTIONS = {
    "respond": act_respond,
    "silent": act_silent,
    "close": act_close,
    "trickle": act_trickle,
    "reset": act_reset,
}


def serve_connection(conn, listener, tls_context):
    with LOCK:
        OPEN_CONNECTIONS.add(conn)
    try:
        # Small writes go out at once (the TLS handshake makes several).
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if tls_context is not None:
            conn.settimeout(10)
            conn = tls_context.wrap_socket(conn, server_side=True)
            with LOCK:
                OPEN_CONNECTIONS.add(conn)
        conn.settimeout(None)
        buffer = b""
        while not STOP.is_set():
            got = read_request(conn, buffer)
            if got is None:
                break
            head, body, raw, buffer = got
            request = Request(listener, raw, head, body)
            with LOCK:
                REQUESTS.append(request.record())
            route = find_route(request) or {"status": 404, "body": "no route"}
            if route.get("delay_ms"):
                time.sleep(route["delay_ms"] / 1000.0)
            keep = ACTIONS[route.get("action", "respond")](conn, route, request)
            connection = (request.header("Connection") or "").lower()
            if not keep or connection == "close":
                break
    except (OSError, ssl.SSLError, ValueError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass
        with LOCK:
            OPEN_CONNECTIONS.discard(conn)


def serve_mute(conn):
    with LOCK:
        OPEN_CONNECTIONS.add(conn)
    STOP.wait()


def accept_loop(server, name, kind, tls_context):
    while not STOP.is_set():
        try:
            conn, _ = server.accept()
        except OSError:
            break
        if kind == "mute":
            target, args = serve_mute, (conn,)
        else:
            target, args = serve_connection, (conn, name, tls_context)
        threading.Thread(target=target, args=args, daemon=True).start()


def start_listener(name, spec):
    port = 0
    if "@" in spec:
        spec, _, port_text = spec.rpartition("@")
        port = int(port_text)
    parts = spec.split(":")
    kind = parts[0]
    tls_context = None
    if kind == "tls":
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(parts[1], parts[2])
    elif kind not in ("plain", "mute"):
        raise SystemExit("unknown listener kind: " + kind)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(64)
    threading.Thread(target=accept_loop, args=(server, name, kind, tls_context),
                     daemon=True).start()
    return server.getsockname()[1]


def handle_command(command):
    cmd = command.get("cmd")
    if cmd == "route":
        route = {k: v for k, v in command.items() if k != "cmd"}
        if "path" not in route:
            return {"ok": False, "error": "route needs a path"}
        if route.get("action", "respond") not in ACTIONS:
            return {"ok": False, "error": "unknown action"}
        with LOCK:
            ROUTES[:] = [r for r in ROUTES
                         if (r["path"], r.get("listener")) !=
                         (route["path"], route.get("listener"))]
            ROUTES.append(route)
        return {"ok": True}
    if cmd == "clear":
        with LOCK:
            ROUTES.clear()
            REQUESTS.clear()
        return {"ok": True}
    if cmd == "requests":
        with LOCK:
            return {"ok": True, "requests": list(REQUESTS)}
    if cmd == "quit":
        STOP.set()
        return {"ok": True}
    return {"ok": False, "error": "unknown command"}


def control_loop(handler):
    """Answers one JSON command per line of standard input with `handler`
    until the input closes or a command stops the server."""
    for line in sys.stdin:
        if not line.strip():
            continue
        try:
            reply = handler(json.loads(line))
        except (ValueError, KeyError, TypeError) as error:
            reply = {"ok": False, "error": str(error)}
        print(json.dumps(reply), flush=True)
        if STOP.is_set():
            break
    STOP.set()


def main(argv):
    listeners = []
    args = iter(argv)
    for arg in args:
        if arg == "--listen":
            name, _, spec = next(args).partition("=")
            listeners.append((name, spec))
    if not listeners:
        raise SystemExit(__doc__)
    ports = {name: start_listener(name, spec) for name, spec in listeners}
    print(json.dumps({"ports": ports}), flush=True)
    control_loop(handle_command)


if __name__ == "__main__":
    main(sys.argv[1:])
