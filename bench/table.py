"""The benchmark's table: one size's figures, and how each grows between the sizes measured.
README.md explains every column."""

ORDER = ["small", "medium", "large"]
SEARCH_TARGET = 1.2  # our search time over the engine's, sales and purchase kinds
AR_SEARCH_TARGET = 1.5  # the same for the AR kinds, against SELECT + single-row INSERTs
NULL_TARGET = 500.0  # documents per second with the null package, By Item, at the large size
STANDIN_TARGET = 200.0  # documents per second with the stand-in package
FLOOR_TARGET = 2.0  # our run's time over the floor's, with the null package
FLAT_TARGET = 1.2  # time per document (or row) at a size over the size before
CHECK_TARGET = 2.0  # seconds for the check before posting of 1,000 ticked documents


def _n(value):
    return "{:,}".format(value)


def _mb(kb):
    return "%.0f" % (kb / 1024.0)


def _ok(good):
    return "ok" if good else "MISS"


def _rate(docs, seconds):
    return docs / seconds if seconds > 0 else float("inf")


def _growth(results, size, pick):
    """A figure at `size` over the same figure at the size before it, or None."""
    index = ORDER.index(size)
    if index == 0 or ORDER[index - 1] not in results or size not in results:
        return None
    try:
        before, after = pick(results[ORDER[index - 1]]), pick(results[size])
    except (KeyError, ZeroDivisionError, TypeError):
        return None
    return after / before if before else None


def _g(value):
    return "-" if value is None else "%.2f" % value


def _search_target(entry):
    return AR_SEARCH_TARGET if entry["floorKind"] != "statement" else SEARCH_TARGET


