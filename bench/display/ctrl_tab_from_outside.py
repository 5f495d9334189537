#!/usr/bin/env python3
"""Ctrl+Tab held through 100 loaded tabs, measured wholly from outside the browser: real key events
through the X server (xdotool: Tab every 33 ms with Ctrl down) and the window's updates as the X
server saw them (zemblo_window_updates), with the CPU share of the browser's own process. Each
browser given is started in a home of its own with 100 pages, each page shown once and left to
load, in turns, so that the machine's other load falls on all of them alike. Ours gets the pages
as a saved session; any other browser (no "zemblo" in its path) as its arguments.

    ctrl_tab_from_outside.py [--seconds S] [--rounds R] [--tabs N] BROWSER...

Run it on a display of 1440 x 920 inside a D-Bus session, for example:
    scripts/lib/test-session.sh bench/display/ctrl_tab_from_outside.py \\
        build/release/src/zemblo-browser /usr/bin/epiphany
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import uuid
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
UPDATES = os.path.join(HERE, "..", "..", "build", "release", "bench", "zemblo_window_updates")
TICKS = os.sysconf("SC_CLK_TCK")


class Pages(BaseHTTPRequestHandler):
    """Page N: a heading, twenty paragraphs and a picture, as the frame benchmarks serve them."""

    def log_message(self, *args):
        pass

    def do_GET(self):
        n = int(re.sub(r"\D", "", self.path) or 0)
        if self.path.startswith("/picture/"):
            body = (f"<svg xmlns='http://www.w3.org/2000/svg' width='320' height='180'>"
                    f"<rect width='320' height='180' fill='hsl({n * 37 % 360},60%,60%)'/></svg>")
            kind = "image/svg+xml"
        else:
            body = (f"<!doctype html><meta charset='utf-8'><title>Page {n}</title>"
                    f"<body style='font:16px sans-serif;margin:40px'><h1>Page {n}</h1>" +
                    "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod "
                    "tempor incididunt ut labore et dolore magna aliqua.</p>" * 20 +
                    f"<img width='320' height='180' src='/picture/{n}.svg'>")
            kind = "text/html; charset=utf-8"
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def session(pages):
    space = {"id": str(uuid.uuid4()).upper(), "name": "Personal", "symbol": "sparkles",
             "colorA": "#7B61FF", "colorB": "#FF6FB5"}
    space["tabs"] = [{"id": str(uuid.uuid4()).upper(), "url": page, "title": f"Page {n}"}
                     for n, page in enumerate(pages)]
    space["selectedTabID"] = space["tabs"][0]["id"]
    return {"spaces": [space], "currentSpaceID": space["id"], "favorites": [],
            "sidebarVisible": True}


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout


def measure(browser, origin, tabs, seconds):
    home = tempfile.mkdtemp(prefix="zemblo-ctrl-tab-")
    process = None
    try:
        folders = {name: os.path.join(home, name) for name in ("data", "config", "cache")}
        for folder in folders.values():
            os.makedirs(folder)
        pages = [f"{origin}/page/{n}" for n in range(tabs)]
        ours = "zemblo" in os.path.basename(browser)
        if ours:
            os.makedirs(os.path.join(folders["data"], "Zemblo Browser"))
            with open(os.path.join(folders["data"], "Zemblo Browser", "session.json"), "w") as out:
                json.dump(session(pages), out)
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=folders["data"],
                   XDG_CONFIG_HOME=folders["config"], XDG_CACHE_HOME=folders["cache"])
        process = subprocess.Popen([browser] + ([] if ours else pages), env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = xdotool("search", "--sync", "--onlyvisible", "--pid", str(process.pid)).split()[-1]
        time.sleep(3)
        # Every page shown once and given the time to load.
        for _ in range(tabs):
            xdotool("windowfocus", "--sync", window, "key", "ctrl+Tab")
            time.sleep(0.5)
        time.sleep(3)
        hold = subprocess.Popen(
            ["xdotool", "windowfocus", "--sync", window, "keydown", "ctrl", "key", "--delay", "0",
             "--repeat", str(int((seconds + 2) * 30)), "--repeat-delay", "33", "Tab", "keyup",
             "ctrl"])
        time.sleep(1)
        before, started = cpu_seconds(process.pid), time.monotonic()
        updates = subprocess.run([UPDATES, window, str(seconds)], capture_output=True,
                                 text=True).stdout.strip()
        cpu = 100 * (cpu_seconds(process.pid) - before) / (time.monotonic() - started)
        hold.wait()
        return updates, cpu
    finally:
        if process:
            process.terminate()
            try:
                process.wait(20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--rounds", type=int, default=1)
    parser.add_argument("--tabs", type=int, default=100)
    parser.add_argument("browsers", nargs="+")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Pages)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    origin = f"http://127.0.0.1:{server.server_address[1]}"
    try:
        for _ in range(args.rounds):
            for browser in args.browsers:
                updates, cpu = measure(browser, origin, args.tabs, args.seconds)
                print(f"{browser}: {updates}; browser process {cpu:.1f}% of a core", flush=True)
    finally:
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
