#!/usr/bin/env python3
"""The benchmark of the accounting link: searches, export runs and their growth with the size of
the back office, each held against the engine's own time for the same work. bench/run builds the
programs and calls this; README.md beside it explains the table."""

import argparse
import datetime
import hashlib
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import fbtrace

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)

SIZES = {
    "small": (10_000, 2_000, 2_000),
    "medium": (100_000, 20_000, 20_000),
    "large": (1_000_000, 100_000, 100_000),
}
ORDER = ["small", "medium", "large"]

# (kind, EXPORT_MODE, label): cash sales are searched and exported in both modes.
SEARCHES = [
    ("SL_CS", "0", "SL_CS By Item"),
    ("SL_CS", "1", "SL_CS By Summary"),
    ("SL_IV", "0", "SL_IV"),
    ("SL_CN", "0", "SL_CN"),
    ("PH_PI", "0", "PH_PI"),
    ("PH_SC", "0", "PH_SC"),
    ("AR_IV", "0", "AR_IV"),
    ("AR_DN", "0", "AR_DN"),
    ("AR_CN", "0", "AR_CN"),
    ("AR_PM", "0", "AR_PM"),
]
EXPORTS = [
    ("SL_CS", "0", "SL_CS By Item"),
    ("SL_CS", "1", "SL_CS By Summary"),
    ("SL_IV", "0", "SL_IV"),
    ("PH_PI", "0", "PH_PI"),
    ("AR_PM", "0", "AR_PM"),
]
TICKED = 1000
USER, PASSWORD = "ADMIN", "ADMIN1"  # the demo installation's login

# What a search does on the engine; the view reads around it are the program's own cost.
SEARCH_STATEMENTS = ["DELETE FROM TMP_EXPORT_ACCT", "INSERT INTO TMP_EXPORT_ACCT", "SELECT TD_DOCNO"]
# The export run starts by reading the ticked rows; the search after it starts with its DELETE.
RUN_FIRST = "SELECT S_ID, S_STORE_FROM, S_REFNO, S_DATE, S_CODE"
RUN_AFTER = "DELETE FROM TMP_EXPORT_ACCT"

FIREBIRD_ENGINE = "/usr/lib/x86_64-linux-gnu/firebird/3.0"
FIREBIRD_CONF = "ServerMode = SuperClassic\nProviders = Remote, Engine12\n"


def log(message):
    print(message, file=sys.stderr, flush=True)


