#pragma once

#include "core/app_error.h"
#include "sqlacc/automation.h"
#include "sqlacc/package_build.h"

#include <QString>
#include <QStringList>

#include <memory>

class SettingsFile;

// The package refused to start a session: it refused the login, or its books belong to another
// company than the settings name. An error of the run, not of a document: the text names the
// login (user, data collection file, database; never the password) or both companies.
class PackageSessionError : public AppError {
public:
    using AppError::AppError;
};

// One session with the accounting package: its application object, logged in, with what the
// package said of itself after the login.
struct PackageSession {
    AutoObjectPtr app;
    PackageBuild build;
    // The company whose books the package has open, from its profile (Common.Agent.RO,
    // dataset cdsProfile, CompanyName); empty when the package did not say.
    QString companyName;
    // Why the company is not known, when it is not: the package's error on the profile.
    QString companyError;
    bool loggedInHere = false; // false when the package was logged in already
    // What the session's postings had to tell the bookkeeper about the package itself (such as a
    // build too old for a setting), each said once however many documents met it.
    mutable QStringList notices;
    void noteOnce(const QString& notice) const {
        if (!notices.contains(notice))
            notices << notice;
    }
};

// Opens a session: creates the package's application object, logs in with USERLOGIN, PASSWORD,
// DCF and SALES_TRANSACTION of section SQLACC unless the package reports IsLogin already, reads
// BuildNo and the company of the open books. When COMPANY_NAME of section SQLACC is set, books of
// another company (or books the package does not name) raise PackageSessionError before anything
// is posted. The creation error (package not installed) passes unchanged; a refused login raises
// PackageSessionError with the package's text after the login's. The session never logs out.
std::shared_ptr<PackageSession> OpenPackageSession(const SettingsFile& settings);

// "user ADMIN, data collection file C:\...\DEFAULT.DCF, database ACC-0001.FDB"
QString PackageLoginText(const SettingsFile& settings);

// "Zantro Trading Sdn Bhd (build 5.2024.1007.860)", for reports.
QString PackageSessionText(const PackageSession& session);
