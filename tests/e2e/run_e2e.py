#!/usr/bin/env python3
"""One end-to-end run of TorvinWebInstaller.exe under Wine on a virtual screen: a temporary folder
with the executable, the skin, the texts file and a configuration; a local HTTP server with the
payload installers; xdotool to click and answer message boxes; ImageMagick for screenshots.
Every wait is bounded; Wine (wineserver -k in the run's prefix), the server, the screen and the
folder are cleaned up on every way out. Usage: run_e2e.py CASE --exe ... (see main)."""
import argparse
import hashlib
import json
import os
import re
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from file_server import FileServer  # noqa: E402

PRODUCT = "Plantyx Setup"
APP_NAME = "TorvinWebInstaller"
PAYLOAD_SIZE = 640 * 1024  # the payload program padded with an overlay, so a transfer takes a while
INSTALLED_KEY = r"Software\TorvinE2E\Plantyx"
SIGNER = "Plantyx Software Ltd"
SUPPORT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")
SIGN_SCRIPT = os.path.join(SUPPORT, "make-signed-payloads")
# The exit codes of the installer's table.
EXIT_CANCELLED, EXIT_FAILED, EXIT_COMMAND_LINE = 1602, 1603, 1639


class Failure(Exception):
    pass


# How much longer than usual the waits for the product may take: more under emulation (--time-scale).
time_scale = 1.0


def wait_for(what, predicate, timeout, interval=0.2):
    timeout *= time_scale
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(interval)
    raise Failure("timed out after %ds waiting for %s" % (timeout, what))


