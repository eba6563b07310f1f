#pragma once

// The automation objects of the stand-in package (private to standin/).

#include "sqlacc/automation.h"
#include "standin/package_faults.h"
#include "standin/package_store.h"

#include <map>
#include <memory>
#include <string>

namespace standin_detail {

// What every application object of one installed package shares.
struct PackageShared {
    PackageFaults faults;
    // Counted for tests: successful logins and logouts, and business objects whose record (made
    // by New, or loaded by Open) was not closed (Close or Cancel) before the object was dropped
    // or is still open.
    int logins = 0;
    int logouts = 0;
    int openRecords = 0;
    std::string faultSetupError; // a malformed ZANTRO_STANDIN_FAIL
    // Package databases already opened by a login, by file: every document logs in anew, and
    // opening the database each time would cost more than posting the document. Closed when the
    // application object of the program goes away (CloseOpenPackageDatabases).
    std::map<QString, std::shared_ptr<PackageStore>> openStores;
};

// One application object's login.
struct Session {
    std::shared_ptr<PackageShared> package;
    std::shared_ptr<PackageStore> store; // set by Login
    QString build;                       // from the DCF, reported as BuildNo
    int buildNumber = 0;
    QString companyName; // from the DCF, named by the profile report
};

// Closes the databases every package of this process keeps open between logins.
void CloseOpenPackageDatabases();

AutoObjectPtr CreateApplicationObject(std::shared_ptr<PackageShared> package);

} // namespace standin_detail
