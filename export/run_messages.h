#pragma once

#include <QString>

struct ExportRefusal;
struct ExportRunSummary;

// What the export window says at the end of a run.

// "Completed." for a run that went through, with what it did: "236 posted, 12,345.67" and the
// documents it did not post ("2 nothing to post", "1 refused"); "Export stopped." with how many
// were posted for one that was stopped; and a line for documents found already in the package.
QString ExportRunEndText(const ExportRunSummary& summary);

// The box for a document the package refused: the document's number and the package's text,
// and what to do when the text says the customer or supplier is missing ("Export the Customer
// Profile first: ...").
QString ExportRefusalText(const ExportRefusal& refusal);

// What to do about a refusal whose text says a customer (debtor) or supplier (creditor) does not
// exist in the package; empty for any other refusal.
QString RefusalRemedy(const QString& packageText);

// An amount as the window shows amounts: 12,345.67.
QString AmountText(double amount);
