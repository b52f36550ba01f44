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

from benchlib import (BUILD, CLIENT, LOGIN_TITLE, MAIN_TITLE, WAIT_S, client_dir, first_requests, log, requested_since,
                      scratch, settled_pss_mib, spawn, started, stats, start_portal, stop, wait_beacons, wait_mapped)
import popups

ROUNDS = int(sys.argv[2])
OUT = os.path.abspath(sys.argv[3])
SKIP_DOWNLOAD = os.environ.get("BENCH_SKIP_DOWNLOAD") == "1"

MINIMAL = os.path.join(BUILD, "bench/minimal-shell/minimal_shell")
DOWNLOAD_BENCH = os.path.join(BUILD, "bench/upgrader-download/upgrader_download_bench")
PAGES = ("index01", "index02", "index03")


def figure_login_window(webroot):
    values = []
    for _ in range(ROUNDS):
        folder = client_dir(webroot, autologin=False, settings=False)
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


def cell(s, unit):
    if not s or s.get("median") is None:
        return "not measured"
    if "min" not in s:
        return f"{s['median']} {unit}"
    return f"{s['median']} {unit} ({s['min']}–{s['max']})"


def wanted(name):
    """BENCH_ONLY=login,autologin,popups,latency,download runs only those figures."""
    only = os.environ.get("BENCH_ONLY")
    return not only or name in only.split(",")


def main():
    global PORTAL_LOG
    results = {"machine": machine(), "rounds": ROUNDS, "figures": [], "notes": []}
    portal, webroot, PORTAL_LOG = start_portal()
    log(f"portal at {webroot}")

    def add(key, label, unit, values, target, peer=None, peer_values=None, ours=None):
        entry = {"key": key, "figure": label, "unit": unit, "ours": ours or stats(values), "target": target}
        if peer:
            entry["peer"] = peer
            entry["peer_values"] = stats(peer_values)
        results["figures"].append(entry)
        log(f"{label}: {entry['ours']}" + (f" peer {entry.get('peer_values')}" if peer else ""))

    if wanted("login"):
        add("login_window", "start → login window mapped", "ms", figure_login_window(webroot), "≤ 300 ms")

    if wanted("autologin"):
        auto_times, auto_pss, auto_phases = figure_autologin(CLIENT, [], MAIN_TITLE, PORTAL_LOG, webroot,
                                                lambda: client_dir(webroot, autologin=True))
        min_times, min_pss, min_phases = figure_autologin(MINIMAL, [webroot], "MinimalShell", PORTAL_LOG, webroot,
                                              lambda: tempfile.mkdtemp(dir=scratch, prefix="minimal."))
        add("autologin", "automatic login: start → main window with 3 pages", "ms", auto_times,
            "≤ 1.2 × minimal shell", "minimal-shell", min_times)
        # Median ms from start to each first request: where the automatic login spends its time.
        phases = {"client": median_phases(auto_phases), "minimal-shell": median_phases(min_phases)}
        results["autologin_phases"] = phases
        log(f"phases: {phases}")
        peer_pss = chromium_pss(webroot)
        add("pss", "PSS of the client tree after automatic login (settled)", "MiB", auto_pss,
            "≤ 0.9 × chromium --app" if peer_pss is not None else "≤ 0.9 × chromium --app (chromium not installed)",
            "chromium --app (body page)" if peer_pss is not None else "minimal-shell",
            peer_pss if peer_pss is not None else min_pss)
        if peer_pss is not None:
            results["notes"].append(f"Minimal shell PSS after the same pages: {cell(stats(min_pss), 'MiB')}.")
        for who, phase in phases.items():
            ms = {k: v for k, v in phase.items() if k != "processes"}
            results["notes"].append(
                f"Automatic login, median ms from start ({who}): "
                + ", ".join(f"{k.rsplit('/', 1)[-1]} {v}" for k, v in sorted(ms.items(), key=lambda kv: kv[1]))
                + f"; processes in the tree: {phase['processes']}.")
    stop(portal)

    if wanted("popups"):
        cost = popups.figure_popup_cost(ROUNDS)
        results["popup_cost"] = cost
        add("popup_pss", "PSS per extra pop-up (0, 1, 2, 4, 8 open; slope)", "MiB", None, "≤ 12 MiB",
            ours={"median": cost["MiB_per_popup"]})
        add("popup_time", "click → all pop-ups loaded, per extra pop-up (slope)", "ms", None, "≤ 150 ms",
            ours={"median": cost["ms_per_popup"]})
        results["notes"].append("Pop-ups open → median PSS / median ms from the click to the last one loaded: " + ", ".join(
            f"{n}: {cell(cost['MiB'][n], 'MiB')} / {cell(cost['ms'][n], 'ms')}" for n in popups.COUNTS) + ".")

    if wanted("latency"):
        latencies = popups.figure_command_latency(100)
        p50, p95 = popups.percentile(latencies, 0.5), popups.percentile(latencies, 0.95)
        results["command_latency"] = {"p50": p50, "p95": p95, "rounds": len(latencies)}
        add("command_latency", "command link clicked → pop-up mapped (p50 over 100 rounds)", "ms", latencies,
            "p50 ≤ 50 ms", ours=dict(stats(latencies) or {}, median=p50) if latencies else None)
        results["notes"].append(f"Command link → pop-up mapped: p50 {p50} ms, p95 {p95} ms over {len(latencies)} rounds.")

    download = figure_download() if wanted("download") else None
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
    for e in results["figures"]:
        lines.append(f"| {e['figure']} | {cell(e['ours'], e['unit'])} | {e.get('peer', '—')} | "
                     f"{cell(e.get('peer_values'), e['unit']) if e.get('peer') else '—'} | "
                     f"{e['ratio_to_peer'] if e['ratio_to_peer'] is not None else '—'} | {e['target']} |")
    m = results["machine"]
    lines += ["", f"{ROUNDS} rounds each. Machine: {m['nproc']} cores, {m['cpu']}; {m['display']}; {m['rendering']}."]
    lines += results["notes"]
    table = "\n".join(lines) + "\n"
    path = os.path.join(OUT, "results.md")
    # The soak's section (bench/soak) stays as it was: a run here does not take a day.
    soak = ""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            kept = f.read().partition("\n## Soak")
        soak = "\n## Soak" + kept[2] if kept[1] else ""
    with open(path, "w", encoding="utf-8") as f:
        f.write(table + soak)
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
