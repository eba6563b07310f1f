#pragma once

#include "export/code_generation.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class SettingsFile;
class TdmPolling;

// How a master export ended.
enum class MasterExportOutcome {
    Completed, // posted, and every row of the master table flagged as exported
    Declined   // codes were missing and the user did not want them generated: nothing done
};

struct MasterExportResult {
    MasterExportOutcome outcome = MasterExportOutcome::Completed;
    int missingCodes = 0;   // suppliers or customers that lacked their account code
    bool generated = false; // the missing codes were generated
    // Generated codes that differ from the rule's because its code was taken.
    QList<AdjustedCode> adjustedCodes;
    // What the export had to say about the package itself (a build too old for the e-invoice).
    QStringList notices;
};

// The question asked when suppliers or customers lack their account code: "Some record do not
// have Creditor Code. Do you want system to auto generate?".
QString MissingCodeQuestion(const QString& moduleCode);

// What the window says when a master export completed: "Completed.", and the generated codes
// that differ from the rule's, each with its reason.
QString MasterExportEndText(const MasterExportResult& result);

// The master-data export of suppliers (AP_SUPPLIER), customers (AR_CUSTOMER) or stock items
// (ST_ITEM): missing account codes counted and, when `confirmGeneration` answers yes to the
// question, generated (GenerateMissingCodes: never a code that another supplier or customer
// holds, in the back office or in the package); `mastersChanged` is told when codes were generated
// (the window re-reads its grids); the master posted into the package (every row, or with `allRows`
// false only the rows not yet exported); then every row of the master table flagged as exported. An
// error ends it where it happens; generated codes stay, and nothing is flagged unless the posting
// succeeded. Messages are the caller's: the window shows "Completed." for a completed export.
MasterExportResult
ExportSUPP_CUST_STOCK(TdmPolling& data, const SettingsFile& settings, const QString& moduleCode,
                      bool allRows,
                      const std::function<bool(const QString& question)>& confirmGeneration,
                      const std::function<void()>& mastersChanged = {});

// What code generation would give the suppliers (AP_SUPPLIER) or customers (AR_CUSTOMER) that
// lack their account code, by master code, without keeping anything: the codes are generated as
// the master export would (GenerateMissingCodes, asking the package which codes it holds) in a
// transaction that is rolled back. Empty when none lacks a code. Needs a session with the
// package; call it outside any transaction on the masters' database.
QHash<QString, QString> CodesGenerationWouldGive(TdmPolling& data, const SettingsFile& settings,
                                                 const QString& moduleCode);
