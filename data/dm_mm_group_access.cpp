#include "data/dm_mm_group_access.h"

#include "core/app_context.h"
#include "core/file_name_case.h"
#include "core/profile_file.h"

TdmMMGroupAccess* dmMMGroupAccess = nullptr;

QString RegisterIniPath() {
    return FindFileIgnoringCase(ProgramFolder() + QStringLiteral("/Register.ini"));
}

TdmMMGroupAccess::TdmMMGroupAccess() {
    DataModuleCreate();
    dbMainMenu.open();
    dbMainMenuApp.open();

    qryUser.setSqlLines(
        {QStringLiteral("Select *"), QStringLiteral("From"), QStringLiteral("Mas_User")});
    qryUserLink.setSqlLines(
        {QStringLiteral("Select *"), QStringLiteral("From"), QStringLiteral("Mas_User_Link")});
    qryUserGroup.setSqlLines({QStringLiteral("Select * "), QStringLiteral("From"),
                              QStringLiteral("Mas_UserGroup"), QStringLiteral("Order By"),
                              QStringLiteral("M_Code")});
    qryUser.open();
    qryUserLink.open();
    qryUserGroup.open();

    tblUserGroupAccess.setReadOnly(true);
    tblUserGroupAccess.open();

    // The menu tables are opened because the module always has; no operation reads them.
    tblFileType1.setFilter(QStringLiteral("M_CODE='FM'"));
    tblFileType1.setFiltered(true);
    tblFileType1.setIndexFieldNames(QStringLiteral("M_SEQ"));
    tblFileType2.setIndexFieldNames(QStringLiteral("M_TYPE1;M_SEQ"));
    tblFileType2.setMasterSource(&tblFileType1, {QStringLiteral("M_CODE")},
                                 {QStringLiteral("M_TYPE1")});
    tblFileType3.setIndexFieldNames(QStringLiteral("M_TYPE2;M_SEQ"));
    tblFileType3.setMasterSource(&tblFileType2, {QStringLiteral("M_CODE")},
                                 {QStringLiteral("M_TYPE2")});
    tblFileType1.open();
    tblFileType2.open();
    tblFileType3.open();
}

void TdmMMGroupAccess::DataModuleCreate() {
    const ProfileFile registerIni(RegisterIniPath());
    LogFolder = registerIni.readString(QStringLiteral("REPORT"), QStringLiteral("LOG"), QString());
    LogExt = registerIni.readString(QStringLiteral("REPORT"), QStringLiteral("LOG_EXT"),
                                    QStringLiteral("000"));
    // Any non-zero integer switches the log on; text that is not an integer leaves it off.
    bool isNumber = false;
    const int stockLog =
        registerIni.readString(QStringLiteral("REPORT"), QStringLiteral("STOCKW_LOG"), QString())
            .toInt(&isNumber);
    StockLogEnabled = isNumber && stockLog != 0;
}