class Run:
    def __init__(self, args):
        self.args = args
        if args.keep:
            shutil.rmtree(args.keep, ignore_errors=True)
            os.makedirs(args.keep)
            self.folder = os.path.abspath(args.keep)
        else:
            self.folder = tempfile.mkdtemp(prefix="torvin-e2e-")
        self.app = os.path.join(self.folder, "app")
        self.www = os.path.join(self.folder, "www")
        os.makedirs(self.app)
        os.makedirs(self.www)
        self.env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        if args.win32:
            self.env["WINEARCH"] = "win32"
        self.xvfb = None
        self.server = None
        self.report_server = None
        self.installer = None
        self.help_address = None

    # -- set-up --------------------------------------------------------------------------------
    def start(self):
        shutil.copy(self.args.exe, os.path.join(self.app, APP_NAME + ".exe"))
        for name in os.listdir(self.args.skin):
            if name.lower().endswith((".jpg", ".ini")):
                shutil.copy(os.path.join(self.args.skin, name), self.app)
        self.serve_payload(self.args.payload, "full.exe")
        self.serve_payload(self.args.patch_payload, "patch.exe")
        self.server = FileServer(self.www)
        self.start_screen()

    def serve_payload(self, source, name, size=PAYLOAD_SIZE):
        with open(source, "rb") as f:
            data = f.read()
        with open(os.path.join(self.www, name), "wb") as f:
            f.write(data + bytes(max(0, size - len(data))))

    def serve_signed_payloads(self):
        """The full payload, padded, then signed by "Plantyx Software Ltd" under a test CA that this
        prefix is made to trust (www/signed.exe), and a copy with one byte changed after signing
        (www/tampered.exe). Returns the signed file's SHA-256."""
        signing = os.path.join(self.folder, "signing")
        os.makedirs(signing)
        padded = os.path.join(signing, "payload.exe")
        with open(self.args.payload, "rb") as f:
            data = f.read()
        with open(padded, "wb") as f:
            f.write(data + bytes(max(0, PAYLOAD_SIZE - len(data))))
        subprocess.run([SIGN_SCRIPT, signing, padded], check=True, timeout=120)
        for name in ("signed.exe", "tampered.exe"):
            shutil.copy(os.path.join(signing, name), self.www)
        self.wine(self.args.trust_root, "Z:" + os.path.join(signing, "ca.pem"))
        with open(os.path.join(self.www, "signed.exe"), "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()

    def start_report_server(self):
        """The https test server of the download tests, its CA trusted in this prefix: {"http": port,
        "https": port, ...}; GET /report/NAME there records a report, GET /log/NAME lists them."""
        self.report_server = subprocess.Popen(
            [sys.executable, os.path.join(SUPPORT, "http_test_server.py"), "--certs", os.path.join(self.folder, "certs")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        ports = json.loads(self.report_server.stdout.readline())
        self.wine(self.args.trust_root, "Z:" + ports["ca"])
        return ports

    def start_screen(self):
        if self.args.keep and os.environ.get("DISPLAY"):
            return  # a demonstration shows on the user's own screen
        read_end, write_end = os.pipe()
        screen = self.args.screen + "x24"
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
                                      "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as r:
            display = r.readline().strip()
        if not display:
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display

    def write_config(self, rlink, patch=None, registry="Software\\TorvinE2E\\NotInstalled", sha256=None,
                     signer=None, more_entries="", report=None):
        """A configuration with one default entry for Windows 7 of the prefix's bitness, and
        `more_entries` (installerInfo elements) after it."""
        patch_line = "      <patch>%s</patch>\n" % patch if patch else ""
        bits = "32" if self.args.win32 else "64"
        product = "<product%s%s>" % (' signer="%s"' % signer if signer else "",
                                     ' report="%s"' % report.replace("&", "&amp;") if report else "")
        rlink_tag = '<rlink sha256="%s">' % sha256 if sha256 else "<rlink>"
        xml = ('<?xml version="1.0" encoding="utf-8"?>\n<torvinwebinstaller>\n  %s\n'
               "    <name>%s</name>\n    <registry>%s</registry>\n"
               '    <installerInfo default="YES">\n      <os>Windows 7</os>\n      <bit>%s</bit>\n'
               "      %s%s</rlink>\n%s    </installerInfo>\n%s  </product>\n</torvinwebinstaller>\n"
               % (product, PRODUCT, registry, bits, rlink_tag, rlink.replace("&", "&amp;"), patch_line,
                  more_entries))
        with open(os.path.join(self.app, "TorvinWebInstaller.xml"), "w", encoding="utf-8") as f:
            f.write(xml)

    def move_to_long_folder(self):
        """Moves the installer and its files down a folder whose path is longer than 260 characters."""
        deep = os.path.join(self.app, "a" * 120, "b" * 120)
        os.makedirs(deep)
        for name in os.listdir(self.app):
            if os.path.isfile(os.path.join(self.app, name)):
                shutil.move(os.path.join(self.app, name), deep)
        self.app = deep

    # -- Wine and the screen ---------------------------------------------------------------------
    def wine(self, *command, timeout=120):
        timeout *= time_scale
        subprocess.run([self.args.wine_run, *command], env=self.env, check=True, timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def launch(self, *switches, locale=None, payload_exit=None):
        """Starts the product with `switches` as its command line; with `locale` (such as
        "de_DE.UTF-8"), Wine gives the program that user language; with `payload_exit`, the payload
        it launches ends with that code."""
        env = dict(self.env)
        if locale:
            env["LC_ALL"] = locale
        if payload_exit is not None:
            env["TORVIN_E2E_PAYLOAD_EXIT"] = str(payload_exit)
        exe = os.path.join(self.app, APP_NAME + ".exe")
        # Started by the helper that tells its whole exit code (Wine passes on only its low 8 bits),
        # unless there is none or the path is too long for its CreateProcess; then by Wine directly.
        self.told_exit_code = self.args.exit_code is not None and len(windows_path(exe)) < 260
        command = [self.args.exit_code, windows_path(exe)] if self.told_exit_code else [exe]
        self.installer = subprocess.Popen([self.args.wine_run, *command, *switches], env=env,
                                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def log_switch(self):
        """The switches that put the run's log in the run's folder (log_lines reads it)."""
        return "/log", windows_path(os.path.join(self.folder, "run.log"))

    def log_lines(self):
        """The run's log, each line without its timestamp."""
        with open(os.path.join(self.folder, "run.log"), encoding="utf-8", errors="replace") as f:
            return [line.rstrip("\r\n")[len("2024-03-05 14:07:09.042 "):] for line in f]

    def installer_report(self):
        """The log's line about the checks of the downloaded installer."""
        for line in self.log_lines():
            match = re.search(r"(installer (?:checks passed|refused).*)$", line)
            if match:
                return match.group(1)
        return "(no report line)"

    def xdotool(self, *args):
        done = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=30)
        return done.stdout.split() if done.returncode == 0 else []

    def find_window(self, name):
        windows = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(name))
        return windows[0] if windows else None

    def dialog(self, timeout=60):
        """The installer's window: a visible top-level window of the background's size."""
        def find():
            for wid in self.xdotool("search", "--onlyvisible", "--classname", "torvinwebinstaller"):
                geometry = self.geometry(wid)
                if geometry and geometry[2] > 200:
                    return wid
            return None
        return wait_for("the installer window", find, timeout)

    def geometry(self, wid):
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], env=self.env,
                             capture_output=True, text=True, timeout=30).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        try:
            return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])
        except KeyError:
            return None

    def click_cancel(self, wid):
        x, y, width, height = self.geometry(wid)
        cancel_width, cancel_height = image_size(os.path.join(self.args.skin, "Cancel_N.jpg"))
        cancel_width, cancel_height = px(cancel_width, self.args.dpi), px(cancel_height, self.args.dpi)
        cx = x + width - cancel_width - px(20, self.args.dpi) + cancel_width // 2
        cy = y + height - cancel_height - px(30, self.args.dpi) + cancel_height // 2
        self.xdotool("mousemove", "--sync", str(cx), str(cy))
        time.sleep(0.3)
        self.xdotool("click", "1")

    def message_text(self, caption):
        if not self.args.message_text:
            raise Failure("this case needs --message-text")
        done = subprocess.run([self.args.wine_run, self.args.message_text, caption], env=self.env,
                              capture_output=True, timeout=60)
        return done.stdout.decode("utf-8") if done.returncode == 0 else None

    def probe(self, *args):
        if not self.args.window_probe:
            raise Failure("this case needs --window-probe")
        done = subprocess.run([self.args.wine_run, self.args.window_probe, *args], env=self.env,
                              capture_output=True, timeout=60)
        if done.returncode != 0:
            raise Failure("window_probe %s ended with %d" % (" ".join(args), done.returncode))
        return done.stdout

    def buttons(self):
        """The dialog's two buttons: {id: (left, top, right, bottom, text)} in client coordinates."""
        found = {}
        for line in self.probe("controls").decode("utf-8").splitlines():
            parts = line.split(" ", 5)
            found[int(parts[0])] = tuple(int(v) for v in parts[1:5]) + (parts[5] if len(parts) > 5 else "",)
        return found

    def status_line(self, tag, state):
        """The status line the installer paints for `state` in language `tag`, painted by the same code
        in this prefix: (width, height, pixel bytes)."""
        folder = "Z:" + self.app.replace("/", "\\")
        _, size, _, data = self.probe("status", folder, tag or "-", str(state)).split(b"\n", 3)
        width, height = (int(v) for v in size.split())
        return width, height, data

    def answer(self, caption, key, text=None, timeout=30):
        """Answers the message box of this caption with a key, after checking its text if given."""
        box = wait_for("the message box \"%s\"" % caption, lambda: self.find_window(caption), timeout)
        if text is not None:
            shown = self.message_text(caption)
            if shown != text:
                raise Failure("the message box says %r, not %r" % (shown, text))
        self.xdotool("windowfocus", "--sync", box)
        time.sleep(0.3)
        self.xdotool("key", "--window", box, key)
        return box

    def capture(self, wid, *output):
        """The window's part of the screen, converted by ImageMagick to `output` (its options and
        destination); returns what convert wrote to its standard output."""
        x, y, width, height = self.geometry(wid)
        full = os.path.join(self.folder, "screen.png")
        subprocess.run(["/usr/bin/import", "-window", "root", full], env=self.env, check=True, timeout=60)
        crop = "%dx%d+%d+%d" % (width, height, x, y)
        return subprocess.run(["/usr/bin/convert", full, "-crop", crop, "+repage", *output], check=True,
                              timeout=60, capture_output=True).stdout

    def screenshot(self, wid, path):
        self.capture(wid, path)

    def window_pixels(self, wid):
        """The window as the screen shows it: (width, height, read(x, y) -> (r, g, b))."""
        # ImageMagick writes the header as "P6\nW H\n255\n", then the pixels.
        _, size, _, data = self.capture(wid, "-depth", "8", "ppm:-").split(b"\n", 3)
        width, height = (int(v) for v in size.split())
        return width, height, lambda col, row: tuple(data[(row * width + col) * 3:(row * width + col) * 3 + 3])

    def wait_exit(self, timeout=90):
        timeout *= time_scale
        try:
            self.installer.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the installer did not end within %ds" % timeout)

    # -- what the run left -----------------------------------------------------------------------
    def downloaded(self):
        return os.path.join(self.app, PRODUCT + ".exe")

    def launch_arguments(self):
        with open(os.path.join(self.app, "launch-arguments.txt"), encoding="utf-8") as f:
            return f.read().split("\n")[:-1]

    def expect_exit_code(self, code):
        self.wait_exit()
        if not self.told_exit_code:
            raise Failure("the installer's exit code is not known")
        told = self.installer.stdout.read().decode().strip()
        if self.installer.returncode != 0 or told != str(code):
            raise Failure("the installer ended with exit code %r, not %d" % (told, code))

    def launch_record(self):
        path = os.path.join(self.app, "launch-record.txt")
        if not os.path.exists(path):
            return None
        with open(path) as f:
            return f.read().strip() or None

    def expect_nothing_left(self):
        if os.path.exists(self.downloaded()):
            raise Failure("a downloaded file was left behind")
        if self.launch_record():
            raise Failure("an installer was launched")

    def expect_launched(self, kind, served):
        ended_at = None  # when the installer was first seen ended

        def record_or_crash():
            nonlocal ended_at
            record = self.launch_record()
            code = self.installer.poll() if self.installer else None
            if record or code is None:
                return record
            if code != 0:
                raise Failure("the installer ended with code %d before the payload ran" % code)
            # It ends as soon as it has started the payload, which writes its record soon after.
            ended_at = ended_at or time.monotonic()
            if time.monotonic() - ended_at > 30:
                raise Failure("the installer ended 30 s ago and the payload has not run")
            return None
        record = wait_for("the payload's launch record", record_or_crash, 90)
        if record != "%s %s.exe" % (kind, PRODUCT):
            raise Failure("unexpected launch record %r" % record)
        with open(self.downloaded(), "rb") as got, open(os.path.join(self.www, served), "rb") as want:
            if got.read() != want.read():
                raise Failure("the downloaded file differs from the served one")

    # -- clean-up --------------------------------------------------------------------------------
    def close(self):
        try:
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass
        if self.installer and self.installer.poll() is None:
            self.installer.kill()
            self.installer.wait()
        if self.server:
            self.server.close()
        if self.report_server:
            self.report_server.stdin.close()
            self.report_server.wait(timeout=30)
        if self.xvfb:
            self.xvfb.send_signal(signal.SIGTERM)
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        if not self.args.keep:
            shutil.rmtree(self.folder, ignore_errors=True)


