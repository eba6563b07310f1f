#include "export/run_messages.h"

#include "data/dataset_model.h"
#include "export/export_run.h"

#include <QRegularExpression>

QString AmountText(double amount) {
    Dataset::FieldDisplay amountDisplay;
    amountDisplay.displayFormat = QStringLiteral("#,##0.00");
    return DatasetModel::displayText(amount, amountDisplay);
}

QString ExportRunEndText(const ExportRunSummary& summary) {
    double postedNet = 0;
    for (const ExportDocumentRecord& document : summary.documents)
        if (document.result == ExportRowResult::Posted)
            postedNet += document.netTotal;
    QString text;
    if (summary.stopped)
        text = QStringLiteral("Export stopped.\r\n%1 of %2 documents were posted, %3.")
                   .arg(summary.posted)
                   .arg(summary.total)
                   .arg(AmountText(postedNet));
    else
        text = QStringLiteral("Completed.\r\n%1 posted, %2")
                   .arg(summary.posted)
                   .arg(AmountText(postedNet));
    if (!summary.stopped) {
        if (summary.nothingToPost > 0)
            text += QStringLiteral("; %1 nothing to post").arg(summary.nothingToPost);
        if (summary.refused > 0)
            text += QStringLiteral("; %1 refused").arg(summary.refused);
    }
    if (summary.alreadyInPackage > 0)
        text += QStringLiteral("\r\n%1 document(s) were already in the accounting package and were "
                               "only marked as exported.")
                    .arg(summary.alreadyInPackage);
    if (summary.alreadyExported > 0)
        text += QStringLiteral("\r\n%1 document(s) were already exported and were left as they "
                               "are.")
                    .arg(summary.alreadyExported);
    if (!summary.openKnockOffs.isEmpty()) {
        text += QStringLiteral("\r\n%1 document(s) stay open until the documents they settle are "
                               "in the accounting package; export those, then these again:")
                    .arg(summary.openKnockOffs.size());
        for (const ExportRefusal& open : summary.openKnockOffs)
            text += QStringLiteral("\r\n%1 %2").arg(open.documentNumber, open.message);
    }
    if (summary.differing > 0) {
        text += QStringLiteral("\r\n%1 document(s) were posted, but read back from the accounting "
                               "package their figures differ from the source's:")
                    .arg(summary.differing);
        for (const ExportRefusal& difference : summary.differences)
            text += QStringLiteral("\r\n%1: %2").arg(difference.documentNumber, difference.message);
    }
    return text;
}

QString RefusalRemedy(const QString& packageText) {
    static const QRegularExpression missing(
        QStringLiteral("\\b(customer|debtor|supplier|creditor)\\b.*\\b(does not exist|not exist|"
                       "not found|missing|unknown|no such)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = missing.match(packageText);
    if (!match.hasMatch())
        return QString();
    const QString party = match.captured(1).toLower();
    const QString profile = party == QLatin1String("supplier") || party == QLatin1String("creditor")
                                ? QStringLiteral("Supplier Profile")
                                : QStringLiteral("Customer Profile");
    return QStringLiteral("Export the %1 first: choose %1 in this dialog, then Export")
        .arg(profile);
}

QString ExportRefusalText(const ExportRefusal& refusal) {
    QString text = refusal.documentNumber + QStringLiteral(": ") + refusal.message;
    const QString remedy = RefusalRemedy(refusal.message);
    if (!remedy.isEmpty())
        text += QStringLiteral("\r\n") + remedy;
    return text;
}
