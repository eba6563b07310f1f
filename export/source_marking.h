#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

// The statements that flag an exported document at its source, so that no later search offers
// it again. Only flags are set, always to 'T'.
//
// Each document's statements run in one transaction: a document is never left half-marked
// (POS_SALES flagged but its lines not, say).

// Cash sale By Item: the close-information row of its store, counter and sale day, the receipt
// and its lines. `receiptNumber` is the 9-digit S_REFNO; its number without leading zeros is
// matched against the transaction number.
QStringList CashSaleByItemMarking(const QString& store, const QString& counter,
                                  const QString& receiptNumber, const QString& day);
// Cash sales By Summary: the close-information row and every receipt of that counter-day.
QStringList CashSaleBySummaryMarking(const QString& store, const QString& counter,
                                     const QString& closeDay);
// Sales invoices and credit notes, purchase invoices and returns: the ledger header and lines.
QStringList StockDocumentMarking(const QString& documentId);
// Receivable invoices and debit notes: the document's rows.
QStringList ReceivableDocumentMarking(const QString& documentNumber);
// A knock-off link of a receivable payment or credit note: its AR_LINK row beside LK_MASDOC.
struct KnockOffLinkKey {
    QString type;   // LK_TYPE as stored
    QString number; // LK_DOCNO as stored
};
// Receivable credit notes and payments: the knock-off links the package applied, then the
// document itself unless one of its links is still unmarked (not applied yet: the document is
// offered again, and its next export applies what it can).
QStringList KnockOffDocumentMarking(const QString& documentNumber,
                                    const QList<KnockOffLinkKey>& appliedLinks);

// Queries telling whether a document is still open at its source: one row of two counts, the
// document's rows and those of them not flagged yet. A run checks this before it posts a row of
// the work table, which may be older than a run that flagged the document meanwhile.
// Cash sale By Item: its receipt. By Summary: the close-information row of its counter-day.
QString CashSaleByItemOpenRows(const QString& store, const QString& counter,
                               const QString& receiptNumber, const QString& day);
QString CashSaleBySummaryOpenRows(const QString& store, const QString& counter,
                                  const QString& closeDay);
// Stock documents: the ledger header. Receivable documents: their rows of AR_TRANS.
QString StockDocumentOpenRows(const QString& documentId);
QString ReceivableDocumentOpenRows(const QString& documentNumber);

// Runs the statements on one handle as one: an EXECUTE BLOCK holding them in their order, so the
// engine prepares them once and runs them whole or not at all (in the transaction open on the
// handle, else in one of its own). The export run adds the document's journal record.
void RunMarking(DbConnection& connection, const QStringList& statements);
