// The batch commands on the export work table: search, tick, clear and list.
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/batch/work_table_printer.h"
#include "export/module_codes.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace {

const QStringList kStockRange{QStringLiteral("store"), QStringLiteral("from"),
                              QStringLiteral("to")};
const QStringList kReferenceRange{QStringLiteral("ref-from"), QStringLiteral("ref-to")};
const QStringList kCustomerRange{QStringLiteral("customer"), QStringLiteral("from"),
                                 QStringLiteral("to")};

QString onlyKind(const BatchArguments& arguments, int words) {
    if (arguments.positional().isEmpty())
        throw UsageError(QStringLiteral("KIND is missing"));
    if (arguments.positional().size() > words)
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().at(words)));
    return TransactionKindArgument(arguments.positional().first());
}

// How a search reports what it found: its rows as the grid shows them; with --count only their
// number (a script that goes on to tick and export needs no more, and a million rows print
// slowly); with --json the kind, the number and the seconds the search took, without its start
// and login (what a benchmark holds against the engine's own time).
enum class SearchReport { Rows, Count, Json };

using SearchRun = std::function<int(BatchSession&)>;

BatchCommand::Run reportSearch(const QString& kind, SearchReport report, SearchRun search) {
    return [kind, report, search](BatchSession& session) {
        QElapsedTimer clock;
        clock.start();
        const int rows = search(session);
        const double seconds = clock.nsecsElapsed() / 1e9;
        QTextStream& out = session.out();
        switch (report) {
        case SearchReport::Rows:
            PrintWorkTableRows(out, *session.data().ExportView(kind));
            break;
        case SearchReport::Count:
            out << "Total Record: " << rows << '\n';
            break;
        case SearchReport::Json:
            out << QJsonDocument(QJsonObject{{QStringLiteral("kind"), kind},
                                             {QStringLiteral("rows"), rows},
                                             {QStringLiteral("searchSeconds"), seconds}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
            break;
        }
        out.flush();
        return int(BatchDone);
    };
}

BatchCommand::Run parseSearch(const QStringList& words) {
    const BatchArguments arguments(
        words, kStockRange + kReferenceRange + QStringList{QStringLiteral("customer")},
        {QStringLiteral("count"), QStringLiteral("json")});
    const QString kind = onlyKind(arguments, 1);
    const SearchReport report = arguments.flag(QStringLiteral("json"))    ? SearchReport::Json
                                : arguments.flag(QStringLiteral("count")) ? SearchReport::Count
                                                                          : SearchReport::Rows;
    if (IsReceivableCode(kind)) {
        if (arguments.hasAny(kStockRange.mid(0, 1) + kReferenceRange))
            throw UsageError(
                QStringLiteral("%1 is searched by --customer, --from and --to only").arg(kind));
        ReceivableSearchFilter filter;
        filter.searchAll = !arguments.hasAny(kCustomerRange);
        if (!filter.searchAll) {
            arguments.require(kCustomerRange);
            filter.customer = arguments.value(QStringLiteral("customer"));
            filter.from = DayArgument(QStringLiteral("from"), arguments.value("from"));
            filter.to = DayArgument(QStringLiteral("to"), arguments.value("to"));
        }
        return reportSearch(kind, report, [kind, filter](BatchSession& session) {
            return session.search().SearchReceivables(kind, filter);
        });
    }
    if (arguments.has(QStringLiteral("customer")))
        throw UsageError(QStringLiteral("--customer applies to the AR kinds only"));
    if (kind == QLatin1String(ModuleCodes::CashSales) && arguments.hasAny(kReferenceRange))
        throw UsageError(QStringLiteral("cash sales have no reference range"));
    StockSearchFilter filter;
    filter.searchAll = !arguments.hasAny(kStockRange + kReferenceRange);
    if (!filter.searchAll) {
        arguments.require(kStockRange);
        filter.store = arguments.value(QStringLiteral("store"));
        filter.from = DayArgument(QStringLiteral("from"), arguments.value("from"));
        filter.to = DayArgument(QStringLiteral("to"), arguments.value("to"));
        if (arguments.has(QStringLiteral("ref-from")))
            filter.refFrom = arguments.value(QStringLiteral("ref-from"));
        if (arguments.has(QStringLiteral("ref-to")))
            filter.refTo = arguments.value(QStringLiteral("ref-to"));
    }
    return reportSearch(kind, report, [kind, filter](BatchSession& session) {
        return session.search().SearchStockDocuments(kind, filter);
    });
}

BatchCommand::Run parseTick(const QStringList& words) {
    const BatchArguments arguments(words, {});
    const QString kind = onlyKind(arguments, 2);
    const QString mark = arguments.positional().value(1);
    if (mark != QLatin1String("all") && mark != QLatin1String("none"))
        throw UsageError(mark.isEmpty()
                             ? QStringLiteral("all or none is missing")
                             : QStringLiteral("\"%1\" is neither all nor none").arg(mark));
    const bool ticked = mark == QLatin1String("all");
    return [kind, ticked](BatchSession& session) {
        PrintChangedElsewhere(session, kind);
        const int rows = session.search().TickAll(kind, ticked);
        session.out() << (ticked ? "Ticked: " : "Unticked: ") << rows << " rows of " << kind
                      << '\n';
        session.out().flush();
        return int(BatchDone);
    };
}

BatchCommand::Run parseClear(const QStringList& words) {
    const QString kind = onlyKind(BatchArguments(words, {}), 1);
    return [kind](BatchSession& session) {
        session.search().Clear(kind);
        session.out() << "Cleared: " << kind << '\n' << "Total Record: 0\n";
        session.out().flush();
        return int(BatchDone);
    };
}

BatchCommand::Run parseList(const QStringList& words) {
    const QString kind = onlyKind(BatchArguments(words, {}), 1);
    return [kind](BatchSession& session) {
        PrintChangedElsewhere(session, kind);
        PrintWorkTableRows(session.out(), *session.data().ExportView(kind));
        return int(BatchDone);
    };
}

} // namespace

BatchCommand SearchCommand() {
    return {QStringLiteral("search"),
            QStringLiteral(
                "search KIND [--count|--json]\n"
                "search KIND --store S --from yyyy/MM/dd --to yyyy/MM/dd "
                "[--ref-from R --ref-to R] [--count|--json]\n"
                "search AR_KIND --customer C --from yyyy/MM/dd --to yyyy/MM/dd [--count|--json]"),
            QStringLiteral(
                "Replaces the work-table rows of KIND with the documents not yet exported, all\n"
                "unticked, and prints them with their count.\n"
                "Without filters every document from the GST start date on is searched (Search\n"
                "All). With --store, --from and --to only that store's documents of those days\n"
                "(for SL_IV, SL_CN, PH_PI and PH_SC also within the reference range, by default\n"
                "0000000001 to 9999999999); with --customer, --from and --to only that\n"
                "customer's receivable documents of those days from the GST start date on.\n"
                "--count prints only the line \"Total Record: \" with the number of rows found;\n"
                "--json the kind, the rows found and the seconds the search took (searchSeconds)."),
            parseSearch};
}

BatchCommand TickCommand() {
    return {
        QStringLiteral("tick"), QStringLiteral("tick KIND all|none"),
        QStringLiteral(
            "Ticks (all) or unticks (none) every work-table row of KIND, as Select All does.\n"
            "The work table is shared by every workstation of the installation: a line\n"
            "\"Warning: ...\" comes first when another workstation searched, ticked or cleared\n"
            "the rows of KIND since this one last looked at them (tick, list, export)."),
        parseTick};
}

BatchCommand ClearCommand() {
    return {QStringLiteral("clear"), QStringLiteral("clear KIND"),
            QStringLiteral("Deletes every work-table row of KIND, ticked or not, without asking."),
            parseClear};
}

BatchCommand ListCommand() {
    return {QStringLiteral("list"), QStringLiteral("list KIND"),
            QStringLiteral(
                "Prints the work-table rows of KIND with their ticks and their count, after a\n"
                "line \"Warning: ...\" when another workstation changed them since this one last\n"
                "looked at them."),
            parseList};
}
