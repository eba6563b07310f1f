#pragma once

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
// Receivable credit notes and payments: their knock-off links, then the document itself unless
// one of its links is still unmarked.
QStringList KnockOffDocumentMarking(const QString& documentNumber);

// Runs the statements on one handle as one: an EXECUTE BLOCK holding them in their order, so the
// engine prepares them once and runs them whole or not at all (in the transaction open on the
// handle, else in one of its own). The export run adds the document's journal record.
void RunMarking(DbConnection& connection, const QStringList& statements);
