#include "export/export_run.h"

#include "config/settings_file.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "core/stop_signals.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/document_kinds.h"
#include "export/export_status.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/run_register.h"
#include "export/source_marking.h"
#include "export/ticked_rows.h"
#include "sqlacc/automation.h"
#include "sqlacc/business_object.h"
#include "sqlacc/cash_sale_posting.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/einvoice_posting.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_login.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QVector>

#include <optional>

namespace {

// The statements that flag the row's document; a payment's or credit note's name the knock-off
// links the package applied.
QStringList markingFor(const DocumentKind& kind, bool byItem, const TickedRow& row,
                       const QList<KnockOffLinkKey>& appliedLinks) {
    switch (kind.marking) {
    case DocumentKind::Marking::CashSale:
        return byItem ? CashSaleByItemMarking(row.store, row.id, row.refNo, row.date)
                      : CashSaleBySummaryMarking(row.store, row.id, row.date);
    case DocumentKind::Marking::StockDocument:
        return StockDocumentMarking(row.id);
    case DocumentKind::Marking::KnockOffDocument:
        return KnockOffDocumentMarking(row.id, appliedLinks);
    case DocumentKind::Marking::ReceivableDocument:
        break;
    }
    return ReceivableDocumentMarking(row.id);
}

// The query telling whether the document of the row is still open at its source.
QString openRowsFor(const DocumentKind& kind, bool byItem, const TickedRow& row) {
    switch (kind.marking) {
    case DocumentKind::Marking::CashSale:
        return byItem ? CashSaleByItemOpenRows(row.store, row.id, row.refNo, row.date)
                      : CashSaleBySummaryOpenRows(row.store, row.id, row.date);
    case DocumentKind::Marking::StockDocument:
        return StockDocumentOpenRows(row.id);
    case DocumentKind::Marking::ReceivableDocument:
    case DocumentKind::Marking::KnockOffDocument:
        break;
    }
    return ReceivableDocumentOpenRows(row.id);
}

// True when every row of the document is flagged at its source already: a run that stopped (an
// error, a kill) before it could untick it, or another run, exported it since the row was ticked.
bool flaggedAtSource(DbConnection& db, const QString& sql) {
    RowReader reader(db, sql);
    return reader.next() && reader.value(0).toInt() > 0 && reader.value(1).toInt() == 0;
}

// True when the journal holds a record of the document in the package (posted or already there).
bool journalHoldsDocument(DbConnection& db, const JournalEntry& entry) {
    return SelectValue(db,
                       QStringLiteral("SELECT COUNT(*) FROM ACC_POST_JOURNAL WHERE J_MODULE = ") +
                           QuotedStr(entry.moduleCode) + QStringLiteral(" AND J_SOURCE_ID = ") +
                           QuotedStr(entry.sourceId) + QStringLiteral(" AND J_DOCNO = ") +
                           QuotedStr(entry.documentNumber) +
                           QStringLiteral(" AND J_OUTCOME IN ('POSTED', 'ALREADY')"))
               .toInt() > 0;
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

// The party codes a run looks up, kept as long as the masters' reads share a transaction (the
// same bound on how late a change made elsewhere is seen): a run posts many documents of a few
// customers or suppliers, and each look-up is a statement the engine prepares anew.
class PartyCodes {
public:
    PartyCodes(DbConnection& app, const DocumentKind& kind) : app_(app), kind_(kind) {
        age_.start();
    }
    QString of(const QString& code) {
        if (age_.elapsed() >= kSharedReadsMs) {
            codes_.clear();
            age_.restart();
        }
        if (const auto found = codes_.constFind(code); found != codes_.constEnd())
            return *found;
        const QString party = PackagePartyCode(app_, QLatin1String(kind_.code), code);
        codes_.insert(code, party);
        return party;
    }

private:
    DbConnection& app_;
    const DocumentKind& kind_;
    QHash<QString, QString> codes_;
    QElapsedTimer age_;
};

// Records a posted document whose flagging failed, in a transaction of its own. When even that
// fails, the error that stopped the run is the one reported.
void recordUnflagged(PostingJournalWriter& journal, JournalEntry entry) {
    const QString flagError = CurrentExceptionText();
    entry.message = QStringLiteral("Posted, but its source could not be flagged: ") + flagError;
    try {
        journal.record(entry);
    } catch (...) {
    }
}

} // namespace

bool DocumentInPackage(const QString& moduleCode, const QString& documentNumber,
                       const SourceDocument& source) {
    SQLAccLogin();
    BusinessObject bizObject(BizApp, moduleCode.toStdString());
    const bool held = PackageHoldsDocument(bizObject, moduleCode, documentNumber, source);
    bizObject.close();
    return held;
}

QString PackageReportText(const ExportRunSummary& summary) {
    return QStringLiteral("%1 (build %2)")
        .arg(summary.packageCompany.isEmpty() ? QStringLiteral("company not given by the package")
                                              : summary.packageCompany,
             summary.packageBuild);
}

QString NewExportRunId() {
    return Now().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') +
           QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->bounded(0x10000), 16).rightJustified(4, '0');
}

