#pragma once

#include "data/dataset.h"

#include <QSqlQuery>
#include <memory>

// A statement whose text is set at run time: open() for a SELECT (all rows read into the
// dataset, the transaction ended at once), execSql() for INSERT, UPDATE and DELETE.
class Query : public Dataset {
    Q_OBJECT
public:
    explicit Query(DbConnection* connection, QObject* parent = nullptr);

    // The statement as lines; the lines are joined with line breaks.
    void clearSql() { lines_.clear(); }
    void addSql(const QString& line) { lines_ << line; }
    void setSql(const QString& text) { lines_ = QStringList{text}; }
    void setSqlLines(const QStringList& lines) { lines_ = lines; }
    QString sql() const { return lines_.join(QLatin1Char('\n')); }

    void open() override;
    // Runs a statement that returns no rows; gives the number of rows changed.
    int execSql();

private:
    QStringList lines_;
};

// Reads the rows of a SELECT one at a time without holding them all, for long walks (a search
// copying rows between databases). Text of CHAR columns comes without its padding blanks.
class RowReader {
public:
    // `binds` fill the statement's "?" in order.
    RowReader(DbConnection& connection, const QString& sql, const QVariantList& binds = {});
    ~RowReader();
    bool next();
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    int columnCount() const;
    // The column of that name (as the statement names it, any case), or -1.
    int columnIndex(const QString& name) const;
    // The type values of the column come as, and whether it is a CHAR column (read trimmed).
    QMetaType columnType(int column) const;
    bool isFixedWidth(int column) const { return fixedWidth_.value(column); }

private:
    std::unique_ptr<QSqlQuery> query_;
    QVector<bool> fixedWidth_;
};

// The first column of the first row of a SELECT, or null when it returns no row.
QVariant SelectValue(DbConnection& connection, const QString& sql, const QVariantList& binds = {});
