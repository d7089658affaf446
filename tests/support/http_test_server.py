#!/usr/bin/env python3
"""HTTP/1.1 test server for the download engine: serves generated files with Range support over
http and https (a test CA and server certificates made on first use), with fault modes chosen by
query options. Prints one JSON line with its ports when ready (and writes it to --state-file).

Paths: /file/<size> serves <size> bytes of the test pattern (byte i is byte i % 65521 of one period); the
pattern starts as a Windows program does ("MZ", at 0x3C the offset 0x40 of "PE\0\0"), so that a
whole file of at least 0x44 bytes passes the installer's program check. A changed file (version
v > 1) keeps that header and adds v - 1 to every other byte. Replies carry a strong ETag and a
Last-Modified date naming the version, and honour If-Range.
Options (query): status=N (answer with that status and the whole body, range ignored), nolength=1
(no Content-Length, close after the body), short=N (announce the length, send N bytes fewer,
close), long=N (send and announce N bytes more than asked), forever=1 (no length, stream without
end), reset=N (reset the connection after N body bytes; a client that has not read them yet loses
them), cut=N (close the connection cleanly after N body bytes), trickle=MS (1,024-byte pieces, MS ms
apart), silent_after=N (send N body bytes, then nothing while the client stays), drip_after=N with
drip=MS (send N body bytes, then one byte every MS ms), norange=1 (ignore Range), ignore_if_range=1
(serve the range asked for whatever If-Range says), redirect=URL (302 to URL), badstart=1 /
badtotal=1 (a Content-Range that does not match), range_only=1 (the other options apply to
transfers only: requests for more than the first byte), range_delay=MS (wait before answering a
transfer), header_delay=MS (wait before answering any request), expect_range=V / expect_agent=V
(answer 400 unless the header equals V), expect_nocache=1 (answer 400 unless Cache-Control and
Pragma both say no-cache). retry_after=S adds Retry-After to a status option's reply.
resume_status=N (a resume, a transfer that does not start at byte 0, is answered with status N and
the whole body, or with no body for N >= 400; retry_after=S adds Retry-After).
Per-test state, kept under id=NAME: faults=K (the other options apply to the first K transfers of
that id only), change_after=R (from the R+1-th transfer on, the file is version 2, newsize=M bytes
long when given), validators=both|etag|weak|weak_lastmod|lastmod|none (default both), dropat=A,B,... (close
the connection once when a transfer reaches each of these file positions). GET /log/NAME lists the requests seen under that id, one a
line: "<Range or -> <If-Range or -> <status> <body bytes sent>".
GET /report/NAME answers 204 and adds its query, as it came, to the log of NAME (header_delay=MS
holds the answer first).
"""
import argparse
import http.server
import json
import os
import shutil
import signal
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

PATTERN_PERIOD = 65521
# Options that describe the test's state rather than a fault; they hold for every request.
STATE_OPTIONS = ("id", "faults", "change_after", "newsize", "validators", "dropat", "ignore_if_range")
PROGRAM_HEADER = {0: b"MZ", 0x3C: b"\x40\0\0\0", 0x40: b"PE\0\0"}


def make_pattern(version):
    """One period of the pattern of the file's version `version`."""
    pattern = bytearray(((k * 7) + (k >> 8) + version - 1) & 0xFF for k in range(PATTERN_PERIOD))
    for at, header in PROGRAM_HEADER.items():
        pattern[at:at + len(header)] = header
    return bytes(pattern)


PATTERNS = {}
PIECE = 64 * 1024


def pattern_slice(start, length, version=1):
    pattern = PATTERNS.get(version)
    if pattern is None:
        pattern = PATTERNS[version] = make_pattern(version)
    out = bytearray()
    pos = start % PATTERN_PERIOD
    while len(out) < length:
        take = min(length - len(out), PATTERN_PERIOD - pos)
        out += pattern[pos:pos + take]
        pos = 0
    return bytes(out)


class ResetConnection(Exception):
    pass


class TestState:
    """What one test's requests (one id) have seen: the transfers served, the drops still to make,
    a log line per request, and how many requests are still being answered."""

    def __init__(self):
        self.transfers = 0
        self.pending_drops = None
        self.log = []
        self.answering = 0


