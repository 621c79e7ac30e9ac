#!/usr/bin/env python3
"""A stand-in rights service on 127.0.0.1, for trying Quenbrook without an
account and for its end-to-end tests and benchmarks.

Built on test_server.py (imported, not changed): one HTTPS listener with a
certificate signed by a test certificate authority of its own, answering

    GET /gw/generic/hy/h5/m/queryNewRightsDetail?reqData=...
        the rights of a group: three rights in subRightsList1, two in
        subRightsList2, under the title "会员特权". Without a cookie (no
        Cookie header, or an empty one) a login message instead. Any cookie
        text counts as logged in ("sid=demo" will do).
    GET /gw/generic/hy/h5/m/drawNewMemberRights1?reqData=...
        a draw of the right whose identifier is reqData's rid. The first
        --non-final draws of each right answer "活动未开始，请稍后再试"; the
        next ones "恭喜，已领取成功". An identifier not on offer answers
        "您不符合领取条件"; no cookie, a login message.
    GET /qrcoderoute/qrcodeRoute?qrcode_route=...&password=&render_default_fields=0
        an HTML page carrying the announcement between "软件说明=" and
        "=软件说明".

Start
-----
    rights_service.py --dir DIR [--port PORT] [--non-final N] [--control stdin|none]

DIR receives the test authority (DIR/ca.pem, the file to trust) and the
server's certificate, made with the openssl command unless already there.
PORT 0 (the default) takes a free port. Once listening it prints one line:
    {"ports": {"https": PORT}, "ca_file": "DIR/ca.pem"}

With --control stdin (the default) it is scripted like test_server.py, one
JSON object a line, and ends when its standard input closes. Besides the
commands of test_server.py ("route", "requests", "quit"):

    {"cmd": "scenario", "non_final_draws": N}
                       non-final draws per right from now on; forgets
                       the draws counted so far
    {"cmd": "announcement", "text": "..."}
                       the announcement page's text from now on
    {"cmd": "log"}     {"ok": true, "log": [ENTRY, ...]}: every request
                       received so far, in order
    {"cmd": "clear"}   forgets the log, the recorded requests and the
                       draws counted, and puts the three pages back as
                       at the start (routes added since are dropped)

ENTRY: "time" (seconds since the epoch, taken as soon as the whole request
had been read), "path", "target", "headers" ([[name, value], ...] in order),
"raw_hex" (the request's bytes), "rid" (the draw page's identifier as text,
or null).

With --control none it runs until it is sent SIGTERM or SIGINT and writes
one block per request to standard error: the time, the request line and the
header lines as received.
"""

import json
import os
import signal
import subprocess
import sys
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_server  # noqa: E402  (the module beside this file)

LIST_PATH = "/gw/generic/hy/h5/m/queryNewRightsDetail"
DRAW_PATH = "/gw/generic/hy/h5/m/drawNewMemberRights1"
ANNOUNCEMENT_PATH = "/qrcoderoute/qrcodeRoute"

DEFAULT_ANNOUNCEMENT = "使用说明：先填CK，再点获取"

# The rights on offer, in the service's own spelling. rightsId comes as a
# number or as a string of digits, as the service mixes them.
RIGHTS_1 = [
    {"rightsId": 20417, "name": "视频会员月卡", "subRightsVal": "25元",
     "subTitle": "每月10日10点开抢", "userLevel": "V3", "rightsTarget": "V2",
     "rightsType": "1", "stock": 120},
    {"rightsId": "20418", "name": "话费立减券", "subRightsVal": "10元",
     "subTitle": "充值满50元可用", "userLevel": "V3", "rightsTarget": "V3",
     "rightsType": "2", "stock": 800},
    {"rightsId": 20419, "name": "生日礼包", "subRightsVal": "66元",
     "subTitle": "生日当月可领一次", "userLevel": "V3", "rightsTarget": "V4",
     "rightsType": "1", "stock": 50},
]
RIGHTS_2 = [
    {"rightsId": 31001, "name": "免费提现券", "subRightsVal": "5次",
     "subTitle": "提现免手续费", "userLevel": "V3", "rightsTarget": "V1",
     "rightsType": "3", "stock": 999},
    {"rightsId": "31002", "name": "积分加倍卡", "subRightsVal": "2倍",
     "subTitle": "当日消费积分翻倍", "userLevel": "V3", "rightsTarget": "V2",
     "rightsType": "3", "stock": 300},
]