ExportRun::ExportRun(TdmPolling& data, const SettingsFile& settings, ExportRunOptions options)
    : data_(data), settings_(settings), options_(std::move(options)) {
    if (options_.runId.isEmpty())
        options_.runId = NewExportRunId();
}

namespace {

JournalOutcome journalOutcome(ExportRowResult result) {
    switch (result) {
    case ExportRowResult::Posted:
        return JournalOutcome::Posted;
    case ExportRowResult::NothingToPost:
        return JournalOutcome::NothingToPost;
    case ExportRowResult::AlreadyInPackage:
        return JournalOutcome::AlreadyInPackage;
    case ExportRowResult::Refused:
    case ExportRowResult::AlreadyExported: // never journalled
        break;
    }
    return JournalOutcome::Refused;
}

void count(ExportRunSummary& summary, ExportRowResult result) {
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
    case ExportRowResult::Refused:
        ++summary.refused;
        break;
    case ExportRowResult::AlreadyExported:
        ++summary.alreadyExported;
        break;
    }
}

// What the package's document of the row's number must show to be this document: its party, its
// date and its total (a cash sale's: what the customer paid).
SourceDocument identityOf(const DocumentKind& kind, bool byItem, const TickedRow& row,
                          const QString& party) {
    SourceDocument source;
    source.party = party;
    source.date = QDate::fromString(row.date, QStringLiteral("yyyy/MM/dd"));
    source.total = kind.marking == DocumentKind::Marking::CashSale
                       ? CashSalePayment(row.netTotal, row.rounding, byItem)
                       : row.netTotal;
    return source;
}

QList<KnockOffLinkKey> appliedLinks(const KnockOffOutcome& knockOff) {
    QList<KnockOffLinkKey> keys;
    for (const KnockOffLink& link : knockOff.applied)
        keys.append({link.linkType, link.number});
    return keys;
}

ExportDocumentRecord documentRecord(const TickedRow& row, const JournalEntry& entry,
                                    ExportRowResult result) {
    ExportDocumentRecord record;
    record.sourceId = row.id;
    record.store = row.store;
    record.refNo = row.refNo;
    record.documentNumber = entry.documentNumber;
    record.party = entry.party;
    record.date = row.date;
    record.netTotal = row.netTotal;
    record.result = result;
    if (result == ExportRowResult::Refused)
        record.message = entry.message;
    else if (!entry.message.isEmpty()) {
        // A posting's journal note names its outcome itself ("posted; the package's total ..."):
        // the status text names it once.
        static const QString posted = QStringLiteral("posted; ");
        record.remarks << (entry.message.startsWith(posted) ? entry.message.mid(posted.size())
                                                            : entry.message);
    }
    return record;
}

} // namespace

ExportRunSummary ExportRun::Run(const QString& moduleCode, ExportRunObserver* observer) {
    if (!IsTransactionCode(moduleCode))
        throw AppError(QStringLiteral("%1 is not a kind of document").arg(moduleCode));
    summary_ = ExportRunSummary();
    inHand_.clear();
    try {
        runTickedRows(moduleCode, observer);
    } catch (...) {
        recordStatuses(moduleCode, observer, CurrentExceptionText());
        throw;
    }
    recordStatuses(moduleCode, observer, QString());
    return summary_;
}

void ExportRun::recordStatuses(const QString& moduleCode, ExportRunObserver* observer,
                               const QString& error) {
    if (summary_.total == 0)
        return;
    QList<DocumentStatus> statuses;
    for (const ExportDocumentRecord& record : std::as_const(summary_.documents))
        statuses << StatusOf(record);
    // An error other than a refusal (which the records hold already) happened on the document in
    // hand: it is noted there, and stays ticked.
    const bool inHandRecorded = !summary_.documents.isEmpty() && !inHand_.isEmpty() &&
                                summary_.documents.last().sourceId == inHand_.value(0) &&
                                summary_.documents.last().store == inHand_.value(1) &&
                                summary_.documents.last().refNo == inHand_.value(2);
    if (!error.isEmpty() && !inHand_.isEmpty() && !inHandRecorded)
        statuses << ErrorStatus(inHand_.value(0), inHand_.value(1), inHand_.value(2), error);
    try {
        ReplaceKindStatuses(data_.dbStk, moduleCode, options_.runId, statuses,
                            [observer](int done, int total) {
                                if (observer)
                                    observer->recordingStatuses(done, total);
                            });
    } catch (...) {
        qWarning("The statuses of export run %s were not kept: %s", qPrintable(options_.runId),
                 qPrintable(CurrentExceptionText()));
    }
}

