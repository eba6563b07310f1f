#include "demo/demo_options.h"

#include <algorithm>
#include <limits>

namespace {

QString valueAfter(const QStringList& arguments, int& index) {
    const QString option = arguments.at(index);
    if (index + 1 >= arguments.size())
        throw DemoUsageError(QStringLiteral("%1 needs a value.\n\n%2").arg(option, DemoUsage()));
    return arguments.at(++index);
}

// A size or seed: decimal digits only, within the range of the field it fills.
qint64 wholeNumber(const QString& option, const QString& text, qint64 largest) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!ok || !digitsOnly || value > largest)
        throw DemoUsageError(
            QStringLiteral("%1 takes a whole number from 0 to %2, not \"%3\".\n\n%4")
                .arg(option)
                .arg(largest)
                .arg(text, DemoUsage()));
    return value;
}

} // namespace

QString DemoUsage() {
    return QStringLiteral(
        "Usage: zantro-demo --into DIR [--empty] [--receipts N] [--stock-docs N] [--ar-docs N]\n"
        "                  [--seed S] [--force]\n"
        "\n"
        "Creates a demo installation of the accounting link in DIR: Register.ini, Ledvora.ini,\n"
        "the alias file Databases.ini and the five databases under DIR/Data, filled with stores,\n"
        "stations, users, masters and documents.\n"
        "\n"
        "  --into DIR        the installation folder (created when missing)\n"
        "  --empty           only the schema, the users and the stores\n"
        "  --receipts N      POS receipts (default 400)\n"
        "  --stock-docs N    stock ledger documents (default 60)\n"
        "  --ar-docs N       receivable documents (default 60)\n"
        "  --seed S          seed of the generator (default 1); the same seed on the same day\n"
        "                    gives the same data\n"
        "  --force           replace the demo installation DIR already holds\n"
        "  --help            this text\n");
}

bool ParseDemoOptions(const QStringList& arguments, DemoOptions& options) {
    const qint64 largestSize = std::numeric_limits<int>::max();
    bool folderGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            return false;
        } else if (option == QLatin1String("--into")) {
            options.folder = valueAfter(arguments, i);
            folderGiven = !options.folder.trimmed().isEmpty();
        } else if (option == QLatin1String("--empty")) {
            options.empty = true;
        } else if (option == QLatin1String("--force")) {
            options.force = true;
        } else if (option == QLatin1String("--receipts")) {
            options.receipts = int(wholeNumber(option, valueAfter(arguments, i), largestSize));
        } else if (option == QLatin1String("--stock-docs")) {
            options.stockDocuments =
                int(wholeNumber(option, valueAfter(arguments, i), largestSize));
        } else if (option == QLatin1String("--ar-docs")) {
            options.receivableDocuments =
                int(wholeNumber(option, valueAfter(arguments, i), largestSize));
        } else if (option == QLatin1String("--seed")) {
            options.seed = quint32(
                wholeNumber(option, valueAfter(arguments, i), std::numeric_limits<quint32>::max()));
        } else {
            throw DemoUsageError(
                QStringLiteral("Unknown argument \"%1\".\n\n%2").arg(option, DemoUsage()));
        }
    }
    if (!folderGiven)
        throw DemoUsageError(QStringLiteral("--into DIR is required.\n\n%1").arg(DemoUsage()));
    return true;
}
