#include "demo/database_write_mode.h"

#include "data/alias_file.h"
#include "data/db_error.h"
#include "data/engine_environment.h"
#include "data/native_status.h"

#include <QByteArray>
#include <QStringList>
#include <ibase.h>

namespace {

void appendText(QByteArray& dpb, char tag, const QByteArray& text) {
    dpb.append(tag);
    dpb.append(char(text.size()));
    dpb.append(text);
}

} // namespace

void SetForcedWrites(const QString& alias, bool on) {
    PrepareDatabaseEngine();
    const AliasTarget target = ResolveAlias(alias);
    // The write mode is a property of the database file, stored by an attachment whose
    // parameters ask for it; the database's owner may change it.
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    appendText(dpb, char(isc_dpb_user_name), target.user.toUtf8());
    appendText(dpb, char(isc_dpb_password), target.password.toUtf8());
    dpb.append(char(isc_dpb_force_write));
    dpb.append(char(1));
    dpb.append(char(on ? 1 : 0));

    const QByteArray database = target.database.toUtf8();
    ISC_STATUS_ARRAY status = {0};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, database.constData(), &db, short(dpb.size()),
                            dpb.constData()))
        throw DbError(NativeStatusText(status));
    isc_detach_database(status, &db);
}
