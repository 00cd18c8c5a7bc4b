#!/usr/bin/env python3
"""Resident memory of the real client after start and after N turns.

Starts a private Xvfb, tovi-bot on the client's built-in port and a fresh copy
of tovi-chat; reads VmRSS once the window is up, types a sentence, presses
Enter N times (the input box keeps its text, so each Enter is a turn) and
reads VmRSS again once the client has gone idle.

  memory_run.py --build BUILD_DIR --port PORT [--turns 1000]
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--turns", type=int, default=1000)
    args = ap.parse_args()
    work = tempfile.mkdtemp(prefix="tovi-bench-mem-")
    procs = []
    try:
        r, w = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], pass_fds=(w,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        os.close(w)
        procs.append(xvfb)
        display = ":" + os.fdopen(r).readline().strip()
        env = dict(os.environ, DISPLAY=display)
        env.pop("SDL_VIDEODRIVER", None)
        bot_log = os.path.join(work, "bot.log")
        bot = subprocess.Popen([os.path.join(args.build, "tovi-bot"), "--port", str(args.port),
                                "--verbose"],
                               env=dict(os.environ, XDG_CACHE_HOME=os.path.join(work, "cache")),
                               stdout=open(bot_log, "w"), stderr=subprocess.DEVNULL, text=True)
        procs.append(bot)
        for _ in range(100):
            if "listening" in open(bot_log).read():
                break
            time.sleep(0.05)
        app = os.path.join(work, "app")
        os.makedirs(app)
        shutil.copy2(os.path.join(args.build, "tovi-chat"), app)
        client = subprocess.Popen([os.path.join(app, "tovi-chat")], cwd="/", env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(client)
        x = lambda *a: subprocess.run(["xdotool", *a], env=env, capture_output=True, text=True)
        wid = ""
        for _ in range(100):
            wid = x("search", "--name", "Tovi").stdout.split()
            if wid:
                wid = wid[0]
                break
            time.sleep(0.1)
        time.sleep(1.0)
        after_start = rss_kib(client.pid)
        x("windowfocus", "--sync", wid)
        x("type", "--delay", "20", "hi")
        started = time.time()
        x("key", "--repeat", str(args.turns), "--delay", "5", "Return")
        # Idle: no CPU used for two seconds in a row.
        last, quiet = cpu_ticks(client.pid), 0
        while quiet < 20 and time.time() - started < 600:
            time.sleep(0.1)
            now = cpu_ticks(client.pid)
            quiet = quiet + 1 if now == last else 0
            last = now
        elapsed = time.time() - started - 2.0
        after_turns = rss_kib(client.pid)
        requests = sum(1 for line in open(bot_log) if line.startswith("GET "))
        print("rss_after_start_KiB=%d rss_after_%d_turns_KiB=%d turns_wall_s=%.1f requests=%d" %
              (after_start, requests, after_turns, elapsed, requests))
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
