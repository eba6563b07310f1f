#pragma once

#include "data/dataset.h"

// A table of the database held as a dataset: optional sort order (index field names), a filter
// (SQL condition) with its switch, and an optional master: a detail table shows only the rows
// whose detail fields equal the master's current row, follows the master's cursor, and gives a
// new row the master's values. Rows are changed in the database by their key (primary key, else
// the first unique index, else all original values), each change committed at once.
class Table : public Dataset {
    Q_OBJECT
public:
    Table(DbConnection* connection, QString tableName, QObject* parent = nullptr);

    const QString& tableName() const { return tableName_; }

    // Field names separated by ";" (ascending); empty means the key order.
    void setIndexFieldNames(const QString& names);
    const QString& indexFieldNames() const { return indexFieldNames_; }

    void setFilter(const QString& condition);
    const QString& filter() const { return filter_; }
    void setFiltered(bool filtered);
    bool filtered() const { return filtered_; }

    void setMasterSource(Dataset* master, const QStringList& masterFields,
                         const QStringList& detailFields);

    void open() override;
    QStringList keyFields() const { return keyFields_; }

    // The SELECT that open() runs for the current filter, master row and order, with the values
    // it binds; for readers that walk the rows without holding them. Without `ordered` it has no
    // ORDER BY (to count the rows, say); with `columns` it reads only those.
    QString selectSql(QVariantList& binds, bool ordered = true, const QStringList& columns = {});

protected:
    void writeInsert(Row& row) override;
    void writeUpdate(const Row& original, Row& row) override;
    void writeDelete(const Row& row) override;
    void initNewRow(Row& row) override;
    QVariantList rowKey(const Row& row) const override;

private:
    struct Metadata {
        QStringList columns;
        QVector<bool> fixedWidth;
        QStringList key;
    };
    const Metadata& metadata();
    void reopenIfActive();
    QString whereForRow(const Row& row, QVariantList& binds) const;
    Row readRowByKey(const Row& row);

    QString tableName_;
    QString indexFieldNames_;
    QString filter_;
    bool filtered_ = false;
    Dataset* master_ = nullptr;
    QStringList masterFields_;
    QStringList detailFields_;
    QStringList keyFields_;
    bool metadataLoaded_ = false;
    Metadata metadata_;
};
