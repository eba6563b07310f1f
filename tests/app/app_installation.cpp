#include "tests/app/app_installation.h"

#include "data/connection.h"
#include "tests/support/test_databases.h"

#include <QFile>
#include <QStringList>
#include <QtTest>

void AppInstallation::WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray AppInstallation::ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void AppInstallation::Create(const QString& folder, const QByteArray& registerIni) {
    TestDatabases::CreateInstallation(folder);
    WriteFile(folder + QStringLiteral("/Register.ini"), registerIni);

    DbConnection sys(QStringLiteral("Setup"), QStringLiteral("ZantSys"));
    for (const char* sql : {
             "INSERT INTO MAS_STORE (M_CODE, M_DESC) VALUES ('S001', 'Main Street')",
             "INSERT INTO MAS_STORE (M_CODE, M_DESC) VALUES ('S002', 'Harbour')",
             "INSERT INTO MAS_STORE (M_CODE, M_DESC) VALUES ('S004', 'Airport')",
             "INSERT INTO MAS_USERGROUP (M_CODE, M_DESC) VALUES ('ADM', 'Administrators')",
             "INSERT INTO MAS_USERGROUPACCESS (M_CODE, M_ACCESS) VALUES ('ADM', 'ACCTLI')",
         })
        sys.execute(QLatin1String(sql));

    DbConnection stk(QStringLiteral("Setup"), QStringLiteral("ZantStk"));
    for (const char* sql : {
             "INSERT INTO ACC_STATION (P_STORE, P_EXPORT, P_IMPORT, P_ACTIVE) VALUES ('S001', "
             "'2024-02-28 10:15:02', '2024-03-01 00:00:00', 'T')",
             "INSERT INTO ACC_STATION (P_STORE, P_EXPORT, P_IMPORT, P_ACTIVE) VALUES ('S002', "
             "'2024-02-26 10:15:02', NULL, 't')",
             "INSERT INTO ACC_STATION (P_STORE, P_EXPORT, P_IMPORT, P_ACTIVE) VALUES ('S003', "
             "NULL, NULL, 'T')",
             "INSERT INTO ACC_STATION (P_STORE, P_EXPORT, P_IMPORT, P_ACTIVE) VALUES ('S004', "
             "'2024-03-01 00:00:00', NULL, 'F')",
             "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_TYPE, P_TABLE, P_FILENO, P_DESC, "
             "P_STATUS) VALUES ('S001', 'SLSTRN', 'STK', 'POS_SALES', 7, 'Sales Transaction', "
             "'NM')",
             "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_TYPE, P_TABLE, P_FILENO, P_DESC, "
             "P_STATUS) VALUES ('S001', 'SUPPLI', 'APP', 'MAS_SUPPLIER', NULL, 'Supplier', 'C')",
             "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_TYPE, P_TABLE, P_FILENO, P_DESC, "
             "P_STATUS) VALUES ('S002', 'CUSTOM', 'APP', 'MAS_CUSTOMER', 3, 'Customer', 'A')",
         })
        stk.execute(QLatin1String(sql));

    DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
    for (const char* sql : {
             "INSERT INTO MAS_USER (M_CODE, M_DESC, M_USERGROUP, M_PASSWORD, M_ACTIVE, "
             "M_DATEFROM, M_DATETO) VALUES ('ADMIN', 'Administrator', 'ADM', 'SECRET', 'T', "
             "'2020-01-01 00:00:00', '2020-01-01 23:59:00')",
             "INSERT INTO MAS_USER (M_CODE, M_DESC, M_USERGROUP, M_PASSWORD, M_ACTIVE, "
             "M_DATEFROM, M_DATETO) VALUES ('GUEST', 'Guest', 'GST', 'SECRET', 'T', "
             "'2020-01-01 00:00:00', '2020-01-01 23:59:00')",
         })
        app.execute(QLatin1String(sql));
}