def windows_path(path):
    """A path of this machine as Wine's programs name it."""
    return "Z:" + path.replace("/", "\\")


def px(design, dpi):
    """A design length at `dpi`, rounded half away from zero as the installer rounds it."""
    return int(design * dpi / 96 + 0.5)


def scaled_rect(left, top, right, bottom, dpi):
    """A design rectangle at `dpi`: origin and size scaled separately, as the installer's layout."""
    x, y = px(left, dpi), px(top, dpi)
    return x, y, x + px(right - left, dpi), y + px(bottom - top, dpi)


def image_size(path):
    out = subprocess.run(["/usr/bin/identify", "-format", "%w %h", path], capture_output=True, text=True,
                         check=True, timeout=30).stdout.split()
    return int(out[0]), int(out[1])


# -- the cases ---------------------------------------------------------------------------------------
def case_full_download(run):
    run.write_config(run.server.url("full.exe", rate=160 * 1024))
    run.launch()
    wid = run.dialog()
    time.sleep(2.0)  # a few ticks into the transfer
    os.makedirs(run.args.artifacts, exist_ok=True)
    run.screenshot(wid, os.path.join(run.args.artifacts, "mid-download.png"))
    run.expect_launched("full", "full.exe")
    run.wait_exit()


def check_face(run, wid, dpi):
    """Waits for the progress bar's fill, then checks the track, its bottom line and the percentage
    box where the shipped skin's layout puts them at `dpi`; returns (width, height) of the window."""
    # The shipped skin's layout: the bar (95,135)-(540,149), the percentage box's right edge at 591.
    left, top, right, bottom = scaled_rect(95, 135, 540, 149, dpi)
    box_right = scaled_rect(546, 135, 591, 149, dpi)[2]
    middle = (top + bottom) // 2
    fill_at = (left + px(3, dpi), middle)

    def progress_shown():
        width, height, pixel = run.window_pixels(wid)
        r, g, b = pixel(*fill_at)
        return (width, height, pixel) if b > 150 and b > r + 80 else None
    width, height, pixel = wait_for("the bar's fill at %s" % (fill_at,), progress_shown, 60, interval=0.5)
    expected = {
        "track": ((right - px(3, dpi), middle), (29, 29, 29)),
        "track's bottom line": ((left + px(200, dpi), bottom), (50, 50, 50)),
        "percentage box": ((box_right - px(2, dpi), top + px(1, dpi)), (40, 40, 40)),
    }
    for what, (at, colour) in expected.items():
        if pixel(*at) != colour:
            raise Failure("the %s at %s shows %s, expected %s" % (what, at, pixel(*at), colour))
    return width, height


