#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <list>

class DbConnection;

// Writes many rows into one database through prepared INSERT statements with bound values,
// committing every few thousand rows. A commit per row would make a large demo take hours; one
// transaction over millions of rows would make the engine keep undo data for all of them.
// Rows not yet committed when the writer is destroyed without finish() are rolled back.
class BulkWriter {
public:
    class Statement;

    explicit BulkWriter(DbConnection& connection, int rowsPerCommit = 5000);
    ~BulkWriter();
    BulkWriter(const BulkWriter&) = delete;
    BulkWriter& operator=(const BulkWriter&) = delete;

    // An INSERT into `table` taking its values in the order of `columns`. The statement lives
    // as long as the writer.
    Statement& insertInto(const QString& table, const QStringList& columns);

    // Commits what is pending; the writer may go on writing afterwards.
    void finish();

    qint64 rowsWritten() const { return rowsWritten_; }

private:
    void begin();
    void rowWritten();

    DbConnection& connection_;
    int rowsPerCommit_;
    int pending_ = 0;
    qint64 rowsWritten_ = 0;
    bool inTransaction_ = false;
    // Bumped by every commit: a statement prepared in an earlier transaction is prepared again,
    // because the driver keeps the handle of the transaction it was prepared in.
    int generation_ = 0;
    std::list<Statement> statements_;
};

class BulkWriter::Statement {
public:
    Statement(BulkWriter& writer, QString table, const QStringList& columns);

    // One row; the values in column order. A null QVariant writes NULL.
    void add(std::initializer_list<QVariant> values);

private:
    void prepare();

    BulkWriter& writer_;
    QString table_;
    QString sql_;
    int columnCount_;
    int preparedIn_ = -1;
    QSqlQuery query_;
};
