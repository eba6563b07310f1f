#pragma once

#include "sqlacc/automation.h"
#include "sqlacc/package_session.h"

// The accounting package's application object of the session in hand. Empty at start, set by
// SQLAccLogin, released when the session ends (ReleaseBizApp at exit). The program never logs out.
extern AutoObjectPtr BizApp;

// Makes sure a session with the package is open, and returns true. Within a run
// (PackageRunSession) the first call opens the run's session (OpenPackageSession: the object
// created and logged in once, BuildNo and the company of the open books read) and later calls use
// it; outside a run every call opens a new session, releasing the earlier one. Errors of the
// package (not installed, login refused, books of another company) leave it unchanged.
bool SQLAccLogin();

// The session SQLAccLogin opened last. Throws AppError when none is open.
const PackageSession& CurrentPackageSession();

// One session with the package for the whole of a run: an export run, a master export, a
// scheduled run of several kinds. Runs may nest; the outermost one owns the session, which ends
// (its object released, never logged out) when it ends.
class PackageRunSession {
public:
    PackageRunSession();
    ~PackageRunSession();
    PackageRunSession(const PackageRunSession&) = delete;
    PackageRunSession& operator=(const PackageRunSession&) = delete;
};

// Within a run, makes the run's session hand out another application object (a DocumentCapture
// that takes down what the posting routines would send) until it ends; the session's build and
// company stay. Needs an open session (SQLAccLogin first).
class PackageAppSubstitute {
public:
    explicit PackageAppSubstitute(AutoObjectPtr app);
    ~PackageAppSubstitute();
    PackageAppSubstitute(const PackageAppSubstitute&) = delete;
    PackageAppSubstitute& operator=(const PackageAppSubstitute&) = delete;

private:
    std::shared_ptr<PackageSession> saved_;
};

// Releases the application object; called when the program ends.
void ReleaseBizApp();
