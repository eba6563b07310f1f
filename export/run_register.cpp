#include "export/run_register.h"

#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"

void RecordRunPackage(DbConnection& stock, const QString& runId, const QString& package) {
    if (runId.isEmpty())
        return;
    stock.execute(QStringLiteral("UPDATE ACC_EXPORT_RUN SET R_PACKAGE = ") +
                  QuotedStr(package.left(200)) + QStringLiteral(" WHERE R_RUN_ID = ") +
                  QuotedStr(runId));
}

QString RunPackage(DbConnection& stock, const QString& runId) {
    const QVariant package = SelectValue(
        stock, QStringLiteral("SELECT R_PACKAGE FROM ACC_EXPORT_RUN WHERE R_RUN_ID = ") +
                   QuotedStr(runId));
    return package.isNull() ? QString() : package.toString();
}