STATES = {}
STATES_LOCK = threading.Lock()
# A request's log line is written once its answer is done, which may be after its client has read
# the reply and asked for the log: the log waits that long for requests still being answered.
LOG_WAIT = 10.0


def state_for(name):
    with STATES_LOCK:
        return STATES.setdefault(name, TestState())


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TorvinTestServer"

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        opts = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        parts = url.path.strip("/").split("/")
        if len(parts) == 2 and parts[0] == "log":
            lines = self.finished_log(parts[1])
            return self.simple(200, "".join(line + "\n" for line in lines).encode())
        if len(parts) == 2 and parts[0] == "report":
            return self.record_report(parts[1], url.query, opts)
        if len(parts) != 2 or parts[0] != "file" or not parts[1].isdigit():
            return self.simple(404, b"not found")
        size = int(parts[1])
        self.test_state = state_for(opts["id"]) if "id" in opts else None
        self.logged_status, self.body_sent = 0, 0
        if self.test_state is not None:
            with STATES_LOCK:
                self.test_state.answering += 1
        try:
            self.answer(size, opts)
        finally:
            self.log_request_seen()

    def record_report(self, name, query, opts):
        if "header_delay" in opts:
            time.sleep(int(opts["header_delay"]) / 1000.0)
        state = state_for(name)
        with STATES_LOCK:
            state.log.append(query)
        self.simple(204, b"")

    def log_request_seen(self):
        if self.test_state is None:
            return
        line = "%s %s %d %d" % (self.headers.get("Range") or "-", self.headers.get("If-Range") or "-",
                                self.logged_status, self.body_sent)
        with STATES_LOCK:
            self.test_state.log.append(line)
            self.test_state.answering -= 1

    @staticmethod
    def finished_log(name):
        """The log of `name` once no request of it is still being answered (or LOG_WAIT has passed)."""
        deadline = time.monotonic() + LOG_WAIT
        while True:
            with STATES_LOCK:
                state = STATES.get(name)
                if state is None or state.answering == 0 or time.monotonic() > deadline:
                    return list(state.log) if state else []
            time.sleep(0.01)

    def send_response(self, code, message=None):
        self.logged_status = code
        super().send_response(code, message)

    def is_transfer(self):
        value = self.headers.get("Range")
        return value is not None and value.replace(" ", "") not in ("bytes=0-0",)

    def answer(self, size, opts):
        if "header_delay" in opts:
            time.sleep(int(opts["header_delay"]) / 1000.0)
        version = 1
        if self.test_state is not None:
            with STATES_LOCK:
                if self.is_transfer():
                    self.test_state.transfers += 1
                count = self.test_state.transfers  # transfers seen, this one included
            if self.is_transfer() and "faults" in opts and count > int(opts["faults"]):
                opts = {k: v for k, v in opts.items() if k in STATE_OPTIONS}
            if "change_after" in opts and count > int(opts["change_after"]):
                version = 2
                size = int(opts.get("newsize", size))
        self.version = version
        if "range_only" in opts and not self.is_transfer():
            opts = {k: v for k, v in opts.items() if k in STATE_OPTIONS}  # the probe gets a plain reply
        for header, key in (("Range", "expect_range"), ("User-Agent", "expect_agent")):
            if key in opts and self.headers.get(header) != opts[key]:
                return self.simple(400, ("%s was %r" % (header, self.headers.get(header))).encode())
        if "expect_nocache" in opts:
            for header in ("Cache-Control", "Pragma"):
                if "no-cache" not in (self.headers.get(header) or ""):
                    return self.simple(400, ("%s was %r" % (header, self.headers.get(header))).encode())
        if "range_delay" in opts and self.is_transfer():
            time.sleep(int(opts["range_delay"]) / 1000.0)
        if "redirect" in opts:
            self.send_response(302)
            self.send_header("Location", opts["redirect"])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.serve_file(size, opts)

    def simple(self, status, body):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def validators(self, opts):
        """The (ETag, Last-Modified) of the version served, as the options choose."""
        kind = opts.get("validators", "both")
        etag = '"v%d"' % self.version
        date = "Mon, 0%d Jan 2024 00:00:00 GMT" % self.version
        return {"both": (etag, date), "etag": (etag, None), "weak": ("W/" + etag, None),
                "weak_lastmod": ("W/" + etag, date), "lastmod": (None, date), "none": (None, None)}[kind]

    def if_range_holds(self, opts):
        value = self.headers.get("If-Range")
        if value is None or "ignore_if_range" in opts:
            return True
        etag, date = self.validators(opts)
        return value == etag if value.startswith('"') else value == date

    def requested_range(self, size, opts):
        value = self.headers.get("Range")
        if not value or "norange" in opts or "status" in opts or not value.startswith("bytes="):
            return None
        if not self.if_range_holds(opts):
            return None
        first, _, last = value[len("bytes="):].partition("-")
        try:
            first = int(first)
            last = int(last) if last else size - 1
        except ValueError:
            return None
        return first, min(last, size - 1)

    def serve_file(self, size, opts):
        self.opts_seen = opts
        span = self.requested_range(size, opts)
        if span and span[0] > 0 and "resume_status" in opts:
            status = int(opts["resume_status"])
            if status >= 400:
                self.send_response(status)
                if "retry_after" in opts:
                    self.send_header("Retry-After", opts["retry_after"])
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            span = None
        if span and span[0] >= size:
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        status = int(opts.get("status", 206 if span else 200))
        first, last = span if span else (0, size - 1)
        length = last - first + 1 + int(opts.get("long", 0))
        self.send_response(status)
        if "status" in opts and "retry_after" in opts:
            self.send_header("Retry-After", opts["retry_after"])
        etag, date = self.validators(opts)
        if etag:
            self.send_header("ETag", etag)
        if date:
            self.send_header("Last-Modified", date)
        if span:
            start = first + (1 if "badstart" in opts else 0)
            total = size + (1 if "badtotal" in opts else 0)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, last, total))
        endless = "forever" in opts
        if "nolength" in opts or endless:
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.send_header("Accept-Ranges", "bytes")
        self.end_headers()
        try:
            self.send_body(first, length if not endless else None, opts)
        except ResetConnection:
            self.reset()
        except OSError:
            self.close_connection = True

    def send_body(self, first, length, opts):
        send = length if length is not None else float("inf")
        if "short" in opts:
            send -= int(opts["short"])
            self.close_connection = True
        if "cut" in opts:
            send = min(send, int(opts["cut"]))
            self.close_connection = True
        reset_at = int(opts["reset"]) if "reset" in opts else None
        drop_at = self.next_drop(first, send)
        if drop_at is not None:
            send = min(send, drop_at)
            self.close_connection = True
        silent_at = int(opts["silent_after"]) if "silent_after" in opts else None
        trickle = int(opts["trickle"]) / 1000.0 if "trickle" in opts else None
        drip_at = int(opts["drip_after"]) if "drip_after" in opts else None
        piece = 1024 if trickle is not None else PIECE
        sent = 0
        while sent < send:
            if silent_at is not None and sent >= silent_at:
                self.wait_for_client_to_leave()
                return
            if drip_at is not None and sent >= drip_at:
                piece, trickle = 1, int(opts["drip"]) / 1000.0
            take = int(min(piece, send - sent))
            if drip_at is not None and sent < drip_at:
                take = min(take, drip_at - sent)
            if reset_at is not None:
                take = min(take, reset_at - sent)
                if take <= 0:
                    raise ResetConnection()
            if silent_at is not None:
                take = min(take, silent_at - sent)
            self.wfile.write(pattern_slice(first + sent, take, self.version))
            sent += take
            self.body_sent = sent
            if trickle is not None:
                self.wfile.flush()
                time.sleep(trickle)
        self.wfile.flush()

    def next_drop(self, first, length):
        """The body offset of the first pending drop position inside this reply, taken off the list."""
        if self.test_state is None or "dropat" not in self.opts_seen:
            return None
        with STATES_LOCK:
            state = self.test_state
            if state.pending_drops is None:
                state.pending_drops = sorted(int(x) for x in self.opts_seen["dropat"].split(","))
            for position in state.pending_drops:
                if first < position < first + length:
                    state.pending_drops.remove(position)
                    return position - first
        return None

    def wait_for_client_to_leave(self):
        self.wfile.flush()
        self.close_connection = True
        sock = self.connection
        sock.settimeout(0.5)
        deadline = time.monotonic() + 600
        while time.monotonic() < deadline:
            try:
                if not sock.recv(1):
                    return
            except (socket.timeout, ssl.SSLWantReadError):
                continue
            except OSError:
                return

    def reset(self):
        self.close_connection = True
        self.wfile.flush()
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
        raw = socket.socket(fileno=os.dup(self.connection.fileno()))
        raw.close()
        self.connection.close()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, context=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.context = context

    def get_request(self):
        sock, addr = super().get_request()
        if self.context is not None:
            # The handshake happens in the handler's thread, so a client that never finishes it
            # holds up nobody else.
            sock = self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False)
        return sock, addr

    def handle_error(self, request, client_address):
        pass


