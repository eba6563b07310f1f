#include "export/export_run.h"

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "export/source_marking.h"
#include "sqlacc/automation.h"
#include "sqlacc/cash_sale_posting.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_login.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QVector>

#include <optional>

namespace {

// One ticked row of the work table, read as the run reads it: texts trimmed, the date as day
// text, every amount as a number.
struct TickedRow {
    QString id;
    QString store;
    QString refNo;
    QString date;
    QString code;
    double netTotal = 0;
    double rounding = 0;
};

double amount(const QVariant& value) {
    if (value.isNull())
        return 0.0;
    bool isNumber = false;
    const double number = value.toString().toDouble(&isNumber);
    if (!isNumber)
        throw AppError(
            QStringLiteral("'%1' is not a valid floating point value").arg(value.toString()));
    return number;
}

QString dayText(const QVariant& value) {
    if (value.isNull())
        return QString();
    const QDate day =
        value.typeId() == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
    return SqlDateText(day);
}

QVector<TickedRow> readTickedRows(DbConnection& stock, const QString& moduleCode) {
    const QString sql =
        QStringLiteral("SELECT S_ID, S_STORE_FROM, S_REFNO, S_DATE, S_CODE, S_TAXAMT, S_TOTAL, "
                       "S_NETTOTAL, S_BALANCE, S_ROUNDING FROM TMP_EXPORT_ACCT WHERE S_Module = ") +
        QuotedStr(moduleCode) + QStringLiteral(" AND S_EXPORT_ACCT =") +
        QuotedStr(QStringLiteral("T"));
    QVector<TickedRow> rows;
    RowReader reader(stock, sql);
    while (reader.next()) {
        TickedRow row;
        row.id = reader.value(0).toString().trimmed();
        row.store = reader.value(1).toString().trimmed();
        row.refNo = reader.value(2).toString().trimmed();
        row.date = dayText(reader.value(3));
        row.code = reader.value(4).toString().trimmed();
        amount(reader.value(5)); // tax and gross are not passed on, but must be numbers too
        amount(reader.value(6));
        row.netTotal = amount(reader.value(7));
        amount(reader.value(8));
        row.rounding = amount(reader.value(9));
        rows.append(row);
    }
    return rows;
}

// The document number in the package: store, counter and receipt for cash sales, store and
// reference for purchases, the reference otherwise.
QString documentReference(const QString& moduleCode, const TickedRow& row) {
    if (moduleCode == QLatin1String(ModuleCodes::CashSales))
        return row.store + QLatin1Char('-') + row.id + QLatin1Char('-') + row.refNo;
    if (IsPurchaseCode(moduleCode))
        return row.store + QLatin1Char('-') + row.refNo;
    return row.refNo;
}

QString partyCode(DbConnection& app, const QString& moduleCode, const QString& code) {
    // A cash sale's party is the fixed cash-sales debtor code the search wrote; its master's
    // debtor code would be replaced by it, so it is not read.
    if (moduleCode == QLatin1String(ModuleCodes::CashSales))
        return code;
    const QString sql =
        IsPurchaseCode(moduleCode)
            ? QStringLiteral("SELECT M_CREDITOR FROM mas_SUPPLIER WHERE m_code = ") +
                  QuotedStr(code)
            : QStringLiteral("SELECT m_debtor FROM mas_customer WHERE m_code = ") + QuotedStr(code);
    const QVariant found = SelectValue(app, sql);
    return found.isNull() ? QString() : found.toString();
}

QStringList markingFor(const QString& moduleCode, bool byItem, const TickedRow& row) {
    if (moduleCode == QLatin1String(ModuleCodes::CashSales))
        return byItem ? CashSaleByItemMarking(row.store, row.id, row.refNo, row.date)
                      : CashSaleBySummaryMarking(row.store, row.id, row.date);
    if (IsStockDocumentCode(moduleCode))
        return StockDocumentMarking(row.id);
    if (moduleCode == QLatin1String(ModuleCodes::ReceivableCreditNote) ||
        moduleCode == QLatin1String(ModuleCodes::ReceivablePayment))
        return KnockOffDocumentMarking(row.id);
    return ReceivableDocumentMarking(row.id);
}

// How long the run's reads of the masters' database may share one transaction.
constexpr qint64 kSharedReadsMs = 200;

// The run's reads of the masters' database (party codes, tax codes, item descriptions) share one
// transaction for up to kSharedReadsMs, then it commits: each commit waits on the disk, and these
// reads change nothing. A master changed elsewhere during a run is therefore seen at most that
// much later than it would be with a commit after every read. The transaction is committed, not
// rolled back, also when an error ends the run: it holds only reads.
class SharedReads {
public:
    explicit SharedReads(DbConnection& connection) : connection_(connection) {}
    ~SharedReads() {
        try {
            end();
        } catch (...) {
        }
    }
    void beginIfNone() {
        if (transaction_)
            return;
        transaction_.emplace(connection_, Transaction::Begin::AtFirstStatement);
        age_.start();
    }
    void endIfOld() {
        if (transaction_ && age_.elapsed() >= kSharedReadsMs)
            end();
    }
    void end() {
        if (!transaction_)
            return;
        const auto forget = qScopeGuard([this] { transaction_.reset(); });
        transaction_->commit();
    }

private:
    DbConnection& connection_;
    std::optional<Transaction> transaction_;
    QElapsedTimer age_;
};

} // namespace

