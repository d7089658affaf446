#!/usr/bin/env python3
"""HTTP/1.1 test server for the download engine: serves generated files with Range support over
http and https (a test CA and server certificates made on first use), with fault modes chosen by
query options. Prints one JSON line with its ports when ready (and writes it to --state-file).

Paths: /file/<size> serves <size> bytes of the test pattern (byte i is PATTERN[i % 65521]); the
pattern starts as a Windows program does ("MZ", at 0x3C the offset 0x40 of "PE\0\0"), so that a
whole file of at least 0x44 bytes passes the installer's program check.
Options (query): status=N (answer with that status, the body as for 200), nolength=1 (no
Content-Length, close after the body), short=N (announce the length, send N bytes fewer, close),
long=N (send and announce N bytes more than asked), forever=1 (no length, stream without end),
reset=N (reset the connection after N body bytes), trickle=MS (1,024-byte pieces, MS ms apart),
silent_after=N (send N body bytes, then nothing while the client stays), norange=1 (ignore
Range), redirect=URL (302 to URL), badstart=1 / badtotal=1 (a Content-Range that does not
match), range_only=1 (the other options apply to ranged requests only), range_delay=MS (wait before answering a ranged request), expect_range=V / expect_agent=V (answer 400 unless the header equals V).
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
PROGRAM_HEADER = {0: b"MZ", 0x3C: b"\x40\0\0\0", 0x40: b"PE\0\0"}
PATTERN = bytearray(((k * 7) + (k >> 8)) & 0xFF for k in range(PATTERN_PERIOD))
for _at, _bytes in PROGRAM_HEADER.items():
    PATTERN[_at:_at + len(_bytes)] = _bytes
PATTERN = bytes(PATTERN)
PIECE = 64 * 1024


def pattern_slice(start, length):
    out = bytearray()
    pos = start % PATTERN_PERIOD
    while len(out) < length:
        take = min(length - len(out), PATTERN_PERIOD - pos)
        out += PATTERN[pos:pos + take]
        pos = 0
    return bytes(out)


class ResetConnection(Exception):
    pass


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TorvinTestServer"

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        opts = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        parts = url.path.strip("/").split("/")
        if len(parts) != 2 or parts[0] != "file" or not parts[1].isdigit():
            return self.simple(404, b"not found")
        size = int(parts[1])
        if "range_only" in opts and "Range" not in self.headers:
            opts = {}  # the faults are for the ranged request only; the probe gets a plain reply
        for header, key in (("Range", "expect_range"), ("User-Agent", "expect_agent")):
            if key in opts and self.headers.get(header) != opts[key]:
                return self.simple(400, ("%s was %r" % (header, self.headers.get(header))).encode())
        if "range_delay" in opts and "Range" in self.headers:
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

    def requested_range(self, size, opts):
        value = self.headers.get("Range")
        if not value or "norange" in opts or not value.startswith("bytes="):
            return None
        first, _, last = value[len("bytes="):].partition("-")
        try:
            first = int(first)
            last = int(last) if last else size - 1
        except ValueError:
            return None
        return first, min(last, size - 1)

    def serve_file(self, size, opts):
        span = self.requested_range(size, opts)
        status = int(opts.get("status", 206 if span else 200))
        first, last = span if span else (0, size - 1)
        length = last - first + 1 + int(opts.get("long", 0))
        self.send_response(status)
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

    def send_body(self, first, length, opts):
        send = length if length is not None else float("inf")
        if "short" in opts:
            send -= int(opts["short"])
            self.close_connection = True
        reset_at = int(opts["reset"]) if "reset" in opts else None
        silent_at = int(opts["silent_after"]) if "silent_after" in opts else None
        trickle = int(opts["trickle"]) / 1000.0 if "trickle" in opts else None
        piece = 1024 if trickle is not None else PIECE
        sent = 0
        while sent < send:
            if silent_at is not None and sent >= silent_at:
                self.wait_for_client_to_leave()
                return
            take = int(min(piece, send - sent))
            if reset_at is not None:
                take = min(take, reset_at - sent)
                if take <= 0:
                    raise ResetConnection()
            if silent_at is not None:
                take = min(take, silent_at - sent)
            self.wfile.write(pattern_slice(first + sent, take))
            sent += take
            if trickle is not None:
                self.wfile.flush()
                time.sleep(trickle)
        self.wfile.flush()

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
