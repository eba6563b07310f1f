#include "sqlacc/sqlacc_login.h"

#include "config/settings_file.h"

AutoObjectPtr BizApp;

namespace {

std::shared_ptr<PackageSession> current;
int runDepth = 0;

} // namespace

bool SQLAccLogin() {
    if (runDepth > 0 && current)
        return true;
    const SettingsFile settings(SettingsFile::defaultPath());
    // A failed opening leaves the earlier session in place, as an assignment that never happened.
    std::shared_ptr<PackageSession> session = OpenPackageSession(settings);
    current = std::move(session);
    BizApp = current->app;
    return true;
}

const PackageSession& CurrentPackageSession() {
    if (!current)
        throw AppError(QStringLiteral("No session with the accounting package is open"));
    return *current;
}

PackageRunSession::PackageRunSession() {
    if (runDepth++ == 0)
        ReleaseBizApp(); // a run starts a session of its own
}

PackageRunSession::~PackageRunSession() {
    if (--runDepth == 0)
        ReleaseBizApp();
}

PackageAppSubstitute::PackageAppSubstitute(AutoObjectPtr app) {
    if (!current)
        throw AppError(QStringLiteral("No session with the accounting package is open"));
    saved_ = current;
    auto substitute = std::make_shared<PackageSession>(*current);
    substitute->app = std::move(app);
    current = std::move(substitute);
    BizApp = current->app;
}

PackageAppSubstitute::~PackageAppSubstitute() {
    current = saved_;
    BizApp = current ? current->app : AutoObjectPtr();
}

void ReleaseBizApp() {
    current.reset();
    BizApp.reset();
}
