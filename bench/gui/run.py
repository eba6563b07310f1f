#!/usr/bin/env python3
"""The export window's benchmark: a demo installation of the size asked for (kept in the bench
cache), copied afresh for each run, the batch command's search of cash sales on it for comparison,
and zantro-bench-gui driving the export dialog on it. bench/gui/run builds the programs and calls
this; bench/README.md explains the table."""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

USER, PASSWORD = "ADMIN", "ADMIN1"  # the demo installation's login


def log(message):
    print(message, file=sys.stderr, flush=True)


def env(home=None):
    e = dict(os.environ)
    e["ZANTRO_PASSWORD"] = PASSWORD
    e["QT_QPA_PLATFORM"] = "offscreen"
    e.pop("ZANTRO_PACKAGE", None)
    if home:
        e["ZANTRO_HOME"] = home
    return e


def timed(argv, environment, report=None):
    """(wall seconds, peak resident MB, stdout) of one command; raises on failure, unless the
    command wrote its report before it failed (said on standard error)."""
    with tempfile.NamedTemporaryFile("r", suffix=".mem") as mem:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", mem.name] + argv, env=environment,
                              capture_output=True, text=True)
        seconds = time.perf_counter() - start
        if done.returncode != 0 and report and os.path.exists(report):
            log("%s ended with status %d after writing its report" % (argv[0], done.returncode))
        elif done.returncode != 0:
            raise RuntimeError("%s failed (%d):\n%s%s" % (" ".join(argv), done.returncode,
                                                         done.stdout[-3000:], done.stderr[-3000:]))
        peak = int(mem.read().strip().splitlines()[-1]) / 1024.0
    return seconds, peak, done.stdout


def copy(source, target):
    """A copy of an installation whose settings name folders of the copy."""
    if os.path.exists(target):
        shutil.rmtree(target)
    subprocess.run(["cp", "-a", source, target], check=True)
    path = os.path.join(target, "Ledvora.ini")
    text = open(path, newline="").read()
    with open(path, "w", newline="") as f:
        f.write(text.replace(os.path.abspath(source), os.path.abspath(target)))


def batch(bin_dir, home, words):
    return timed([os.path.join(bin_dir, "zantro-batch"), "--user", USER] + words, env(home))


def installation(args):
    """The demo of the size (base) and a copy with the customers sent to the package (ready)."""
    place = os.path.join(args.cache, "gui", "r%d-seed%d" % (args.receipts, args.seed))
    base, ready = os.path.join(place, "base"), os.path.join(place, "ready")
    if not os.path.exists(os.path.join(base, ".bench-made")):
        log("Making the demo installation (%d receipts) ..." % args.receipts)
        subprocess.run([os.path.join(args.bin, "zantro-demo"), "--into", base, "--receipts",
                        str(args.receipts), "--stock-docs", str(args.stock_docs), "--ar-docs",
                        str(args.ar_docs), "--seed", str(args.seed), "--force"],
                       env=env(), check=True, capture_output=True, text=True)
        open(os.path.join(base, ".bench-made"), "w").write("made\n")
    if not os.path.exists(os.path.join(ready, ".bench-made")):
        log("Sending the customers to the package ...")
        copy(base, ready)
        batch(args.bin, ready, ["masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"])
        open(os.path.join(ready, ".bench-made"), "w").write("made\n")
    return ready


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--cache", required=True)
    parser.add_argument("--receipts", type=int, default=600_000)
    parser.add_argument("--stock-docs", type=int, default=20_000)
    parser.add_argument("--ar-docs", type=int, default=20_000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--export", type=int, default=1000)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--ab", type=int, default=3,
                        help="rounds of the window's search against the batch command's, "
                             "alternating on one copy (0: none)")
    args = parser.parse_args()
    args.bin, args.cache = os.path.abspath(args.bin), os.path.abspath(args.cache)

    ready = installation(args)
    work = os.path.join(os.path.dirname(ready), "work")
    runs = []
    for run in range(args.runs):
        log("Run %d of %d" % (run + 1, args.runs))
        copy(ready, work)
        wall, peak, out = batch(args.bin, work, ["search", "SL_CS", "--json"])
        search = json.loads(out)
        copy(ready, work)
        report = os.path.join(work, "gui-bench.json")
        if os.path.exists(report):
            os.remove(report)
        wall_gui, peak_gui, out = timed([os.path.join(args.bin, "zantro-bench-gui"), "--export",
                                         str(args.export), "--json", report], env(work), report)
        steps = json.load(open(report))
        runs.append({"batchSearch": search["searchSeconds"], "batchWall": wall,
                     "batchPeakMB": peak, "rows": search["rows"], "steps": steps,
                     "windowPeakMB": peak_gui})
    ab = None
    tool = os.path.join(args.bin, "zantro-search-ab")
    if args.ab > 0 and os.path.exists(tool):
        log("The window's search against the batch command's, %d rounds ..." % args.ab)
        copy(ready, work)
        _, _, ab = timed([tool, str(args.ab)], env(work))
    shutil.rmtree(work, ignore_errors=True)

    names = [s["step"] for s in runs[0]["steps"]]
    print("export window, %d receipts (%d cash sales found), %d run(s), median" %
          (args.receipts, runs[0]["rows"], len(runs)))
    print("%-28s %9s %9s %8s" % ("step", "time s", "stall s", "peak MB"))
    for i, name in enumerate(names):
        pick = lambda key: statistics.median(r["steps"][i][key] for r in runs)
        print("%-28s %9.2f %9.2f %8.0f  %s" % (name, pick("seconds"), pick("stall"), pick("peakMB"),
                                              runs[0]["steps"][i]["note"]))
    batch_search = statistics.median(r["batchSearch"] for r in runs)
    window_search = statistics.median(r["steps"][names.index("Search (F5)")]["seconds"] for r in runs)
    print("zantro-batch search SL_CS: %.2f s (whole command %.2f s, peak %.0f MB); window's search "
          "%.2f s = %.2f of it; window's peak %.0f MB" %
          (batch_search, statistics.median(r["batchWall"] for r in runs),
           max(r["batchPeakMB"] for r in runs), window_search, window_search / batch_search,
           max(r["windowPeakMB"] for r in runs)))
    if ab:
        print("alternating on one copy, the kind emptied before each:")
        print(ab.rstrip())


if __name__ == "__main__":
    main()
