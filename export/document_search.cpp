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

#include <QSet>
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

// A range that ends before it starts holds no document: says so and gives true.
bool reportReversedRange(const QDate& from, const QDate& to) {
    if (to >= from)
        return false;
    Messages().information(
        QStringLiteral("No documents found: the to-date %1 is earlier than the from-date %2.")
            .arg(dayText(to), dayText(from)));
    return true;
}

} // namespace

DocumentSearch::DocumentSearch(TdmPolling& data, const SettingsFile& settings, QObject* parent)
    : QObject(parent), data_(data), settings_(settings) {}

DocumentSearch::DocumentSearch(TdmPolling& data, const SettingsFile& settings, ViewReading reading,
                               QObject* parent)
    : QObject(parent), data_(data), settings_(settings), reading_(reading) {}

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

int DocumentSearch::SearchStockDocuments(const QString& moduleCode,
                                         const StockSearchFilter& filter) {
    if (!IsStockDocumentCode(moduleCode))
        throw AppError(
            QStringLiteral("%1 is not a sales or purchase document kind.").arg(moduleCode));
    if (!filter.searchAll)
        requireRange(filter.from, filter.to);

    // Settings first: a value that cannot be used must stop the search before anything is
    // deleted.
    StockSearchValues values;
    values.gstStart = GstStartTextForSearch(settings_);
    values.jobOption = filter.jobOption;
    if (moduleCode == QLatin1String(ModuleCodes::CashSales)) {
        const CashSalesSettings cashSales = ReadCashSalesSettings(settings_);
        values.cashCode = cashSales.debtorCode;
        values.byItem = cashSales.byItem;
    }

    ExecCommand(DeleteKindStatement(moduleCode), moduleCode);
    if (!filter.searchAll) {
        if (reportReversedRange(filter.from, filter.to))
            return 0;
        values.from = SqlDateText(filter.from);
        values.to = SqlDateText(filter.to);
        values.store = filter.store;
        values.refFrom = filter.refFrom;
        values.refTo = filter.refTo;
    }
    return *ExecCommand(StockSearchStatement(moduleCode, filter.searchAll, values), moduleCode);
}

int DocumentSearch::SearchReceivables(const QString& moduleCode,
                                      const ReceivableSearchFilter& filter) {
    if (!IsReceivableCode(moduleCode))
        throw AppError(QStringLiteral("%1 is not a receivable document kind.").arg(moduleCode));
    if (!filter.searchAll)
        requireRange(filter.from, filter.to);

    ReceivableSearchValues values;
    values.gstStart = GstStartTextForSearch(settings_);

    ExecCommand(DeleteKindStatement(moduleCode), moduleCode);
    if (!filter.searchAll) {
        if (reportReversedRange(filter.from, filter.to))
            return 0;
        values.customer = filter.customer;
        values.from = SqlDateText(filter.from);
        values.to = SqlDateText(filter.to);
    }

    // The rows are copied without re-reading the view after each one: nothing is shown until
    // the search ends, so the view is read once, also when the copy stops on an error.
    // They are committed together, not one by one: a commit per row made the search wait on
    // the disk for every document (about ten times slower). When the copy stops on an error
    // the rows copied before it are committed all the same, so they stay.
    Transaction copy(data_.dbStk);
    try {
        RowReader reader(data_.dbAR,
                         ReceivableSearchStatement(moduleCode, filter.searchAll, values));
        // One statement object on qryTmp's handle serves every row.
        QSqlQuery insert(data_.qryTmp.connection()->database());
        QSet<QString> copied;
        // The rows are read a block at a time and then written: reading and writing in turn,
        // row by row, makes the engine switch between the two databases for every row.
        constexpr int kBlock = 500;
        QVector<ReceivableDocument> block;
        block.reserve(kBlock);
        const auto writeBlock = [&] {
            for (const ReceivableDocument& document : block)
                if (!insert.exec(ReceivableInsertStatement(document, moduleCode)))
                    throw DbError(EngineErrorText(insert.lastError()));
            block.clear();
        };
        while (true) {
            try {
                if (!reader.next())
                    break;
            } catch (...) {
                writeBlock(); // the rows read before a failed read are copied all the same
                throw;
            }
            ReceivableDocument document;
            document.docNo = reader.value(0).toString().trimmed();
            // The other rows of a document repeat its header; the work table holds it once.
            if (copied.contains(document.docNo))
                continue;
            document.store = reader.value(1).toString().trimmed();
            document.reference = reader.value(2).toString().trimmed();
            document.date = reader.value(3).toDateTime().date();
            document.customer = reader.value(4).toString().trimmed();
            document.taxAmount = reader.value(5).toDouble();
            document.total = reader.value(6).toDouble();
            document.netTotal = reader.value(7).toDouble();
            document.exportFlag = reader.value(8).toString().trimmed();
            document.balance = reader.value(9).toDouble();
            copied.insert(document.docNo);
            block.append(document);
            if (block.size() == kBlock)
                writeBlock();
        }
        writeBlock();
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
    return *ExecCommand(TickKindStatement(moduleCode, ticked), moduleCode);
}

void DocumentSearch::Clear(const QString& moduleCode) {
    ExecCommand(DeleteKindStatement(moduleCode), moduleCode);
}