CA_CONFIG = """
[ca]
default_ca = test_ca
[test_ca]
dir = {dir}
database = $dir/index.txt
new_certs_dir = $dir
serial = $dir/serial
default_md = sha256
policy = anything
copy_extensions = copy
unique_subject = no
[anything]
commonName = supplied
[server]
basicConstraints = CA:false
keyUsage = digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:{name}
"""


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def make_server_cert(work, label, name, days, start=None, end=None):
    """Signs a certificate for `name` with the test CA into <label>.crt and <label>.key; with
    start/end, those exact dates."""
    with open(os.path.join(work, "ca.cnf"), "w") as f:
        f.write(CA_CONFIG.format(dir=work, name=name))
    key, csr, crt = label + ".key", label + ".csr", label + ".crt"
    openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-subj", "/CN=" + name,
            "-out", csr, cwd=work)
    dates = ["-startdate", start, "-enddate", end] if start else ["-days", str(days)]
    openssl("ca", "-batch", "-config", "ca.cnf", "-extensions", "server", "-cert", "ca.crt",
            "-keyfile", "ca.key", "-in", csr, "-out", crt, "-notext", *dates, cwd=work)


def make_certs(folder):
    """The CA and three server certificates, made once per folder (concurrent makers race safely)."""
    if os.path.exists(os.path.join(folder, "done")):
        return
    parent = os.path.dirname(os.path.abspath(folder))
    os.makedirs(parent, exist_ok=True)
    work = tempfile.mkdtemp(dir=parent)
    open(os.path.join(work, "index.txt"), "w").close()
    with open(os.path.join(work, "serial"), "w") as f:
        f.write("1000\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt",
            "-days", "3650", "-subj", "/CN=Torvin Test CA", cwd=work)
    make_server_cert(work, "good", "localhost", 3650)
    make_server_cert(work, "expired", "localhost", 0, "20200101000000Z", "20210101000000Z")
    make_server_cert(work, "wrong", "wrong.example", 3650)
    open(os.path.join(work, "done"), "w").close()
    try:
        os.rename(work, folder)
    except OSError:
        shutil.rmtree(work, ignore_errors=True)  # another maker won


