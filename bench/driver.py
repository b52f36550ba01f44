#!/usr/bin/python3
"""Measures the client from outside under the virtual display that bench/run started.

Every wait is bounded; every process started here is killed (by process group) before the next.
"""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from datetime import datetime, timezone

from Xlib import X, display as xdisplay

BUILD = os.path.abspath(sys.argv[1])
ROUNDS = int(sys.argv[2])
OUT = os.path.abspath(sys.argv[3])
SKIP_DOWNLOAD = os.environ.get("BENCH_SKIP_DOWNLOAD") == "1"

CLIENT = os.path.join(BUILD, "client/startup/clikw730")
PORTAL = os.path.join(BUILD, "portal/portal")
MINIMAL = os.path.join(BUILD, "bench/minimal-shell/minimal_shell")
DOWNLOAD_BENCH = os.path.join(BUILD, "bench/upgrader-download/upgrader_download_bench")
LOGIN_TITLE = "Sorvane金融终端 用户登录"
MAIN_TITLE = "BenchMainWindow"  # the title the portal sends for the bench user
PAGES = ("index01", "index02", "index03")
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
    """True when a viewable window with exactly this title exists (client windows sit inside frames)."""
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
                return True
            if depth < 3:
                stack.append((child, depth + 1))
    return False


def wait_mapped(title, limit=WAIT_S):
    deadline = time.time() + limit
    while time.time() < deadline:
        if mapped_window(title):
            return time.time()
        time.sleep(0.003)
    return None


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


