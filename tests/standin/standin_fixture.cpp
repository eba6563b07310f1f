#include "tests/standin/standin_fixture.h"

#include "config/settings_file.h"
#include "standin/package_setup.h"

StandinInstallation::StandinInstallation(TestContext& context) {
    const QString folder = context.path("Package");
    dcf = folder + "/DEFAULT.DCF";
    CreatePackageDatabase(dcf, folder, "ACC-0001.FDB", "ADMIN", "ADMIN");
    database = PackageDatabaseTarget(ReadPackageDcf(dcf), "ACC-0001.FDB");
    SettingsFile settings;
    settings.writeString("SQLACC", "DCF", dcf);
    settings.writeString("SQLACC", "SALES_TRANSACTION", "ACC-0001.FDB");
}