class Bench:
    def __init__(self, bin_dir, cache, size, seed, runs):
        self.bin = bin_dir
        self.cache = cache
        self.size = size
        self.seed = seed
        self.runs = runs
        self.place = os.path.join(cache, "%s-seed%d" % (size, seed))
        self.work = os.path.join(self.place, "work")
        self.engine = os.path.join(cache, "firebird")
        self.trace_log = os.path.join(self.engine, "trace.log")
        os.makedirs(self.place, exist_ok=True)
        self._prepare_engine()

    # ----- the embedded engine: a root of our own, and a second one that records a trace

    def _prepare_engine(self):
        for name, extra in (("root", ""), ("root-trace", "trace")):
            root = os.path.join(self.engine, name)
            os.makedirs(os.path.join(root, "intl"), exist_ok=True)
            for link in ("plugins", "plugins.conf", "firebird.msg"):
                target = os.path.join(FIREBIRD_ENGINE, link)
                path = os.path.join(root, link)
                if not os.path.islink(path):
                    os.symlink(target, path)
            # The character set library must be a copy: a link to it is not loaded.
            for lib in ("libfbintl.so", "fbintl.conf"):
                shutil.copy2(os.path.join(FIREBIRD_ENGINE, "intl", lib), os.path.join(root, "intl", lib))
            conf = FIREBIRD_CONF
            if extra:
                trace_conf = os.path.join(root, "fbtrace.conf")
                with open(trace_conf, "w") as f:
                    f.write(
                        "database\n{\n  enabled = true\n  log_filename = %s\n"
                        "  log_transactions = true\n  log_statement_finish = true\n"
                        "  max_sql_length = 65000\n  time_threshold = 0\n}\n" % self.trace_log
                    )
                conf += "AuditTraceConfigFile = %s\n" % trace_conf
            with open(os.path.join(root, "firebird.conf"), "w") as f:
                f.write(conf)
        os.makedirs(os.path.join(self.engine, "lock"), exist_ok=True)

    def env(self, home=None, package=None, trace=False):
        env = dict(os.environ)
        env["FIREBIRD"] = os.path.join(self.engine, "root-trace" if trace else "root")
        env["FIREBIRD_LOCK"] = os.path.join(self.engine, "lock")
        env["ZANTRO_PASSWORD"] = PASSWORD
        env.pop("ZANTRO_PACKAGE", None)
        if package == "null":
            env["ZANTRO_PACKAGE"] = "null"
        if home:
            env["ZANTRO_HOME"] = home
        return env

    # ----- running and timing

    def timed(self, argv, env, stdin=None, ok=(0,)):
        """(wall seconds, peak resident KB, stdout) of one command; raises on another status than ok."""
        with tempfile.NamedTemporaryFile("r", suffix=".mem") as mem:
            command = ["/usr/bin/time", "-f", "%M", "-o", mem.name] + argv
            start = time.perf_counter()
            done = subprocess.run(command, env=env, input=stdin, capture_output=True, text=True)
            seconds = time.perf_counter() - start
            if done.returncode not in ok:
                raise RuntimeError(
                    "%s failed (%d):\n%s%s" % (" ".join(argv), done.returncode, done.stdout[-2000:], done.stderr[-2000:])
                )
            peak = int(mem.read().strip().splitlines()[-1])
        return seconds, peak, done.stdout

    def batch(self, home, words, package=None, trace=False, ok=(0,)):
        argv = [os.path.join(self.bin, "zantro-batch"), "--user", USER] + words
        return self.timed(argv, self.env(home, package, trace), ok=ok)

    def isql_file(self, script_text):
        path = os.path.join(self.place, "script.sql")
        with open(path, "w") as f:
            f.write(script_text)
        seconds, peak, out = self.timed(["isql-fb", "-q", "-i", path], self.env())
        if "Statement failed" in out:
            raise RuntimeError("isql-fb: " + out[-2000:])
        return seconds, peak, out

    def isql(self, database, sql):
        user, password = self.login(database)
        argv = ["isql-fb", "-q", "-user", user, "-password", password, database]
        done = subprocess.run(argv, env=self.env(), input=sql, capture_output=True, text=True)
        if done.returncode != 0 or "Statement failed" in done.stdout + done.stderr:
            raise RuntimeError("isql-fb %s: %s%s" % (database, done.stdout, done.stderr))
        return done.stdout

    def login(self, database):
        """User and password of the alias file of the installation that holds the database."""
        home = os.path.dirname(os.path.dirname(database))
        text = open(os.path.join(home, "Databases.ini")).read()
        user = re.search(r"^USER=(.*)$", text, re.M).group(1).strip()
        password = re.search(r"^PASSWORD=(.*)$", text, re.M).group(1).strip()
        return user, password

    # ----- installations

    def _key(self):
        """What a cached demo depends on: its size and seed, the generator, the back-office
        schema and the stand-in package's own schema."""
        digest = hashlib.sha1()
        digest.update(("%s %d %s" % (self.size, self.seed, SIZES[self.size])).encode())
        paths = []
        for folder in ("demo", os.path.join("data", "schema")):
            for dirpath, _, files in sorted(os.walk(os.path.join(SOURCE, folder))):
                paths += [os.path.join(dirpath, name) for name in sorted(files)]
        paths.append(os.path.join(SOURCE, "standin", "schema.sql"))
        for path in paths:
            with open(path, "rb") as f:
                digest.update(os.path.basename(path).encode() + f.read())
        return digest.hexdigest()

    def _cached(self, folder, key):
        marker = os.path.join(folder, ".bench-key")
        return os.path.exists(marker) and open(marker).read() == key

    def _mark(self, folder, key, facts=None):
        with open(os.path.join(folder, ".bench-key"), "w") as f:
            f.write(key)
        if facts is not None:
            with open(os.path.join(folder, ".bench-facts.json"), "w") as f:
                json.dump(facts, f)

    @staticmethod
    def facts(folder):
        with open(os.path.join(folder, ".bench-facts.json")) as f:
            return json.load(f)

    @staticmethod
    def copy(source, target):
        """A copy of an installation; its settings name folders of the copy (the accounting
        package's DCF file, the link folder), not of the original."""
        if os.path.exists(target):
            shutil.rmtree(target)
        subprocess.run(["cp", "-a", source, target], check=True)
        path = os.path.join(target, "Ledvora.ini")
        text = open(path, newline="").read()
        with open(path, "w", newline="") as f:
            f.write(text.replace(os.path.abspath(source), os.path.abspath(target)))

    @staticmethod
    def set_export_mode(home, mode):
        path = os.path.join(home, "Ledvora.ini")
        text = open(path, newline="").read()
        text, n = re.subn(r"(?im)^EXPORT_MODE=.*$", "EXPORT_MODE=" + mode, text)
        if n != 1:
            raise RuntimeError("no EXPORT_MODE in " + path)
        with open(path, "w", newline="") as f:
            f.write(text)

    def stk(self, home):
        return os.path.join(home, "Data", "ZantStk.fdb")

    def party_codes(self, home, kind):
        """The customer or supplier codes that have a debtor or creditor code, or None for cash
        sales (their code is fixed). The demo gives some documents a party no master holds,
        which a strict package refuses; the benchmark ticks only documents it can post."""
        if kind == "SL_CS":
            return None
        table, column = ("MAS_SUPPLIER", "M_CREDITOR") if kind.startswith("PH_") else ("MAS_CUSTOMER", "M_DEBTOR")
        out = self.isql(
            os.path.join(home, "Data", "ZantApp.fdb"),
            "SET LIST ON;\nSELECT M_CODE FROM %s WHERE %s IS NOT NULL AND %s <> '';\n" % (table, column, column),
        )
        return re.findall(r"^M_CODE\s+(.*?)\s*$", out, re.M)

    def tick(self, home, kind, count):
        """Ticks `count` rows of the kind (the first by store, id and number) that the package can
        take; gives how many."""
        codes = self.party_codes(home, kind)
        only = ""
        if codes is not None:
            only = " AND S_CODE IN (%s)" % ", ".join("'%s'" % c.replace("'", "''") for c in codes)
        out = self.isql(
            self.stk(home),
            "UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'F' WHERE S_MODULE = '%s';\n"
            "UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T' WHERE S_MODULE = '%s'%s "
            "ORDER BY S_STORE_FROM, S_ID, S_REFNO ROWS %d;\nCOMMIT;\n"
            "SELECT COUNT(*) FROM TMP_EXPORT_ACCT WHERE S_MODULE = '%s' AND S_EXPORT_ACCT = 'T';\n"
            % (kind, kind, only, count, kind),
        )
        return int(out.split()[-1])

    def installations(self):
        """The demo (base), and two copies ready to export: every kind of the export table
        searched and 1,000 rows ticked, cash sales By Item (ready) and By Summary (ready-summary)."""
        key = self._key()
        base = os.path.join(self.place, "base")
        if not self._cached(base, key):
            receipts, stock, ar = SIZES[self.size]
            log("Making the %s demo installation (%d receipts) ..." % (self.size, receipts))
            start = time.perf_counter()
            subprocess.run(
                [os.path.join(self.bin, "zantro-demo"), "--into", base, "--receipts", str(receipts),
                 "--stock-docs", str(stock), "--ar-docs", str(ar), "--seed", str(self.seed), "--force"],
                env=self.env(), check=True, capture_output=True, text=True,
            )
            self._mark(base, key)
            log("  made in %.0f s" % (time.perf_counter() - start))
        ready = os.path.join(self.place, "ready")
        summary = os.path.join(self.place, "ready-summary")
        if not (self._cached(ready, key) and self._cached(summary, key)):
            log("Preparing the export states (masters, searches, ticks) ...")
            self.copy(base, ready)
            # The package refuses documents of parties or items it does not hold.
            for master in ("AR_CUSTOMER", "AP_SUPPLIER", "ST_ITEM"):
                self.batch(ready, ["masters", master, "--selection", "ALL", "--generate-codes"])
            ticked = {}
            for kind, mode, label in EXPORTS:
                if mode == "0":
                    self.batch(ready, ["search", kind])
                    ticked[label] = self.tick(ready, kind, TICKED)
            self.copy(ready, summary)
            self.set_export_mode(summary, "1")
            self.batch(summary, ["search", "SL_CS"])
            ticked["SL_CS By Summary"] = self.tick(summary, "SL_CS", TICKED)
            self._mark(ready, key, ticked)
            self._mark(summary, key, ticked)
        return ready, summary

    # ----- the engine's own time for the same work

    def record(self, home, words, package=None):
        """Runs a command with the engine's trace on and gives the transactions it recorded."""
        if os.path.exists(self.trace_log):
            os.remove(self.trace_log)
        self.batch(home, words, package=package, trace=True, ok=(0, 3) if package == "null" else (0,))
        return fbtrace.read_trace(self.trace_log)

    def floor(self, transactions):
        """(seconds, peak KB) of the statements replayed by isql-fb, less its connections."""
        replay = fbtrace.isql_script(transactions, self.login)
        connect = fbtrace.isql_script(transactions, self.login, connections_only=True)
        seconds, peak, _ = self.isql_file(replay)
        base, _, _ = self.isql_file(connect)
        return max(seconds - base, 1e-6), peak

    # ----- the measurements

    def sweep(self, home):
        """Collects the row versions earlier runs left in the work table (untimed), so that each
        timed run pays for the rows its own DELETE removed and for no one else's."""
        self.isql(self.stk(home), "SELECT COUNT(*) FROM TMP_EXPORT_ACCT;\n")

    @staticmethod
    def with_collection(transactions, kind):
        """The search's statements, with a count of the kind's rows after its DELETE: the engine
        collects the removed rows when they are next read, and the program reads the kind right
        after its DELETE, so the floor pays for that collection too."""
        result = []
        for t in transactions:
            result.append(t)
            if any(s.lstrip().upper().startswith("DELETE FROM TMP_EXPORT_ACCT") for _, s in t.statements):
                count = fbtrace.Transaction(-1, t.database, t.position + 0.5)
                count.statements = [(t.position + 0.5,
                                     "SELECT COUNT(*) FROM TMP_EXPORT_ACCT WHERE S_MODULE = '%s'" % kind)]
                count.end = "COMMIT"
                result.append(count)
        return result

    def startup(self):
        """The program's own start: zantro-batch starting, logging in, opening its databases
        and listing a kind with no rows (median of the runs)."""
        self.batch(self.work, ["clear", "SL_CN"])
        return statistics.median(self.batch(self.work, ["list", "SL_CN"])[0] for _ in range(self.runs))

    def searches(self, ready):
        self.copy(ready, self.work)
        start = self.startup()
        results = {"startup": start, "kinds": {}}
        for kind, mode, label in SEARCHES:
            log("Search All %s ..." % label)
            self.set_export_mode(self.work, mode)
            recorded = fbtrace.only_statements(self.record(self.work, ["search", kind]), SEARCH_STATEMENTS)
            recorded = self.with_collection(recorded, kind)
            ours, printed, peaks, floors, rows = [], [], [], [], None
            for _ in range(self.runs):
                # The search itself, timed by the program (--json: from the search's first
                # statement to the rows found counted, without the start and the login) ...
                self.sweep(self.work)
                _, peak, out = self.batch(self.work, ["search", kind, "--json"])
                report = json.loads(out)
                rows = report["rows"]
                ours.append(report["searchSeconds"])
                peaks.append(peak)
                # ... and the whole command as a user runs it, every row printed.
                self.sweep(self.work)
                seconds, peak, _ = self.batch(self.work, ["search", kind])
                printed.append(seconds)
                peaks.append(peak)
                self.sweep(self.work)
                floors.append(self.floor(recorded)[0])
            results["kinds"][label] = {
                "rows": rows,
                "command": statistics.median(printed),
                "seconds": max(statistics.median(ours), 1e-6),
                "isql": statistics.median(floors),
                "peakKB": max(peaks),
                "floorKind": "select+inserts" if kind.startswith("AR_") else "statement",
                "statements": fbtrace.counts(recorded),
            }
        self.set_export_mode(self.work, "0")
        return results

    def receipts_marked(self, home):
        out = self.isql(self.stk(home), "SELECT COUNT(*) FROM POS_SALES WHERE SALES_EXPORT_ACCT = 'T';\n")
        return int(out.split()[-1])

    def export_once(self, state, kind, package):
        self.copy(state, self.work)
        return self.export_here(kind, package)

    def export_here(self, kind, package):
        """The export run of the ticked rows of the work copy as it is."""
        # The null package keeps nothing, so reading a posted document back finds nothing there: the
        # run reports every document as differing (status 3), having done the whole posting.
        ok = (0, 3) if package == "null" else (0,)
        wall, peak, out = self.batch(self.work, ["export", kind, "--json"], package=package, ok=ok)
        report = json.loads(out)
        if not report.get("completed") or report["posted"] != report["ticked"]:
            raise RuntimeError("export %s did not post every ticked document: %s" % (kind, out[-1000:]))
        return {
            "docs": report["posted"],
            "run": report["runSeconds"],
            "search": report["searchSeconds"],
            "wall": wall,
            "peakKB": peak,
        }

    def exports(self, ready, summary):
        results = {}
        for kind, mode, label in EXPORTS:
            state = summary if mode == "1" else ready
            ticked = self.facts(state)[label]
            log("Export %s (%d ticked) ..." % (label, ticked))
            self.copy(state, self.work)
            trace = self.record(self.work, ["export", kind, "--json"], package="null")
            recorded = fbtrace.window(trace, RUN_FIRST, RUN_AFTER)
            figures = {"standin": [], "null": [], "floor": [], "floorPeak": []}
            receipts = None
            for _ in range(self.runs):
                for package in ("standin", "null"):
                    figures[package].append(self.export_once(state, kind, package))
                if kind == "SL_CS" and receipts is None:
                    # A cash-sales document By Summary is a counter's day: its receipts are the work.
                    receipts = self.receipts_marked(self.work) - self.receipts_marked(state)
                self.copy(state, self.work)
                seconds, peak = self.floor(recorded)
                figures["floor"].append(seconds)
                figures["floorPeak"].append(peak)
            entry = {"ticked": ticked, "statements": fbtrace.counts(recorded)}
            if receipts is not None:
                entry["receipts"] = receipts
            for package in ("standin", "null"):
                runs = figures[package]
                entry[package] = {
                    "docs": runs[0]["docs"],
                    "run": statistics.median(r["run"] for r in runs),
                    "search": statistics.median(r["search"] for r in runs),
                    "wall": statistics.median(r["wall"] for r in runs),
                    "peakKB": max(r["peakKB"] for r in runs),
                }
            entry["floor"] = statistics.median(figures["floor"])
            entry["floorPeakKB"] = max(figures["floorPeak"])
            results[label] = entry
        return results


    def checks(self, ready, summary):
        """zantro-batch check over the same ticked documents as the export runs, nothing posted."""
        results = {}
        for kind, mode, label in EXPORTS:
            state = summary if mode == "1" else ready
            self.copy(state, self.work)
            log("Check %s ..." % label)
            runs = []
            for _ in range(self.runs):
                # Status 3: some documents would be refused; the check still ran over all of them.
                wall, peak, out = self.batch(self.work, ["check", kind, "--json"], ok=(0, 3))
                report = json.loads(out)
                runs.append({"docs": report["checked"], "refused": report["wouldBeRefused"],
                             "check": report["checkSeconds"], "wall": wall, "peakKB": peak})
            results[label] = {
                "docs": runs[0]["docs"],
                "refused": runs[0]["refused"],
                "check": statistics.median(r["check"] for r in runs),
                "wall": statistics.median(r["wall"] for r in runs),
                "peakKB": max(r["peakKB"] for r in runs),
            }
        return results


