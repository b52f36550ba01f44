#!/usr/bin/python3
"""A compressed trading day: the client and the engine floor (bench/minimal-shell) side by side on
the same refreshing pages, each with a portal of its own, sampled for growth.

The pages ask their portal for bench/soak/feed.json four times a second; the driver rewrites that
file with new quotes and the day's plan (which body page, which link pop-up address, how many tabs
and video windows so far). The client's pages turn the plan into command links; the floor's get the
same feed without commands, so they refresh and move on like the client's three page areas and
open nothing. Tab and video windows are closed here through the window manager, as a user would.
"""
import argparse
import json
import os
import random
import shutil
import signal
import sys
import tempfile
import time
from collections import Counter
from datetime import datetime, timezone

from Xlib import X
from Xlib.ext import res
from Xlib.protocol import event as xevent

from benchlib import (BUILD, CLIENT, MAIN_TITLE, client_dir, dpy, fit, log, portal_log, scratch, spawn, started,
                      start_portal, stop, tree_pids, tree_pss_kib, wait_beacons, wait_mapped, window_name)
from popups import bench_www

HERE = os.path.dirname(os.path.abspath(__file__))
MINIMAL = os.path.join(BUILD, "bench/minimal-shell/minimal_shell")
AREAS = ("head", "body", "end")
TITLES = {"弹出窗口": "link pop-up", "Sorvane金融终端": "tab window", "显示视频": "video window"}
BODY_S, POPUP_S, TAB_S, VIDEO_S = 5, 20, 15, 30  # periods of the day's plan
WINDOWS = ("popup", "tab", "video")  # the kinds of window the client's day opens
CODES = [f"SV{1001 + i}" for i in range(10)]
NET_CLOSE = dpy.intern_atom("_NET_CLOSE_WINDOW")
NET_CLIENT_LIST = dpy.intern_atom("_NET_CLIENT_LIST")
X_WINDOW = dpy.intern_atom("WINDOW")


def options():
    parser = argparse.ArgumentParser(prog="bench/soak")
    parser.add_argument("build")
    parser.add_argument("--minutes", type=float, default=30)
    parser.add_argument("--quick", action="store_true", help="5 minutes")
    parser.add_argument("--every", type=float, default=10, help="seconds between samples")
    parser.add_argument("--warmup", type=float, help="minutes left out of the figures (default: a sixth, ≥ 1)")
    parser.add_argument("--out", default=HERE)
    parser.add_argument("--only", default=",".join(WINDOWS),
                        help="which of the client's windows the day opens (comma list of popup, tab, video)")
    parser.add_argument("--again", action="store_true", help="the figures anew from the last run's soak.json")
    args = parser.parse_args()
    args.warmup_given = args.warmup
    args.only = {w for w in args.only.split(",") if w}
    if args.only - set(WINDOWS):
        parser.error("--only: popup, tab or video")
    if args.quick:
        args.minutes = 5
    if args.warmup is None:
        args.warmup = max(1.0, args.minutes / 6)
    return args


