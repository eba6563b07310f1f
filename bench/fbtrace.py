"""Reads the engine's own record of a run (Firebird's audit trace) and writes the same reads and
writes, with the same commits, as one isql-fb script: the floor a run is measured against.

The trace lists every transaction's start and end and every statement with its transaction.
A statement is often written to the trace after its transaction ended (a SELECT is finished when
its rows are gone), so statements are gathered by transaction first and each transaction is then
written whole, in the order the transactions started, database by database.
"""

import re
from collections import OrderedDict

_HEADER = re.compile(
    r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{4} \(\d+:0x[0-9a-f]+\) (?:(FAILED|UNAUTHORIZED) )?([A-Z_]+)$"
)
_DATABASE = re.compile(r"^\t(\S.*?) \(ATT_\d+")
_TRANSACTION = re.compile(r"^\t\t\(TRA_(\d+),")
_RULE = "-" * 79
_PARAM = re.compile(r"^param\d+ = ([^,]+), (.*)$")


class Transaction:
    def __init__(self, number, database, position):
        self.number = number
        self.database = database
        self.position = position  # where it started in the trace
        self.statements = []  # (position, text)
        self.end = None  # "COMMIT" or "ROLLBACK"


def _sql_literal(kind, value):
    if value == "<NULL>":
        return "NULL"
    if value.startswith('"') and value.endswith('"'):
        text = value[1:-1]
        kind = kind.strip().lower()
        if kind.startswith(("timestamp", "date", "time")):
            text = text.replace("T", " ")
        return "'" + text.replace("'", "''") + "'"
    return value


def _bind(sql, params):
    """Puts the logged parameter values in place of the statement's question marks."""
    if not params:
        return sql
    out, quote, values = [], None, iter(params)
    for ch in sql:
        if quote:
            out.append(ch)
            if ch == quote:
                quote = None
        elif ch in "'\"":
            quote = ch
            out.append(ch)
        elif ch == "?":
            out.append(next(values))
        else:
            out.append(ch)
    return "".join(out)


def _statement_text(lines):
    """The SQL of an EXECUTE_STATEMENT_FINISH event, parameters bound."""
    try:
        start = lines.index(_RULE) + 1
    except ValueError:
        return None
    sql, params, in_params = [], [], False
    for line in lines[start:]:
        if re.fullmatch(r"\^+", line):
            in_params = True
            continue
        # A statement executed again is traced without its plan, and so without the "^^^" line
        # that comes before the plan: its parameters follow the text directly.
        if not in_params and _PARAM.match(line):
            in_params = True
        if re.fullmatch(r"\d+ records? fetched", line) or re.match(r"^\s+\d+ ms", line):
            break
        if in_params:
            m = _PARAM.match(line)
            if m:
                params.append(_sql_literal(m.group(1), m.group(2)))
            continue
        sql.append(line)
    text = "\n".join(sql).strip()
    return _bind(text, params) if text else None


def read_trace(path):
    """All transactions of the trace, by number, in the order they started."""
    events, current = [], None
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.rstrip("\n")
            m = _HEADER.match(line)
            if m:
                current = [m.group(1), m.group(2), []]
                events.append(current)
            elif current is not None:
                current[2].append(line)

    transactions = OrderedDict()
    for position, (failed, kind, lines) in enumerate(events):
        database = transaction = None
        for line in lines[:3]:
            m = _DATABASE.match(line)
            if m:
                database = m.group(1)
            m = _TRANSACTION.match(line)
            if m:
                transaction = int(m.group(1))
        if database is None or transaction is None:
            continue
        key = (database, transaction)
        if kind == "START_TRANSACTION":
            transactions[key] = Transaction(transaction, database, position)
            continue
        t = transactions.get(key)
        if t is None:  # started before the trace began
            t = transactions[key] = Transaction(transaction, database, position)
        if kind in ("COMMIT_TRANSACTION", "COMMIT_RETAINING"):
            t.end = "COMMIT"
        elif kind in ("ROLLBACK_TRANSACTION", "ROLLBACK_RETAINING"):
            t.end = "ROLLBACK"
        elif kind == "EXECUTE_STATEMENT_FINISH" and not failed:
            text = _statement_text(lines)
            if text:
                t.statements.append((position, text))
    return list(transactions.values())


def window(transactions, first, last=None):
    """The transactions from the one whose statement starts with `first` up to, not including,
    the first later one whose statement starts with `last`."""

    def starts(t, prefix):
        return any(s.lstrip().upper().startswith(prefix.upper()) for _, s in t.statements)

    ordered = sorted(transactions, key=lambda t: t.position)
    begin = next((i for i, t in enumerate(ordered) if starts(t, first)), None)
    if begin is None:
        raise ValueError("the trace holds no statement starting with %r" % first)
    end = len(ordered)
    if last:
        end = next((i for i in range(begin + 1, len(ordered)) if starts(ordered[i], last)), end)
    return ordered[begin:end]


def only_statements(transactions, prefixes):
    """The transactions that ran a statement starting with one of the prefixes, with only those
    statements."""
    kept = []
    for t in transactions:
        statements = [
            (p, s)
            for p, s in t.statements
            if any(s.lstrip().upper().startswith(x.upper()) for x in prefixes)
        ]
        if statements:
            copy = Transaction(t.number, t.database, t.position)
            copy.statements, copy.end = statements, t.end
            kept.append(copy)
    return kept


def isql_script(transactions, login, connections_only=False):
    """One isql-fb script: per database a CONNECT, then each transaction's statements and its
    COMMIT or ROLLBACK (isql starts a transaction for each, empty ones included, as the program's
    own). `login(database)` gives (user, password). With connections_only the script only
    connects, for the time to subtract."""
    by_database = OrderedDict()
    for t in sorted(transactions, key=lambda t: t.position):
        by_database.setdefault(t.database, []).append(t)
    # AUTODDL OFF: isql then keeps one transaction, not a second one for its own metadata.
    lines = ["SET NAMES UTF8;", "SET AUTODDL OFF;"]
    for database, group in by_database.items():
        user, password = login(database)
        lines.append("CONNECT '%s' USER '%s' PASSWORD '%s';" % (database, user, password))
        if connections_only:
            continue
        for t in group:
            for _, text in sorted(t.statements):
                if text.lstrip().upper().startswith("EXECUTE BLOCK"):
                    # A block holds statements of its own: isql needs another terminator for it.
                    lines += ["SET TERM ^ ;", text + "^", "SET TERM ; ^"]
                else:
                    lines.append(text + ";")
            lines.append((t.end or "COMMIT") + ";")
    return "\n".join(lines) + "\n"


def counts(transactions):
    """Statements and commits per database file name."""
    result = OrderedDict()
    for t in transactions:
        name = t.database.rsplit("/", 1)[-1]
        s, c = result.get(name, (0, 0))
        result[name] = (s + len(t.statements), c + 1)
    return result
