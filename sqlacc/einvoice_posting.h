#pragma once

#include "sqlacc/package_build.h"

#include <QString>

class SettingsFile;
struct PackageSession;

// What the link posts for Malaysia's e-invoice (MyInvois). Cash sales whose buyer asked for no
// e-invoice of their own are consolidated by the accounting package once a month: the cash-sales
// customer is the general public, marked for consolidation, and each By Summary cash sale names
// the receipts it covers.

// The general public's tax number, which MyInvois takes for a buyer without one.
inline constexpr char GeneralPublicTin[] = "EI00000000010";
// SUBMISSIONTYPE of a party or document consolidated into the month's e-invoice.
inline constexpr int ConsolidateSubmission = 18;

// The length of a document's DESCRIPTION, in its header and on its lines, as the package keeps it:
// a By Summary cash sale's receipt list goes into the header's and, what does not fit, onto text
// lines.
inline constexpr int DocumentDescriptionLength = 200;

// Whether this posting carries the e-invoice fields: EINVOICE of section SQLACC set and the
// package's build has the fields (5.2024.992.854 and later). With EINVOICE set and an older build
// the session notes once that the package is too old, and the posting goes on as before.
bool EInvoicePosting(const SettingsFile& settings, const PackageSession& session);

// "The accounting package's build 5.2024.983.848 is too old for e-invoicing ..."
QString PackageTooOldForEInvoiceText(const PackageBuild& build);
