#include "tests/standin/standin_fixture.h"

#include "config/settings_file.h"
#include "data/connection.h"
#include "data/sql_quote.h"
#include "standin/package_codes.h"
#include "standin/package_setup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The package every installation of the process starts from, made once: creating a database and
// its schema takes a second, copying its file a few milliseconds.
const QString& templateFolder() {
    static QTemporaryDir folder;
    static const bool made = [] {
        const QString dcf = folder.filePath("DEFAULT.DCF");
        CreatePackageDatabase(dcf, folder.path(), "ACC-0001.FDB", "ADMIN", "ADMIN");
        // The codes Ledvora.ini's defaults name, whatever the installation's file says.
        QList<PackageCode> codes =
            PackageCodesOfSettings(SettingsFile(folder.filePath("Defaults.ini")));
        codes << PackageCode{"TAX", "SR", "Standard rated", 6, false}
              << PackageCode{"TAX", "ZR", "Zero rated", 0, false}
              << PackageCode{"TAX", "TX", "Purchase tax", 6, false};
        AddPackageCodes(PackageDatabaseTarget(ReadPackageDcf(dcf), "ACC-0001.FDB"), codes);
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = folder.path();
    return path;
}

} // namespace

StandinInstallation::StandinInstallation(TestContext& context) {
    const QString folder = context.path("Package");
    QDir().mkpath(folder);
    for (const char* file : {"DEFAULT.DCF", "ACC-0001.FDB"})
        QFile::copy(templateFolder() + "/" + file, folder + "/" + file);
    dcf = folder + "/DEFAULT.DCF";
    database = PackageDatabaseTarget(ReadPackageDcf(dcf), "ACC-0001.FDB");
    SettingsFile settings;
    settings.writeString("SQLACC", "DCF", dcf);
    settings.writeString("SQLACC", "SALES_TRANSACTION", "ACC-0001.FDB");
}

void StandinInstallation::setBuild(const QString& build) const {
    SetPackageDcfValue(dcf, "BUILD", build);
}

void StandinInstallation::addItems(const QStringList& codes) const {
    DbConnection db("StandinFixtureItems", database);
    for (const QString& code : codes) {
        db.execute("INSERT INTO SA_MASTER (MASTERKEY, BIZOBJECT, CODE, DESCRIPTION) VALUES (NEXT "
                   "VALUE FOR SA_KEY, 'ST_ITEM', " +
                   QuotedStr(code) + ", " + QuotedStr(code) + ")");
        db.execute("INSERT INTO SA_ITEM_UOM (UOMKEY, MASTERKEY, UOM, RATE, ISBASE) SELECT NEXT "
                   "VALUE FOR SA_KEY, MASTERKEY, 'UNIT', 1, 'T' FROM SA_MASTER WHERE BIZOBJECT = "
                   "'ST_ITEM' AND CODE = " +
                   QuotedStr(code));
    }
}
