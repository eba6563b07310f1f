#pragma once

#include <QList>

#include <QtGlobal>

class DbConnection;
class DemoCalendar;
class DemoRandom;
struct DemoHandOver;
struct DemoMasters;

// Writes `documents` receivable documents (AR_TRANS, one row per line with the header columns
// repeated) and the knock-off links of their payments and credit notes (AR_LINK):
// - the invoices taken over from POS deliveries (TD_IMPORT 'T', TD_REFERENCE the delivery's
//   ledger id), one per hand-over;
// - invoices INV/ and debit notes DN/, some with several lines, referenced by a number of their
//   own (IV..., DN...);
// - payments OR/ and credit notes CN/ whose reference is their document number, so that links
//   marked by document number and read by reference agree. A link names the settled document by
//   its reference (LK_DOCNO) and type (LK_TYPE 'INV/' or 'DN/').
// Every TD_BALANCE agrees with the links: a settled document's net total less what the links
// apply to it, a payment's or credit note's amount less what it applies.
// Returns the number of rows written.
qint64 WriteDemoReceivables(DbConnection& receivablesDb, const DemoMasters& masters,
                            const DemoCalendar& calendar, int documents,
                            const QList<DemoHandOver>& handOvers, DemoRandom& random);
