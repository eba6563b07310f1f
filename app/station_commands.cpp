#include "app/station_commands.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/value_forms.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/table.h"

namespace {

const QString PFile = QStringLiteral("P_FILE");
const QString PStatus = QStringLiteral("P_STATUS");
const QString PType = QStringLiteral("P_TYPE");
const QString PTable = QStringLiteral("P_TABLE");
const QString PFileNo = QStringLiteral("P_FILENO");
const QString PDesc = QStringLiteral("P_DESC");

// Text put into a field converts to the field's type: empty text clears a number field.
QVariant fileNumber(const QString& text) {
    if (text.isEmpty())
        return QVariant();
    const std::optional<int> number = toIntStrict(text);
    if (!number)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *number;
}

void deleteAllRows(Table& table) {
    table.first();
    for (int count = table.recordCount(); count > 0; --count)
        table.remove();
}

// Runs `work` in one transaction on the table's database. After a failure the rows in memory
// are read again, since the database went back to what it held before.
template <typename Work> void inTransaction(Table& table, QList<Table*> reread, Work work) {
    try {
        Transaction transaction(*table.connection());
        work();
        transaction.commit();
    } catch (...) {
        for (Table* t : reread) {
            t->cancel();
            t->refresh();
        }
        throw;
    }
}

} // namespace

bool AccountTypeDefined(const SettingsFile& settings) {
    return !settings.read(Keys::General::AccountType).isEmpty();
}

bool RemoveNeedsConfirmation(const SettingsFile& settings) {
    return settings.read(Keys::Confirmation::ConfirmRemove).toUpper() == QLatin1String("Y");
}

void CopyStationJobs(Table& jobs, JobClipboard& clipboard) {
    jobs.first();
    clipboard.Count = jobs.recordCount();
    if (clipboard.Count == 0)
        return;
    clipboard = JobClipboard{clipboard.Count, {}, {}, {}, {}, {}, {}};
    for (jobs.first(); !jobs.eof(); jobs.next()) {
        clipboard.File << jobs.field(PFile).asString();
        clipboard.Status << jobs.field(PStatus).asString();
        clipboard.Type << jobs.field(PType).asString();
        clipboard.Table << jobs.field(PTable).asString();
        clipboard.FileNo << jobs.field(PFileNo).asString();
        clipboard.Desc << jobs.field(PDesc).asString();
    }
    jobs.first();
}

void PasteStationJobs(Table& jobs, const JobClipboard& clipboard) {
    inTransaction(jobs, {&jobs}, [&] {
        deleteAllRows(jobs);
        jobs.first();
        for (int i = 0; i < clipboard.Count; ++i) {
            jobs.insert();
            jobs.setValue(PFile, clipboard.File.value(i));
            jobs.setValue(PStatus, clipboard.Status.value(i));
            jobs.setValue(PType, clipboard.Type.value(i));
            jobs.setValue(PTable, clipboard.Table.value(i));
            jobs.setValue(PFileNo, fileNumber(clipboard.FileNo.value(i)));
            jobs.setValue(PDesc, clipboard.Desc.value(i));
            jobs.post();
        }
    });
}

void RemoveStationWithJobs(Table& stations, Table& jobs) {
    inTransaction(stations, {&stations, &jobs}, [&] {
        deleteAllRows(jobs);
        stations.remove();
    });
}
