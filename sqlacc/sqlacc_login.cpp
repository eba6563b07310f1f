#include "sqlacc/sqlacc_login.h"

#include "config/settings_file.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/posting_values.h"

AutoObjectPtr BizApp;

bool SQLAccLogin() {
    const SettingsFile settings(SettingsFile::defaultPath());
    // A failed creation leaves the earlier object in place, as an assignment that never happened.
    BizApp = CreateBizApp();
    if (BizApp->invoke("IsLogin").asBool())
        return true;
    const QString user = settings.read(Keys::SqlAcc::UserLogin);
    const QString password = settings.read(Keys::SqlAcc::Password);
    const QString dcf = settings.read(Keys::SqlAcc::Dcf);
    const QString database = settings.read(Keys::SqlAcc::SalesTransaction);
    BizApp->invoke("Login",
                   {TextValue(user), TextValue(password), TextValue(dcf), TextValue(database)});
    return true;
}

void ReleaseBizApp() {
    BizApp.reset();
}
