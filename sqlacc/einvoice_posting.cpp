#include "sqlacc/einvoice_posting.h"

#include "config/settings_file.h"
#include "sqlacc/package_session.h"

bool EInvoicePosting(const SettingsFile& settings, const PackageSession& session) {
    if (!settings.readFlag(Keys::SqlAcc::EInvoice))
        return false;
    if (session.build.atLeast(PackageBuilds::EInvoiceFields))
        return true;
    session.noteOnce(PackageTooOldForEInvoiceText(session.build));
    return false;
}

QString PackageTooOldForEInvoiceText(const PackageBuild& build) {
    return QStringLiteral("The accounting package's build %1 is too old for e-invoicing (its "
                          "e-invoice fields come with build 5.2024.992.854): EINVOICE is set in "
                          "section SQLACC, but the cash sales and the cash-sales customer were "
                          "posted as before. Update the package to send them for the "
                          "consolidated e-invoice.")
        .arg(build.text());
}
