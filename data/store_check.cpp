#include "data/store_check.h"

#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_mm_group_access.h"
#include "data/query.h"
#include "data/sql_quote.h"

bool CheckStoreCode(Query& qryCheck, const QString& storeCode) {
    qryCheck.clearSql();
    qryCheck.addSql(QStringLiteral("Select M_Code From Mas_Store"));
    qryCheck.addSql(QStringLiteral("Where M_Code = ") + QuotedStr(storeCode));
    qryCheck.open();
    const bool found = !qryCheck.isEmpty();
    qryCheck.close();
    if (!found)
        Messages().error(QStringLiteral(
            "Default Store Code Not Found !\r\nPlease define the default store code."));
    return found;
}

bool CheckStoreCode(const QString& storeCode) {
    if (!dmMMGroupAccess)
        throw AppError(QStringLiteral("The store check needs the group-access data module."));
    return CheckStoreCode(dmMMGroupAccess->qryCheck, storeCode);
}
