#include "export/export_status.h"

#include "core/app_context.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "export/export_run.h"
#include "export/posting_journal.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

// How many documents are written between two reports of progress.
constexpr int kProgressStep = 200;

JournalOutcome journalOutcomeOf(ExportRowResult result) {
    switch (result) {
    case ExportRowResult::Posted:
        return JournalOutcome::Posted;
    case ExportRowResult::AlreadyInPackage:
        return JournalOutcome::AlreadyInPackage;
    case ExportRowResult::NothingToPost:
        return JournalOutcome::NothingToPost;
    case ExportRowResult::Refused:
    case ExportRowResult::AlreadyExported:
        break;
    }
    return JournalOutcome::Refused;
}

const char* outcomeCode(ExportRowResult result) {
    switch (result) {
    case ExportRowResult::Posted:
        return ExportStatusCodes::Posted;
    case ExportRowResult::AlreadyInPackage:
        return ExportStatusCodes::AlreadyInPackage;
    case ExportRowResult::NothingToPost:
        return ExportStatusCodes::NothingToPost;
    case ExportRowResult::AlreadyExported:
        return ExportStatusCodes::AlreadyExported;
    case ExportRowResult::Refused:
        break;
    }
    return ExportStatusCodes::Refused;
}

void prepareOrThrow(QSqlQuery& query, const QString& sql) {
    if (!query.prepare(sql))
        throw DbError(EngineErrorText(query.lastError()));
}

void execOrThrow(QSqlQuery& query) {
    if (!query.exec())
        throw DbError(EngineErrorText(query.lastError()));
}

} // namespace

QString ExportStatusText(const ExportDocumentRecord& record) {
    QString text = record.result == ExportRowResult::AlreadyExported
                       ? QStringLiteral("already exported")
                       : JournalOutcomeText(journalOutcomeOf(record.result));
    if (record.result == ExportRowResult::Refused && !record.message.isEmpty())
        text += QStringLiteral(": ") + record.message;
    for (const QString& remark : record.remarks)
        text += QStringLiteral("; ") + remark;
    return text;
}

DocumentStatus StatusOf(const ExportDocumentRecord& record) {
    DocumentStatus status;
    status.id = record.sourceId;
    status.store = record.store;
    status.refNo = record.refNo;
    status.outcome = QLatin1String(outcomeCode(record.result));
    status.text = ExportStatusText(record);
    status.attention = record.result == ExportRowResult::Refused;
    return status;
}

DocumentStatus ErrorStatus(const QString& id, const QString& store, const QString& refNo,
                           const QString& error) {
    DocumentStatus status;
    status.id = id;
    status.store = store;
    status.refNo = refNo;
    status.outcome = QLatin1String(ExportStatusCodes::Error);
    status.text = QStringLiteral("stopped on an error: ") + error;
    status.attention = true;
    return status;
}

QString NotReachedStatusText() {
    return QStringLiteral("not reached");
}

namespace {

void writeStatuses(DbConnection& stock, const QString& moduleCode, const QString& runId,
                   const QList<DocumentStatus>& statuses,
                   const std::function<void(int done, int total)>& progress, bool replaceAll,
                   bool untickDone) {
    Transaction replace(stock);
    QSqlDatabase db = stock.database();
    if (replaceAll) {
        QSqlQuery clear(db);
        prepareOrThrow(clear, QStringLiteral("DELETE FROM ACC_EXPORT_STATUS WHERE ST_MODULE = ?"));
        clear.addBindValue(moduleCode);
        execOrThrow(clear);
    }

    QSqlQuery write(db);
    prepareOrThrow(write, QStringLiteral("UPDATE OR INSERT INTO ACC_EXPORT_STATUS (ST_MODULE, "
                                         "ST_ID, ST_STORE, ST_REFNO, ST_RUN_ID, ST_TIME, "
                                         "ST_OUTCOME, ST_TEXT, ST_ATTENTION) VALUES "
                                         "(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The work table's unique index finds the row by its whole key (S_ID alone is a cash sale's
    // counter, shared by a hundred thousand rows). A key stored with blanks around it is not
    // found: that row stays ticked, and a second Export finds its document in the package.
    QSqlQuery untick(db);
    prepareOrThrow(untick, QStringLiteral("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'F' WHERE "
                                          "S_ID = ? AND S_STORE_FROM = ? AND S_REFNO = ? AND "
                                          "S_MODULE = ?"));
    const QDateTime now = Now();
    for (int i = 0; i < statuses.size(); ++i) {
        const DocumentStatus& status = statuses.at(i);
        write.addBindValue(moduleCode.left(20));
        write.addBindValue(status.id.left(35));
        write.addBindValue(status.store.left(20));
        write.addBindValue(status.refNo.left(20));
        write.addBindValue(runId.left(40));
        write.addBindValue(now);
        write.addBindValue(status.outcome.left(20));
        write.addBindValue(status.text.left(1000));
        write.addBindValue(status.attention ? 1 : 0);
        execOrThrow(write);
        if (untickDone && !status.attention) {
            untick.addBindValue(status.id);
            untick.addBindValue(status.store);
            untick.addBindValue(status.refNo);
            untick.addBindValue(moduleCode);
            execOrThrow(untick);
        }
        if (progress && (i + 1) % kProgressStep == 0)
            progress(i + 1, int(statuses.size()));
    }
    replace.commit();
    if (progress)
        progress(int(statuses.size()), int(statuses.size()));
}

} // namespace

void ReplaceKindStatuses(DbConnection& stock, const QString& moduleCode, const QString& runId,
                         const QList<DocumentStatus>& statuses,
                         const std::function<void(int done, int total)>& progress,
                         bool untickDone) {
    writeStatuses(stock, moduleCode, runId, statuses, progress, true, untickDone);
}

void AddKindStatuses(DbConnection& stock, const QString& moduleCode, const QString& runId,
                     const QList<DocumentStatus>& statuses) {
    writeStatuses(stock, moduleCode, runId, statuses, {}, false, false);
}
