#include "data/statement_cancel.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <ibase.h>

unsigned int AttachmentHandle(const QSqlDatabase& database) {
    if (!database.isOpen() || !database.driver())
        return 0;
    // The QIBASE driver hands out its isc_db_handle (an unsigned integer in Firebird 3).
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || handle.metaType().sizeOf() != sizeof(isc_db_handle))
        return 0;
    return *static_cast<const isc_db_handle*>(handle.constData());
}

void CancelRunningStatement(unsigned int attachmentHandle) {
    if (!attachmentHandle)
        return;
    ISC_STATUS_ARRAY status = {0};
    isc_db_handle handle = attachmentHandle;
    // An attachment that runs nothing answers "nothing to cancel": there is nothing to do then.
    fb_cancel_operation(status, &handle, fb_cancel_raise);
}

bool IsCancelledOperation(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    // isc_cancelled (335544794): "operation was cancelled".
    return code == QLatin1String("335544794") ||
           error.databaseText().contains(QLatin1String("operation was cancelled"),
                                         Qt::CaseInsensitive);
}
