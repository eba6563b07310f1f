// zantro-standin: looks into the stand-in accounting package and keeps its code lists.
//   zantro-standin dump [--dcf FILE] [--db FILE]
//   zantro-standin codes [LIST] [--dcf FILE] [--db FILE]
//   zantro-standin add-code LIST CODE [--description TEXT] [--rate PERCENT] [--tariff]
//                           [--dcf FILE] [--db FILE]
// Without --dcf and --db the database is the SALES_TRANSACTION of the installation's Ledvora.ini
// in the folder named by its DCF file.

#include "core/app_error.h"
#include "data/connection.h"
#include "standin/package_codes.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace {

const char kUsage[] =
    "usage: zantro-standin dump [--dcf FILE] [--db FILE]\n"
    "       zantro-standin codes [LIST] [--dcf FILE] [--db FILE]\n"
    "       zantro-standin add-code LIST CODE [--description TEXT] [--rate PERCENT] [--tariff]\n"
    "                               [--dcf FILE] [--db FILE]\n"
    "LIST is one of GL_ACC TAX TERMS AREA AGENT CURRENCY PROJECT PMMETHOD.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 1;
}

struct Options {
    QStringList words;
    QString dcf;
    QString db;
    QString description;
    QString rate;
    bool tariff = false;
};

bool parse(const QStringList& args, Options& options) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--tariff")) {
            options.tariff = true;
            continue;
        }
        QString* value = arg == QLatin1String("--dcf")           ? &options.dcf
                         : arg == QLatin1String("--db")          ? &options.db
                         : arg == QLatin1String("--description") ? &options.description
                         : arg == QLatin1String("--rate")        ? &options.rate
                                                                 : nullptr;
        if (value) {
            if (i + 1 >= args.size())
                return false;
            *value = args[++i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            options.words << arg;
        }
    }
    return true;
}

void printCodes(DbConnection& db, const QString& list) {
    QString text;
    for (const PackageCode& code : ListPackageCodes(db, list)) {
        text += QStringLiteral("%1\t%2\t%3").arg(code.list, code.code, code.description);
        if (code.list == QLatin1String("TAX"))
            text += QStringLiteral("\t%1%%2").arg(code.rate).arg(
                code.tariffRequired ? QStringLiteral("\ttariff required") : QString());
        text += QLatin1Char('\n');
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    Options options;
    if (!parse(args.mid(1), options))
        return usage();
    try {
        if (command == QLatin1String("dump") && options.words.isEmpty()) {
            const QJsonObject dump = DumpPackage(PackageDumpTarget(options.dcf, options.db));
            const QByteArray text = QJsonDocument(dump).toJson(QJsonDocument::Indented);
            std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
            return 0;
        }
        if (command == QLatin1String("codes") && options.words.size() <= 1) {
            DbConnection db(QStringLiteral("SQLAccPackageCodes"),
                            PackageDumpTarget(options.dcf, options.db));
            EnsurePackageSchema(db);
            const QString list = options.words.value(0).toUpper();
            if (!list.isEmpty() && PackageCodeListWhat(list).isEmpty())
                throw AppError(QStringLiteral("\"%1\" is not a code list of the package (lists: "
                                              "%2)")
                                   .arg(options.words.value(0),
                                        PackageCodeListNames().join(QLatin1Char(' '))));
            printCodes(db, list);
            return 0;
        }
        if (command == QLatin1String("add-code") && options.words.size() == 2) {
            PackageCode code;
            code.list = options.words[0].toUpper();
            code.code = options.words[1];
            code.description = options.description;
            code.tariffRequired = options.tariff;
            if (!options.rate.isEmpty()) {
                bool ok = false;
                code.rate = options.rate.toDouble(&ok);
                if (!ok)
                    throw AppError(
                        QStringLiteral("--rate \"%1\" is not a number").arg(options.rate));
            }
            DbConnection db(QStringLiteral("SQLAccPackageCodes"),
                            PackageDumpTarget(options.dcf, options.db));
            EnsurePackageSchema(db);
            AddPackageCodes(db, {code});
            printCodes(db, code.list);
            return 0;
        }
        return usage();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zantro-standin: %s\n", error.what());
        return 1;
    }
}
