#!/usr/bin/env python3
"""The real tovi-chat under its own Xvfb, talking to a local tovi-bot.

Copies the client alone into a fresh folder, starts it from "/", types a
sentence with xdotool and checks the window by screenshot pixels: size,
caption colour, input box, the user's and the bot's bubbles, and the layout
after a resize to 800 x 600. Exit 0 passed, 1 failed, 77 skipped (a tool is
missing, or the built-in chatbot host is not a local port).

  end_to_end.py --client PATH --bot PATH --host HOST:PORT
"""
import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
OWN_BUBBLE = (0x1A, 0x49, 0x7D)
OTHER_BUBBLE = (0xE5, 0xE5, 0xE5)
CAPTION = (0x00, 0x88, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)


class Image:
    def __init__(self, ppm):
        magic, w, h, maxval, rest = ppm.split(maxsplit=4)
        assert magic == b"P6" and maxval == b"255"
        self.w, self.h, self.px = int(w), int(h), rest

    def at(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])

    def count(self, colour, x0, y0, x1, y1, tol=6):
        n = 0
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[(y * self.w) * 3:(y * self.w + self.w) * 3]
            for x in range(max(0, x0), min(self.w, x1)):
                p = row[x * 3:x * 3 + 3]
                if all(abs(p[i] - colour[i]) <= tol for i in range(3)):
                    n += 1
        return n

    def dark(self, x0, y0, x1, y1):
        n = 0
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                if sum(self.at(x, y)) < 300:
                    n += 1
        return n


