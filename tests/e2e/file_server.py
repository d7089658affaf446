"""A small HTTP/1.1 server for the end-to-end runs: serves the files of one folder with Range,
If-Range and a strong ETag on 127.0.0.1, in a thread of the test process. Query options per request:
rate=N sends the body at about N bytes a second; status=N answers every request with that status and
no file; cut=N&cuts=K closes the connection after N body bytes in each of the first K transfers
(requests for more than the first byte) of the server's life; redirect=URL answers 302 to URL."""
import http.server
import os
import threading
import time
import urllib.parse

PIECE = 4096


class _Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        with self.server.lock:
            self.server.paths.append(url.path)
        opts = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        if "status" in opts:
            return self._simple(int(opts["status"]), b"refused by the test")
        if "redirect" in opts:
            self.send_response(302)
            self.send_header("Location", opts["redirect"])
            self.send_header("Content-Length", "0")
            return self.end_headers()
        path = os.path.join(self.server.root, os.path.basename(url.path))
        if not os.path.isfile(path):
            return self._simple(404, b"not found")
        with open(path, "rb") as f:
            data = f.read()
        etag = '"%x-%x"' % (len(data), os.stat(path).st_mtime_ns)
        first, last = 0, len(data) - 1
        rng = self.headers.get("Range", "")
        with self.server.lock:
            self.server.ranges.append(rng)
        if self.headers.get("If-Range", etag) != etag:
            rng = ""  # the file the client holds a piece of is not this one: send it whole
        if rng.startswith("bytes="):
            a, _, b = rng[6:].partition("-")
            first = int(a or 0)
            last = min(int(b), len(data) - 1) if b else len(data) - 1
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, last, len(data)))
        else:
            self.send_response(200)
        self.send_header("Content-Length", str(last - first + 1))
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("ETag", etag)
        self.end_headers()
        body = data[first:last + 1]
        if rng.replace(" ", "") != "bytes=0-0" and self._takes_cut(opts):
            body = body[:int(opts["cut"])]
            self.close_connection = True
        self._send_body(body, int(opts.get("rate", 0)))

    def _takes_cut(self, opts):
        if "cut" not in opts:
            return False
        with self.server.lock:
            self.server.cuts += 1
            return self.server.cuts <= int(opts.get("cuts", 1))

    def _send_body(self, body, rate):
        try:
            for at in range(0, len(body), PIECE):
                self.wfile.write(body[at:at + PIECE])
                if rate:
                    self.wfile.flush()
                    time.sleep(PIECE / rate)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client went away (a cancelled download)

    def _simple(self, status, body):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class FileServer:
    """Serves `root` on a free port until closed, over https with an `ssl.SSLContext` given as `tls`;
    `url(name, **opts)` builds a link."""

    def __init__(self, root, tls=None):
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        if tls:
            self._server.socket = tls.wrap_socket(self._server.socket, server_side=True)
        self._scheme = "https" if tls else "http"
        self._server.daemon_threads = True
        self._server.root = root
        self._server.lock = threading.Lock()
        self._server.cuts = 0
        self._server.ranges = []  # the Range header of every file request, in order
        self._server.paths = []  # the path of every request, in order
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()

    def url(self, name, **opts):
        query = urllib.parse.urlencode(opts)
        host = "localhost" if self._scheme == "https" else "127.0.0.1"  # the name the test certificates carry
        return "%s://%s:%d/%s%s" % (self._scheme, host, self.port, name, "?" + query if query else "")

    def ranges(self):
        with self._server.lock:
            return list(self._server.ranges)

    def paths(self):
        with self._server.lock:
            return list(self._server.paths)

    def close(self):
        self._server.shutdown()
        self._server.server_close()
