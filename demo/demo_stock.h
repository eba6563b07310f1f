#pragma once

#include "demo/demo_amounts.h"

#include <QDate>
#include <QList>
#include <QString>

class DbConnection;
class DemoCalendar;
class DemoRandom;
struct DemoMasters;

// A delivery order whose invoice the receivables system took over (S_TOARSYS 'T'): the
// receivable invoice TD_DOCNO = invoiceNo refers back to it by TD_REFERENCE = ledgerId.
struct DemoHandOver {
    QString ledgerId;
    QString invoiceNo;
    QString store;
    QString customer;
    QDate date;
    Cents total = 0; // without tax
    Cents tax = 0;
};

struct DemoStockResult {
    qint64 rowsWritten = 0;
    QList<DemoHandOver> handOvers;
};

// The receivable invoice number of the n-th hand-over (1, 2, ...): INV/000001, ...; the
// receivables generator numbers its own invoices on from there.
QString HandOverInvoiceNo(int n);

// Writes `documents` stock documents (STK_MLEDGER headers, STK_SLEDGER lines, status 'P', every
// header the sum of its lines): delivery orders with and without an invoice number, sales
// returns (negative quantities), stock receivings and return outwards. The first five are one of
// each kind in S001 within the last weeks. Up to `handOvers` invoiced deliveries are marked as
// taken over by the receivables system. A few documents name a customer or supplier the masters
// lack.
DemoStockResult WriteDemoStockDocuments(DbConnection& stockDb, const DemoMasters& masters,
                                        const DemoCalendar& calendar, int documents, int handOvers,
                                        DemoRandom& random);
