#include "demo/demo_files.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/file_name_case.h"
#include "core/profile_file.h"
#include "demo/demo_amounts.h"
#include "standin/package_codes.h"
#include "standin/package_setup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const kAliases[] = {"ZantSys", "ZantStk", "ZantApp", "ZantHis", "ARDB"};

const char kAliasFile[] = "Databases.ini";
const char kRegisterIni[] = "Register.ini";
const char kSettingsFile[] = "Ledvora.ini";
// The stand-in accounting package's data collection file and database live here.
const QString kPackageFolder = QStringLiteral("Package");

QString inFolder(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

void removeFile(const QString& path) {
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw AppError(QStringLiteral("Cannot delete %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace

QStringList DemoAliases() {
    QStringList aliases;
    for (const char* alias : kAliases)
        aliases << QLatin1String(alias);
    return aliases;
}

QString DemoDatabasePath(const QString& alias) {
    return QStringLiteral("Data/%1.fdb").arg(alias);
}

bool HoldsInstallation(const QString& folder) {
    if (QFileInfo::exists(FindFileIgnoringCase(inFolder(folder, QLatin1String(kAliasFile)))))
        return true;
    for (const QString& alias : DemoAliases())
        if (QFileInfo::exists(inFolder(folder, DemoDatabasePath(alias))))
            return true;
    return false;
}

void RemoveDemoInstallation(const QString& folder) {
    // Only the demo's own database paths are deleted, never what an alias file names: that
    // file may have been edited to point at a real back office.
    for (const QString& alias : DemoAliases())
        removeFile(inFolder(folder, DemoDatabasePath(alias)));
    for (const char* name : {kAliasFile, kRegisterIni, kSettingsFile})
        removeFile(FindFileIgnoringCase(inFolder(folder, QLatin1String(name))));
    removeFile(inFolder(folder, kPackageFolder + QStringLiteral("/DEFAULT.DCF")));
    removeFile(inFolder(folder, kPackageFolder + QLatin1Char('/') +
                                    QLatin1String(Keys::SqlAcc::SalesTransaction.defaultValue)));
}

void WriteDemoAliasFile(const QString& folder) {
    ProfileFile file(inFolder(folder, QLatin1String(kAliasFile)));
    for (const QString& alias : DemoAliases()) {
        file.writeString(alias, QStringLiteral("PATH"), DemoDatabasePath(alias));
        file.writeString(alias, QStringLiteral("USER"), QLatin1String(kDemoDatabaseUser));
        file.writeString(alias, QStringLiteral("PASSWORD"), QLatin1String(kDemoDatabasePassword));
        file.writeString(alias, QStringLiteral("CHARSET"), QStringLiteral("WIN1252"));
        file.writeString(alias, QStringLiteral("ADMIN_USER"), QStringLiteral("SYSDBA"));
        file.writeString(alias, QStringLiteral("ADMIN_PASSWORD"), QStringLiteral("masterkey"));
    }
}

void WriteDemoRegisterIni(const QString& folder, const QString& defaultStore) {
    ProfileFile file(inFolder(folder, QLatin1String(kRegisterIni)));
    file.writeString(QStringLiteral("DATABASE"), QStringLiteral("DEFAULT_SERVER"),
                     QStringLiteral("C"));
    file.writeString(QStringLiteral("DATABASE"), QStringLiteral("DATABASE_SERVER"),
                     QStringLiteral("LOCAL"));
    file.writeString(QStringLiteral("STORE"), QStringLiteral("DEFAULT_STORE"), defaultStore);
    // The activity log goes under the installation folder, with the usual extension.
    file.writeString(QStringLiteral("REPORT"), QStringLiteral("LOG"), QString());
    file.writeString(QStringLiteral("REPORT"), QStringLiteral("LOG_EXT"), QStringLiteral("000"));
    file.writeString(QStringLiteral("REPORT"), QStringLiteral("STOCKW_LOG"), QStringLiteral("1"));
}

void WriteDemoSettingsFile(const QString& folder) {
    namespace General = Keys::General;
    namespace SqlAcc = Keys::SqlAcc;
    SettingsFile settings(inFolder(folder, QLatin1String(kSettingsFile)));
    const QString nativeFolder = QDir::toNativeSeparators(QDir(folder).absolutePath());
    const QChar separator = QDir::separator();

    settings.write(General::AccountType, QLatin1String(Keys::AccountTypes::SqlAcc));
    settings.write(General::LedvoraPath, nativeFolder + separator + QStringLiteral("Db") +
                                             separator + QStringLiteral("Ledvora"));
    settings.write(General::GstStartDate, QStringLiteral("2015/04/01"));
    settings.write(General::ExportMode, QLatin1String(General::ExportModeByItem));
    // A week without export marks a station "Warning" in the station list.
    settings.write(General::ChangedDays, QStringLiteral("7"));
    settings.writeFlag(Keys::Confirmation::ConfirmRemove, true);

    const struct {
        const SettingKey& key;
        QString value;
    } package[] = {
        {SqlAcc::UserLogin, QStringLiteral("ADMIN")},
        {SqlAcc::Password, QLatin1String(Keys::DefaultPackagePassword)},
        {SqlAcc::Dcf, nativeFolder + separator + QStringLiteral("Package") + separator +
                          QStringLiteral("DEFAULT.DCF")},
        {SqlAcc::SalesTransaction, QStringLiteral("ACC-0001.FDB")},
        {SqlAcc::CustomerAccount, QStringLiteral("300-000")},
        {SqlAcc::SupplierAccount, QStringLiteral("400-000")},
        {SqlAcc::SalesAccount, QStringLiteral("500-000")},
        {SqlAcc::SalesCnAccount, QStringLiteral("510-000")},
        {SqlAcc::PurchaseAccount, QStringLiteral("610-000")},
        {SqlAcc::PurchaseReturnAccount, QStringLiteral("612-000")},
        {SqlAcc::PaymentAccount, QStringLiteral("320-000")},
        {SqlAcc::AreaCode, QStringLiteral("----")},
        {SqlAcc::AgentCode, QStringLiteral("----")},
        {SqlAcc::PaymentTerm, QStringLiteral("C.O.D")},
        {SqlAcc::CurrencyCode, QStringLiteral("----")},
    };
    for (const auto& entry : package)
        settings.write(entry.key, entry.value);
}

void CreateDemoPackage(const QString& folder) {
    // The stand-in accounting package: its data collection file and an empty database, holding
    // no customers, suppliers or items until the masters are exported, but the accounts, tax
    // codes and other codes the demo's postings name, as a company's books would.
    const QString packageFolder = folder + QLatin1Char('/') + kPackageFolder;
    const QString dcf = packageFolder + QStringLiteral("/DEFAULT.DCF");
    const QString database = QLatin1String(Keys::SqlAcc::SalesTransaction.defaultValue);
    // The package's database belongs to the installation's database account, as the five
    // back-office databases do: moved onto a server, one login serves them all.
    if (!QDir().mkpath(packageFolder))
        throw AppError(
            QStringLiteral("Cannot create %1").arg(QDir::toNativeSeparators(packageFolder)));
    ProfileFile(dcf).writeString(QStringLiteral("PACKAGE"), QStringLiteral("DATABASE_USER"),
                                 QLatin1String(kDemoDatabaseUser));
    ProfileFile(dcf).writeString(QStringLiteral("PACKAGE"), QStringLiteral("DATABASE_PASSWORD"),
                                 QLatin1String(kDemoDatabasePassword));
    CreatePackageDatabase(dcf, packageFolder, database,
                          QLatin1String(Keys::SqlAcc::UserLogin.defaultValue),
                          QLatin1String(Keys::DefaultPackagePassword));
    QList<PackageCode> codes =
        PackageCodesOfSettings(SettingsFile(inFolder(folder, QLatin1String(kSettingsFile))));
    for (const TaxKind kind : {TaxKind::Standard, TaxKind::Zero, TaxKind::Exempt})
        codes << PackageCode{QStringLiteral("TAX"), PackageTaxCode(kind),
                             QStringLiteral("Tax %1%").arg(TaxRate(kind)), double(TaxRate(kind)),
                             false};
    AddPackageCodes(PackageDatabaseTarget(ReadPackageDcf(dcf), database), codes);
}
