#include "demo/bulk_writer.h"

#include "data/connection.h"
#include "data/db_error.h"

#include <QSqlError>

BulkWriter::BulkWriter(DbConnection& connection, int rowsPerCommit)
    : connection_(connection), rowsPerCommit_(rowsPerCommit > 0 ? rowsPerCommit : 1) {}

BulkWriter::~BulkWriter() {
    // The statements go first: a query still holding its statement would keep the transaction.
    statements_.clear();
    if (inTransaction_)
        connection_.database().rollback();
}

BulkWriter::Statement& BulkWriter::insertInto(const QString& table, const QStringList& columns) {
    return statements_.emplace_back(*this, table, columns);
}

void BulkWriter::begin() {
    if (inTransaction_)
        return;
    QSqlDatabase db = connection_.database();
    if (!db.transaction())
        throw DbError(EngineErrorText(db.lastError()));
    inTransaction_ = true;
}

void BulkWriter::finish() {
    if (!inTransaction_)
        return;
    QSqlDatabase db = connection_.database();
    if (!db.commit())
        throw DbError(EngineErrorText(db.lastError()));
    inTransaction_ = false;
    pending_ = 0;
    ++generation_;
}

void BulkWriter::rowWritten() {
    ++rowsWritten_;
    if (++pending_ >= rowsPerCommit_)
        finish();
}

BulkWriter::Statement::Statement(BulkWriter& writer, QString table, const QStringList& columns)
    : writer_(writer), table_(std::move(table)), columnCount_(int(columns.size())) {
    QStringList marks;
    for (int i = 0; i < columnCount_; ++i)
        marks << QStringLiteral("?");
    sql_ = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
               .arg(table_, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

void BulkWriter::Statement::prepare() {
    query_ = QSqlQuery(writer_.connection_.database());
    if (!query_.prepare(sql_))
        throw DbError(EngineErrorText(query_.lastError()));
    preparedIn_ = writer_.generation_;
}

void BulkWriter::Statement::add(std::initializer_list<QVariant> values) {
    if (int(values.size()) != columnCount_)
        throw DbError(QStringLiteral("%1 values given for the %2 columns of %3")
                          .arg(values.size())
                          .arg(columnCount_)
                          .arg(table_));
    writer_.begin();
    if (preparedIn_ != writer_.generation_)
        prepare();
    int index = 0;
    for (const QVariant& value : values)
        query_.bindValue(index++, value);
    if (!query_.exec())
        throw DbError(QStringLiteral("%1 (%2)").arg(EngineErrorText(query_.lastError()), table_));
    writer_.rowWritten();
}
