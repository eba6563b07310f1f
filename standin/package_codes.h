#pragma once

#include "data/alias_file.h"

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
class SettingsFile;

// The stand-in package's own code lists (table SA_CODE): GL accounts, tax codes (with their rate
// and whether a line with them needs a tariff code), terms, areas, agents, currencies, projects
// and payment methods. A document that names a code its list does not hold is refused at Save.
// Each list is a business object of the package, named as below, that answers
// FindKeyByRef("CODE", code) and can be opened and read. A new package database holds "----"
// in areas, agents, currencies and projects, the package's "none" code.
struct PackageCode {
    QString list; // GL_ACC, TAX, TERMS, AREA, AGENT, CURRENCY, PROJECT, PMMETHOD
    QString code;
    QString description;
    double rate = 0; // tax codes: percent
    bool tariffRequired = false;
};

// The lists' business-object names, in the order above.
const QStringList& PackageCodeListNames();
// How the package names a list's codes in its messages ("tax code"); empty for another name.
QString PackageCodeListWhat(const QString& list);

// Adds the codes a list does not hold yet and updates those it holds, in one transaction.
// Throws AppError for an unknown list or an empty code, and the engine's error.
void AddPackageCodes(DbConnection& database, const QList<PackageCode>& codes);
void AddPackageCodes(const AliasTarget& database, const QList<PackageCode>& codes);

// The codes of one list (all lists when empty), by list and code.
QList<PackageCode> ListPackageCodes(DbConnection& database, const QString& list = QString());

// The codes the link's settings (section SQLACC of Ledvora.ini) name for its postings: the line,
// payment and control accounts, the payment method, terms, area, agent, currency and the
// project "----". What an installation's package must hold besides its tax codes.
QList<PackageCode> PackageCodesOfSettings(const SettingsFile& settings);