def tls_context(folder, label):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, label + ".crt"), os.path.join(folder, label + ".key"))
    return context


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--certs", required=True, help="folder of the test CA and certificates")
    parser.add_argument("--state-file", help="also write the ready line here")
    parser.add_argument("--detach", action="store_true",
                        help="run until SIGTERM instead of until standard input closes")
    args = parser.parse_args()
    make_certs(args.certs)
    servers = {
        "http": Server(),
        "https": Server(tls_context(args.certs, "good")),
        "https_expired": Server(tls_context(args.certs, "expired")),
        "https_wrong_name": Server(tls_context(args.certs, "wrong")),
    }
    for server in servers.values():
        threading.Thread(target=server.serve_forever, daemon=True).start()
    state = {name: server.server_address[1] for name, server in servers.items()}
    state["ca"] = os.path.join(os.path.abspath(args.certs), "ca.crt")
    state["pid"] = os.getpid()
    line = json.dumps(state)
    if args.state_file:
        with open(args.state_file + ".tmp", "w") as f:
            f.write(line + "\n")
        os.replace(args.state_file + ".tmp", args.state_file)
    print(line, flush=True)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    if args.detach:
        while True:
            signal.pause()
    # Ends when the process that started it closes our standard input (or ends).
    try:
        sys.stdin.read()
    except Exception:
        pass


if __name__ == "__main__":
    main()
