#include "sqlacc/package_session.h"

#include "config/settings_file.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/posting_values.h"

#include <QDir>

namespace {

// The package's profile report names the company whose books are open. A package that has no
// such report, or fails on it, leaves the company unknown with its text.
QString readCompanyName(const AutoObjectPtr& app, QString& error) {
    try {
        const AutoObjectPtr profile =
            member(member(app, "RptObjects"), "Find", {"Common.Agent.RO"});
        profile->invoke("CalculateReport");
        const AutoObjectPtr data = findDataSet(profile, "cdsProfile");
        const AutoValue name = member(data, "FindField", {"CompanyName"})->invoke("AsString");
        return name.isText() ? QString::fromStdString(name.asText()).trimmed() : QString();
    } catch (const AutomationError& failure) {
        error = QString::fromUtf8(failure.what());
        return QString();
    }
}

void checkCompany(const PackageSession& session, const SettingsFile& settings) {
    const QString wanted = settings.read(Keys::SqlAcc::CompanyName).trimmed();
    if (wanted.isEmpty())
        return;
    if (session.companyName.isEmpty())
        throw PackageSessionError(
            QStringLiteral("The accounting package does not say whose books it has open, so "
                           "nothing was posted: COMPANY_NAME in section SQLACC asks for the "
                           "books of \"%1\".%2")
                .arg(wanted, session.companyError.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" The package said: ") + session.companyError));
    if (session.companyName.compare(wanted, Qt::CaseInsensitive) != 0)
        throw PackageSessionError(
            QStringLiteral("The accounting package has the books of \"%1\" open, but this "
                           "installation posts into the books of \"%2\" (COMPANY_NAME in section "
                           "SQLACC): nothing was posted. Open the books of \"%2\" in the package, "
                           "then export again.")
                .arg(session.companyName, wanted));
}

} // namespace

QString PackageLoginText(const SettingsFile& settings) {
    return QStringLiteral("user %1, data collection file %2, database %3")
        .arg(settings.read(Keys::SqlAcc::UserLogin),
             QDir::toNativeSeparators(settings.read(Keys::SqlAcc::Dcf)),
             settings.read(Keys::SqlAcc::SalesTransaction));
}

QString PackageSessionText(const PackageSession& session) {
    const QString company = session.companyName.isEmpty()
                                ? QStringLiteral("company not given by the package")
                                : session.companyName;
    return QStringLiteral("%1 (build %2)").arg(company, session.build.text());
}

std::shared_ptr<PackageSession> OpenPackageSession(const SettingsFile& settings) {
    auto session = std::make_shared<PackageSession>();
    session->app = CreateBizApp();
    if (!session->app->invoke("IsLogin").asBool()) {
        const QString user = settings.read(Keys::SqlAcc::UserLogin);
        const QString password = settings.read(Keys::SqlAcc::Password);
        const QString dcf = settings.read(Keys::SqlAcc::Dcf);
        const QString database = settings.read(Keys::SqlAcc::SalesTransaction);
        try {
            session->app->invoke("Login", {TextValue(user), TextValue(password), TextValue(dcf),
                                           TextValue(database)});
        } catch (const AutomationError& refused) {
            throw PackageSessionError(
                QStringLiteral("The accounting package refused the login (%1): %2")
                    .arg(PackageLoginText(settings), QString::fromUtf8(refused.what())));
        }
        session->loggedInHere = true;
    }
    session->build = PackageBuild::fromValue(session->app->invoke("BuildNo"));
    session->companyName = readCompanyName(session->app, session->companyError);
    checkCompany(*session, settings);
    return session;
}
