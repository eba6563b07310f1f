#pragma once

#include "data/connection.h"
#include "data/query.h"
#include "data/table.h"

#include <QString>

// Users, groups, access rights, the store check and the activity-log switches. Created first by
// the main window (and by the batch command); lives until the program ends.
class TdmMMGroupAccess {
public:
    // Connects, opens the tables and the three user queries, and reads the log settings of
    // Register.ini. Raises the engine's error when a connection or table cannot be opened.
    TdmMMGroupAccess();
    TdmMMGroupAccess(const TdmMMGroupAccess&) = delete;
    TdmMMGroupAccess& operator=(const TdmMMGroupAccess&) = delete;

    // Reads [REPORT] LOG, LOG_EXT and STOCKW_LOG of Register.ini.
    void DataModuleCreate();

    DbConnection dbMainMenu{QStringLiteral("ZaMainMenuDB"), QStringLiteral("ZantSys")};
    DbConnection dbMainMenuApp{QStringLiteral("ZaMainMenuDBApp"), QStringLiteral("ZantApp")};

    Query qryCheck{&dbMainMenu};
    Query qryUser{&dbMainMenuApp};
    Query qryUserLink{&dbMainMenuApp};
    Query qryUserGroup{&dbMainMenu};

    Table tblUserGroupAccess{&dbMainMenu, QStringLiteral("MAS_USERGROUPACCESS")};
    Table tblFileType1{&dbMainMenu, QStringLiteral("MAS_FILETYPE1")};
    Table tblFileType2{&dbMainMenu, QStringLiteral("MAS_FILETYPE2")};
    Table tblFileType3{&dbMainMenu, QStringLiteral("MAS_FILETYPE3")};

    QString LogFolder;
    QString LogExt = QStringLiteral("000");
    bool StockLogEnabled = false;
};

// The installation file shared with the other back-office programs, found whatever the case of
// its name.
QString RegisterIniPath();

extern TdmMMGroupAccess* dmMMGroupAccess;
