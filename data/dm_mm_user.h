#pragma once

#include "data/connection.h"
#include "data/table.h"

// The user table of the login dialog; exists only while that dialog is open.
class TdmMMUser {
public:
    TdmMMUser();
    TdmMMUser(const TdmMMUser&) = delete;
    TdmMMUser& operator=(const TdmMMUser&) = delete;

    DbConnection dbMMUser{QStringLiteral("ZaMMUserDB"), QStringLiteral("ZantApp")};
    Table tblMMUser{&dbMMUser, QStringLiteral("MAS_USER")};
};

extern TdmMMUser* dmMMUser;
