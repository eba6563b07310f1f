"""The benchmark through a Firebird server: the same searches and export runs on a copy of the
installation whose databases (the five and the package's) a private server on the loopback
serves, beside the embedded engine's figures for the same work. bench/run --server runs it;
README.md explains the table."""

import json
import os
import re
import shutil
import statistics
import subprocess

SCRIPT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                      "tests", "data", "private_firebird_server.sh")
ALIASES = ["ZantSys", "ZantStk", "ZantApp", "ZantHis", "ARDB"]
HISTORY_LOGIN = ("ZANTROHIS", "History-9")


class PrivateServer:
    """A Firebird server of the benchmark's own (tests/data/private_firebird_server.sh): its own
    folder, port and security database, started here and stopped at the end."""

    def __init__(self, folder, env):
        self.folder = folder
        self.env = env
        subprocess.run([SCRIPT, "start", folder], check=True, capture_output=True, text=True)
        self.port = open(os.path.join(folder, "port")).read().strip()
        self.password = open(os.path.join(folder, "password")).read().strip()
        self.serial = 0

    def stop(self):
        subprocess.run([SCRIPT, "stop", self.folder], capture_output=True, text=True)

    def path(self, *parts):
        return "localhost/%s:%s" % (self.port, os.path.join(self.folder, "db", *parts))

    def isql(self, database, sql, user="SYSDBA", password=None):
        argv = ["isql-fb", "-q", "-user", user, "-password", password or self.password]
        if database:
            argv.append(database)
        done = subprocess.run(argv, env=self.env, input=sql, capture_output=True, text=True)
        if done.returncode != 0 or "Statement failed" in done.stdout + done.stderr:
            raise RuntimeError("isql-fb %s: %s%s" % (database, done.stdout, done.stderr))
        return done.stdout

    def login(self, user, password):
        """Makes the installation's database account a login of the server."""
        logins = os.path.join(self.folder, "db", "logins.fdb")
        if not os.path.exists(logins):
            self.isql("", "CREATE DATABASE '%s' USER 'SYSDBA' PASSWORD '%s';\n"
                      % (self.path("logins.fdb"), self.password))
        self.isql(self.path("logins.fdb"),
                  "CREATE OR ALTER USER %s PASSWORD '%s' USING PLUGIN Srp;\nCOMMIT;\n" % (user, password))

    def take(self, home):
        """Moves the databases of the installation `home` onto the server, as the README says:
        the files copied into a folder of the server's, the alias file's PATHs and the package's
        DATABASE_FOLDER turned into host/port:path. Each call uses a new folder (the previous
        one is removed), so the server never sees a file change under it."""
        previous = os.path.join(self.folder, "db", "run%d" % self.serial)
        self.serial += 1
        name = "run%d" % self.serial
        target = os.path.join(self.folder, "db", name)
        os.makedirs(target)
        aliases = os.path.join(home, "Databases.ini")
        text = open(aliases, newline="").read()
        for alias in ALIASES:
            source = os.path.join(home, "Data", alias + ".fdb")
            shutil.copy2(source, os.path.join(target, alias + ".fdb"))
            text, n = re.subn(r"(?m)^PATH=Data/%s\.fdb" % alias, "PATH=" + self.path(name, alias + ".fdb"), text)
            if n != 1:
                raise RuntimeError("no PATH of %s in %s" % (alias, aliases))
        # The history database's administrator account: a login of its own, not SYSDBA.
        text, n = re.subn(r"(?m)^ADMIN_USER=.*$", "ADMIN_USER=" + HISTORY_LOGIN[0], text)
        text = re.sub(r"(?m)^ADMIN_PASSWORD=.*$", "ADMIN_PASSWORD=" + HISTORY_LOGIN[1], text)
        if n == 0:
            text = text.replace("[ZantHis]", "[ZantHis]\nADMIN_USER=%s\nADMIN_PASSWORD=%s" % HISTORY_LOGIN, 1)
        with open(aliases, "w", newline="") as f:
            f.write(text)
        package = os.path.join(home, "Package")
        for file in os.listdir(package):
            if file.upper().endswith(".FDB"):
                shutil.copy2(os.path.join(package, file), os.path.join(target, file))
        dcf = os.path.join(package, "DEFAULT.DCF")
        text = open(dcf, newline="").read()
        text, n = re.subn(r"(?m)^DATABASE_FOLDER=.*$", "DATABASE_FOLDER=" + self.path(name), text)
        if n != 1:
            raise RuntimeError("no DATABASE_FOLDER in " + dcf)
        with open(dcf, "w", newline="") as f:
            f.write(text)
        # The embedded files are not used any more: nothing can read them by mistake.
        shutil.rmtree(os.path.join(home, "Data"))
        shutil.rmtree(previous, ignore_errors=True)
        return target


def account(home):
    text = open(os.path.join(home, "Databases.ini")).read()
    user = re.search(r"^USER=(.*)$", text, re.M).group(1).strip()
    password = re.search(r"^PASSWORD=(.*)$", text, re.M).group(1).strip()
    return user, password


def compare(bench, ready, summary, searches, exports, log):
    """Search All and the export run of each kind, embedded and through the server, in turns
    (embedded, then server, for each run), so the machine's other load falls on both alike."""
    server = PrivateServer(os.path.join(bench.cache, "server"), bench.env())
    try:
        server.login(*account(ready))
        server.login(*HISTORY_LOGIN)
        results = {"search": {}, "export": {}}
        for kind, mode, label in searches:
            log("Search All %s, embedded and through the server ..." % label)
            figures = {"embedded": ([], []), "server": ([], [])}
            rows = None
            for _ in range(bench.runs):
                for where in ("embedded", "server"):
                    bench.copy(ready, bench.work)
                    bench.set_export_mode(bench.work, mode)
                    if where == "server":
                        server.take(bench.work)
                    # The whole command as a user runs it (start, login, search, rows counted) ...
                    seconds, _, out = bench.batch(bench.work, ["search", kind, "--json"])
                    report = json.loads(out)
                    rows = report["rows"]
                    figures[where][0].append(report["searchSeconds"])
                    figures[where][1].append(seconds)
            results["search"][label] = {
                "rows": rows,
                **{where: {"search": statistics.median(f[0]), "command": statistics.median(f[1])}
                   for where, f in figures.items()},
            }
        for kind, mode, label in exports:
            state = summary if mode == "1" else ready
            log("Export %s, embedded and through the server ..." % label)
            entry = {}
            runs = {(where, package): [] for where in ("embedded", "server") for package in ("standin", "null")}
            for _ in range(bench.runs):
                for package in ("standin", "null"):
                    for where in ("embedded", "server"):
                        bench.copy(state, bench.work)
                        if where == "server":
                            server.take(bench.work)
                        runs[(where, package)].append(bench.export_here(kind, package))
            for (where, package), figures in runs.items():
                entry.setdefault(where, {})[package] = {
                    "docs": figures[0]["docs"],
                    "run": statistics.median(r["run"] for r in figures),
                    "search": statistics.median(r["search"] for r in figures),
                    "wall": statistics.median(r["wall"] for r in figures),
                }
            results["export"][label] = entry
        return results
    finally:
        server.stop()