def plan(t, only=WINDOWS):
    """What the pages should show t seconds into the day: the link pop-up for the first half of
    every POPUP_S (a new address each time), a tab every TAB_S, a video window every VIDEO_S; of
    the windows, only those named (a day with one kind tells which window costs what)."""
    day = {"body": int(t // BODY_S), "popup": int(t // POPUP_S) + 1 if t % POPUP_S < POPUP_S / 2 else 0,
           "tab": int((t + TAB_S / 2) // TAB_S), "video": int((t + VIDEO_S - 3) // VIDEO_S)}
    return {k: v if k == "body" or k in only else 0 for k, v in day.items()}


def planned(length, only):
    end = plan(length - 0.001, only)
    return {"body pages": end["body"],
            "link pop-ups": int(length // POPUP_S) + (length % POPUP_S > 0) if "popup" in only else 0,
            "tabs": end["tab"], "video windows": end["video"]}


def write_feed(www, feed):
    path = os.path.join(www, "bench", "soak", "feed.json")
    with open(path + ".tmp", "w") as f:
        json.dump(feed, f)
    os.replace(path + ".tmp", path)  # a page never reads half a feed


def soak_www(commands):
    """A web root whose three main pages are the soak's head, body and end pages."""
    www = bench_www()
    for area, page in zip(AREAS, ("index01.jsp", "index02.jsp", "index03.jsp")):
        shutil.copy(os.path.join(HERE, "pages", "soak", f"{area}.html"), os.path.join(www, "clilogin", page))
    write_feed(www, {"commands": commands, "quotes": [], **plan(0), "popup": 0})  # nothing opens before the day
    return www


def close_window(win):
    """A close request through the window manager, as the frame's close button sends."""
    dpy.screen().root.send_event(
        xevent.ClientMessage(window=win, client_type=NET_CLOSE, data=(32, [X.CurrentTime, 2, 0, 0, 0])),
        event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
    dpy.flush()


def watched_windows():
    """Window id → (title, window) of the shown windows the window manager holds whose titles are
    watched (the tray icon carries the product's name too, but it is no managed window)."""
    managed = dpy.screen().root.get_full_property(NET_CLIENT_LIST, X.AnyPropertyType)
    shown = {}
    for wid in managed.value if managed else []:
        win = dpy.create_resource_object("window", wid)
        try:
            name = window_name(win)
            if name in TITLES and win.get_attributes().map_state == X.IsViewable:
                shown[wid] = (name, win)
        except Exception:
            pass  # gone in between
    return shown


def x_windows_by_pid():
    """Windows each local X client holds (mapped or not), by the client's process id."""
    held = Counter()
    for client in dpy.res_query_client_ids([{"client": 0, "mask": res.LocalClientPIDMask}]).ids:
        if client.value and client.spec.client:
            types = dpy.res_query_client_resources(client.spec.client).types
            held[client.value[0]] += sum(t.count for t in types if t.resource_type == X_WINDOW)
    return held


def sample(proc, windows):
    pids = tree_pids(proc.pid)
    pss, processes = tree_pss_kib(proc.pid, pids)
    own, _ = tree_pss_kib(proc.pid, [proc.pid])
    threads = files = 0
    for pid in pids:
        try:
            threads += len(os.listdir(f"/proc/{pid}/task"))
            files += len(os.listdir(f"/proc/{pid}/fd"))
        except OSError:
            pass
    return {"pss_mib": round(pss / 1024, 1), "program_pss_mib": round(own / 1024, 1), "processes": processes,
            "threads": threads, "open_files": files, "x_windows": sum(windows[p] for p in pids)}


def start_pair():
    """The client and the floor, each logged in to its own portal, once their three pages show."""
    pair = {}
    for who, commands in (("client", True), ("floor", False)):
        www = soak_www(commands)
        portal, webroot, log_path = start_portal(www=www)
        t0 = time.time()
        if who == "client":
            proc, title = spawn([CLIENT], cwd=client_dir(webroot, autologin=True)), MAIN_TITLE
        else:
            proc, title = spawn([MINIMAL, webroot], cwd=tempfile.mkdtemp(dir=scratch)), "MinimalShell"
        if wait_mapped(title) is None or wait_beacons(log_path, t0, [f"soak-{a}" for a in AREAS]) is None:
            raise SystemExit(f"soak: the {who}'s main window or pages did not show")
        pair[who] = {"www": www, "portal": portal, "log": log_path, "proc": proc}
    return pair


def day(args, pair):
    """Runs the plan for the chosen length; returns the samples and what was seen over X."""
    length, samples, seen = args.minutes * 60, [], Counter()
    shown, closes, next_sample = {}, {"tab window": 0, "video window": 0}, 0.0
    t0 = time.time()
    while (t := time.time() - t0) < length:
        feed = {"quotes": [{"code": c, "price": random.uniform(3, 70), "change": random.uniform(-5, 5)}
                           for c in CODES], **plan(t, args.only)}
        for who, side in pair.items():
            if side["proc"].poll() is not None:
                raise SystemExit(f"soak: the {who} ended {t:.0f} s into the day")
            write_feed(side["www"], {"commands": who == "client", **feed})
        now = watched_windows()
        for wid in now.keys() - shown.keys():
            seen[f"{TITLES[now[wid][0]]} mapped"] += 1
        for wid in shown.keys() - now.keys():
            seen[f"{TITLES[shown[wid][0]]} unmapped"] += 1
        shown = now
        # The tab window is closed once a minute (with its tabs), every other video window too;
        # the others are replaced by the next video command.
        for kind, at in (("tab window", 50), ("video window", 20)):
            due = int((t - at) // 60) + 1 if t >= at else 0
            if due > closes[kind]:
                closes[kind] = due
                for title, win in now.values():
                    if TITLES[title] == kind:
                        close_window(win)
                        seen[f"{kind} close requests"] += 1
        if t >= next_sample:
            windows = x_windows_by_pid()
            samples.append({"t": round(t, 1), **{who: sample(side["proc"], windows) for who, side in pair.items()}})
            next_sample += args.every
        time.sleep(0.25)
    return samples, seen


def log_counts(log_path, since):
    """Requests per page and feed fetches per area in the day, from a portal's log."""
    counts, start = Counter(), datetime.fromtimestamp(since, timezone.utc).strftime("%Y-%m-%dT%H:%M:%S")
    for fields in portal_log(log_path):
        if len(fields) < 3 or fields[0] < start:
            continue
        path, query = fields[1], dict(p.partition("=")[::2] for p in fields[2].split("&"))
        if path == "/bench/soak/feed.json":
            counts[f"feed fetches: {query.get('area')}"] += 1
        elif path == "/bench/soak/body.html":
            counts["body pages"] += 1
        elif path == "/bench/soak/window.html":
            counts[f"{query.get('role')} pages"] += 1
    return dict(sorted(counts.items()))


def figures(samples, warmup_s):
    kept = [s for s in samples if s["t"] >= warmup_s]
    out = {}
    for who in ("client", "floor"):
        entry = {}
        for key in ("pss_mib", "program_pss_mib", "open_files", "threads", "processes", "x_windows"):
            if any(key not in s[who] for s in kept):
                continue  # a run from before the figure was sampled
            values = [s[who][key] for s in kept]
            slope, se = fit([(s["t"] / 3600, s[who][key]) for s in kept])
            entry[key] = {"first": values[0], "last": values[-1], "min": min(values), "max": max(values),
                          "spread": max(values) - min(values), "per_hour": round(slope, 1) if slope is not None else None,
                          "per_hour_se": round(se, 1) if se is not None else None}
        out[who] = entry
    return out


def shortfalls(result):
    """What the day did less of than planned: a client that stopped obeying its pages shows here."""
    p, c, f, x = result["planned"], result["client_log"], result["floor_log"], result["seen"]
    done = {"body pages": (c.get("body pages", 0), p["body pages"]),
            "floor body pages": (f.get("body pages", 0), p["body pages"]),
            "link pop-up pages": (c.get("pop pages", 0), p["link pop-ups"]),
            "link pop-ups mapped": (x.get("link pop-up mapped", 0), p["link pop-ups"]),
            "tab pages": (c.get("tab pages", 0), p["tabs"]),
            "video pages": (c.get("video pages", 0), p["video windows"]),
            "video windows mapped": (x.get("video window mapped", 0), p["video windows"])}
    return [f"{k} {n} of {of}" for k, (n, of) in done.items() if n < 0.9 * of]


def spread(f, key):
    e = f[key]
    return f"{e['min']}–{e['max']} (spread {round(e['spread'], 1)}, trend {e['per_hour']:+} /h)"


def report(args, result):
    c, fl = result["figures"]["client"], result["figures"]["floor"]
    meets = c["pss_mib"]["per_hour"] <= fl["pss_mib"]["per_hour"]
    lines = [f"## Soak: a compressed trading day ({args.minutes:g} minutes, `bench/soak`)", "",
             "| after the warm-up | client | engine floor (minimal shell) | target |", "|---|---|---|---|",
             "| PSS slope, least squares | " + " | ".join(
                 f"{e['pss_mib']['per_hour']:+} MiB/h (± {e['pss_mib']['per_hour_se']})" for e in (c, fl))
             + f" | client ≤ floor: {'met' if meets else 'NOT met'} |",
             "| PSS first → last sample | " + " | ".join(
                 f"{e['pss_mib']['first']} → {e['pss_mib']['last']} MiB" for e in (c, fl)) + " | — |"]
    if "program_pss_mib" in c:
        lines.append("| of it the program's own process (engine's browser side and Qt), slope | " + " | ".join(
            f"{e['program_pss_mib']['per_hour']:+} MiB/h (± {e['program_pss_mib']['per_hour_se']})" for e in (c, fl))
            + " | — |")
    for key, label in (("open_files", "open files"), ("threads", "threads"), ("processes", "processes"),
                       ("x_windows", "X windows (mapped or not)")):
        lines.append(f"| {label}: min–max | {spread(c, key)} | {spread(fl, key)} | flat |")
    only = result.get("only", sorted(WINDOWS))
    lines += ["", ("" if set(only) == set(WINDOWS) else f"Windows opened: {', '.join(only) or 'none'} only. ") +
              f"Samples every {args.every:g} s; the first {args.warmup:g} minutes are the warm-up and are left out. "
              "Done in the day (the client's portal log, and its windows seen over X): "
              + ", ".join(f"{k} {v}" for k, v in {**result["client_log"], **result["seen"]}.items())
              + ". The floor's portal log: " + ", ".join(f"{k} {v}" for k, v in result["floor_log"].items()) + ".",
              "Planned: " + ", ".join(f"{k} {v}" for k, v in result["planned"].items()) + ". "
              + ("SHORT OF THE PLAN: " + ", ".join(result["short"]) if result["short"] else
                 "All of it was done (each count within 10 % of the plan)") + ".",
              "", f"Taken on a busy {os.cpu_count()}-core machine shared with other builds and tests (Xvfb, software "
              "rendering); the floor runs at the same time under the same display, so both see the same load."]
    return "\n".join(lines) + "\n"


def write_results(args, section):
    """Replaces the soak section of results.md (kept by bench/run's driver) and writes soak.json."""
    path = os.path.join(args.out, "results.md")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    head = text.split("\n## Soak", 1)[0].rstrip("\n")
    with open(path, "w", encoding="utf-8") as f:
        f.write(head + "\n\n" + section)


def main():
    args = options()
    if args.again:
        with open(os.path.join(args.out, "soak.json")) as f:
            result = json.load(f)
        args.minutes, args.every = result["minutes"], result["every_s"]
        args.warmup = args.warmup_given or result["warmup_min"]
    else:
        pair = start_pair()
        log(f"soak: {args.minutes:g} minutes, a sample every {args.every:g} s")
        since = time.time()
        samples, seen = day(args, pair)
        for side in pair.values():
            stop(side["proc"])
            stop(side["portal"])
        result = {"minutes": args.minutes, "every_s": args.every, "samples": samples,
                  "client_log": log_counts(pair["client"]["log"], since),
                  "floor_log": log_counts(pair["floor"]["log"], since), "seen": dict(sorted(seen.items())),
                  "planned": planned(args.minutes * 60, args.only), "only": sorted(args.only)}
    result.update(warmup_min=args.warmup, figures=figures(result["samples"], args.warmup * 60))
    result["short"] = shortfalls(result)
    section = report(args, result)
    with open(os.path.join(args.out, "soak.json"), "w") as f:
        json.dump(result, f, ensure_ascii=False, indent=1)
    write_results(args, section)
    print(section)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        main()
    finally:
        for proc in list(started):
            stop(proc)
        shutil.rmtree(scratch, ignore_errors=True)
