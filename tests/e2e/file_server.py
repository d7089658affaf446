"""A small HTTP/1.1 server for the end-to-end runs: serves the files of one folder with Range
support on 127.0.0.1, in a thread of the test process. Query options per request: rate=N sends the
body at about N bytes a second; status=N answers every request with that status and no file."""
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
        opts = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        if "status" in opts:
            return self._simple(int(opts["status"]), b"refused by the test")
        path = os.path.join(self.server.root, os.path.basename(url.path))
        if not os.path.isfile(path):
            return self._simple(404, b"not found")
        with open(path, "rb") as f:
            data = f.read()
        first, last = 0, len(data) - 1
        rng = self.headers.get("Range", "")
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
        self.end_headers()
        self._send_body(data[first:last + 1], int(opts.get("rate", 0)))

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
    """Serves `root` on a free port until closed; `url(name, **opts)` builds a link."""

    def __init__(self, root):
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        self._server.daemon_threads = True
        self._server.root = root
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()

    def url(self, name, **opts):
        query = urllib.parse.urlencode(opts)
        return "http://127.0.0.1:%d/%s%s" % (self.port, name, "?" + query if query else "")

    def close(self):
        self._server.shutdown()
        self._server.server_close()