class Run:
    def __init__(self, args):
        self.args = args
        self.dir = tempfile.mkdtemp(prefix="tovi-e2e-")
        self.procs = []
        self.failed = 0
        self.env = None
        self.client = None

    def check(self, name, ok, detail=""):
        print(("ok    " if ok else "FAIL  ") + name + ("" if ok or not detail else " -- %s" % detail))
        if not ok:
            self.failed += 1
        return ok

    def start_x(self):
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], pass_fds=(write_fd,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.procs.append(xvfb)
        number = b""
        with os.fdopen(read_fd, "rb") as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.decode())
        self.env.pop("SDL_VIDEODRIVER", None)
        self.env.pop("WAYLAND_DISPLAY", None)

    def start_bot(self, port):
        env = dict(os.environ, XDG_CACHE_HOME=os.path.join(self.dir, "cache"))
        bot = subprocess.Popen([self.args.bot, "--port", str(port)], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.procs.append(bot)
        line = bot.stdout.readline()
        if "listening" not in line:
            raise RuntimeError("tovi-bot did not start: " + bot.stderr.read())

    def start_client(self):
        app = os.path.join(self.dir, "app")
        os.makedirs(app)
        self.app = os.path.join(app, "tovi-chat")
        shutil.copy2(self.args.client, self.app)
        self.client_log = open(os.path.join(self.dir, "client.log"), "w")
        self.client = subprocess.Popen([self.app], cwd="/", env=self.env, stdout=self.client_log,
                                       stderr=subprocess.STDOUT)

    def x(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)

    def wait_window(self, timeout=20):
        end = time.time() + timeout
        while time.time() < end:
            if self.client.poll() is not None:
                raise RuntimeError("client exited with %s" % self.client.returncode)
            # Only a window that is mapped and answers a geometry query counts.
            for wid in self.x("search", "--onlyvisible", "--name", "Tovi").stdout.split():
                if "WIDTH=" in self.x("getwindowgeometry", "--shell", wid).stdout:
                    return wid
            time.sleep(0.1)
        raise RuntimeError("no window titled with Tovi appeared")

    def geometry(self, wid):
        out = self.x("getwindowgeometry", "--shell", wid).stdout
        vals = dict(line.split("=", 1) for line in out.split() if "=" in line)
        if not all(k in vals for k in ("X", "Y", "WIDTH", "HEIGHT")):
            raise RuntimeError("window %s has no geometry: %r" % (wid, out))
        return int(vals["X"]), int(vals["Y"]), int(vals["WIDTH"]), int(vals["HEIGHT"])

    def shot(self, name):
        png = os.path.join(self.dir, name + ".png")
        subprocess.run(["import", "-window", "root", png], env=self.env, check=True,
                       capture_output=True)
        ppm = subprocess.run(["convert", png, "ppm:-"], capture_output=True, check=True).stdout
        return Image(ppm)

    def wait_for(self, name, test, timeout=10):
        """Screenshots until TEST(image) holds or TIMEOUT passes; the last image."""
        end = time.time() + timeout
        while True:
            img = self.shot(name)
            if test(img) or time.time() > end:
                return img
            time.sleep(0.3)

    def stop(self):
        if self.client and self.client.poll() is None:
            self.client.send_signal(signal.SIGTERM)
            try:
                self.client.wait(5)
            except subprocess.TimeoutExpired:
                self.client.kill()
                self.client.wait()
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


def port_free(port):
    with socket.socket() as s:
        try:
            s.bind(("127.0.0.1", port))
            return True
        except OSError:
            return False


def scenario(run, port):
    run.start_x()
    run.start_bot(port)
    run.start_client()
    wid = run.wait_window()
    time.sleep(0.5)
    app_dir = os.path.dirname(run.app)
    run.check("carried library written next to the client",
              os.path.isfile(os.path.join(app_dir, "libexdui.dll")))
    theme = os.path.join(app_dir, "Default.ext")
    run.check("carried theme written, starting with EXPK",
              os.path.isfile(theme) and open(theme, "rb").read(4) == b"EXPK")
    x, y, w, h = run.geometry(wid)
    run.check("window is 600 x 500", (w, h) == (600, 500), (w, h))
    img = run.wait_for("start", lambda i: i.count(CAPTION, x + 100, y + 2, x + 400, y + 40) > 3000)
    run.check("caption strip is blue", img.count(CAPTION, x + 100, y + 2, x + 400, y + 40) > 3000)
    run.check("input box at (10, 440, 580 x 50) is white",
              img.count(WHITE, x + 12, y + 442, x + 588, y + 488, tol=3) > 0.95 * 576 * 46)

    run.x("windowfocus", "--sync", wid)
    run.x("type", "--delay", "30", "hi")
    run.x("key", "Return")
    bubbles = lambda i: (i.count(OWN_BUBBLE, x + 300, y + 42, x + 540, y + 430) > 400 and
                         i.count(OTHER_BUBBLE, x + 60, y + 42, x + 300, y + 430) > 400)
    img = run.wait_for("after-hi", bubbles)
    run.check("user bubble on the right in #1A497D",
              img.count(OWN_BUBBLE, x + 300, y + 42, x + 540, y + 430) > 400)
    run.check("bot bubble on the left in #E5E5E5",
              img.count(OTHER_BUBBLE, x + 60, y + 42, x + 300, y + 430) > 400)
    run.check("no user bubble below the transcript",
              img.count(OWN_BUBBLE, x, y + 430, x + 600, y + 500) == 0)
    run.check("typed text stays in the input box", img.dark(x + 10, y + 440, x + 590, y + 490) > 20)

    run.x("windowsize", "--sync", wid, "800", "600")
    # Unpainted screen is black, so the new input box must show white too.
    moved = lambda i: i.count(WHITE, x + 12, y + 542, x + 788, y + 588, tol=3) > 0.8 * 776 * 46
    img = run.wait_for("after-resize", moved)
    # The content is checked where the window was; only the size is read anew.
    _, _, w, h = run.geometry(wid)
    run.check("window resized to 800 x 600", (w, h) == (800, 600), (w, h))
    text_px = img.dark(x + 10, y + 540, x + 790, y + 590)
    white_px = img.count(WHITE, x + 12, y + 542, x + 788, y + 588, tol=3)
    run.check("input box moved to (10, 540, 780 x 50), its text with it",
              text_px > 20 and white_px > 0.8 * 776 * 46,
              "window at (%d, %d); %d text and %d white pixels" % (x, y, text_px, white_px))
    run.check("old input box place now belongs to the transcript",
              img.dark(x + 10, y + 445, x + 590, y + 485) == 0)
    run.check("user bubble follows the wider transcript's right edge",
              img.count(OWN_BUBBLE, x + 545, y + 42, x + 740, y + 530) > 100)

    # "清屏" typed in Chinese: the transcript empties and the bot's answer is
    # the only bubble left.
    run.x("key", "ctrl+a")
    run.x("key", "BackSpace")
    run.x("type", "--delay", "60", "清屏")
    run.x("key", "Return")
    cleared = lambda i: (i.count(OWN_BUBBLE, x + 10, y + 42, x + 790, y + 530) == 0 and
                         i.count(OTHER_BUBBLE, x + 60, y + 42, x + 400, y + 530) > 400)
    img = run.wait_for("after-clear", cleared)
    run.check("清屏 empties the transcript, the answer the only bubble", cleared(img))
    run.check("client still running", run.client.poll() is None)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    ap.add_argument("--bot", required=True)
    ap.add_argument("--host", required=True)
    args = ap.parse_args()
    for tool in ("Xvfb", "xdotool", "import", "convert"):
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return SKIP
    host, _, port = args.host.rpartition(":")
    if host not in ("127.0.0.1", "localhost") or not port.isdigit():
        print("skipped: the client is built for %s, not a local port" % args.host)
        return SKIP
    port = int(port)
    if not port_free(port):
        print("skipped: port %d is taken, the local bot cannot listen there" % port)
        return SKIP
    run = Run(args)
    try:
        scenario(run, port)
    except (RuntimeError, subprocess.CalledProcessError) as e:
        run.check("client starts and shows its window", False, e)
    finally:
        run.stop()
    if run.failed:
        print("screenshots and the client's log are in " + run.dir)
        return 1
    shutil.rmtree(run.dir, ignore_errors=True)
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