void ExportRun::runTickedRows(const QString& moduleCode, ExportRunObserver* observer) {
    const bool byItem =
        settings_.read(Keys::General::ExportMode) == QLatin1String(Keys::General::ExportModeByItem);
    // A stop signal from here on waits for the document in hand.
    const StopAtSafePoint stopAfterDocument;

    // A tick the user set but did not save by leaving the row is saved by reading the view again.
    if (Table* view = data_.ExportView(moduleCode); view && view->isActive())
        view->refresh();

    const QVector<TickedRow> rows = ReadTickedRows(data_.dbStk, moduleCode);
    ExportRunSummary& summary = summary_;
    summary.total = rows.size();
    if (rows.isEmpty())
        return;
    // One session with the package for the run, opened before the first document: a refused
    // login or the books of another company end the run here, with nothing journalled.
    const PackageRunSession packageRun;
    SQLAccLogin();
    const PackageSession& package = CurrentPackageSession();
    summary.packageCompany = package.companyName;
    summary.packageBuild = package.build.text();
    // What the run has to say of the package itself, once: a cash-sales run with EINVOICE set on
    // a build without the e-invoice fields says so before its first document.
    if (moduleCode == QLatin1String(ModuleCodes::CashSales))
        EInvoicePosting(settings_, package);
    const auto keepNotices =
        qScopeGuard([&summary, &package] { summary.notices = package.notices; });
    RecordRunPackage(data_.dbStk, options_.runId, PackageSessionText(package));
    // The tax codes are kept as long as the masters' reads share a transaction: the same bound
    // on how late a change made elsewhere is seen.
    PosTaxCodeCache taxCodes(kSharedReadsMs);
    const PostingSources sources{data_.dbStk, data_.dbApp, data_.dbAR, &taxCodes};
    const DocumentKind& kind = *FindDocumentKind(moduleCode);
    const bool receivable = kind.source == DocumentKind::Source::Receivables;
    // A document's flags and its journal record live in the same database, and go in one commit.
    DbConnection& markingDb = receivable ? data_.dbAR : data_.dbStk;
    if (receivable)
        EnsureReceivableLinkTables(data_.dbAR);
    PostingJournalWriter journal(markingDb, options_.runId, options_.user);
    SharedReads masterReads(data_.dbApp);
    PartyCodes parties(data_.dbApp, kind);
    for (int i = 0; i < rows.size(); ++i) {
        const TickedRow& row = rows.at(i);
        const QString reference = DocumentReference(moduleCode, row);
        inHand_ = QStringList{row.id, row.store, row.refNo, reference};
        if (observer)
            observer->documentStarting(i + 1, rows.size(), reference);

        // A document's reads of its source rows, its marking and its journal record share one
        // transaction per source database, instead of every read committing on its own (each
        // commit waits on the disk; a cash sale had six). The marking and the record run whole
        // or not at all; a document that fails undoes only its reads.
        masterReads.beginIfNone();
        std::optional<Transaction> documentSource;
        std::optional<Transaction> receivableSource;
        documentSource.emplace(data_.dbStk, Transaction::Begin::AtFirstStatement);
        receivableSource.emplace(data_.dbAR, Transaction::Begin::AtFirstStatement);
        JournalEntry entry;
        entry.store = row.store;
        entry.moduleCode = moduleCode;
        entry.sourceId = row.id;
        entry.documentNumber = reference;
        entry.date = QDate::fromString(row.date, QStringLiteral("yyyy/MM/dd"));
        entry.netTotal = row.netTotal;
        entry.party = parties.of(row.code);

        // A row whose document is flagged at its source already was exported since it was
        // ticked (a run stopped before it could untick it): it is not posted again, and its
        // journal record is the one of the run that flagged it.
        if (flaggedAtSource(markingDb, openRowsFor(kind, byItem, row))) {
            receivableSource->commit();
            documentSource->commit();
            masterReads.endIfOld();
            count(summary, ExportRowResult::AlreadyExported);
            summary.documents.append(documentRecord(row, entry, ExportRowResult::AlreadyExported));
            if (observer)
                observer->documentDone(i + 1, rows.size(), reference,
                                       ExportRowResult::AlreadyExported);
            if (stopAfter(observer, i, rows.size()))
                break;
            continue;
        }

        ExportRowResult result;
        PostingReadBack readBack;
        ReceivablePosting receivablePosting;
        try {
            if (receivable) {
                // Receivable documents already in the package (this very document) are updated
                // in place by their routine: unapplied amount and knock-offs.
                result =
                    SQLAccExportAR(sources, moduleCode, row.id, reference, row.date, entry.party,
                                   row.netTotal, row.rounding, &readBack, &receivablePosting)
                        ? (receivablePosting.existing ? ExportRowResult::AlreadyInPackage
                                                      : ExportRowResult::Posted)
                        : ExportRowResult::NothingToPost;
            } else if (DocumentInPackage(moduleCode, reference,
                                         identityOf(kind, byItem, row, entry.party))) {
                result = ExportRowResult::AlreadyInPackage;
            } else {
                result = SQLAccExportDoc(sources, moduleCode, row.id, reference, row.date,
                                         entry.party, row.netTotal, row.rounding, &readBack)
                             ? ExportRowResult::Posted
                             : ExportRowResult::NothingToPost;
            }
        } catch (const AutomationError& refusal) {
            // The package refused the document: nothing of it is flagged, its reads are undone,
            // and the refusal is recorded on its own.
            receivableSource.reset();
            documentSource.reset();
            entry.outcome = JournalOutcome::Refused;
            entry.message = QString::fromUtf8(refusal.what());
            Transaction record(markingDb);
            journal.record(entry);
            record.commit();
            count(summary, ExportRowResult::Refused);
            summary.refusals.append({reference, entry.message});
            summary.documents.append(documentRecord(row, entry, ExportRowResult::Refused));
            if (!options_.continueAfterRefusal)
                throw;
            if (observer)
                observer->documentDone(i + 1, rows.size(), reference, ExportRowResult::Refused);
            if (stopAfter(observer, i, rows.size()))
                break;
            continue;
        }

        entry.outcome = journalOutcome(result);
        if (result == ExportRowResult::Posted || result == ExportRowResult::AlreadyInPackage) {
            // The knock-offs the package could not apply keep the document open at its source.
            const QString knockOff = receivablePosting.knockOff.text();
            if (!knockOff.isEmpty())
                entry.message = knockOff;
        }
        if (result == ExportRowResult::Posted) {
            // What the package made of the document, beside the posting: it is in the books
            // either way, so it is flagged.
            if (readBack.found)
                entry.packageTotal = readBack.package.docAmt;
            entry.check = !readBack.found     ? JournalCheck::Missing
                          : readBack.agrees() ? JournalCheck::Agrees
                                              : JournalCheck::Differs;
            if (!readBack.agrees()) {
                const QString difference = QStringLiteral("posted; ") + readBack.differenceText();
                entry.message = entry.message.isEmpty()
                                    ? difference
                                    : difference + QStringLiteral("; ") + entry.message;
            }
        }
        try {
            QStringList statements;
            if (result != ExportRowResult::NothingToPost)
                statements =
                    markingFor(kind, byItem, row, appliedLinks(receivablePosting.knockOff));
            // A payment or credit note opened again while what it settles is still missing
            // changed nothing: the record of its posting says all there is.
            const bool unchanged = receivablePosting.existing &&
                                   receivablePosting.knockOff.applied.isEmpty() &&
                                   !receivablePosting.knockOff.missing.isEmpty();
            if (!unchanged || !journalHoldsDocument(markingDb, entry))
                statements << journal.recordStatement(entry);
            RunMarking(markingDb, statements);
            receivableSource->commit();
            documentSource->commit();
        } catch (...) {
            receivableSource.reset();
            documentSource.reset();
            // The package holds the document but its source could not be flagged: the record of
            // the posting is kept all the same, so the journal never misses a posted document.
            if (result != ExportRowResult::NothingToPost)
                recordUnflagged(journal, entry);
            throw;
        }
        masterReads.endIfOld();

        count(summary, result);
        if (result == ExportRowResult::AlreadyInPackage &&
            !receivablePosting.knockOff.applied.isEmpty())
            ++summary.knockOffsApplied;
        if (result == ExportRowResult::Posted && !readBack.agrees()) {
            ++summary.differing;
            summary.differences.append({reference, entry.message});
        }
        summary.documents.append(documentRecord(row, entry, result));
        if (!receivablePosting.knockOff.missing.isEmpty())
            summary.openKnockOffs.append({reference, ExportStatusText(summary.documents.last())});
        if (observer)
            observer->documentDone(i + 1, rows.size(), reference, result);
        if (stopAfter(observer, i, rows.size()))
            break;
    }
    masterReads.end();
}

bool ExportRun::stopAfter(ExportRunObserver* observer, int index, int total) {
    if (index + 1 >= total)
        return false;
    const bool stop = (observer && observer->stopRequested()) || StopSignals::Requested();
    if (stop)
        summary_.stopped = true;
    return stop;
}
