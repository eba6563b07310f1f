#include "demo/demo_users.h"

#include "demo/bulk_writer.h"

#include <QDateTime>

namespace {

// The program section of the accounting link in MAS_USERGROUPACCESS.
const char kLinkRight[] = "ACCTLI";

struct Group {
    const char* code;
    const char* description;
    QStringList rights;
};

struct User {
    const char* code;
    const char* name;
    const char* sex;
    const char* group;
    const char* password; // upper case: the login box turns what is typed into upper case
    bool active;
    QTime from;
    QTime to;
    const char* remark;
};

} // namespace

void WriteDemoUsers(DbConnection& systemDb, DbConnection& applicationDb) {
    const Group groups[] = {
        {"ADMIN", "Administrators", {kLinkRight, "STKMNT", "POSSAL", "REPORT"}},
        {"ACCT", "Accounts", {kLinkRight, "REPORT"}},
        {"POS", "Cashiers", {"POSSAL"}},
    };
    BulkWriter system(systemDb);
    auto& groupRows = system.insertInto(QStringLiteral("MAS_USERGROUP"),
                                        {"M_CODE", "M_DESC", "M_DISCOUNT", "M_SUPPLIER"});
    auto& rightRows =
        system.insertInto(QStringLiteral("MAS_USERGROUPACCESS"), {"M_CODE", "M_ACCESS"});
    for (const Group& group : groups) {
        groupRows.add({QString::fromLatin1(group.code), QString::fromLatin1(group.description), 0.0,
                       QStringLiteral("F")});
        for (const QString& right : group.rights)
            rightRows.add({QString::fromLatin1(group.code), right});
    }
    system.finish();

    // Only the time of day of M_DATEFROM and M_DATETO counts for the login.
    const QDate since(2015, 1, 1);
    const User users[] = {
        {"ADMIN", "System Administrator", "M", "ADMIN", "ADMIN1", true, QTime(0, 0), QTime(23, 59),
         "Demo login"},
        {"CLERK", "Nurul Aina", "F", "ACCT", "CLERK1", false, QTime(8, 0), QTime(18, 0),
         "Left the company; kept for the records"},
        {"NIGHT", "Rajesh Kumar", "M", "ACCT", "NIGHT1", true, QTime(2, 0), QTime(3, 0),
         "Night audit, 02:00 to 03:00 only"},
        {"GUEST", "Counter Cashier", "F", "POS", "GUEST1", true, QTime(0, 0), QTime(23, 59),
         "Cashiers may not use the accounting link"},
    };
    BulkWriter application(applicationDb);
    auto& userRows = application.insertInto(QStringLiteral("MAS_USER"),
                                            {"M_CODE", "M_DESC", "M_SEX", "M_USERGROUP",
                                             "M_PASSWORD", "M_DRAWER", "M_COMMISSION", "M_ACTIVE",
                                             "M_DATEFROM", "M_DATETO", "M_REMARK", "M_LINK"});
    for (const User& user : users) {
        userRows.add({QString::fromLatin1(user.code), QString::fromLatin1(user.name),
                      QString::fromLatin1(user.sex), QString::fromLatin1(user.group),
                      QString::fromLatin1(user.password), QStringLiteral("F"), 0.0,
                      user.active ? QStringLiteral("T") : QStringLiteral("F"),
                      QDateTime(since, user.from), QDateTime(since, user.to),
                      QString::fromLatin1(user.remark), 0});
    }
    application.finish();
}
