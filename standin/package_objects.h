#pragma once

// The automation objects of the stand-in package (private to standin/).

#include "sqlacc/automation.h"
#include "standin/package_faults.h"
#include "standin/package_store.h"

#include <memory>
#include <string>

namespace standin_detail {

// What every application object of one installed package shares.
struct PackageShared {
    PackageFaults faults;
    std::string faultSetupError; // a malformed ZANTRO_STANDIN_FAIL
};

// One application object's login.
struct Session {
    std::shared_ptr<PackageShared> package;
    std::unique_ptr<PackageStore> store; // set by Login
};

AutoObjectPtr CreateApplicationObject(std::shared_ptr<PackageShared> package);

} // namespace standin_detail
