#pragma once

#include "sqlacc/posting_sources.h"

#include <QStringList>

// One small shop's back office for the posting tests, inserted into an empty installation:
// - tax codes: TAX1 "SR" (prices include it), TAX2 "ZR", no TAX3;
// - cash sale S001-01-000000007 of 2024/03/05 (lines P1 x2.5 S, P2 x1 Z with discount, P3 x3.5
//   with an unknown tax symbol) and the close day of store S001, counter 01 (standard 100,
//   zero rated 20, exempt 5, rounding 0.03);
// - stock documents D100 (sales invoice: P1 twice, P2 with a reason, P9 without a stock
//   master and a half quantity), C200 (sales return, negative figures), R300 (receiving; its
//   second line's price includes its given tax) and E400 (return outwards);
// - receivables of customer 300-C1: invoice INV/1 (IV-1001, two lines), invoice INV/2 taken over
//   from the POS (reference D100), debit note DN/1 (DN-1), credit note CN/1 (CN-1, settling
//   IV-1001 by 5.25) and payment OR/1 (OR-1, balance 10, settling IV-1001 by 45 and CN-9 by 4;
//   its DN-1 link is already exported);
// - masters: suppliers SUP1 (V-0001, all details) and SUP2 (V-0002, exported, no name);
//   customers C1 (300-C1, no name) and C2 (300-C2, exported); items P1 and P2 (P2 exported,
//   no short description).
void InsertPostingFixture(const PostingSources& sources);

// A fresh Ledvora.ini in the program folder: the package login, then "SECTION/KEY=value" entries.
void WritePostingSettings(const QStringList& values);
