#pragma once

#include <QList>
#include <QString>

#include <functional>

class DbConnection;

// A generated account code that differs from what the rule gives, because that code was taken.
struct AdjustedCode {
    QString masterCode; // M_CODE of the supplier or customer
    QString ruleCode;   // what the rule gives
    QString code;       // what the supplier or customer was given
    QString reason;     // why the rule's code could not be used
    // "CORPORATE02: 300-ORATE0-2 (300-ORATE0 is held by customer CORPORATE01)"
    QString describe() const;
};

struct GeneratedCodes {
    int generated = 0;            // suppliers or customers given a code
    QList<AdjustedCode> adjusted; // those of them whose code differs from the rule's
};

// True when the accounting package holds a supplier (customer) under this code.
using PackageHoldsCode = std::function<bool(const QString& code)>;

// Gives every supplier (AP_SUPPLIER) or customer (AR_CUSTOMER) without an account code one made
// by the rule: the control account's prefix, "-", and the whole supplier code, or at most six
// characters of the customer code (the whole trimmed code when it has six or fewer, otherwise
// the six before its last one).
//
// A generated code never merges two parties. The rule's code is taken when another supplier
// (customer) holds it in the back office (also one given a code earlier in the same pass, in
// the order of their codes), when it is `reservedCode` (the cash-sales customer), or when the
// package holds it, since a package code that no back-office master holds belongs to somebody
// else. Codes are compared without regard to case or surrounding blanks. A taken code gets
// "-2" added, or "-3", "-4" and so on until the code is free; where the column has no room
// for the number, the code's last characters give way to it, never the prefix and its "-". A
// rule's code longer than the column is cut to the column's length first. Every code that
// differs from the rule's is reported with the reason.
//
// Codes that are already there (a person typed them) are left as they are. Every code is
// written in one commit: an error leaves no code generated.
GeneratedCodes GenerateMissingCodes(DbConnection& app, const QString& moduleCode,
                                    const QString& prefix, const QString& reservedCode,
                                    const PackageHoldsCode& packageHolds);

// The `number`-th try (from 2) for a taken code: `code` (at most `maxLength` characters) with
// "-" and the number at its end, its last characters cut where the column has no room, but
// never the first `keep` characters. Empty when the column cannot hold it.
QString NumberedCode(const QString& code, int number, int keep, int maxLength);

// True when the accounting package holds a supplier (AP_SUPPLIER) or customer (AR_CUSTOMER)
// under this code: asked through the package's FindKeyByRef("CODE", code).
bool MasterInPackage(const QString& moduleCode, const QString& code);
