#include "config/account_type_lock.h"

#include "data/query.h"

bool AccountTypeLocked(Query& qryRecord) {
    qryRecord.close();
    qryRecord.clearSql();
    qryRecord.addSql(QStringLiteral("Select Count(*) From ACC_Station_Job"));
    qryRecord.open();
    const int count = qryRecord.valueAt(0, qryRecord.fieldNames().value(0)).toInt();
    qryRecord.close();
    return count != 0;
}
