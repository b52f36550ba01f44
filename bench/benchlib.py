"""What every figure of the benchmark shares: processes, X windows, the portal's log, memory.

Every wait is bounded; every process started here is killed (by process group) before the next.
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from datetime import datetime, timezone

from Xlib import X, display as xdisplay
from Xlib.ext import xtest

BUILD = os.path.abspath(sys.argv[1])
CLIENT = os.path.join(BUILD, "client/startup/clikw730")
PORTAL = os.path.join(BUILD, "portal/portal")
MAIN_TITLE = "BenchMainWindow"  # the title the portal sends for the bench user
LOGIN_TITLE = "Sorvane金融终端 用户登录"
WAIT_S = 30
SETTLE_S = 3

scratch = tempfile.mkdtemp(prefix="sorvane-bench.")
started = []  # process groups to end
dpy = xdisplay.Display()
NET_WM_NAME = dpy.intern_atom("_NET_WM_NAME")
UTF8 = dpy.intern_atom("UTF8_STRING")


def log(text):
    print(text, file=sys.stderr, flush=True)


def spawn(args, cwd=None, env=None, out=subprocess.DEVNULL):
    proc = subprocess.Popen(args, cwd=cwd, env=env, stdout=out, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    started.append(proc)
    return proc


def stop(proc):
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # renderers left behind
    except ProcessLookupError:
        pass
    proc.wait(timeout=5)
    # The group may outlive its leader for a moment; the next start needs the lock free.
    deadline = time.time() + 5
    while time.time() < deadline and group_alive(proc.pid):
        time.sleep(0.05)
    if proc in started:
        started.remove(proc)


def group_alive(pgid):
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                if int(fields[2]) == pgid and fields[0] != "Z":
                    return True
            except (OSError, IndexError):
                pass
    return False


def window_name(win):
    try:
        prop = win.get_full_property(NET_WM_NAME, UTF8)
        if prop is not None:
            value = prop.value
            return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
        name = win.get_wm_name()
        return name if isinstance(name, str) else None
    except Exception:
        return None


def mapped_window(title):
    """The viewable window with exactly this title, or None (client windows sit inside frames)."""
    stack = [(dpy.screen().root, 0)]
    while stack:
        win, depth = stack.pop()
        try:
            children = win.query_tree().children
        except Exception:
            continue
        for child in children:
            try:
                if child.get_attributes().map_state != X.IsViewable:
                    continue
            except Exception:
                continue
            if window_name(child) == title:
                return child
            if depth < 3:
                stack.append((child, depth + 1))
    return None


def wait_mapped(title, limit=WAIT_S):
    deadline = time.time() + limit
    while time.time() < deadline:
        if mapped_window(title) is not None:
            return time.time()
        time.sleep(0.003)
    return None


def wait_window(title, limit=WAIT_S):
    """The window once it is mapped, or None after the limit."""
    deadline = time.time() + limit
    while time.time() < deadline:
        win = mapped_window(title)
        if win is not None:
            return win
        time.sleep(0.01)
    return None


def window_rect(win):
    """The window's rectangle on the screen: x, y, width, height."""
    where = dpy.screen().root.translate_coords(win, 0, 0)
    geometry = win.get_geometry()
    return where.x, where.y, geometry.width, geometry.height


def point_at(x, y, settle=0.6):
    """Moves the pointer there and waits: a page just shown takes no clicks for a moment after its
    window is mapped and its onload has run (a first click within ~0.4 s here is dropped)."""
    xtest.fake_input(dpy, X.MotionNotify, x=x, y=y)
    dpy.sync()
    time.sleep(settle)


def click(x, y):
    """A real left click at a screen point, through the X server's test extension."""
    xtest.fake_input(dpy, X.MotionNotify, x=x, y=y)
    xtest.fake_input(dpy, X.ButtonPress, 1)
    xtest.fake_input(dpy, X.ButtonRelease, 1)
    dpy.sync()


