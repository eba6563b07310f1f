#include "export/document_search.h"

#include "core/app_context.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "export/search_settings.h"
#include "export/search_statements.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString dayText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

void requireRange(const QDate& from, const QDate& to) {
    if (!from.isValid() || !to.isValid())
        throw AppError(QStringLiteral("The search needs a from-date and a to-date."));
}

// What to say of a range that ends before it starts, which holds no document; empty otherwise.
QString reversedRangeText(const QDate& from, const QDate& to) {
    if (to >= from)
        return QString();
    return QStringLiteral("No documents found: the to-date %1 is earlier than the from-date %2.")
        .arg(dayText(to), dayText(from));
}

// How many rows are read or copied between two reports to a caller that follows the search.
constexpr int kReportEvery = 500;

} // namespace

TickedTotals TickedInView(const Dataset& view) {
    TickedTotals totals;
    if (!view.isActive())
        return totals;
    const QString tick = QStringLiteral("S_EXPORT_ACCT");
    const QString net = QStringLiteral("S_NETTOTAL");
    for (int row = 0; row < view.recordCount(); ++row) {
        if (view.valueAt(row, tick).toString() != QLatin1String("T"))
            continue;
        ++totals.count;
        totals.netTotal += view.valueAt(row, net).toDouble();
    }
    return totals;
}

DocumentSearch::DocumentSearch(TdmPolling& data, const SettingsFile& settings, QObject* parent)
    : QObject(parent), data_(data), settings_(settings), use_(data.dbStk) {
    recordTicksOfViews();
}

DocumentSearch::DocumentSearch(TdmPolling& data, const SettingsFile& settings, ViewReading reading,
                               QObject* parent)
    : QObject(parent), data_(data), settings_(settings), reading_(reading), use_(data.dbStk) {
    recordTicksOfViews();
}

DocumentSearch::~DocumentSearch() {
    for (const QString& code : TransactionCodes())
        if (Table* view = data_.ExportView(code))
            view->afterPost = nullptr;
}

void DocumentSearch::recordTicksOfViews() {
    // A tick saved in a view (leaving the row, or the view read again) is a change the other
    // workstations hear of.
    for (const QString& code : TransactionCodes())
        if (Table* view = data_.ExportView(code))
            view->afterPost = [this, code](Dataset&) { use_.recordTicked(code); };
}

QString DocumentSearch::ChangedElsewhereText(const QString& moduleCode) {
    return use_.changedElsewhereText(moduleCode);
}

void DocumentSearch::SavePendingTick(const QString& moduleCode) {
    Table* view = data_.ExportView(moduleCode);
    if (!view || !view->isActive())
        return;
    try {
        view->checkBrowseMode();
    } catch (...) {
        // The row went away or was changed elsewhere: drop the edit so the next action does not
        // fail on it again, and report the error once.
        view->cancel();
        throw;
    }
}

TickedTotals DocumentSearch::TickedInWorkTable(const QString& moduleCode) {
    RowReader reader(data_.dbStk, TickedTotalsStatement(moduleCode));
    TickedTotals totals;
    if (reader.next()) {
        totals.count = reader.value(0).toInt();
        totals.netTotal = reader.value(1).toDouble();
    }
    return totals;
}

int DocumentSearch::rereadView(const QString& moduleCode) {
    Table* view = data_.ExportView(moduleCode);
    int rows = 0;
    if (reading_ == ViewReading::CountOnly && !view->isActive()) {
        // The rows the view would hold: its own statement, counted by the engine.
        QVariantList binds;
        const QString select = view->selectSql(binds, false);
        rows = SelectValue(*view->connection(),
                           QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(select), binds)
                   .toInt();
        emit viewReread(moduleCode, rows);
        return rows;
    }
    if (view->isActive())
        view->refresh();
    else
        view->open();
    rows = view->recordCount();
    emit viewReread(moduleCode, rows);
    return rows;
}