STATE_LOCK = threading.Lock()
STATE = {
    "non_final": 3,
    "draws": {},          # rid text -> draws answered so far
    "announcement": DEFAULT_ANNOUNCEMENT,
    "log": [],
    "echo": False,        # --control none: write each request to stderr
}


def answer(conn, request, body, status=200):
    """Sends `body` (a dict: JSON; a str: HTML); True keeps the connection."""
    if isinstance(body, dict):
        data = json.dumps(body, ensure_ascii=False, separators=(",", ":"))
        kind = "application/json;charset=UTF-8"
    else:
        data = body
        kind = "text/html;charset=UTF-8"
    route = {"status": status, "headers": ["Content-Type: " + kind], "body": data}
    return test_server.act_respond(conn, route, request)


def logged_in(request):
    cookie = request.header("Cookie")
    return cookie is not None and cookie.strip() != ""


def req_data(request):
    """reqData of the query, decoded to a dict; None when unreadable."""
    query = urllib.parse.urlsplit(request.target).query
    for item in query.split("&"):
        key, _, value = item.partition("=")
        if key == "reqData":
            try:
                data = json.loads(urllib.parse.unquote(value))
            except ValueError:
                return None
            return data if isinstance(data, dict) else None
    return None


def record(request, rid=None):
    entry = {
        "time": time.time(),
        "path": request.path,
        "target": request.target,
        "headers": [[n, v] for n, v in request.headers],
        "raw_hex": request.raw.hex(),
        "rid": rid,
    }
    with STATE_LOCK:
        STATE["log"].append(entry)
        echo = STATE["echo"]
    if echo:
        stamp = time.strftime("%H:%M:%S", time.localtime(entry["time"]))
        lines = ["%s.%03d %s %s" % (stamp, int(entry["time"] * 1000) % 1000,
                                    request.method, request.target)]
        lines += ["    %s: %s" % (n, v) for n, v in request.headers]
        sys.stderr.write("\n".join(lines) + "\n")
        sys.stderr.flush()
    return entry


def logged(action):
    def run(conn, route, request):
        record(request)
        return action(conn, route, request)
    return run


LOGIN_ANSWER = {"resultCode": "1001", "resultMsg": "请先登录",
                "resultData": {"resultMessage": "请先登录", "data": None}}


def act_list(conn, route, request):
    record(request)
    if not logged_in(request):
        return answer(conn, request, LOGIN_ANSWER)
    data = req_data(request) or {}
    return answer(conn, request, {
        "resultCode": "0",
        "resultMsg": "操作成功",
        "resultData": {
            "code": "0000",
            "msg": "成功",
            "data": {
                "rid": str(data.get("rid", "")),
                "title": "会员特权",
                "subTitle": "每月更新，先到先得",
                "subRightsList1": RIGHTS_1,
                "subRightsList2": RIGHTS_2,
            },
        },
    })


def act_draw(conn, route, request):
    data = req_data(request)
    rid = None if data is None or "rid" not in data else str(data["rid"])
    record(request, rid)
    if not logged_in(request):
        return answer(conn, request, LOGIN_ANSWER)
    names = {str(r["rightsId"]): r["name"] for r in RIGHTS_1 + RIGHTS_2}
    if rid not in names:
        return answer(conn, request, {"resultCode": "2", "resultMsg": "操作成功",
                             "resultData": {"resultMessage": "您不符合领取条件"}})
    with STATE_LOCK:
        count = STATE["draws"].get(rid, 0) + 1
        STATE["draws"][rid] = count
        final = count > STATE["non_final"]
    if not final:
        return answer(conn, request, {"resultCode": "1", "resultMsg": "操作成功",
                             "resultData": {"resultMessage": "活动未开始，请稍后再试"}})
    return answer(conn, request, {"resultCode": "0", "resultMsg": "操作成功",
                         "resultData": {"resultMessage": "恭喜，已领取成功：" + names[rid],
                                        "prizeName": names[rid]}})


def act_announcement(conn, route, request):
    record(request)
    with STATE_LOCK:
        text = STATE["announcement"]
    page = ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>公告</title>"
            "</head><body><div class=\"field\"><span>软件说明=" + text +
            "=软件说明</span></div></body></html>")
    return answer(conn, request, page)