def case_scaled_face(run):
    """The window at the prefix's DPI: the background's size times the scale, centred on the screen,
    and the progress bar's fill, track and percentage box where the scaled layout puts them."""
    dpi = run.args.dpi
    run.write_config(run.server.url("full.exe", rate=32 * 1024))
    run.launch()
    wid = run.dialog()
    design_w, design_h = image_size(os.path.join(run.args.skin, "MainWndBkg.jpg"))
    width, height = check_face(run, wid, dpi)
    os.makedirs(run.args.artifacts, exist_ok=True)
    run.screenshot(wid, os.path.join(run.args.artifacts, "face-%ddpi.png" % dpi))
    if (width, height) != (px(design_w, dpi), px(design_h, dpi)):
        raise Failure("window %dx%d at %d DPI, expected the background %dx%d scaled" % (width, height, dpi,
                                                                                          design_w, design_h))
    x, y = run.geometry(wid)[:2]
    screen_w, screen_h = (int(v) for v in run.args.screen.split("x"))
    if abs(x - (screen_w - width) // 2) > 1 or abs(y - (screen_h - height) // 2) > 1:
        raise Failure("window at %d,%d, not centred on the %s screen" % (x, y, run.args.screen))


def case_resume_after_drops(run):
    """20 MB through three dropped connections: each time the rest is asked for and joined."""
    size, cut = 20 * 1024 * 1024, 5 * 1024 * 1024
    run.serve_payload(run.args.payload, "big.exe", size)
    run.write_config(run.server.url("big.exe", cut=cut, cuts=3))
    run.launch()
    run.dialog()
    run.expect_launched("full", "big.exe")
    run.wait_exit()
    want = ["bytes=0-0"] + ["bytes=%d-%d" % (k * cut, size - 1) for k in range(4)]
    got = [r.replace(" ", "") for r in run.server.ranges()]
    if got != want:
        raise Failure("the server saw the ranges %r, not %r" % (got, want))


def case_cancel_yes(run):
    run.write_config(run.server.url("full.exe", rate=40 * 1024))
    run.launch()
    wid = run.dialog()
    time.sleep(2.0)
    run.click_cancel(wid)
    run.answer(PRODUCT, "y")
    run.wait_exit()
    run.expect_nothing_left()


def case_cancel_no(run):
    run.write_config(run.server.url("full.exe", rate=120 * 1024))
    run.launch()
    wid = run.dialog()
    time.sleep(1.5)
    run.click_cancel(wid)
    run.answer(PRODUCT, "n")
    run.expect_launched("full", "full.exe")
    run.wait_exit()


def case_server_failure(run):
    run.write_config(run.server.url("full.exe", status=404))
    run.launch()
    wid = run.dialog()
    time.sleep(1.0)
    os.makedirs(run.args.artifacts, exist_ok=True)
    run.screenshot(wid, os.path.join(run.args.artifacts, "download-failed.png"))
    run.wait_exit()
    run.expect_nothing_left()


def case_missing_config(run):
    run.move_to_long_folder()  # the box's caption is the program's name however long its path
    run.launch()
    run.answer(APP_NAME, "Return", text="Xml file is missing!")
    run.wait_exit()
    run.expect_nothing_left()


def case_unrecognized_url(run):
    run.write_config("http://%s.example/setup.exe" % ("h" * 2100))
    run.launch()
    run.answer(APP_NAME, "Return", text="Unrecognized URL")
    run.wait_exit()
    run.expect_nothing_left()


def case_patch_for_installed_product(run):
    run.wine("reg", "add", "HKLM\\" + INSTALLED_KEY, "/f", "/reg:64")
    try:
        run.write_config(run.server.url("full.exe"), patch=run.server.url("patch.exe"), registry=INSTALLED_KEY)
        run.launch()
        run.expect_launched("patch", "patch.exe")
        run.wait_exit()
    finally:
        run.wine("reg", "delete", "HKLM\\" + INSTALLED_KEY, "/f", "/reg:64")


def case_patch_for_32bit_copy(run):
    """A copy installed only in the 32-bit registry view gets the patch of the "32" entry, from the
    32-bit and the 64-bit build alike (each names the views it reads)."""
    run.serve_payload(run.args.patch_payload, "patch32.exe", PAYLOAD_SIZE + 4096)
    run.wine("reg", "add", "HKLM\\" + INSTALLED_KEY, "/f", "/reg:32")
    try:
        entry32 = ("    <installerInfo>\n      <os>Windows 7</os>\n      <bit>32</bit>\n"
                   "      <rlink>%s</rlink>\n      <patch>%s</patch>\n    </installerInfo>\n"
                   % (run.server.url("full.exe"), run.server.url("patch32.exe")))
        run.write_config(run.server.url("full.exe"), patch=run.server.url("patch.exe"), registry=INSTALLED_KEY,
                         more_entries=entry32)
        run.launch()
        run.expect_launched("patch", "patch32.exe")
        run.wait_exit()
    finally:
        run.wine("reg", "delete", "HKLM\\" + INSTALLED_KEY, "/f", "/reg:32")


def case_signed_installer(run):
    digest = run.serve_signed_payloads()
    run.write_config(run.server.url("signed.exe"), sha256=digest.upper(), signer=SIGNER)
    run.launch()
    run.expect_launched("full", "signed.exe")
    run.wait_exit()


def case_tampered_installer(run):
    """The server hands out a copy changed after signing: refused, deleted, never launched."""
    digest = run.serve_signed_payloads()
    run.write_config(run.server.url("tampered.exe"), sha256=digest, signer=SIGNER)
    run.launch(*run.log_switch())
    run.dialog()
    run.wait_exit()
    run.expect_nothing_left()
    report = run.installer_report()
    if not report.startswith("installer refused: SHA-256: expected %s, found " % digest):
        raise Failure("unexpected report %r" % report)


def case_not_supported_on_32bit(run):
    run.write_config(run.server.url("full.exe"))
    run.launch()
    run.answer(PRODUCT, "Return")
    run.wait_exit()
    run.expect_nothing_left()


def signature_verifies(path, ca):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path], capture_output=True,
                          timeout=60).returncode == 0


