#include "demo/index_pause.h"

#include "data/connection.h"
#include "data/query.h"

SecondaryIndexPause::SecondaryIndexPause(DbConnection& connection) : connection_(connection) {
    QStringList names;
    {
        // The list is read to its end and its statement closed before any index changes.
        RowReader indexes(connection_,
                          QStringLiteral("SELECT I.RDB$INDEX_NAME FROM RDB$INDICES I "
                                         "WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 "
                                         "AND COALESCE(I.RDB$INDEX_INACTIVE, 0) = 0 "
                                         "AND COALESCE(I.RDB$UNIQUE_FLAG, 0) = 0 "
                                         "AND NOT EXISTS (SELECT 1 FROM RDB$RELATION_CONSTRAINTS C "
                                         "WHERE C.RDB$INDEX_NAME = I.RDB$INDEX_NAME)"));
        while (indexes.next())
            names << indexes.value(0).toString().trimmed();
    }
    for (const QString& name : names) {
        connection_.execute(QStringLiteral("ALTER INDEX %1 INACTIVE").arg(name));
        paused_ << name;
    }
}

SecondaryIndexPause::~SecondaryIndexPause() {
    try {
        resume();
    } catch (...) {
        // An error is already on its way out, or the caller chose not to wait for the rebuild.
    }
}

void SecondaryIndexPause::resume() {
    while (!paused_.isEmpty()) {
        connection_.execute(QStringLiteral("ALTER INDEX %1 ACTIVE").arg(paused_.first()));
        paused_.removeFirst();
    }
}
