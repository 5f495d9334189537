#!/usr/bin/env python3
"""The CPU share of the browser's own process, as a new user meets it: a still page, then one
download running with its list closed, then with the list open. Each browser given is started in
a home of its own, in turns, so that the machine's other load falls on all of them alike.

    ui_process_cpu.py [--seconds S] [--rounds R] BROWSER...

Run it on a display of 1440 x 920 inside a D-Bus session, for example:
    dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24" \\
        bench/display/ui_process_cpu.py build/before/src/zemblo-browser build/bench/src/zemblo-browser
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def tree_of(pid):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    parent = int(stat.read().rsplit(")", 1)[1].split()[1])
            except OSError:
                continue
            children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        each = todo.pop()
        found.append(each)
        todo.extend(children.get(each, []))
    return found


def tree_seconds(pids):
    total = 0.0
    for pid in pids:
        try:
            total += cpu_seconds(pid)
        except OSError:
            pass
    return total


def share(pid, seconds):
    """The process's share of a core, and its whole tree's, over `seconds`."""
    tree = tree_of(pid)
    before, whole, started = cpu_seconds(pid), tree_seconds(tree), time.monotonic()
    time.sleep(seconds)
    spent = time.monotonic() - started
    return (100 * (cpu_seconds(pid) - before) / spent,
            100 * (tree_seconds(tree) - whole) / spent)


def session(page):
    space = {"id": str(uuid.uuid4()).upper(), "name": "Personal", "symbol": "sparkles",
             "colorA": "#7B61FF", "colorB": "#FF6FB5"}
    tab = {"id": str(uuid.uuid4()).upper(), "url": page, "title": "Later"}
    space["tabs"] = [tab]
    space["selectedTabID"] = tab["id"]
    return {"spaces": [space], "currentSpaceID": space["id"], "favorites": [],
            "sidebarVisible": True}


def window_geometry(pid):
    ids = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True, timeout=60).stdout.split()
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", ids[-1]],
                         capture_output=True, text=True).stdout
    values = dict(line.split("=") for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def measure(browser, origin, seconds, rate, shot=None):
    home = tempfile.mkdtemp(prefix="zemblo-cpu-")
    try:
        folders = {name: os.path.join(home, name) for name in ("data", "config", "cache")}
        for folder in folders.values():
            os.makedirs(folder)
        data = os.path.join(folders["data"], "Zemblo Browser")
        os.makedirs(data)
        settle = 4
        # The download starts once the still page has been measured.
        later = f"{origin}/later?after={int(settle + seconds + 1)}&bytes=4000000000&rate={rate}"
        with open(os.path.join(data, "session.json"), "w") as out:
            json.dump(session(later), out)
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=folders["data"],
                   XDG_CONFIG_HOME=folders["config"], XDG_CACHE_HOME=folders["cache"])
        ours = "zemblo" in os.path.basename(browser)
        started = time.monotonic()
        process = subprocess.Popen([browser] + ([] if ours else [later]), env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            x, y, width, height = window_geometry(process.pid)
            time.sleep(max(0.0, settle - (time.monotonic() - started)))
            still = share(process.pid, seconds)
            downloads = os.path.join(home, "Downloads")
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline and not (
                    os.path.isdir(downloads) and
                    any(name.startswith("slow") for name in os.listdir(downloads))):
                time.sleep(0.1)
            if time.monotonic() >= deadline:
                print(f"{browser}: the download did not start", file=sys.stderr)
            time.sleep(1)
            closed = share(process.pid, seconds)
            # The downloads button: first in the sidebar's bottom bar.
            subprocess.run(["xdotool", "mousemove", str(x + 24), str(y + height - 26)] +
                           (["click", "1"] if ours else []))
            time.sleep(1)
            opened = share(process.pid, seconds)
            if shot:
                subprocess.run(["import", "-window", "root", shot])
            return still, closed, opened, (width, height)
        finally:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    finally:
        shutil.rmtree(home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--rate", type=int, default=4000000, help="the download's bytes a second")
    parser.add_argument("--shot", help="a screenshot of the last run with the list open")
    parser.add_argument("browsers", nargs="+")
    args = parser.parse_args()
    server = subprocess.Popen([sys.executable, os.path.join(HERE, "..", "download_server.py"), "0"],
                              stdout=subprocess.PIPE, text=True)
    origin = f"http://127.0.0.1:{int(server.stdout.readline())}"
    try:
        print(f"{'browser':50} {'still page':>10} {'list closed':>12} {'list open':>10}"
              f" {'whole tree':>11}")
        for _ in range(args.rounds):
            for browser in args.browsers:
                still, closed, opened, size = measure(browser, origin, args.seconds, args.rate,
                                                      args.shot)
                print(f"{browser:50} {still[0]:9.1f}% {closed[0]:11.1f}% {opened[0]:9.1f}%"
                      f" {opened[1]:10.1f}%   ({size[0]} x {size[1]})", flush=True)
    finally:
        server.terminate()


if __name__ == "__main__":
    main()