std::optional<int> DocumentSearch::ExecCommand(const QString& sql, const QString& moduleCode) {
    const bool transaction = IsTransactionCode(moduleCode);
    // A tick still being edited belongs to a row this statement may delete: save it first.
    if (transaction)
        SavePendingTick(moduleCode);
    data_.qryTmp.setSql(sql);
    data_.qryTmp.execSql();
    if (!transaction) {
        emit viewReread(moduleCode, -1);
        return std::nullopt;
    }
    return rereadView(moduleCode);
}

SearchPlan PlanStockSearch(const QString& moduleCode, const StockSearchFilter& filter,
                           const SettingsFile& settings) {
    if (!IsStockDocumentCode(moduleCode))
        throw AppError(
            QStringLiteral("%1 is not a sales or purchase document kind.").arg(moduleCode));
    if (!filter.searchAll)
        requireRange(filter.from, filter.to);

    StockSearchValues values;
    values.gstStart = GstStartTextForSearch(settings);
    values.jobOption = filter.jobOption;
    if (moduleCode == QLatin1String(ModuleCodes::CashSales)) {
        const CashSalesSettings cashSales = ReadCashSalesSettings(settings);
        values.cashCode = cashSales.debtorCode;
        values.byItem = cashSales.byItem;
    }
    SearchPlan plan;
    plan.moduleCode = moduleCode;
    plan.deleteStatement = DeleteKindStatement(moduleCode);
    if (!filter.searchAll) {
        plan.reversedRangeText = reversedRangeText(filter.from, filter.to);
        if (!plan.reversedRangeText.isEmpty())
            return plan;
        values.from = SqlDateText(filter.from);
        values.to = SqlDateText(filter.to);
        values.store = filter.store;
        values.refFrom = filter.refFrom;
        values.refTo = filter.refTo;
    }
    plan.copyStatement = StockSearchStatement(moduleCode, filter.searchAll, values);
    return plan;
}

SearchPlan PlanReceivableSearch(const QString& moduleCode, const ReceivableSearchFilter& filter,
                                const SettingsFile& settings) {
    if (!IsReceivableCode(moduleCode))
        throw AppError(QStringLiteral("%1 is not a receivable document kind.").arg(moduleCode));
    if (!filter.searchAll)
        requireRange(filter.from, filter.to);

    ReceivableSearchValues values;
    values.gstStart = GstStartTextForSearch(settings);
    SearchPlan plan;
    plan.moduleCode = moduleCode;
    plan.receivable = true;
    plan.deleteStatement = DeleteKindStatement(moduleCode);
    if (!filter.searchAll) {
        plan.reversedRangeText = reversedRangeText(filter.from, filter.to);
        if (!plan.reversedRangeText.isEmpty())
            return plan;
        values.customer = filter.customer;
        values.from = SqlDateText(filter.from);
        values.to = SqlDateText(filter.to);
    }
    plan.copyStatement = ReceivableSearchStatement(moduleCode, filter.searchAll, values);
    return plan;
}

// A document stored as several AR_TRANS rows is one row of the work table. Its rows repeat the
// document's header (store, reference, date, customer, net total, balance, flag); the tax and the
// amount are the line's (the posting sends each row as one line with them), so the work table
// takes the header once and the sums of the lines' tax and amount. The rows of a document need
// not come one after the other, so every row is read before any is written; a failed read
// therefore writes nothing (a document could be short of lines).
QVector<ReceivableDocument> ReadReceivableDocuments(DbConnection& receivables,
                                                    const QString& select,
                                                    const std::function<bool(int)>& goOn) {
    QVector<ReceivableDocument> documents;
    RowReader reader(receivables, select);
    QHash<QString, qsizetype> found;
    int rowsRead = 0;
    while (reader.next()) {
        if (goOn && ++rowsRead % kReportEvery == 0 && !goOn(rowsRead))
            return {};
        const QString docNo = reader.value(0).toString().trimmed();
        const double tax = reader.value(5).toDouble();
        const double amount = reader.value(6).toDouble();
        const auto known = found.constFind(docNo);
        if (known != found.constEnd()) {
            ReceivableDocument& document = documents[*known];
            document.taxAmount += tax;
            document.total += amount;
            continue;
        }
        ReceivableDocument document;
        document.docNo = docNo;
        document.store = reader.value(1).toString().trimmed();
        document.reference = reader.value(2).toString().trimmed();
        document.date = reader.value(3).toDateTime().date();
        document.customer = reader.value(4).toString().trimmed();
        document.taxAmount = tax;
        document.total = amount;
        document.netTotal = reader.value(7).toDouble();
        document.exportFlag = reader.value(8).toString().trimmed();
        document.balance = reader.value(9).toDouble();
        found.insert(docNo, documents.size());
        documents.append(document);
    }
    return documents;
}

