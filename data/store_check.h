#pragma once

#include <QString>

class Query;

// True when MAS_STORE holds the store code (the database's own comparison, the code unchanged).
// When it does not, shows "Default Store Code Not Found !..." as an error and gives false.
bool CheckStoreCode(Query& qryCheck, const QString& storeCode);
// The same through qryCheck of dmMMGroupAccess, which must exist.
bool CheckStoreCode(const QString& storeCode);