def render(current, results):
    size = current["size"]
    receipts, stock, ar = current["sizes"]
    machine = current["machine"]
    search = current["search"]
    out = [
        "Benchmark of the accounting link, size %s: %s receipts, %s stock documents, %s receivable "
        "documents (seed %d)" % (size, _n(receipts), _n(stock), _n(ar), current["seed"]),
        "%d cores, Firebird %s, Qt %s; each figure the median of %d runs; revision %s, %s, %.0f s"
        % (machine["cores"], machine["firebird"], machine["qt"], current["runs"], current["revision"],
           current["date"], current.get("seconds", 0)),
        "",
        "SEARCH ALL (zantro-batch search; isql-fb on the same database)",
        "%-18s %10s %10s %9s %8s %6s %-10s %8s" % (
            "kind", "rows", "printed s", "search s", "isql s", "ratio", "target", "peak MB"),
    ]
    for label, s in search["kinds"].items():
        ratio = s["seconds"] / s["isql"]
        target = _search_target(s)
        out.append("%-18s %10s %10.3f %9.3f %8.3f %6.2f %-10s %8s" % (
            label, _n(s["rows"]), s["command"], s["seconds"], s["isql"], ratio,
            "%.1f %s" % (target, _ok(ratio <= target)), _mb(s["peakKB"])))
    out += [
        "  printed s: the whole command, every row printed to /dev/null, of which %.3f s are the program's "
        "own start (logging in, opening the databases)." % search["startup"],
        "  search s: the search itself as the program times it (--json: from its first statement to the "
        "rows found counted). isql s: the "
        "search's DELETE and INSERT ... SELECT",
        "  (AR kinds: its SELECT and one INSERT per row) with the same commits, and a count that "
        "collects the deleted rows, less isql-fb's connect.",
        "",
        "EXPORT RUN, documents per second (zantro-batch export of the ticked documents)",
        "%-18s %11s %14s %8s %14s %8s %8s %11s %9s" % (
            "kind", "documents", "stand-in", "peak MB", "null", "peak MB", "floor", "null/floor",
            "search s"),
    ]
    for label, e in current["export"].items():
        docs = e["null"]["docs"]
        shown = _n(docs) if e["ticked"] >= 1000 else "%s all" % _n(docs)
        standin = _rate(e["standin"]["docs"], e["standin"]["run"])
        null = _rate(docs, e["null"]["run"])
        floor = _rate(docs, e["floor"])
        times = e["null"]["run"] / e["floor"]
        null_mark = ""
        if "By Item" in label and size == "large":
            null_mark = _ok(null >= NULL_TARGET)
        out.append("%-18s %11s %9.0f %-4s %8s %9.0f %-4s %8s %8.0f %6.2f %-4s %9.2f" % (
            label, shown, standin, _ok(standin >= STANDIN_TARGET), _mb(e["standin"]["peakKB"]),
            null, null_mark, _mb(e["null"]["peakKB"]), floor, times, _ok(times <= FLOOR_TARGET),
            e["null"]["search"]))
    out += [
        "  The run alone, from reading the ticked rows to the last document marked; the search the "
        "command makes after it is the last column.",
        "  Peak memory is the whole command's. Targets: stand-in >= %.0f/s; null >= %.0f/s By Item "
        "at the large size; null within %.0fx" % (STANDIN_TARGET, NULL_TARGET, FLOOR_TARGET),
        "  the floor: the run's own reads and writes, recorded by the engine's trace and replayed "
        "by isql-fb with the same commits. Per document:",
    ]
    for label, e in current["export"].items():
        docs = max(e["null"]["docs"], 1)
        receipts = ", %.0f receipts marked" % (e["receipts"] / docs) if "receipts" in e else ""
        out.append("    %-18s %s%s" % (label, "; ".join(
            "%s %.1f statements, %.2f commits" % (db, st / docs, c / docs)
            for db, (st, c) in e["statements"].items()), receipts))
    out.append("")

    out += _check_lines(current)

    sizes = [s for s in ORDER if s in results]
    if len(sizes) > 1:
        heads = ["%s>%s" % (ORDER[i - 1], ORDER[i]) for i in range(1, len(ORDER))]
        out.append("GROWTH: time per row found or per document at a size over the size before it "
                   "(1.00 flat; target <= %.2f); peak memory likewise" % FLAT_TARGET)
        out.append("%-44s %s" % ("", " ".join("%14s" % h for h in heads)))

        def row(name, pick, target=True):
            values = [_growth(results, later, pick) for later in ORDER[1:]]
            late = target and any(v is not None and v > FLAT_TARGET for v in values)
            out.append("%-44s %s%s" % (name, " ".join("%14s" % _g(v) for v in values),
                                       "   MISS" if late else ""))

        def work(r, label):
            """Documents, or for cash sales By Summary the receipts they mark (a document is a
            counter's day, whose receipts grow with the size)."""
            e = r["export"][label]
            return e.get("receipts", e["null"]["docs"]) if "By Summary" in label else e["null"]["docs"]

        for label in current["export"]:
            unit = "receipt" if "By Summary" in label else "document"
            for package, name in (("standin", "stand-in"), ("null", "null")):
                row("export %s, %s, per %s" % (label, name, unit),
                    lambda r, l=label, p=package: r["export"][l][p]["run"] / work(r, l))
            row("export %s, floor, per %s" % (label, unit),
                lambda r, l=label: r["export"][l]["floor"] / work(r, l), False)
            row("export %s, peak memory (null)" % label,
                lambda r, l=label: r["export"][l]["null"]["peakKB"])
        for label in search["kinds"]:
            row("search %s, ours" % label,
                lambda r, l=label: r["search"]["kinds"][l]["seconds"] / max(r["search"]["kinds"][l]["rows"], 1),
                False)
            row("search %s, isql" % label,
                lambda r, l=label: r["search"]["kinds"][l]["isql"] / max(r["search"]["kinds"][l]["rows"], 1),
                False)
            row("search %s, peak memory" % label,
                lambda r, l=label: r["search"]["kinds"][l]["peakKB"], False)
        out.append("  (sizes: %s)" % ", ".join("%s of %s" % (s, results[s]["date"]) for s in sizes))
    return "\n".join(out)


