// zantro-standin: looks into the stand-in accounting package.
//   zantro-standin dump [--dcf FILE] [--db FILE]
// prints everything the package database holds as JSON. Without options the database is the
// SALES_TRANSACTION of the installation's Ledvora.ini in the folder named by its DCF file.

#include "standin/package_dump.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace {

int usage() {
    std::fputs("usage: zantro-standin dump [--dcf FILE] [--db FILE]\n", stderr);
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() != QLatin1String("dump"))
        return usage();
    QString dcf;
    QString db;
    for (int i = 1; i < args.size(); ++i) {
        if (i + 1 >= args.size())
            return usage();
        if (args[i] == QLatin1String("--dcf"))
            dcf = args[++i];
        else if (args[i] == QLatin1String("--db"))
            db = args[++i];
        else
            return usage();
    }
    try {
        const QJsonObject dump = DumpPackage(PackageDumpTarget(dcf, db));
        const QByteArray text = QJsonDocument(dump).toJson(QJsonDocument::Indented);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zantro-standin: %s\n", error.what());
        return 1;
    }
}
