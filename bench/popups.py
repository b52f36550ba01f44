"""The pop-up figures: memory and time per pop-up window, and command-to-window latency.

Both go through the login window's registration button, which shows the framed pop-up with the
registration page; in the benchmark's copy of the web root that page is bench/pages/opener.html,
which either chains N open-window commands (each pop-up opens the next once loaded) or is one big
link whose command opens a pop-up that closes itself once loaded.
"""
import os
import select
import shutil
import tempfile
import time

from Xlib import X, display as xdisplay

from benchlib import (CLIENT, LOGIN_TITLE, WAIT_S, click, client_dir, fit, log, mapped_window, point_at, scratch,
                      settled_pss_mib, spawn, start_portal, stats, stop, wait_beacons, wait_window, window_rect)

HERE = os.path.dirname(os.path.abspath(__file__))
COUNTS = (0, 1, 2, 4, 8)
REGISTER_BUTTON = (527, 314)  # the middle of the registration button in the login window
OPENER_TITLE = "BenchOpener"


def bench_www():
    """The portal's web root with the benchmark's pages in /bench and its opener as the registration page."""
    www = os.path.join(tempfile.mkdtemp(dir=scratch, prefix="www."), "www")
    shutil.copytree(os.path.join(HERE, "..", "portal", "www"), www)
    shutil.copytree(os.path.join(HERE, "pages"), os.path.join(www, "bench"))
    return www


def set_opener_mode(www, mode):
    with open(os.path.join(HERE, "pages", "opener.html"), encoding="utf-8") as f:
        page = f.read().replace("__MODE__", str(mode))
    with open(os.path.join(www, "clilogin", "reg.jsp"), "w", encoding="utf-8") as f:
        f.write(page)


def open_registration(webroot):
    """Starts the client and clicks its registration button: (process, click time) or (process, None)."""
    proc = spawn([CLIENT], cwd=client_dir(webroot, autologin=False))
    login = wait_window(LOGIN_TITLE)
    if login is None:
        return proc, None
    time.sleep(0.5)  # the first paint; a click before it could land on nothing
    x, y, _, _ = window_rect(login)
    at = time.time()
    click(x + REGISTER_BUTTON[0], y + REGISTER_BUTTON[1])
    return proc, at


def slope(points):
    """Least-squares slope of (x, y) pairs."""
    value = fit(points)[0]
    return round(value, 1) if value is not None else None


def figure_popup_cost(rounds):
    """Per pop-up count: time from the click to the last pop-up loaded, and the settled PSS."""
    www = bench_www()
    portal, webroot, log_path = start_portal(www=www)
    times = {n: [] for n in COUNTS}
    pss = {n: [] for n in COUNTS}
    try:
        for _ in range(rounds):
            for n in COUNTS:
                set_opener_mode(www, n)
                proc, at = open_registration(webroot)
                pages = ["opener"] + [f"pop{i}" for i in range(n)]
                loaded = wait_beacons(log_path, at, pages) if at else None
                if loaded is None:
                    log(f"pop-ups: {n} not all loaded within the limit")
                    stop(proc)
                    continue
                times[n].append((loaded - at) * 1000)
                pss[n].append(settled_pss_mib(proc.pid)[0])
                stop(proc)
    finally:
        stop(portal)
    time_medians = {n: stats(v) for n, v in times.items()}
    pss_medians = {n: stats(v) for n, v in pss.items()}
    return {
        "ms": time_medians,
        "MiB": pss_medians,
        "ms_per_popup": slope([(n, s["median"]) for n, s in time_medians.items() if s]),
        "MiB_per_popup": slope([(n, s["median"]) for n, s in pss_medians.items() if s]),
    }


def next_event(events, kinds, deadline):
    """The next X event of one of these kinds before the deadline, or None."""
    while True:
        while events.pending_events():
            event = events.next_event()
            if event.type in kinds:
                return event
        left = deadline - time.time()
        if left <= 0:
            return None
        select.select([events.fileno()], [], [], left)


def figure_command_latency(rounds):
    """A click on a command link in a page → the opened pop-up's window mapped, over many rounds."""
    www = bench_www()
    portal, webroot, log_path = start_portal(www=www)
    set_opener_mode(www, "click")
    latencies = []
    proc = None
    try:
        proc, at = open_registration(webroot)
        if at is None or wait_beacons(log_path, at, ["opener"]) is None or wait_window(OPENER_TITLE) is None:
            log("command latency: the opener page was not shown")
            return []
        x, y, width, height = window_rect(mapped_window(OPENER_TITLE))
        events = xdisplay.Display()
        events.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        events.sync()
        # The pointer rests on the link, so each round times the click alone.
        point_at(x + width // 2, y + height // 2)
        for round_no in range(rounds):
            while events.pending_events():
                events.next_event()
            start = time.time()
            click(x + width // 2, y + height // 2)
            mapped = next_event(events, (X.MapNotify,), start + 5)
            if mapped is None:
                log(f"command latency: round {round_no}: no window mapped within 5 s")
                continue
            latencies.append((time.time() - start) * 1000)
            # The pop-up closes itself once loaded; the next round starts when it is gone.
            while True:
                gone = next_event(events, (X.UnmapNotify, X.DestroyNotify), time.time() + WAIT_S)
                if gone is None or gone.window.id == mapped.window.id:
                    break
            time.sleep(0.05)
        events.close()
    finally:
        if proc is not None:
            stop(proc)
        stop(portal)
    return latencies


def percentile(values, fraction):
    if not values:
        return None
    ordered = sorted(values)
    return round(ordered[min(len(ordered) - 1, int(fraction * len(ordered)))], 1)