def versions():
    firebird = subprocess.run(["isql-fb", "-z"], capture_output=True, text=True, input="").stdout
    firebird = re.search(r"ISQL Version: (\S+)", firebird)
    qt = subprocess.run(["qtpaths6", "--qt-version"], capture_output=True, text=True).stdout.strip()
    return {
        "cores": os.cpu_count(),
        "firebird": firebird.group(1) if firebird else "?",
        "qt": qt or "?",
    }


def git_revision():
    done = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--short", "HEAD"], capture_output=True, text=True)
    dirty = subprocess.run(["git", "-C", SOURCE, "status", "--porcelain", "--untracked-files=no"],
                           capture_output=True, text=True).stdout.strip()
    return (done.stdout.strip() or "?") + ("+changes" if dirty else "")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--size", choices=ORDER, default="small")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--bin", required=True, help="folder of zantro-batch and zantro-demo")
    parser.add_argument("--cache", default=os.path.join(HERE, ".cache"))
    parser.add_argument("--results", help="where the figures are kept (default: in the cache)")
    parser.add_argument("--server", action="store_true",
                        help="the searches and export runs embedded and through a private server, side by side")
    parser.add_argument("--check-only", action="store_true",
                        help="only the check before posting of the ticked documents (nothing posted)")
    args = parser.parse_args()
    if args.runs < 3:
        parser.error("each figure is the median of at least three runs")

    started = time.perf_counter()
    bench = Bench(os.path.abspath(args.bin), os.path.abspath(args.cache), args.size, args.seed, args.runs)
    ready, summary = bench.installations()
    if args.check_only:
        import table

        results = {
            "size": args.size,
            "seed": args.seed,
            "runs": args.runs,
            "sizes": SIZES[args.size],
            "date": datetime.datetime.now().isoformat(timespec="seconds"),
            "revision": git_revision(),
            "machine": versions(),
            "check": bench.checks(ready, summary),
        }
        results["seconds"] = time.perf_counter() - started
        shutil.rmtree(bench.work, ignore_errors=True)
        print(table.render_check(results))
        return
    if args.server:
        import server
        import table

        results = {
            "size": args.size,
            "seed": args.seed,
            "runs": args.runs,
            "sizes": SIZES[args.size],
            "date": datetime.datetime.now().isoformat(timespec="seconds"),
            "revision": git_revision(),
            "machine": versions(),
            "server": server.compare(bench, ready, summary, SEARCHES, EXPORTS, log),
        }
        results["seconds"] = time.perf_counter() - started
        shutil.rmtree(bench.work, ignore_errors=True)
        folder = args.results or os.path.join(bench.cache, "results")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "%s-seed%d-server.json" % (args.size, args.seed)), "w") as f:
            json.dump(results, f, indent=1)
        print(table.render_server(results))
        return
    results = {
        "size": args.size,
        "seed": args.seed,
        "runs": args.runs,
        "sizes": SIZES[args.size],
        "date": datetime.datetime.now().isoformat(timespec="seconds"),
        "revision": git_revision(),
        "machine": versions(),
        "search": bench.searches(ready),
        "export": bench.exports(ready, summary),
        "check": bench.checks(ready, summary),
    }
    results["seconds"] = time.perf_counter() - started
    shutil.rmtree(bench.work, ignore_errors=True)

    folder = args.results or os.path.join(bench.cache, "results")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "%s-seed%d.json" % (args.size, args.seed)), "w") as f:
        json.dump(results, f, indent=1)
    others = {}
    for size in ORDER:
        path = os.path.join(folder, "%s-seed%d.json" % (size, args.seed))
        if os.path.exists(path):
            with open(path) as f:
                others[size] = json.load(f)

    import table

    print(table.render(results, others))


if __name__ == "__main__":
    main()