def tree_pss_kib(root_pid):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    ppid = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(ppid, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    total, count, todo = 0, 0, [root_pid]
    while todo:
        pid = todo.pop()
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        count += 1
                        break
        except OSError:
            pass
        todo.extend(children.get(pid, []))
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


def start_portal(extra=()):
    log_path = os.path.join(scratch, f"portal-{len(os.listdir(scratch))}.log")
    out_path = log_path + ".out"
    out = open(out_path, "w")
    proc = spawn([PORTAL, "--port", "0", "--user", f"demo:demo123:{MAIN_TITLE}", "--log", log_path, *extra],
                 out=out)
    deadline = time.time() + 10
    while time.time() < deadline:
        with open(out_path) as f:
            match = re.search(r"portal listening on (http://\S+)", f.read())
        if match:
            return proc, match.group(1), log_path
        time.sleep(0.02)
    raise SystemExit("portal did not start")


def client_dir(webroot, autologin):
    folder = tempfile.mkdtemp(dir=scratch, prefix="client.")
    if autologin:
        with open(os.path.join(folder, "mainkw.ini"), "w") as f:
            f.write(f"[linkinfo]\nwebroot={webroot}\nsavepass=1\naotologin=1\nuserid=demo\nuserpass=demo123\n")
    return folder


def figure_login_window(webroot):
    values = []
    for _ in range(ROUNDS):
        folder = client_dir(webroot, autologin=False)
        t0 = time.time()
        proc = spawn([CLIENT], cwd=folder)
        at = wait_mapped(LOGIN_TITLE)
        stop(proc)
        if at is None:
            log("login window: not seen within the limit")
            continue
        values.append((at - t0) * 1000)
    return values


def figure_autologin(program, args, title, portal_log_path, webroot, cwd_for):
    times, pss, phases = [], [], []
    for _ in range(ROUNDS):
        folder = cwd_for()
        t0 = time.time()
        proc = spawn([program, *args], cwd=folder)
        mapped = wait_mapped(title)
        loaded = wait_beacons(portal_log_path, t0, PAGES) if mapped else None
        if mapped is None or loaded is None:
            log(f"{os.path.basename(program)}: main window or pages not seen within the limit")
            stop(proc)
            continue
        times.append((max(mapped, loaded) - t0) * 1000)
        phase = first_requests(portal_log_path, t0, ("/clilogin/clilogin.jsp", "/clilogin/ver.html",
                                                       "/clilogin/index01.jsp", "/clilogin/index02.jsp"))
        phase["main window mapped"] = round((mapped - t0) * 1000)
        phase["last beacon"] = round((loaded - t0) * 1000)
        phases.append(phase)
        mib, count = settled_pss_mib(proc.pid)
        pss.append(mib)
        phase["processes"] = count
        stop(proc)
    return times, pss, phases


def median_phases(phases):
    keys = {k for p in phases for k in p}
    return {k: stats([p[k] for p in phases if k in p])["median"] for k in sorted(keys) if k != "processes"} | {
        "processes": sorted({p.get("processes") for p in phases})}


def chromium_pss(webroot):
    chromium = shutil.which("chromium")
    if not chromium:
        return None
    values = []
    for _ in range(ROUNDS):
        profile = tempfile.mkdtemp(dir=scratch, prefix="chromium.")
        proc = spawn([chromium, f"--app={webroot}/clilogin/index02.jsp", "--no-sandbox", "--disable-gpu",
                      "--no-first-run", "--disable-background-networking", "--disable-component-update",
                      "--disable-sync", f"--user-data-dir={profile}"])
        # The body page without a session is the "not logged in" page; wait until it is asked for.
        t0 = time.time()
        deadline = t0 + WAIT_S
        while time.time() < deadline and not requested_since(PORTAL_LOG, "/clilogin/index02.jsp", t0):
            time.sleep(0.05)
        mib, _ = settled_pss_mib(proc.pid)
        values.append(mib)
        stop(proc)
    return values


def figure_download():
    """The upgrader's downloader (in-process bench) beside curl, same file, same disk, same portal."""
    if SKIP_DOWNLOAD:
        return None
    mib = 100
    out = subprocess.run([DOWNLOAD_BENCH, str(mib), str(ROUNDS)], capture_output=True, text=True,
                         timeout=900)
    ours = [float(m) for m in re.findall(r"in-process round \d+: ok, [\d.]+ s, ([\d.]+) MiB/s", out.stdout)]
    served = os.path.join(scratch, "served.bin")
    with open(served, "wb") as f:
        f.write(b"\x7fELF")
        f.write(os.urandom((mib << 20) - 4))
    portal, root, _ = start_portal(["--download", served])
    target = os.path.join(scratch, "curl.bin")
    theirs = []
    for _ in range(ROUNDS):
        res = subprocess.run(["curl", "-s", "-o", target, "-w", "%{time_total}", f"{root}/download/clikw730exe"],
                             capture_output=True, text=True, timeout=300)
        if res.returncode == 0 and os.path.getsize(target) == mib << 20:
            theirs.append(mib / float(res.stdout))
        os.remove(target)
    stop(portal)
    os.remove(served)
    return ours, theirs, out.stdout


def stats(values):
    if not values:
        return None
    ordered = sorted(values)
    n = len(ordered)
    median = ordered[n // 2] if n % 2 else (ordered[n // 2 - 1] + ordered[n // 2]) / 2
    return {"median": round(median, 1), "min": round(ordered[0], 1), "max": round(ordered[-1], 1), "n": n}


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return {"nproc": os.cpu_count(), "cpu": model,
            "display": "Xvfb 1280x1024x24 + openbox + trayer (tests/harness/with-display.sh)",
            "rendering": "software (no GPU; Mesa llvmpipe / Chromium software compositing)"}


def main():
    global PORTAL_LOG
    results = {"machine": machine(), "rounds": ROUNDS, "figures": []}
    portal, webroot, PORTAL_LOG = start_portal()
    log(f"portal at {webroot}")

    def add(key, label, unit, values, target, peer=None, peer_values=None):
        entry = {"key": key, "figure": label, "unit": unit, "ours": stats(values), "target": target}
        if peer:
            entry["peer"] = peer
            entry["peer_values"] = stats(peer_values)
        results["figures"].append(entry)
        log(f"{label}: {entry['ours']}" + (f" peer {entry.get('peer_values')}" if peer else ""))

    add("login_window", "start → login window mapped", "ms", figure_login_window(webroot), "≤ 300 ms")

    auto_times, auto_pss, auto_phases = figure_autologin(CLIENT, [], MAIN_TITLE, PORTAL_LOG, webroot,
                                            lambda: client_dir(webroot, autologin=True))
    min_times, min_pss, min_phases = figure_autologin(MINIMAL, [webroot], "MinimalShell", PORTAL_LOG, webroot,
                                          lambda: tempfile.mkdtemp(dir=scratch, prefix="minimal."))
    add("autologin", "automatic login: start → main window with 3 pages", "ms", auto_times,
        "≤ 1.2 × minimal shell", "minimal-shell", min_times)
    # Median ms from start to each first request: where the automatic login spends its time.
    results["autologin_phases"] = {"client": median_phases(auto_phases), "minimal-shell": median_phases(min_phases)}
    log(f"phases: {results['autologin_phases']}")
    peer_pss = chromium_pss(webroot)
    add("pss", "PSS of the client tree after automatic login (settled)", "MiB", auto_pss,
        "≤ 0.9 × chromium --app" if peer_pss is not None else "≤ 0.9 × chromium --app (chromium not installed)",
        "chromium --app (body page)" if peer_pss is not None else "minimal-shell",
        peer_pss if peer_pss is not None else min_pss)
    if peer_pss is not None:
        results["minimal_shell_pss"] = stats(min_pss)
    stop(portal)

    download = figure_download()
    if download:
        ours, theirs, raw = download
        add("download", "upgrader download of 100 MiB", "MiB/s", ours, "≥ 0.85 × curl", "curl -o", theirs)
        results["download_bench_output"] = raw

    for entry in results["figures"]:
        ours, peer = entry["ours"], entry.get("peer_values")
        entry["ratio_to_peer"] = round(ours["median"] / peer["median"], 2) if ours and peer and peer["median"] else None
    with open(os.path.join(OUT, "results.json"), "w") as f:
        json.dump(results, f, ensure_ascii=False, indent=2)
    lines = ["| figure | ours: median (min–max) | peer | peer: median (min–max) | ratio | target |",
             "|---|---|---|---|---|---|"]

    def cell(s, unit):
        return f"{s['median']} {unit} ({s['min']}–{s['max']})" if s else "not measured"

    for e in results["figures"]:
        lines.append(f"| {e['figure']} | {cell(e['ours'], e['unit'])} | {e.get('peer', '—')} | "
                     f"{cell(e.get('peer_values'), e['unit']) if e.get('peer') else '—'} | "
                     f"{e['ratio_to_peer'] if e['ratio_to_peer'] is not None else '—'} | {e['target']} |")
    m = results["machine"]
    lines += ["", f"{ROUNDS} rounds each. Machine: {m['nproc']} cores, {m['cpu']}; {m['display']}; {m['rendering']}."]
    if "minimal_shell_pss" in results:
        lines.append(f"Minimal shell PSS after the same pages: {cell(results['minimal_shell_pss'], 'MiB')}.")
    for who, phase in results["autologin_phases"].items():
        ms = {k: v for k, v in phase.items() if k != "processes"}
        lines.append(f"Automatic login, median ms from start ({who}): "
                     + ", ".join(f"{k.rsplit('/', 1)[-1]} {v}" for k, v in sorted(ms.items(), key=lambda kv: kv[1]))
                     + f"; processes in the tree: {phase['processes']}.")
    table = "\n".join(lines) + "\n"
    with open(os.path.join(OUT, "results.md"), "w") as f:
        f.write(table)
    print(table)


if __name__ == "__main__":
    # Stopped from outside (the run's time limit): still end what was started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        main()
    finally:
        for proc in list(started):
            stop(proc)
        shutil.rmtree(scratch, ignore_errors=True)