def portal_log(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


def beacon_times(log_path, since, pages):
    found = {}
    for fields in portal_log(log_path):
        if len(fields) < 3 or fields[1] != "/__beacon":
            continue
        match = re.search(r"page=([^&]+)", fields[2])
        if not match or match.group(1) not in pages:
            continue
        at = datetime.strptime(fields[0], "%Y-%m-%dT%H:%M:%S.%fZ").replace(tzinfo=timezone.utc).timestamp()
        if at >= since - 0.001 and match.group(1) not in found:
            found[match.group(1)] = at
    return found


def requested_since(log_path, path, since):
    for fields in portal_log(log_path):
        if len(fields) > 1 and fields[1] == path and datetime.strptime(fields[0], "%Y-%m-%dT%H:%M:%S.%fZ").replace(
                tzinfo=timezone.utc).timestamp() >= since - 0.001:
            return True
    return False


def first_requests(log_path, since, paths):
    """Milliseconds from `since` to the first request for each path: where the start-up time goes."""
    found = {}
    for fields in portal_log(log_path):
        if len(fields) > 1 and fields[1] in paths and fields[1] not in found:
            at = datetime.strptime(fields[0], "%Y-%m-%dT%H:%M:%S.%fZ").replace(tzinfo=timezone.utc).timestamp()
            if at >= since - 0.001:
                found[fields[1]] = round((at - since) * 1000)
    return found


def wait_beacons(log_path, since, pages, limit=WAIT_S):
    deadline = time.time() + limit
    while time.time() < deadline:
        found = beacon_times(log_path, since, pages)
        if len(found) == len(pages):
            return max(found.values())
        time.sleep(0.02)
    return None


def tree_pids(root_pid):
    """The process and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], [root_pid]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo.extend(children.get(pid, []))
    return found


def tree_pss_kib(root_pid, pids=None):
    total, count = 0, 0
    for pid in pids if pids is not None else tree_pids(root_pid):
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        count += 1
                        break
        except OSError:
            pass
    return total, count


def settled_pss_mib(pid, limit=12):
    """PSS once the tree stops changing: same process count and within 2 % twice in a row."""
    time.sleep(SETTLE_S)
    last, deadline = tree_pss_kib(pid), time.time() + limit
    while time.time() < deadline:
        time.sleep(0.5)
        now = tree_pss_kib(pid)
        if now[1] == last[1] and abs(now[0] - last[0]) <= 0.02 * max(last[0], 1):
            return now[0] / 1024, now[1]
        last = now
    return last[0] / 1024, last[1]


def start_portal(extra=(), www=None):
    log_path = os.path.join(scratch, f"portal-{len(os.listdir(scratch))}.log")
    out_path = log_path + ".out"
    out = open(out_path, "w")
    proc = spawn([PORTAL, "--port", "0", "--user", f"demo:demo123:{MAIN_TITLE}", "--log", log_path,
                  *(["--www", www] if www else []), *extra],
                 out=out)
    deadline = time.time() + 10
    while time.time() < deadline:
        with open(out_path) as f:
            match = re.search(r"portal listening on (http://\S+)", f.read())
        if match:
            return proc, match.group(1), log_path
        time.sleep(0.02)
    raise SystemExit("portal did not start")


def client_dir(webroot, autologin, settings=True):
    """A program folder: with a settings file for this portal (logging in by itself or not), or none."""
    folder = tempfile.mkdtemp(dir=scratch, prefix="client.")
    if settings:
        flag = "1" if autologin else "0"
        with open(os.path.join(folder, "mainkw.ini"), "w") as f:
            f.write(f"[linkinfo]\nwebroot={webroot}\nsavepass={flag}\naotologin={flag}\nuserid=demo\n"
                    f"userpass={'demo123' if autologin else ''}\n")
    return folder


def fit(points):
    """Least-squares slope of (x, y) pairs and its standard error (None where undefined)."""
    n = len(points)
    if n < 2:
        return None, None
    mx = sum(x for x, _ in points) / n
    my = sum(y for _, y in points) / n
    den = sum((x - mx) ** 2 for x, _ in points)
    if not den:
        return None, None
    slope = sum((x - mx) * (y - my) for x, y in points) / den
    if n < 3:
        return slope, None
    residual = sum((y - my - slope * (x - mx)) ** 2 for x, y in points)
    return slope, (residual / (n - 2) / den) ** 0.5


def stats(values):
    if not values:
        return None
    ordered = sorted(values)
    n = len(ordered)
    median = ordered[n // 2] if n % 2 else (ordered[n // 2 - 1] + ordered[n // 2]) / 2
    return {"median": round(median, 1), "min": round(ordered[0], 1), "max": round(ordered[-1], 1), "n": n}
