#include "export/source_marking.h"

#include "core/app_error.h"
#include "data/connection.h"
#include "data/sql_quote.h"

namespace {

// The receipt's transaction number: the 9-digit receipt number read as a number.
QString transactionNumber(const QString& receiptNumber) {
    bool isNumber = false;
    const qlonglong number = receiptNumber.trimmed().toLongLong(&isNumber);
    if (!isNumber)
        throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(receiptNumber));
    return QString::number(number);
}

const char kDayOf[] =
    "extract(year from %1)||'/'||substring(100+extract(month from %1) from 2 for 2)||'/'||"
    "substring(100+extract(day from %1) from 2 for 2)";

QString dayOf(const char* column) {
    return QString::fromLatin1(kDayOf).arg(QLatin1String(column));
}

QString closeInfoMarking(const QString& store, const QString& counter, const QString& day) {
    return QStringLiteral("Update POS_CLOSEINFO  Set CI_EXPORT_ACCT='T' Where CI_STORE =") +
           QuotedStr(store) + QStringLiteral(" AND CI_CTRNO =") + QuotedStr(counter) +
           QStringLiteral(" AND CI_CLOSEDATE = ") + QuotedStr(day);
}

} // namespace

QStringList CashSaleByItemMarking(const QString& store, const QString& counter,
                                  const QString& receiptNumber, const QString& day) {
    const QString trans = transactionNumber(receiptNumber);
    return {closeInfoMarking(store, counter, day),
            QStringLiteral("Update POS_SALES  Set SALES_EXPORT_ACCT='T' Where SALES_CTRNO =") +
                QuotedStr(counter) + QStringLiteral(" AND SALES_STORE =") + QuotedStr(store) +
                QStringLiteral(" AND SALES_TRANSNO =") + QuotedStr(trans) +
                QStringLiteral(" AND ") + dayOf("SALES_DATETIME") + QStringLiteral(" =") +
                QuotedStr(day),
            QStringLiteral("Update POS_SALESDTL  Set SALES_EXPORT_ACCT='T' Where SDTL_CTRNO =") +
                QuotedStr(counter) + QStringLiteral(" AND SDTL_STORE =") + QuotedStr(store) +
                QStringLiteral(" AND SDTL_TRANSNO =") + QuotedStr(trans) + QStringLiteral(" AND ") +
                dayOf("SDTL_DATETIME") + QStringLiteral(" = ") + QuotedStr(day)};
}

QStringList CashSaleBySummaryMarking(const QString& store, const QString& counter,
                                     const QString& closeDay) {
    return {closeInfoMarking(store, counter, closeDay),
            QStringLiteral("Update POS_SALES  Set SALES_EXPORT_ACCT='T' Where SALES_CTRNO =") +
                QuotedStr(counter) + QStringLiteral(" AND SALES_STORE =") + QuotedStr(store) +
                QStringLiteral(" AND SALES_CLOSEDATE =") + QuotedStr(closeDay),
            QStringLiteral("Update POS_SALESDTL  Set SALES_EXPORT_ACCT='T' Where SDTL_CTRNO =") +
                QuotedStr(counter) + QStringLiteral(" AND SDTL_STORE =") + QuotedStr(store) +
                QStringLiteral(" AND SDTL_CLOSEDATE = ") + QuotedStr(closeDay)};
}

QStringList StockDocumentMarking(const QString& documentId) {
    return {QStringLiteral("Update Stk_MLedger Set S_EXPORT_ACCT='T' Where S_ID=") +
                QuotedStr(documentId),
            QStringLiteral("Update Stk_SLedger Set S_EXPORT_ACCT='T' Where S_ID=") +
                QuotedStr(documentId)};
}

QStringList ReceivableDocumentMarking(const QString& documentNumber) {
    return {QStringLiteral("Update AR_TRANS  Set TD_EXPORT_ACCT ='T' Where TD_DOCNO  =") +
            QuotedStr(documentNumber)};
}

QStringList KnockOffDocumentMarking(const QString& documentNumber,
                                    const QList<KnockOffLinkKey>& appliedLinks) {
    QStringList statements;
    for (const KnockOffLinkKey& link : appliedLinks)
        statements << QStringLiteral("Update AR_LINK  Set LK_EXPORT_ACCT ='T' Where LK_MASDOC  =") +
                          QuotedStr(documentNumber) + QStringLiteral(" AND LK_TYPE =") +
                          QuotedStr(link.type) + QStringLiteral(" AND LK_DOCNO =") +
                          QuotedStr(link.number);
    statements << QStringLiteral("Update AR_TRANS  Set TD_EXPORT_ACCT ='T' Where TD_DOCNO  =") +
                      QuotedStr(documentNumber) +
                      QStringLiteral(" AND TD_DOCNO NOT IN  (SELECT LK_MASDOC   FROM AR_LINK   "
                                     "WHERE LK_EXPORT_ACCT ='F')");
    return statements;
}

namespace {

QString openRows(const char* table, const char* flag, const QString& condition) {
    return QStringLiteral("SELECT COUNT(*), COUNT(NULLIF(%1, 'T')) FROM %2 WHERE %3")
        .arg(QLatin1String(flag), QLatin1String(table), condition);
}

} // namespace

QString CashSaleByItemOpenRows(const QString& store, const QString& counter,
                               const QString& receiptNumber, const QString& day) {
    return openRows("POS_SALES", "SALES_EXPORT_ACCT",
                    QStringLiteral("SALES_CTRNO =") + QuotedStr(counter) +
                        QStringLiteral(" AND SALES_STORE =") + QuotedStr(store) +
                        QStringLiteral(" AND SALES_TRANSNO =") +
                        QuotedStr(transactionNumber(receiptNumber)) + QStringLiteral(" AND ") +
                        dayOf("SALES_DATETIME") + QStringLiteral(" =") + QuotedStr(day));
}

QString CashSaleBySummaryOpenRows(const QString& store, const QString& counter,
                                  const QString& closeDay) {
    return openRows("POS_CLOSEINFO", "CI_EXPORT_ACCT",
                    QStringLiteral("CI_STORE =") + QuotedStr(store) +
                        QStringLiteral(" AND CI_CTRNO =") + QuotedStr(counter) +
                        QStringLiteral(" AND CI_CLOSEDATE = ") + QuotedStr(closeDay));
}

QString StockDocumentOpenRows(const QString& documentId) {
    return openRows("Stk_MLedger", "S_EXPORT_ACCT",
                    QStringLiteral("S_ID=") + QuotedStr(documentId));
}

QString ReceivableDocumentOpenRows(const QString& documentNumber) {
    return openRows("AR_TRANS", "TD_EXPORT_ACCT",
                    QStringLiteral("TD_DOCNO =") + QuotedStr(documentNumber));
}

void RunMarking(DbConnection& connection, const QStringList& statements) {
    if (statements.isEmpty())
        return;
    // One statement for the engine to prepare instead of one for each: preparing is most of what
    // a marking statement costs, and an export run marks every document it posts.
    Transaction transaction(connection);
    if (statements.size() == 1)
        connection.execute(statements.first());
    else
        connection.execute(QStringLiteral("EXECUTE BLOCK AS BEGIN ") +
                           statements.join(QStringLiteral("; ")) + QStringLiteral("; END"));
    transaction.commit();
}
