#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class DbConnection;
class Dataset;

// One field of the current row of a dataset, read in the form the caller needs.
class FieldRef {
public:
    FieldRef(const Dataset* dataset, QString name) : dataset_(dataset), name_(std::move(name)) {}
    QVariant value() const;
    bool isNull() const;
    QString asString() const; // null reads as empty text
    double asFloat() const;   // null reads as 0
    int asInteger() const;
    QDateTime asDateTime() const;

private:
    const Dataset* dataset_;
    QString name_;
};

// Rows of a table or query held in memory with a cursor, field access by name, Locate/Lookup,
// and Insert/Edit/Post/Cancel/Delete. Text of fixed-width (CHAR) columns is read without its
// padding blanks, so "exactly T" comparisons hold. Moving the cursor while a row is being edited
// posts the row first, as leaving a row in a grid does.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(DbConnection* connection, QObject* parent = nullptr);
    ~Dataset() override;

    DbConnection* connection() const { return connection_; }

    virtual void open() = 0;
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    // Re-reads the rows; the cursor stays on the same row when it is still there.
    void refresh();

    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return rows_.isEmpty() && state_ != State::Insert; }
    int recordCount() const { return rows_.size(); }
    int recNo() const { return current_; }
    // Makes the given row current (posting a pending edit first).
    void moveTo(int row);

    QStringList fieldNames() const;
    bool hasField(const QString& name) const;
    FieldRef field(const QString& name) const { return FieldRef(this, name); }
    QVariant value(const QString& name) const;
    QVariant valueAt(int row, const QString& name) const;
    void setValue(const QString& name, const QVariant& value);

    // Exact, case-sensitive search from the first row; moves the cursor when found.
    bool locate(const QString& fieldName, const QVariant& value);
    // Result field of the first row whose key field equals the value, or null; the cursor stays.
    QVariant lookup(const QString& keyField, const QVariant& value,
                    const QString& resultField) const;

    // A read-only display field whose value is the result field of the first row of `source`
    // whose `sourceKeyField` equals this row's `keyField` (empty when none).
    void addLookupField(const QString& name, Dataset* source, const QString& keyField,
                        const QString& sourceKeyField, const QString& resultField);

    State state() const { return state_; }
    void insert();
    void append() { insert(); }
    void edit();
    void post();
    void cancel();
    void remove();
    // Posts a pending edit, if any (what leaving the row does).
    void checkBrowseMode();

    // How grids show a field (what a field's display properties are in a form designer).
    struct FieldDisplay {
        QString label;
        bool visible = true;
        bool readOnly = false;
        QString displayFormat; // "#,##0.00" for amounts
        bool checkBox = false; // "T" ticked, "F" not
        int displayWidth = 0;  // characters
    };
    // Fields shown by grids, in order (all fields in table order when never set).
    void setDisplayFields(const QStringList& names) { displayFields_ = names; }
    QStringList displayFields() const;
    FieldDisplay& display(const QString& name) { return display_[name.toUpper()]; }
    FieldDisplay displayOf(const QString& name) const { return display_.value(name.toUpper()); }

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    std::function<void(Dataset&)> afterOpen;
    std::function<void(Dataset&)> afterInsert;
    std::function<void(Dataset&)> afterPost;
    std::function<void(Dataset&)> afterDelete;
    std::function<void(Dataset&)> afterScroll;

signals:
    void rowsReset();
    void rowUpdated(int row);
    void currentRowChanged(int row);
    void stateChanged();

protected:
    using Row = QVector<QVariant>;

    // Loads a fresh set of rows (from the subclass's open or refresh).
    void setRows(const QStringList& fields, const QVector<bool>& fixedWidth, QVector<Row> rows);
    void clearRows();
    int fieldIndex(const QString& name) const;
    const QStringList& dataFields() const { return fields_; }
    const QVector<bool>& fixedWidthFields() const { return fixedWidth_; }

    // Database side of the edits; the default refuses (queries are read-only).
    virtual void writeInsert(Row& row);
    virtual void writeUpdate(const Row& original, Row& row);
    virtual void writeDelete(const Row& row);
    // Fills a new row before the after-insert event (a detail takes its master's key).
    virtual void initNewRow(Row& row);
    // Re-reads the rows for refresh(); by default the same as open().
    virtual void reload() { open(); }
    // Key values that find the current row again after a re-read.
    virtual QVariantList rowKey(const Row& row) const {
        return QVariantList(row.begin(), row.end());
    }

    static QVariant normalise(const QVariant& value, bool fixedWidth);

private:
    struct LookupField {
        QString name;
        Dataset* source;
        QString keyField;
        QString sourceKeyField;
        QString resultField;
    };

    void setCurrent(int row);
    void invalidateIndexes();
    const Row* currentRow() const;
    int findFirst(const QString& fieldName, const QVariant& value) const;

    DbConnection* connection_;
    QStringList fields_;
    QVector<bool> fixedWidth_;
    QHash<QString, int> fieldIndex_;
    QVector<Row> rows_;
    QVector<LookupField> lookups_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    State state_ = State::Inactive;
    bool readOnly_ = false;
    Row editBuffer_;
    mutable QHash<int, QHash<QString, int>> firstRowByValue_;
    QStringList displayFields_;
    QHash<QString, FieldDisplay> display_;
};