bool DocumentInPackage(const QString& moduleCode, const QString& documentNumber) {
    SQLAccLogin();
    const AutoObjectPtr bizObject = findBizObject(BizApp, moduleCode.toStdString());
    const AutoValue key = bizObject->invoke(
        "FindKeyByRef", {AutoValue("DOCNO"), AutoValue(documentNumber.toStdString())});
    return !key.isNull() && !key.isEmpty();
}

ExportRun::ExportRun(TdmPolling& data, const SettingsFile& settings)
    : data_(data), settings_(settings) {}

ExportRunSummary ExportRun::Run(const QString& moduleCode, ExportRunObserver* observer) {
    if (!IsTransactionCode(moduleCode))
        throw AppError(QStringLiteral("%1 is not a kind of document").arg(moduleCode));
    const bool byItem =
        settings_.read(Keys::General::ExportMode) == QLatin1String(Keys::General::ExportModeByItem);

    // A tick the user set but did not save by leaving the row is saved by reading the view again.
    if (Table* view = data_.ExportView(moduleCode); view && view->isActive())
        view->refresh();

    summary_ = ExportRunSummary();
    const QVector<TickedRow> rows = readTickedRows(data_.dbStk, moduleCode);
    ExportRunSummary& summary = summary_;
    summary.total = rows.size();
    // The tax codes are kept as long as the masters' reads share a transaction: the same bound
    // on how late a change made elsewhere is seen.
    PosTaxCodeCache taxCodes(kSharedReadsMs);
    const PostingSources sources{data_.dbStk, data_.dbApp, data_.dbAR, &taxCodes};
    DbConnection& markingDb = IsReceivableCode(moduleCode) ? data_.dbAR : data_.dbStk;
    SharedReads masterReads(data_.dbApp);
    for (int i = 0; i < rows.size(); ++i) {
        const TickedRow& row = rows.at(i);
        const QString reference = documentReference(moduleCode, row);
        if (observer)
            observer->documentStarting(i + 1, rows.size(), reference);

        // A document's reads of its source rows and its marking share one transaction per
        // source database, instead of every read committing on its own (each commit waits on the
        // disk; a cash sale had six). The marking still runs whole or not at all; a document that
        // fails undoes only its reads.
        masterReads.beginIfNone();
        Transaction documentSource(data_.dbStk, Transaction::Begin::AtFirstStatement);
        Transaction receivableSource(data_.dbAR, Transaction::Begin::AtFirstStatement);
        const QString party = partyCode(data_.dbApp, moduleCode, row.code);

        ExportRowResult result;
        if (IsReceivableCode(moduleCode)) {
            // Receivable documents already in the package are updated in place by their routine.
            result = SQLAccExportAR(sources, moduleCode, row.id, reference, row.date, party,
                                    row.netTotal, row.rounding)
                         ? ExportRowResult::Posted
                         : ExportRowResult::NothingToPost;
        } else if (DocumentInPackage(moduleCode, reference)) {
            result = ExportRowResult::AlreadyInPackage;
        } else {
            result = SQLAccExportDoc(sources, moduleCode, row.id, reference, row.date, party,
                                     row.netTotal, row.rounding)
                         ? ExportRowResult::Posted
                         : ExportRowResult::NothingToPost;
        }
        if (result != ExportRowResult::NothingToPost)
            RunMarking(markingDb, markingFor(moduleCode, byItem, row));
        receivableSource.commit();
        documentSource.commit();
        masterReads.endIfOld();

        switch (result) {
        case ExportRowResult::Posted:
            ++summary.posted;
            break;
        case ExportRowResult::NothingToPost:
            ++summary.nothingToPost;
            break;
        case ExportRowResult::AlreadyInPackage:
            ++summary.alreadyInPackage;
            break;
        }
        if (observer) {
            observer->documentDone(i + 1, rows.size(), reference, result);
            if (i + 1 < rows.size() && observer->stopRequested()) {
                summary.stopped = true;
                break;
            }
        }
    }
    masterReads.end();
    return summary;
}