def case_packed_signed_installer(run):
    """The vendor's two commands: `torvin-kit pack` (the Windows kit) on the folder, then signing.
    The signed file verifies, and stops verifying after one byte of its pack is changed. Alone in an
    empty folder it shows the skin, downloads, checks and launches; a configuration planted beside it
    is ignored (the server only ever sees the packed link); the changed copy ends at start-up with
    the configuration's message and its own code."""
    run.write_config(run.server.url("full.exe", rate=160 * 1024))
    packed = os.path.join(run.folder, "packed.exe")
    # --force: the test server speaks plain http, which the kit's check (rightly) flags.
    run.wine(run.args.kit, "pack", windows_path(run.app), "--out", windows_path(packed),
             "--stub", windows_path(run.args.exe), "--force")
    signing = os.path.join(run.folder, "signing")
    subprocess.run([SIGN_SCRIPT, signing, packed], check=True, timeout=120, stdout=subprocess.DEVNULL)
    ca = os.path.join(signing, "ca.pem")
    with open(os.path.join(signing, "signed.exe"), "rb") as f:
        signed = f.read()
    # One byte of the configuration, inside the pack that follows the program's image.
    at = signed.rindex(b"TORVPACK") + 100
    damaged = signed[:at] + bytes([signed[at] ^ 0x20]) + signed[at + 1:]
    with open(os.path.join(signing, "damaged.exe"), "wb") as f:
        f.write(damaged)
    if not signature_verifies(os.path.join(signing, "signed.exe"), ca):
        raise Failure("osslsigncode does not verify the packed and signed file")
    if signature_verifies(os.path.join(signing, "damaged.exe"), ca):
        raise Failure("osslsigncode verifies the signed file after a byte of its pack changed")

    def alone_in(folder, program):
        run.app = os.path.join(run.folder, folder)
        os.makedirs(run.app)
        with open(os.path.join(run.app, APP_NAME + ".exe"), "wb") as f:
            f.write(program)

    alone_in("alone", signed)
    run.launch()
    check_face(run, run.dialog(), 96)
    run.expect_launched("full", "full.exe")
    run.wait_exit()

    alone_in("planted", signed)
    run.write_config(run.server.url("planted.exe"))
    run.launch()
    run.expect_launched("full", "full.exe")
    run.wait_exit()
    if set(run.server.paths()) != {"/full.exe"}:
        raise Failure("the server was asked for %r" % sorted(set(run.server.paths())))

    alone_in("damaged", damaged)
    run.write_config(run.server.url("planted.exe"))
    run.launch(*run.log_switch())
    run.answer(APP_NAME, "Return", text="Xml file is missing!")
    run.wait_exit()
    run.expect_nothing_left()
    last = run.log_lines()[-1]
    if not last.startswith("E1005 "):
        raise Failure("the damaged file's log ends with %r, not its code E1005" % last)


# The shipped skin's layout at 100 %: the status line (240,159)-(540,179) below the bar (95,135)-(540,149),
# Cancel 110 x 34 at 20 px from the right edge; mirrored, everything stands at 600 - x.
STATUS_DOWNLOADING = 2


def wait_for_status_line(run, wid, tag, state, left):
    """Waits until the window's status line, from `left`, shows the picture the installer's code
    paints for `state` in language `tag`."""
    width, height, want = run.status_line(tag, state)

    def shown():
        _, _, pixel = run.window_pixels(wid)
        got = b"".join(bytes(pixel(left + x, 159 + y)) for y in range(height) for x in range(width))
        return got == want
    wait_for("the status line of state %d in %r" % (state, tag or "[UISTRING]"), shown, 30, interval=0.5)


def case_german_user_language(run):
    """A German user (the prefix's program runs with a German locale) sees [UISTRING.de]."""
    run.write_config(run.server.url("full.exe", rate=48 * 1024))
    run.launch(locale="de_DE.UTF-8")
    wid = run.dialog()
    buttons = run.buttons()
    if buttons[1000][4] != "Abbrechen" or buttons[1001][4] != "Probleme beim Download?":
        raise Failure("the buttons say %r and %r" % (buttons[1000][4], buttons[1001][4]))
    wait_for_status_line(run, wid, "de", STATUS_DOWNLOADING, 240)
    os.makedirs(run.args.artifacts, exist_ok=True)
    run.screenshot(wid, os.path.join(run.args.artifacts, "face-german.png"))