int CopyReceivableDocuments(DbConnection& stock, const QVector<ReceivableDocument>& documents,
                            const QString& moduleCode, const std::function<bool(int)>& goOn) {
    // One statement object on the handle serves every row.
    QSqlQuery insert(stock.database());
    int copied = 0;
    for (const ReceivableDocument& document : documents) {
        if (!insert.exec(ReceivableInsertStatement(document, moduleCode)))
            throw DbError(EngineErrorText(insert.lastError()));
        if (goOn && ++copied % kReportEvery == 0 && !goOn(copied))
            return copied;
    }
    return int(documents.size());
}

int DocumentSearch::SearchStockDocuments(const QString& moduleCode,
                                         const StockSearchFilter& filter) {
    // Settings first: a value that cannot be used must stop the search before anything is
    // deleted.
    const SearchPlan plan = PlanStockSearch(moduleCode, filter, settings_);
    ExecCommand(plan.deleteStatement, moduleCode);
    use_.recordSearched(moduleCode);
    if (!plan.reversedRangeText.isEmpty()) {
        Messages().information(plan.reversedRangeText);
        return 0;
    }
    return *ExecCommand(plan.copyStatement, moduleCode);
}

int DocumentSearch::SearchReceivables(const QString& moduleCode,
                                      const ReceivableSearchFilter& filter) {
    const SearchPlan plan = PlanReceivableSearch(moduleCode, filter, settings_);
    ExecCommand(plan.deleteStatement, moduleCode);
    use_.recordSearched(moduleCode);
    if (!plan.reversedRangeText.isEmpty()) {
        Messages().information(plan.reversedRangeText);
        return 0;
    }

    QVector<ReceivableDocument> documents;
    try {
        documents = ReadReceivableDocuments(data_.dbAR, plan.copyStatement);
    } catch (...) {
        try {
            rereadView(moduleCode);
        } catch (...) {
        }
        throw;
    }

    // The rows are written without re-reading the view after each one: nothing is shown until
    // the search ends, so the view is read once, also when the copy stops on an error.
    // They are committed together, not one by one: a commit per row made the search wait on
    // the disk for every document (about ten times slower). When the copy stops on an error
    // the rows copied before it are committed all the same, so they stay.
    Transaction copy(data_.dbStk);
    try {
        CopyReceivableDocuments(*data_.qryTmp.connection(), documents, moduleCode);
        copy.commit();
    } catch (...) {
        // The copy's own error is the one to report.
        try {
            copy.commit();
        } catch (...) {
        }
        try {
            rereadView(moduleCode);
        } catch (...) {
        }
        throw;
    }
    return rereadView(moduleCode);
}

int DocumentSearch::TickAll(const QString& moduleCode, bool ticked) {
    if (!IsTransactionCode(moduleCode))
        throw AppError(QStringLiteral("%1 has no rows in the export work table.").arg(moduleCode));
    const int rows = *ExecCommand(TickKindStatement(moduleCode, ticked), moduleCode);
    use_.recordTicked(moduleCode);
    return rows;
}

void DocumentSearch::Clear(const QString& moduleCode) {
    ExecCommand(DeleteKindStatement(moduleCode), moduleCode);
    if (IsTransactionCode(moduleCode))
        use_.recordCleared(moduleCode);
}