def render_server(current):
    """The searches and export runs embedded and through the private server, side by side."""
    size = current["size"]
    receipts, stock, ar = current["sizes"]
    machine = current["machine"]
    server = current["server"]
    out = [
        "Accounting link embedded and through a Firebird server on the loopback, size %s: %s "
        "receipts, %s stock documents, %s receivable documents (seed %d)"
        % (size, _n(receipts), _n(stock), _n(ar), current["seed"]),
        "%d cores, Firebird %s, Qt %s; each figure the median of %d runs; revision %s, %s, %.0f s"
        % (machine["cores"], machine["firebird"], machine["qt"], current["runs"], current["revision"],
           current["date"], current.get("seconds", 0)),
        "",
        "SEARCH ALL            rows  search s: embedded   server  ratio   command s: embedded   server  ratio",
    ]
    for label, entry in server["search"].items():
        e, s = entry["embedded"], entry["server"]
        out.append(
            "%-18s %7s  %17.3f %8.3f %6.2f   %18.3f %8.3f %6.2f"
            % (label, _n(entry["rows"]), e["search"], s["search"], s["search"] / max(e["search"], 1e-6),
               e["command"], s["command"], s["command"] / max(e["command"], 1e-6))
        )
    out += [
        "",
        "EXPORT RUN          documents  stand-in docs/s: embedded  server  ratio   null docs/s: embedded  server  ratio",
    ]
    for label, entry in server["export"].items():
        row = "%-18s %10s " % (label, _n(entry["embedded"]["standin"]["docs"]))
        for package in ("standin", "null"):
            e = _rate(entry["embedded"][package]["docs"], entry["embedded"][package]["run"])
            s = _rate(entry["server"][package]["docs"], entry["server"][package]["run"])
            row += " %24.0f %7.0f %6.2f " % (e, s, e / s if s else float("inf"))
        out.append(row.rstrip())
    out += [
        "",
        "ratio: the server's time over the embedded engine's (searches and whole commands), or the "
        "embedded",
        "rate over the server's (exports): how many times slower the server is. search s is the "
        "search alone",
        "as the program times it; command s the whole zantro-batch search command (start, login, "
        "search).",
    ]
    return "\n".join(out)


def _check_lines(current):
    """The check before posting, one line per exported kind; none when it was not measured."""
    if not current.get("check"):
        return []
    out = [
        "CHECK BEFORE POSTING (zantro-batch check of the same ticked documents; nothing posted)",
        "%-18s %11s %9s %9s %-8s %9s %8s" % (
            "kind", "documents", "refused", "check s", "target", "wall s", "peak MB"),
    ]
    for label, c in current["check"].items():
        out.append("%-18s %11s %9s %9.3f %-8s %9.3f %8s" % (
            label, _n(c["docs"]), _n(c["refused"]), c["check"],
            "%.0f %s" % (CHECK_TARGET, _ok(c["check"] <= CHECK_TARGET)), c["wall"], _mb(c["peakKB"])))
    out += [
        "  check s: the check itself as the program times it (--json checkSeconds), against the "
        "stand-in package; wall s: the whole command with its start and login.",
        "  Target: at most %.0f s for 1,000 documents. refused: documents it found the package "
        "would refuse." % CHECK_TARGET,
        "",
    ]
    return out


def render_check(current):
    """The check alone (bench/run --check-only)."""
    size = current["size"]
    receipts, stock, ar = current["sizes"]
    machine = current["machine"]
    return "\n".join([
        "Benchmark of the accounting link, size %s: %s receipts, %s stock documents, %s receivable "
        "documents (seed %d)" % (size, _n(receipts), _n(stock), _n(ar), current["seed"]),
        "%d cores, Firebird %s, Qt %s; each figure the median of %d runs; revision %s, %s, %.0f s"
        % (machine["cores"], machine["firebird"], machine["qt"], current["runs"], current["revision"],
           current["date"], current.get("seconds", 0)),
        "",
    ] + _check_lines(current))
