#pragma once

#include "sqlacc/automation.h"

#include <memory>
#include <string>

namespace standin_detail {
struct PackageShared;
}

// The stand-in accounting package: an installed package from which application objects (BizApp)
// are created, with the members the posting routines call. What is saved goes into the package
// database named at Login, found through the data collection file (standin/README.md).
//
// For tests the package can be made to fail: the nth call of a member, counted over every object
// of every BizApp of this package from when the fault is set, raises the given text instead of
// being carried out. A failing Save fails after its rows are written and before they are
// committed, so nothing of that document is kept. The environment variable ZANTRO_STANDIN_FAIL
// sets faults in the same way for another process ("Save:3:Disk full"; several joined by "|").
class StandinPackage {
public:
    // Takes its faults from ZANTRO_STANDIN_FAIL; a malformed value makes createBizApp fail.
    StandinPackage();

    // A new application object, not logged in.
    AutoObjectPtr createBizApp();

    void failCall(const std::string& member, int nth, const std::string& text);
    void clearFaults();

    // What the package's application objects did since this package was made, for tests that
    // hold "one login per run, never a logout, every business object closed": successful
    // logins, logouts, and business objects whose record (New, Open) was not closed (Close).
    int logins() const;
    int logouts() const;
    int openBusinessObjects() const;

private:
    std::shared_ptr<standin_detail::PackageShared> shared_;
};

// Makes CreateBizApp hand out application objects of this process's stand-in package, which it
// returns (the same package on every call). The executables call it at start where the real
// package is not available.
StandinPackage& UseStandinPackage();
