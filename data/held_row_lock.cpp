#include "data/held_row_lock.h"

#include "data/alias_file.h"
#include "data/db_error.h"
#include "data/engine_environment.h"
#include "data/native_status.h"

#include <QByteArray>
#include <ibase.h>

struct HeldRowLock::Handles {
    isc_db_handle database = 0;
    isc_tr_handle transaction = 0;
    isc_stmt_handle statement = 0;
};

namespace {

// The status holds a conflict with another transaction's uncommitted change of the row.
bool isLockConflict(const ISC_STATUS* status) {
    const ISC_STATUS* cursor = status;
    while (cursor[0] != isc_arg_end) {
        const ISC_STATUS kind = cursor[0];
        if (kind == isc_arg_gds && (cursor[1] == isc_lock_conflict ||
                                    cursor[1] == isc_update_conflict || cursor[1] == isc_deadlock))
            return true;
        // Every argument is a pair, except an interpreted string, which is a triple.
        cursor += kind == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

void appendParameter(QByteArray& block, char item, const QByteArray& value) {
    block.append(item);
    block.append(static_cast<char>(value.size()));
    block.append(value);
}

// The number of rows the executed statement updated.
long updatedRows(ISC_STATUS* status, isc_stmt_handle* statement) {
    const char items[] = {isc_info_sql_records};
    char buffer[64] = {0};
    if (isc_dsql_sql_info(status, statement, sizeof items, items, sizeof buffer, buffer))
        throw DbError(NativeStatusText(status));
    if (buffer[0] != isc_info_sql_records)
        return 0;
    const char* cursor = buffer + 3; // item, two length bytes
    const char* end = buffer + sizeof buffer;
    while (cursor < end && *cursor != isc_info_end) {
        const char item = *cursor++;
        const short length = static_cast<short>(isc_vax_integer(cursor, 2));
        cursor += 2;
        if (item == isc_info_req_update_count)
            return isc_vax_integer(cursor, length);
        cursor += length;
    }
    return 0;
}

} // namespace

HeldRowLock::~HeldRowLock() {
    release();
}

std::unique_ptr<HeldRowLock> HeldRowLock::TryHold(const QString& alias, const QString& update) {
    PrepareDatabaseEngine();
    const AliasTarget target = ResolveAlias(alias);
    std::unique_ptr<HeldRowLock> lock(new HeldRowLock);
    lock->handles_ = std::make_unique<Handles>();
    Handles& h = *lock->handles_;
    ISC_STATUS_ARRAY status = {0};

    QByteArray parameters(1, static_cast<char>(isc_dpb_version1));
    appendParameter(parameters, isc_dpb_user_name, target.user.toUtf8());
    appendParameter(parameters, isc_dpb_password, target.password.toUtf8());
    appendParameter(parameters, isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"));
    const QByteArray database = target.database.toUtf8();
    if (isc_attach_database(status, 0, database.constData(), &h.database,
                            static_cast<short>(parameters.size()), parameters.constData()))
        throw DbError(NativeStatusText(status));

    // Read committed and no wait: a row another transaction changed and did not commit is a
    // conflict at once; one it committed is simply read.
    static const char transactionParameters[] = {isc_tpb_version3, isc_tpb_write,
                                                 isc_tpb_read_committed, isc_tpb_rec_version,
                                                 isc_tpb_nowait};
    if (isc_start_transaction(status, &h.transaction, 1, &h.database,
                              static_cast<unsigned short>(sizeof transactionParameters),
                              transactionParameters))
        throw DbError(NativeStatusText(status));

    const QByteArray sql = update.toUtf8();
    if (isc_dsql_allocate_statement(status, &h.database, &h.statement) ||
        isc_dsql_prepare(status, &h.transaction, &h.statement, 0, sql.constData(), SQL_DIALECT_V6,
                         nullptr))
        throw DbError(NativeStatusText(status));
    if (isc_dsql_execute(status, &h.transaction, &h.statement, 1, nullptr)) {
        if (isLockConflict(status))
            return nullptr;
        throw DbError(NativeStatusText(status));
    }
    if (updatedRows(status, &h.statement) != 1)
        throw DbError(QStringLiteral("The lock statement changed no row: %1").arg(update));
    return lock;
}

void HeldRowLock::release() {
    if (!handles_)
        return;
    ISC_STATUS_ARRAY status = {0};
    Handles& h = *handles_;
    if (h.statement)
        isc_dsql_free_statement(status, &h.statement, DSQL_drop);
    if (h.transaction)
        isc_rollback_transaction(status, &h.transaction);
    if (h.database)
        isc_detach_database(status, &h.database);
    handles_.reset();
}