def case_arabic_user_language(run):
    """An Arabic user sees the mirrored face: the buttons change sides, the bar fills from its right
    end, the status line stands at the bar's left end."""
    run.write_config(run.server.url("full.exe", rate=32 * 1024))
    run.launch(locale="ar_EG.UTF-8")
    wid = run.dialog()
    buttons = run.buttons()
    if buttons[1000][:4] != (20, 266, 130, 300):
        raise Failure("Cancel stands at %r, not in the bottom left corner" % (buttons[1000][:4],))
    if buttons[1001][0] != 148:
        raise Failure("the link stands at %r, not right of Cancel" % (buttons[1001][:4],))
    left, right, middle = 600 - 540, 600 - 95, 142

    def fill_from_the_right():
        width, height, pixel = run.window_pixels(wid)
        r, g, b = pixel(right - 3, middle)
        return (width, height, pixel) if b > 150 and b > r + 80 else None
    _, _, pixel = wait_for("the bar's fill at its right end", fill_from_the_right, 60, interval=0.5)
    if pixel(left + 3, middle) != (29, 29, 29):
        raise Failure("the bar's left end shows %s, not the empty track" % (pixel(left + 3, middle),))
    # Cancel's own image, as it is, in the mirrored place; the place left to right shows none of it.
    cancel = subprocess.run(["/usr/bin/convert", os.path.join(run.args.skin, "Cancel_N.jpg"), "-depth", "8",
                             "ppm:-"], capture_output=True, check=True, timeout=60).stdout.split(b"\n", 3)[3]

    def distance(x0, y0):
        total = 0
        for y in range(34):
            for x in range(110):
                want = cancel[(y * 110 + x) * 3:(y * 110 + x) * 3 + 3]
                total += sum(abs(a - b) for a, b in zip(pixel(x0 + x, y0 + y), want))
        return total / (110 * 34 * 3)
    if distance(20, 266) > 12 or distance(600 - 130, 266) < 30:
        raise Failure("Cancel's image is not where the mirrored layout puts it (%.1f, %.1f)"
                      % (distance(20, 266), distance(600 - 130, 266)))
    wait_for_status_line(run, wid, "ar", STATUS_DOWNLOADING, left)
    os.makedirs(run.args.artifacts, exist_ok=True)
    run.screenshot(wid, os.path.join(run.args.artifacts, "face-arabic.png"))


# -- the command line, the exit codes, the log and the report ---------------------------------------
def expect_no_window_until_exit(run):
    """Watches the window list until the installer ends: neither its dialog nor a message box of its
    own may ever appear."""
    deadline = time.monotonic() + 90 * time_scale
    while run.installer.poll() is None:
        if time.monotonic() > deadline:
            raise Failure("the installer did not end")
        shown = run.xdotool("search", "--classname", "torvinwebinstaller")
        shown += run.xdotool("search", "--name", "^(%s|%s)$" % (re.escape(PRODUCT), APP_NAME))
        if shown:
            raise Failure("a window appeared: %s" % ", ".join(shown))
        time.sleep(0.1)


def case_quiet_launch(run):
    """/quiet downloads and launches with no window, ends with 0, and the installer is given the words
    after "--" exactly."""
    words = ["/S", "D:\\My Apps\\", 'say "hi"', "two  spaces", "back\\\\slash\\\"q", "", "-- /quiet"]
    run.write_config(run.server.url("full.exe", rate=320 * 1024))  # two seconds to look for windows in
    run.launch("/quiet", "--", *words)
    expect_no_window_until_exit(run)
    run.expect_exit_code(0)
    run.expect_launched("full", "full.exe")
    if run.launch_arguments() != words:
        raise Failure("the installer was given %r, not %r" % (run.launch_arguments(), words))


def case_quiet_failure(run):
    """/quiet against a failing server: no window, exit code 1603, the error code last in the log."""
    run.write_config(run.server.url("full.exe", status=404))
    run.launch("/quiet", *run.log_switch())
    expect_no_window_until_exit(run)
    run.expect_exit_code(EXIT_FAILED)
    run.expect_nothing_left()
    last = run.log_lines()[-1]
    if not re.match(r"E2\d{3} exit code 1603: ", last):
        raise Failure("the log ends with %r" % last)


def case_wait_for_installer(run):
    run.write_config(run.server.url("full.exe"))
    run.launch("-QUIET", "/wait", payload_exit=42)
    run.expect_exit_code(42)
    run.expect_launched("full", "full.exe")


def case_passive_cancel(run):
    """/passive: Cancel stops at once, without a question, with 1602 and nothing left."""
    run.write_config(run.server.url("full.exe", rate=40 * 1024))
    run.launch("/passive")
    wid = run.dialog()
    time.sleep(1.5)
    run.click_cancel(wid)
    run.expect_exit_code(EXIT_CANCELLED)
    run.expect_nothing_left()


def case_unknown_switch(run):
    run.write_config(run.server.url("full.exe"))
    run.launch("/silent")
    run.answer(APP_NAME, "Return")
    run.expect_exit_code(EXIT_COMMAND_LINE)
    if run.server.ranges():
        raise Failure("the server was asked for %r" % run.server.ranges())
    run.expect_nothing_left()


def case_log_of_drop_and_redirect(run):
    """The log of a download through a redirect whose transfer drops once and resumes."""
    cut = 200 * 1024
    target = run.server.url("full.exe", cut=cut, cuts=1)
    run.write_config(run.server.url("moved.exe", redirect=target))
    run.launch(*run.log_switch())
    run.dialog()
    run.expect_launched("full", "full.exe")
    run.expect_exit_code(0)
    lines = run.log_lines()
    wanted = {
        "the redirect": "redirected to " + target,
        "the drop": "dropped: the connection was lost",
        "the retry": "retry in ",
        "the resume": "bytes %d-%d If-Range " % (cut, os.path.getsize(os.path.join(run.www, "full.exe")) - 1),
        "the checks": "installer checks passed",
    }
    for what, text in wanted.items():
        if not any(text in line for line in lines):
            raise Failure("the log shows no line of %s (%r):\n%s" % (what, text, "\n".join(lines)))
    if lines[-1] != "exit code 0":
        raise Failure("the log ends with %r" % lines[-1])