def install_routes():
    with test_server.LOCK:
        test_server.ROUTES.clear()
        test_server.ROUTES.extend([
            {"path": LIST_PATH, "action": "rights_list"},
            {"path": DRAW_PATH, "action": "rights_draw"},
            {"path": ANNOUNCEMENT_PATH, "action": "rights_announcement"},
        ])


def handle_command(command):
    cmd = command.get("cmd")
    if cmd == "scenario":
        with STATE_LOCK:
            STATE["non_final"] = int(command.get("non_final_draws", STATE["non_final"]))
            STATE["draws"].clear()
        return {"ok": True}
    if cmd == "announcement":
        with STATE_LOCK:
            STATE["announcement"] = str(command.get("text", ""))
        return {"ok": True}
    if cmd == "log":
        with STATE_LOCK:
            return {"ok": True, "log": list(STATE["log"])}
    if cmd == "clear":
        with STATE_LOCK:
            STATE["log"].clear()
            STATE["draws"].clear()
        with test_server.LOCK:
            test_server.REQUESTS.clear()
        install_routes()
        return {"ok": True}
    return test_server.handle_command(command)


def make_certificates(directory):
    """The authority and the server's certificate; False when openssl failed."""
    ca, server = os.path.join(directory, "ca.pem"), os.path.join(directory, "server.pem")
    if os.path.exists(ca) and os.path.exists(server) and os.path.exists(
            os.path.join(directory, "server.key")):
        # Kept while the server's certificate stays valid for another day.
        if subprocess.call(["openssl", "x509", "-checkend", "86400", "-noout", "-in", server],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) == 0:
            return True
    os.makedirs(directory, exist_ok=True)
    ext = os.path.join(directory, "server.ext")
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                "extendedKeyUsage=serverAuth\n")
    d = directory
    steps = [
        ["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out", d + "/ca.key"],
        ["openssl", "req", "-x509", "-new", "-key", d + "/ca.key", "-subj",
         "/CN=Quenbrook Stand-in CA", "-days", "825", "-addext",
         "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign",
         "-out", d + "/ca.pem"],
        ["openssl", "ecparam", "-name", "prime256v1", "-genkey", "-noout", "-out",
         d + "/server.key"],
        ["openssl", "req", "-new", "-key", d + "/server.key", "-subj", "/CN=127.0.0.1",
         "-out", d + "/server.csr"],
        ["openssl", "x509", "-req", "-in", d + "/server.csr", "-CA", d + "/ca.pem", "-CAkey",
         d + "/ca.key", "-CAcreateserial", "-days", "825", "-extfile", ext, "-out",
         d + "/server.pem"],
    ]
    for step in steps:
        if subprocess.call(step, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) != 0:
            return False
    return True


def main(argv):
    options = {"--dir": None, "--port": "0", "--non-final": "3", "--control": "stdin"}
    args = iter(argv)
    for arg in args:
        if arg not in options:
            raise SystemExit(__doc__)
        options[arg] = next(args, None)
    directory = options["--dir"]
    if not directory or options["--control"] not in ("stdin", "none"):
        raise SystemExit(__doc__)
    directory = os.path.abspath(directory)
    if not make_certificates(directory):
        raise SystemExit("rights_service.py: openssl could not make the certificates in " +
                         directory)
    STATE["non_final"] = int(options["--non-final"])
    STATE["echo"] = options["--control"] == "none"

    # Every request is logged, also those that routes added later answer.
    for name, action in list(test_server.ACTIONS.items()):
        test_server.ACTIONS[name] = logged(action)
    test_server.ACTIONS["rights_list"] = act_list
    test_server.ACTIONS["rights_draw"] = act_draw
    test_server.ACTIONS["rights_announcement"] = act_announcement
    install_routes()
    spec = "tls:%s/server.pem:%s/server.key@%s" % (directory, directory, options["--port"])
    port = test_server.start_listener("https", spec)
    print(json.dumps({"ports": {"https": port}, "ca_file": directory + "/ca.pem"}), flush=True)

    if options["--control"] == "none":
        stop = threading.Event()
        for sig in (signal.SIGTERM, signal.SIGINT):
            signal.signal(sig, lambda *_: stop.set())
        while not stop.wait(0.5):
            pass
        test_server.STOP.set()
        return
    test_server.control_loop(handle_command)


if __name__ == "__main__":
    main(sys.argv[1:])
