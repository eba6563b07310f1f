#include "export/batch/work_table_printer.h"

#include "data/connection.h"
#include "data/dataset_model.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/table.h"

#include <QLocale>
#include <QVector>

#include <optional>

namespace {

struct Column {
    QString field;
    QString label;
    Dataset::FieldDisplay display;
    int index = -1; // in the statement's row
    int width = 0;
};

// A cell as DatasetModel::displayText writes it, with the number locale made once for all cells.
class CellText {
public:
    CellText() : locale_(QLocale::system()) {
        locale_.setNumberOptions(QLocale::DefaultNumberOptions);
    }
    QString operator()(const QVariant& value, const Column& column) const {
        if (column.display.checkBox)
            return value.toString() == QLatin1String("T") ? QStringLiteral("[x]")
                                                          : QStringLiteral("[ ]");
        if (!column.display.displayFormat.isEmpty())
            return value.isNull() ? QString() : locale_.toString(value.toDouble(), 'f', 2);
        return DatasetModel::displayText(value, column.display);
    }

private:
    QLocale locale_;
};

QStringList fieldsOf(const QVector<Column>& columns) {
    QStringList fields;
    for (const Column& column : columns)
        fields << column.field;
    return fields;
}

// The widest cell of every column, found by one aggregate the engine runs over the rows, so that
// the rows themselves are read only once, to print them. The widest amount is that of the largest
// or of the smallest value; text is as wide as its characters; a day is ten characters, a time of
// day adds nine. False when a column holds something else: the caller then measures the rows.
bool widthsFromEngine(Table& view, QVector<Column>& columns, const CellText& cell) {
    // The columns' types, from a statement that reads no row.
    QVariantList probeBinds;
    const QString select = view.selectSql(probeBinds, false, fieldsOf(columns));
    RowReader types(*view.connection(),
                    QStringLiteral("SELECT FIRST 0 ") +
                        select.mid(QStringLiteral("SELECT ").size()),
                    probeBinds);

    QStringList aggregates{QStringLiteral("COUNT(*)")};
    for (int i = 0; i < columns.size(); ++i) {
        const Column& column = columns.at(i);
        const QString& field = column.field;
        const int type = types.columnType(i).id();
        if (column.display.checkBox)
            continue;
        if (!column.display.displayFormat.isEmpty())
            aggregates << QStringLiteral("MAX(%1)").arg(field)
                       << QStringLiteral("MIN(%1)").arg(field);
        else if (type == QMetaType::QString)
            aggregates << (types.isFixedWidth(i)
                               ? QStringLiteral("MAX(CHAR_LENGTH(TRIM(TRAILING FROM %1)))")
                               : QStringLiteral("MAX(CHAR_LENGTH(%1))"))
                              .arg(field);
        else if (type == QMetaType::QDateTime)
            aggregates << QStringLiteral("MAX(CASE WHEN %1 IS NULL THEN 0 WHEN EXTRACT(HOUR FROM "
                                         "%1) = 0 AND EXTRACT(MINUTE FROM %1) = 0 AND "
                                         "EXTRACT(SECOND FROM %1) < 0.001 THEN 10 ELSE 19 END)")
                              .arg(field);
        else if (type == QMetaType::QDate)
            aggregates << QStringLiteral("MAX(CASE WHEN %1 IS NULL THEN 0 ELSE 10 END)").arg(field);
        else
            return false;
    }
    QVariantList binds;
    const QString rows = view.selectSql(binds, false);
    RowReader widest(
        *view.connection(),
        QStringLiteral("SELECT %1 FROM (%2)").arg(aggregates.join(QStringLiteral(", ")), rows),
        binds);
    if (!widest.next())
        return false;
    const bool anyRow = widest.value(0).toLongLong() > 0;
    int at = 1;
    for (Column& column : columns) {
        int width = 0;
        if (column.display.checkBox) {
            width = anyRow ? 3 : 0;
        } else if (!column.display.displayFormat.isEmpty()) {
            width = int(qMax(cell(widest.value(at), column).size(),
                             cell(widest.value(at + 1), column).size()));
            at += 2;
        } else {
            width = widest.value(at++).toInt();
        }
        column.width = qMax(column.width, width);
    }
    return true;
}

// The widest cell of every column, measured on the rows themselves (a first reading of them).
void widthsFromRows(Table& view, QVector<Column>& columns, const CellText& cell) {
    QVariantList binds;
    RowReader reader(*view.connection(), view.selectSql(binds, false, fieldsOf(columns)), binds);
    while (reader.next()) {
        for (int i = 0; i < columns.size(); ++i)
            columns[i].width =
                qMax(columns[i].width, int(cell(reader.value(i), columns[i]).size()));
    }
}

} // namespace

void PrintWorkTableRows(QTextStream& out, Table& view) {
    QVector<Column> columns;
    QStringList fields;
    for (const QString& field : view.displayFields()) {
        Column column;
        column.field = field;
        column.display = view.displayOf(field);
        column.label = column.display.label.isEmpty() ? field : column.display.label;
        column.width = int(column.label.size());
        columns.append(column);
        fields << field;
    }

    const CellText cell;
    // One transaction: the rows printed are the rows measured.
    Transaction snapshot(*view.connection());
    if (!widthsFromEngine(view, columns, cell))
        widthsFromRows(view, columns, cell);

    const auto line = [&columns](const auto& text) {
        QString result;
        for (int i = 0; i < columns.size(); ++i) {
            const Column& column = columns.at(i);
            if (i > 0)
                result += QLatin1String("  ");
            const QString value = text(i);
            if (!column.display.displayFormat.isEmpty())
                result += value.rightJustified(column.width);
            else
                result += i == columns.size() - 1 ? value : value.leftJustified(column.width);
        }
        return result;
    };
    out << line([&columns](int i) { return columns.at(i).label; }) << '\n';
    int rows = 0;
    {
        QVariantList binds;
        RowReader reader(*view.connection(), view.selectSql(binds, true, fields), binds);
        while (reader.next()) {
            out << line([&](int i) { return cell(reader.value(i), columns.at(i)); }) << '\n';
            ++rows;
        }
    }
    snapshot.commit();
    out << "Total Record: " << rows << '\n';
    out.flush();
}