REPORT_FIELDS = {"outcome", "code", "startup_ms", "probe_ms", "transfer_ms", "checks_ms", "launch_ms", "received",
                 "size", "tries", "restarts", "version", "os", "bit", "scale", "lang", "proxy"}


def case_report(run):
    """The vendor's report reaches the server with the run's figures and nothing else. The payload
    comes over https too, as a vendor's would: Wine's first certificate check in a process (its
    root store read from the host) can take longer than the report's time limit."""
    ports = run.start_report_server()
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    certs = os.path.dirname(ports["ca"])
    tls.load_cert_chain(os.path.join(certs, "good.crt"), os.path.join(certs, "good.key"))
    run.server.close()
    run.server = FileServer(run.www, tls)
    run.write_config(run.server.url("full.exe"), report="https://localhost:%d/report/e2e" % ports["https"])
    run.launch(*run.log_switch())
    run.expect_launched("full", "full.exe")
    run.expect_exit_code(0)
    reports = urllib.request.urlopen("http://127.0.0.1:%d/log/e2e" % ports["http"], timeout=30).read().decode()
    lines = reports.split()
    if len(lines) != 1:
        raise Failure("the server saw the reports %r; the log:\n%s" % (lines, "\n".join(run.log_lines()[-4:])))
    fields = dict(urllib.parse.parse_qsl(lines[0], keep_blank_values=True))
    if set(fields) != REPORT_FIELDS:
        raise Failure("the report's fields are %r" % sorted(fields))
    size = str(os.path.getsize(os.path.join(run.www, "full.exe")))
    want = {"outcome": "launched", "code": "", "received": size, "size": size,
            "bit": "64" if not run.args.win32 else "32", "proxy": "0"}
    for name, value in want.items():
        if fields[name] != value:
            raise Failure("the report says %s=%r, not %r" % (name, fields[name], value))


def case_report_never_answered(run):
    """A report address that holds its answer delays the end of the run by its time limit at most,
    and the launch not at all."""
    ports = run.start_report_server()
    run.write_config(run.server.url("full.exe"),
                     report="https://localhost:%d/report/slow?header_delay=60000" % ports["https"])
    run.launch()
    run.expect_launched("full", "full.exe")
    launched = time.monotonic()
    run.expect_exit_code(0)
    waited = time.monotonic() - launched
    if waited > 2 + 4 * time_scale:  # the report's 2 s, and room for Wine to end the process
        raise Failure("the installer ended %.1f s after the launch" % waited)


# Active Accessibility's roles and states, as the reader probe prints them.
ROLE = {"dialog": 0x12, "progress bar": 0x30, "static text": 0x29, "push button": 0x2b, "link": 0x1e}
STATE_UNAVAILABLE, STATE_FOCUSED, STATE_LINKED = 0x1, 0x4, 0x400000


def read_face(run):
    """The dialog as a screen reader gets it: [(role, state, name, value, action)], the window first."""
    items = []
    for line in run.probe("reader").decode("utf-8").splitlines():
        _, role, state, rest = line.split(" ", 3)
        items.append((int(role, 16), int(state, 16), *rest.split("|")))
    if len(items) != 5:
        raise Failure("the reader found %d objects: %r" % (len(items), items))
    return items


def expect_face(run, status, value, cancel_unavailable):
    window, progress, status_line, cancel, link = read_face(run)
    checks = [
        ("window", window[0] == ROLE["dialog"] and window[2] == PRODUCT),
        ("progress", progress[0] == ROLE["progress bar"] and re.fullmatch(value, progress[3])),
        ("status", status_line[0] == ROLE["static text"] and status_line[2] == status),
        ("Cancel", cancel[0] == ROLE["push button"] and cancel[2] == "Cancel" and cancel[4] == "Press"
         and bool(cancel[1] & STATE_UNAVAILABLE) == cancel_unavailable),
        ("link", link[0] == ROLE["link"] and link[2] == "Problems downloading?" and link[3] == run.help_address
         and link[1] & STATE_LINKED),
    ]
    for what, ok in checks:
        if not ok:
            raise Failure("the reader's %s is wrong: %r" % (what, (window, progress, status_line, cancel, link)))
    return cancel, link


