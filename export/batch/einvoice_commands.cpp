// The batch command of the e-invoice month-end check.
#include "core/app_context.h"
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/einvoice_check.h"

#include <QJsonDocument>

namespace {

BatchCommand::Run parseEInvoiceCheck(const QStringList& words) {
    const BatchArguments arguments(words, {QStringLiteral("month")}, {QStringLiteral("json")});
    if (!arguments.positional().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().first()));
    arguments.require({QStringLiteral("month")});
    const QString monthText = arguments.value(QStringLiteral("month"));
    const QDate month = EInvoiceMonthOf(monthText);
    if (!month.isValid())
        throw UsageError(
            QStringLiteral("--month \"%1\" is not a month written yyyy/MM").arg(monthText));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [month, json](BatchSession& session) {
        const EInvoiceMonthCheck check = CheckEInvoiceMonth(
            session.data().dbStk, month, AppContext::instance().clock().now().date());
        QTextStream& out = session.out();
        if (json)
            out << QJsonDocument(EInvoiceCheckJson(check)).toJson(QJsonDocument::Indented);
        else
            out << EInvoiceCheckText(check) << '\n';
        out.flush();
        return int(check.complete() ? BatchDone : BatchSomeRefused);
    };
}

} // namespace

BatchCommand EInvoiceCheckCommand() {
    return {QStringLiteral("einvoice-check"),
            QStringLiteral("einvoice-check --month yyyy/MM [--json]"),
            QStringLiteral(
                "Checks a month's cash sales for the consolidated e-invoice (MyInvois), which is\n"
                "due by the seventh day of the next month. Prints, for each store with POS sales\n"
                "in the month, the days whose cash sales are not all posted yet, the receipts\n"
                "above RM10,000 (each needs an e-invoice of its own: counter, receipt, day,\n"
                "amount, and whether it was posted on its own or inside a day's summary), and the\n"
                "receipt numbers missing from the POS tables within a counter-day; then the days\n"
                "left until the deadline. Exit status 0 when the month is complete, 3 when\n"
                "anything is listed. --json prints the check as JSON."),
            parseEInvoiceCheck};
}