class EventListener:
    """window_probe events, from another process than the installer's, while the case runs."""
    def __init__(self, run, seconds):
        self.process = subprocess.Popen([run.args.wine_run, run.args.window_probe, "events", str(seconds)],
                                        env=run.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if self.process.stdout.readline().strip() != b"listening":
            raise Failure("the event listener did not start")

    def lines(self, timeout=90):
        out, _ = self.process.communicate(timeout=timeout * time_scale)
        return out.decode("utf-8").splitlines()

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def use_help_program(run):
    """Points the help link at a copy of the patch payload, which records that it was opened."""
    folder = os.path.join(run.app, "help")
    os.makedirs(folder)
    shutil.copy(run.args.patch_payload, os.path.join(folder, "help.exe"))
    run.help_address = "Z:" + os.path.join(folder, "help.exe").replace("/", "\\")
    ini = os.path.join(run.app, "TorvinWebInstallerString.ini")
    with open(ini, encoding="utf-16") as f:
        text = f.read()
    text = re.sub(r"(?m)^IDS_DOWNLOAD_PROBLEM_RLINK=.*$", lambda _: "IDS_DOWNLOAD_PROBLEM_RLINK=" + run.help_address, text)
    with open(ini, "w", encoding="utf-16", newline="") as f:
        f.write(text)
    return os.path.join(folder, "launch-record.txt")


def press(run, wid, *keys):
    run.xdotool("windowfocus", "--sync", wid)
    time.sleep(0.3)
    for key in keys:
        run.xdotool("key", "--window", wid, key)
        time.sleep(0.3)


def heard(events, kind, child, name, value=None):
    """The listener's first line of this event on this child with this name (and value, a pattern):
    (state, value), or None."""
    for line in events:
        match = re.fullmatch(r"(\w+) (\d+) ([0-9a-f-]+) ([^|]*)\|(.*)", line)
        if match and match.group(1) == kind and int(match.group(2)) == child and match.group(4) == name and \
                (value is None or re.fullmatch(value, match.group(5))):
            return int(match.group(3), 16), match.group(5)
    return None


def case_keyboard_and_reader(run):
    """A keyboard user reaches the help link with Tab and opens it with Enter, then Cancel with Tab
    and asks the question with Space; a screen reader reads the face while downloading, and hears
    from another process the focus moves, the percentages and, once cancelled, the new status
    text and the unavailable Cancel."""
    help_record = use_help_program(run)
    run.write_config(run.server.url("full.exe", rate=24 * 1024))
    run.launch()
    wid = run.dialog()
    if subprocess.run(["xdotool", "getwindowname", wid], env=run.env, capture_output=True, text=True,
                      timeout=30).stdout.strip() != PRODUCT:
        raise Failure("the window's own text is not the product's name")
    wait_for("a percentage for the reader", lambda: re.fullmatch(r"\d+%", read_face(run)[1][3]), 30, interval=0.5)
    expect_face(run, "Downloading...", r"\d+%", False)
    listener = EventListener(run, 60)
    try:
        link = run.buttons()[1001]
        ring_at = (link[0] + 2, (link[1] + link[3]) // 2)
        if run.window_pixels(wid)[2](*ring_at) == (255, 255, 255):
            raise Failure("a focus ring shows before the keyboard was used")
        press(run, wid, "Tab")
        if not read_face(run)[4][1] & STATE_FOCUSED:
            raise Failure("Tab did not move the focus to the help link")
        if run.window_pixels(wid)[2](*ring_at) != (255, 255, 255):
            raise Failure("no focus ring round the help link after Tab")
        press(run, wid, "Return")
        wait_for("the help link's program", lambda: os.path.exists(help_record), 30)
        press(run, wid, "Tab", "space")
        run.answer(PRODUCT, "y")
        run.wait_exit()
        events = listener.lines()
    finally:
        listener.close()
    run.expect_nothing_left()
    checks = {
        "the focus on the link": heard(events, "focus", 4, "Problems downloading?", re.escape(run.help_address)),
        "the focus back on Cancel": heard(events, "focus", 3, "Cancel"),
        "a new percentage": heard(events, "value", 1, PRODUCT, r"\d+%"),
        "the new status text": heard(events, "name", 2, "Cancelling..."),
        "Cancel's new state": heard(events, "state", 3, "Cancel"),
    }
    for what, found in checks.items():
        if not found:
            raise Failure("the listener did not hear %s: %r" % (what, events))
    if not checks["Cancel's new state"][0] & STATE_UNAVAILABLE:
        raise Failure("Cancel is not unavailable once cancelled: %r" % events)


def case_reader_completed(run):
    """A screen reader hears the completed download: the status text and the full bar."""
    run.write_config(run.server.url("full.exe", rate=320 * 1024))
    run.launch()
    run.dialog()
    listener = EventListener(run, 60)
    try:
        run.expect_launched("full", "full.exe")
        run.wait_exit()
        events = listener.lines()
    finally:
        listener.close()
    if not heard(events, "name", 2, "Download completed.") or not heard(events, "value", 1, PRODUCT, "100%"):
        raise Failure("the listener did not hear the completed download: %r" % events)


def case_demo(run):
    """The whole product, slowly enough to watch: download, screenshot, checks, launch."""
    digest = run.serve_signed_payloads()
    run.write_config(run.server.url("signed.exe", rate=96 * 1024), sha256=digest, signer=SIGNER)
    run.launch(*run.log_switch())
    wid = run.dialog()
    time.sleep(3.0)
    run.screenshot(wid, os.path.join(run.folder, "mid-download.png"))
    run.expect_launched("full", "signed.exe")
    run.wait_exit()
    print("checks:          %s" % run.installer_report())
    print("log:             %s" % os.path.join(run.folder, "run.log"))
    print("screenshot:      %s" % os.path.join(run.folder, "mid-download.png"))
    print("downloaded file: %s" % run.downloaded())
    print("launch record:   %s (%s)" % (os.path.join(run.app, "launch-record.txt"), run.launch_record()))


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--payload", required=True)
    parser.add_argument("--patch-payload", required=True)
    parser.add_argument("--exit-code", help="the program that starts another and tells its exit code (without it, "
                        "the installer is started by Wine directly and its exit code is not known)")
    parser.add_argument("--message-text", help="the program that reads a message box's text (the cases that check it)")
    parser.add_argument("--kit", help="torvin-kit.exe (the cases that pack the installer)")
    parser.add_argument("--window-probe", help="the program that reads the dialog's buttons and paints a status line")
    parser.add_argument("--skin", required=True, help="folder of the skin images and the texts file")
    parser.add_argument("--prefix", required=True, help="the Wine prefix of this run")
    parser.add_argument("--win32", action="store_true", help="the prefix is a 32-bit one")
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--trust-root", required=True, help="the program that trusts a test CA in the prefix")
    parser.add_argument("--artifacts", required=True, help="where screenshots are kept")
    parser.add_argument("--dpi", type=int, default=96, help="the DPI the prefix reports")
    parser.add_argument("--screen", default="1024x768", help="the virtual screen's size")
    parser.add_argument("--keep", help="run in this folder and keep it (and use $DISPLAY if there is one)")
    parser.add_argument("--time-scale", type=float, default=1.0,
                        help="multiplies the waits for Wine and the product (for emulated runs)")
    args = parser.parse_args()
    global time_scale
    time_scale = args.time_scale
    run = Run(args)
    try:
        run.start()
        CASES[args.case](run)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        run.close()
    print("passed: %s" % args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
